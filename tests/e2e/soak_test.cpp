// A day's use in a minute: many repaints, wheel notches, menus and About
// windows, after which the program holds no more windows, system objects or
// memory than a small constant beyond what it held before.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/e2e/session.h"

namespace e2e {
namespace {

// Windows keeps counts of another process's GDI and USER objects; Wine
// reports none, but it runs each program as a Linux process whose memory the
// Linux side shows (under Z:\proc), and leaked GDI objects live in that
// memory. Windows live in the window manager on both, and are counted.
struct Usage {
  DWORD gdi = 0, user = 0;
  size_t windows = 0;
  long anonymousKiB = 0;  // resident, not backed by a file; 0 where there is no /proc
};

std::string ReadWholeFile(const std::wstring& path) {
  std::ifstream file(std::filesystem::path(path), std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The program's Linux process: the one whose command line names its folder.
long AnonymousKiB(const Program& program) {
  const std::wstring folder = program.Folder();
  const std::string name = Utf8(folder.substr(folder.find_last_of(L'\\') + 1));
  WIN32_FIND_DATAW entry;
  const OwnedSearch find(FindFirstFileW(L"Z:\\proc\\*", &entry));
  if (!find) return 0;
  long kib = 0;
  do {
    if (entry.cFileName[0] < L'0' || entry.cFileName[0] > L'9') continue;
    const std::wstring dir = std::wstring(L"Z:\\proc\\") + entry.cFileName;
    if (ReadWholeFile(dir + L"\\cmdline").find(name) == std::string::npos) continue;
    const std::string status = ReadWholeFile(dir + L"\\status");
    const size_t at = status.find("RssAnon:");
    if (at != std::string::npos) kib = std::strtol(status.c_str() + at + 8, nullptr, 10);
  } while (kib == 0 && FindNextFileW(find.get(), &entry));
  return kib;
}

Usage UsageOf(const Program& program) {
  Usage u;
  u.gdi = GetGuiResources(program.ProcessHandle(), GR_GDIOBJECTS);
  u.user = GetGuiResources(program.ProcessHandle(), GR_USEROBJECTS);
  for (HWND top : program.Windows()) u.windows += 1 + Descendants(top).size();
  u.anonymousKiB = AnonymousKiB(program);
  return u;
}

// The test command runs a quarter of the day; the benchmark command all of it
// (COUNTDOWN_SOAK_PERCENT=100).
int Scaled(int count) {
  const char* percent = std::getenv("COUNTDOWN_SOAK_PERCENT");
  const int p = percent ? std::atoi(percent) : 25;
  return std::max(1, count * std::clamp(p, 1, 100) / 100);
}

// Waits until the program has handled the messages sent to it so far (input
// it has not read yet may still wait in its queue).
void Drain(HWND window) {
  DWORD_PTR ignored;
  SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored);
}

void ExpectNoGrowth(const Usage& before, const Usage& after, const char* what) {
  std::printf("%lu ms: %s: GDI %lu -> %lu, USER %lu -> %lu, windows %u -> %u, anonymous KiB %ld -> %ld\n",
              GetTickCount(), what, before.gdi, after.gdi, before.user, after.user,
              static_cast<unsigned>(before.windows), static_cast<unsigned>(after.windows), before.anonymousKiB,
              after.anonymousKiB);
  SCOPED_TRACE(what);
  EXPECT_LE(after.gdi, before.gdi + 8);
  EXPECT_LE(after.user, before.user + 8);
  EXPECT_EQ(after.windows, before.windows);
  EXPECT_LE(after.anonymousKiB, before.anonymousKiB + 1024);
}

void OpenAndCloseAbout(Session& s) {
  ASSERT_TRUE(Menu(s).Pick(kAboutItem));
  const HWND about = s.program.WaitVisibleWindow(L"关于", 5000);
  ASSERT_NE(about, nullptr);
  PressKey(VK_ESCAPE);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(about); }));
}

TEST(Soak, RepaintsWheelsMenusAndAboutWindowsLeaveNothingBehind) {
  Session s;
  ASSERT_SESSION(s);
  // Once each first, so that what is made on first use counts as the start.
  OpenAndCloseAbout(s);
  Menu first(s);
  first.Open();
  first.Close();
  Drain(s.main);
  const Usage start = UsageOf(s.program);
  ASSERT_GT(start.windows, 2u);

  Usage before = start;
  const HWND label = s.Label();
  const int repaints = Scaled(10000), notchCount = Scaled(1000), menus = Scaled(200), abouts = Scaled(50);
  std::printf("%d repaints, %d notches over each box, %d menus, %d About windows\n", repaints, notchCount, menus,
              abouts);
  for (int i = 0; i < repaints; ++i) {
    InvalidateRect(label, nullptr, FALSE);
    SendMessageW(label, WM_PAINT, 0, 0);
  }
  Usage after = UsageOf(s.program);
  ExpectNoGrowth(before, after, "repaints of the time label");

  before = after;
  std::vector<int> notches;
  // Up and down in turn, so the windows stay where they are, then two up: the
  // box reaches two above where it was only once the whole burst has been
  // worked through (the program takes input at its own pace, behind the
  // sender), and two down bring it back. A notch lost for good never gets back.
  for (int i = 0; i < notchCount - notchCount % 2; ++i) notches.push_back(i % 2 ? -WHEEL_DELTA : WHEEL_DELTA);
  notches.insert(notches.end(), {WHEEL_DELTA, WHEEL_DELTA});
  for (uint32_t box : {id::kTimeBox, id::kWidthBox, id::kHeightBox, id::kFontBox}) {
    const std::wstring was = Text(s.Ctl(box));
    WheelBurst(Centre(s.Ctl(box)), notches);
    EXPECT_TRUE(WaitText(s.Ctl(box), std::to_wstring(std::stoi(was) + 2), 60000)) << Text(s.Ctl(box));
    WheelBurst(Centre(s.Ctl(box)), {-WHEEL_DELTA, -WHEEL_DELTA});
    EXPECT_TRUE(WaitText(s.Ctl(box), was, 5000)) << Text(s.Ctl(box));
  }
  after = UsageOf(s.program);
  ExpectNoGrowth(before, after, "wheel notches over each box");
  EXPECT_EQ(Text(s.Label()), L"05-00");

  before = after;
  for (int i = 0; i < menus; ++i) {
    Menu menu(s);
    ASSERT_FALSE(menu.Open().empty()) << i;
    ASSERT_TRUE(menu.Close()) << i;
  }
  Drain(s.main);
  after = UsageOf(s.program);
  ExpectNoGrowth(before, after, "pop-up menus");

  before = after;
  for (int i = 0; i < abouts && !HasFatalFailure(); ++i) OpenAndCloseAbout(s);
  Drain(s.main);
  after = UsageOf(s.program);
  ExpectNoGrowth(before, after, "About windows");
  ExpectNoGrowth(start, after, "all of it");
  EXPECT_TRUE(s.program.Running());
}

}  // namespace
}  // namespace e2e
