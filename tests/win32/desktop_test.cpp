// Edge hiding on the real window system: its worker and the user-interface
// thread meet only through the moves the worker asks for.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "desktop/desktop_win.h"
#include "tests/win32/harness.h"

namespace {

using win32test::Pump;
using win32test::Rect;

// A plain window at the top edge, the cursor well away from it.
HWND WindowAtTheTop() {
  SetCursorPos(900, 600);
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"EdgeHidingTest";
  RegisterClassW(&wc);
  return CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 100, 0, 280, 90, nullptr, nullptr,
                         wc.hInstance, nullptr);
}

TEST(EdgeHiding, ABringBackWinsOverAHideStillOnItsWay) {
  const HWND window = WindowAtTheTop();
  AutoHideController edge;
  edge.SetAutoHide(window, 0);
  // This thread is busy meanwhile, as it is during the tick at zero: the
  // worker has decided to hide the window, but the move waits for this thread.
  Sleep(600);
  EXPECT_EQ(Rect(window).top, 0);
  edge.SetAutoHide(nullptr, 0);
  edge.BringBackFromEdge(window);
  Pump(500);
  EXPECT_EQ(Rect(window).top, 0) << "hidden after edge hiding went off";
  DestroyWindow(window);
}

int ThreadsOfThisProcess() {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  int n = 0;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    n += entry.th32OwnerProcessID == GetCurrentProcessId();
  }
  CloseHandle(snapshot);
  return n;
}

// In a process of its own: edge hiding is over for good once it has ended.
TEST(EdgeHidingDeathTest, TheEndReturnsOnceTheWorkerAndTheHooksThreadHaveReturned) {
  EXPECT_EXIT(
      {
        const HWND window = WindowAtTheTop();
        AutoHideController edge;
        edge.SetAutoHide(window, 0);
        Sleep(300);
        const int running = ThreadsOfThisProcess();
        edge.End();
        std::exit(ThreadsOfThisProcess() <= running - 2 ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

}  // namespace
