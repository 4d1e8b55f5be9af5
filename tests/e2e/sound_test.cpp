// The applause at zero as a user hears it: recorded from the sound server the
// program plays into, from the moment the count reaches zero.
#include <gtest/gtest.h>

#include "tests/e2e/audio.h"
#include "tests/e2e/session.h"

namespace e2e {
namespace {

// Starts a three-second count and returns when it shows zero; when that was, on the recorder's clock.
double CountToZero(Session& s, Recorder& recorder) {
  Click(s.Ctl(id::kStart));
  EXPECT_TRUE(WaitText(s.Label(), L"00-01", 4000));
  WaitUntil([&] { return Text(s.Label()) == L"00-00"; }, 2000);
  return recorder.ElapsedMs();
}

TEST(Applause, PlaysOnceAtZeroForAboutThreeAndAHalfSeconds) {
  Session s(SettingsFile(L"时间=0.05\r\n"));  // three seconds; applause is on by default
  ASSERT_SESSION(s);
  Recorder recorder;
  recorder.Start();
  const double zero = CountToZero(s, recorder);
  Sleep(5000);
  const Heard heard(recorder.Stop());
  ASSERT_TRUE(heard.first.has_value()) << "nothing was heard";
  EXPECT_NEAR(*heard.first, zero, kHeardWithinMs) << "it starts with the zero";
  EXPECT_GT(heard.Seconds(), 3.0);  // the recording fades out over its last part
  EXPECT_LT(heard.Seconds(), 3.6);  // and is not played twice
  EXPECT_LT(*heard.last, zero + 3800);
}

TEST(Applause, ResetCutsItOffAndWithTheOptionOffZeroIsSilent) {
  Session s(SettingsFile(L"时间=0.05\r\n"));
  ASSERT_SESSION(s);
  Recorder recorder;
  recorder.Start();
  const double zero = CountToZero(s, recorder);
  Sleep(1000);
  const double before = recorder.ElapsedMs();
  Click(s.Ctl(id::kReset));
  const double after = recorder.ElapsedMs();
  Sleep(1000);
  const Heard cut(recorder.Stop());
  ASSERT_TRUE(cut.first.has_value()) << "nothing was heard";
  EXPECT_NEAR(*cut.first, zero, kHeardWithinMs);
  EXPECT_GT(*cut.last, before - 100) << "it played until the reset";
  EXPECT_LT(*cut.last, after + 100) << "and stopped at once";

  Click(s.Ctl(id::kApplause));
  ASSERT_TRUE(WaitUntil([&] { return CheckState(s.Ctl(id::kApplause)) == BST_UNCHECKED; }));
  recorder.Start();
  CountToZero(s, recorder);
  Sleep(1500);
  const Heard silence(recorder.Stop());
  EXPECT_FALSE(silence.first.has_value()) << "heard at " << silence.first.value_or(0) << " ms";
}

}  // namespace
}  // namespace e2e
