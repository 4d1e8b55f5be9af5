// The chain the program's sounds are heard through, proved with sound these
// tests play themselves: a tone is recorded when and for as long as it plays,
// at the level and pitch it was played, a tone cut off by waveOutReset stops
// being heard then, and nothing is recorded while nothing plays.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "tests/e2e/audio.h"
#include "tests/e2e/driver.h"

namespace e2e {
namespace {

constexpr double kHz = 440;
constexpr double kAmplitude = 0.5;
const double kSineRms = kAmplitude / std::sqrt(2.0);

// Waits until the recorder's clock reads ms.
void WaitUntilMs(const Recorder& recorder, double ms) {
  while (recorder.ElapsedMs() < ms) Sleep(1);
}

// Stops the recorder, checking that the samples fill the time between the
// first and the last buffer, and that time the time recorded: a device that
// dropped or repeated samples would put sounds at the wrong times.
Recording StopCovered(Recorder& recorder) {
  const double stopped = recorder.ElapsedMs();
  Recording r = recorder.Stop();
  EXPECT_FALSE(r.buffers.empty());
  if (!r.buffers.empty()) {
    const double span = r.buffers.back().ms - r.TimeMs(0);
    EXPECT_NEAR(static_cast<double>(r.samples.size()) * 1000 / r.rate, span, 30) << "samples against their time span";
    EXPECT_NEAR(span, stopped, 60) << "time span against the time recorded";
  }
  return r;
}

// For a failure message: what the test recorded from.
std::string Devices() { return "recorded from " + Utf8(MonitorRecordingPath()); }

TEST(Audio, RecordsAPlayedToneWhenAndAsLongAsItPlays) {
  Recorder recorder;
  recorder.Start();
  WaitUntilMs(recorder, 300);
  const double played = recorder.ElapsedMs();
  {
    Player tone(Tone(kHz, 1.0, kAmplitude));
    WaitUntilMs(recorder, played + 1500);
    EXPECT_TRUE(tone.Done());
  }
  const Recording r = StopCovered(recorder);

  const Heard heard(r);
  ASSERT_TRUE(heard.first && heard.last) << "nothing heard above " << heard.threshold << "; " << Devices();
  const double first = *heard.first, last = *heard.last;
  std::printf(
      "noise floor %.6f, threshold %.6f, loudest %.4f (played %.4f), heard from %+.0f ms to %+.0f ms "
      "after the play call, %.3f s above, %.1f Hz\n",
      heard.floor, heard.threshold, Loudest(heard.levels), kSineRms, first - played, last - played, heard.Seconds(),
      ToneHz(r, first + 100, last - 100));
  EXPECT_GE(first, played - heard.levels.windowMs) << "heard before it was played";
  EXPECT_LE(first, played + kHeardWithinMs);
  EXPECT_NEAR(last - first, 1000, 50);
  EXPECT_NEAR(heard.Seconds(), 1.0, 0.05);
  EXPECT_NEAR(Loudest(heard.levels), kSineRms, kSineRms / 4);
  EXPECT_NEAR(ToneHz(r, first + 100, last - 100), kHz, kHz / 50);
}

TEST(Audio, RecordsSilenceWhileNothingPlays) {
  Recorder recorder;
  recorder.Start();
  WaitUntilMs(recorder, 1000);
  const Levels levels = Rms(StopCovered(recorder));
  std::printf("silence: loudest window %.6f, noise floor %.6f\n", Loudest(levels), NoiseFloor(levels));
  EXPECT_LT(Loudest(levels), SoundThreshold(0));
}

TEST(Audio, ToneCutOffByWaveOutResetIsHeardUntilThen) {
  Recorder recorder;
  recorder.Start();
  WaitUntilMs(recorder, 300);
  const double played = recorder.ElapsedMs();
  double cut = 0;
  {
    Player tone(Tone(kHz, 2.0, kAmplitude));
    WaitUntilMs(recorder, played + 500);
    tone.Reset();
    cut = recorder.ElapsedMs();
    EXPECT_TRUE(tone.Done());
    WaitUntilMs(recorder, played + 1500);
  }

  const Heard heard(StopCovered(recorder));
  ASSERT_TRUE(heard.first && heard.last) << "nothing heard above " << heard.threshold << "; " << Devices();
  std::printf("reset %.0f ms after the play call: heard from %+.0f ms to %+.0f ms, %.3f s above\n", cut - played,
              *heard.first - played, *heard.last - played, heard.Seconds());
  // Heard from its onset, however late, until the reset and no longer.
  EXPECT_LE(*heard.first, played + kHeardWithinMs);
  EXPECT_GE(*heard.last, cut - 100) << "it stopped before the reset";
  EXPECT_LE(*heard.last, cut + 100) << "still heard after the reset";
}

}  // namespace
}  // namespace e2e
