// The delay between two beeps: a worker thread waits, then posts a wake-up
// to a message-only window, while this thread goes on handling messages.
#pragma once

#include <windows.h>

#include <vector>

#include "app/services.h"
#include "base/handles_win.h"

class Win32Delay : public Delay {
 public:
  Win32Delay();
  ~Win32Delay() override;
  Win32Delay(const Win32Delay&) = delete;
  Win32Delay& operator=(const Win32Delay&) = delete;
  void Wait(DelayRequest& request, int milliseconds) override;
  void End() override;

 private:
  struct PendingWait {
    uint32_t number;
    bool woken;
  };
  static LRESULT CALLBACK WakeProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
  OwnedWindow window_;
  // Set for good by End; it cuts every worker's wait short.
  OwnedHandle ending_;
  // Every worker that may still be running. A process torn down while its
  // threads are inside system calls can crash on its way out (seen under
  // Wine), so its end waits for them.
  std::vector<OwnedHandle> workers_;
  UINT wakeMessage_ = 0;
  uint32_t lastWait_ = 0;
  // The waits in progress, innermost last. A wake-up ends only the wait it
  // was posted for, wherever it is dispatched (a modal loop's dispatch
  // included); one whose wait is over already, ended by a close or a quit,
  // is dropped.
  std::vector<PendingWait*> waits_;
};
