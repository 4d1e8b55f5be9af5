// The least a Win32 program can do to show a window: the benchmark's yardstick
// for start-up time and memory.
#include "bench/plain_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  if (!bench::OpenPlainWindow(instance, L"minimal window", WS_OVERLAPPEDWINDOW, 0, CW_USEDEFAULT, CW_USEDEFAULT,
                              static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)))) {
    return 1;
  }
  return bench::RunMessageLoop();
}
