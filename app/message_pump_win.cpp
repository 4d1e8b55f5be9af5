// The message-pumping delay: waits while the user-interface thread keeps
// handling its messages, so that the count goes on ticking during the beeps.
#include "app/message_pump_win.h"

#include "base/bound_functions_win.h"
#include "base/handles_win.h"
#include "base/message_window_win.h"
#include "ui/message_dispatch_win.h"

namespace {

constexpr wchar_t kWakeClass[] = L"CountdownDelay";
// "我是延迟我怕谁?" in code page 936, as the A function expects it.
constexpr char kWakeName[] = "\xCE\xD2\xCA\xC7\xD1\xD3\xB3\xD9\xCE\xD2\xC5\xC2\xCB\xAD\x3F";

// Each worker is handed a request of its own, which it copies and frees: the
// program's record is rewritten by the next delay, perhaps one nested in this
// one before this worker has even started.
DWORD WINAPI DelayWorker(void* parameter) {
  DelayRequest copy;
  Sys<Bound::MoveMemoryBytes>()(&copy, parameter, sizeof copy);
  delete static_cast<DelayRequest*>(parameter);
  Sys<Bound::Sleep>()(static_cast<DWORD>(copy.milliseconds));
  Sys<Bound::PostMessageA>()(HandleFromBits<HWND>(copy.wakeWindow), copy.wakeMessage, copy.wait, 0);
  return 0;
}

bool IsCloseOrQuit(UINT message) { return message == WM_CLOSE || message == WM_QUIT; }

}  // namespace

Win32MessagePump::Win32MessagePump() : window_(CreateMessageWindow(kWakeClass, WakeProc, this)) {}

Win32MessagePump::~Win32MessagePump() = default;

LRESULT CALLBACK Win32MessagePump::WakeProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
  auto* pump = reinterpret_cast<Win32MessagePump*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (pump && msg == pump->wakeMessage_ && msg != 0) {
    for (Wait* wait : pump->waits_) {
      if (wait->number == wp) wait->woken = true;
    }
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

void Win32MessagePump::PumpingDelay(DelayRequest& request, int milliseconds) {
  request.milliseconds = milliseconds;
  request.threadId = Sys<Bound::GetCurrentThreadId>()();
  request.wakeMessage = Sys<Bound::RegisterWindowMessageA>()(kWakeName);
  request.wakeWindow = HandleBits(window_.get());
  request.wait = ++lastWait_;
  wakeMessage_ = request.wakeMessage;
  // Without a window or a worker no wake-up would come: better no pause than no end.
  if (!window_) return;
  auto* own = new DelayRequest(request);
  if (!OwnedHandle(Sys<Bound::CreateThread>()(nullptr, 0, DelayWorker, own, 0, nullptr))) {
    delete own;
    return;
  }

  Wait wait{request.wait, false};
  waits_.push_back(&wait);
  // Taken with the A functions, so handed on with them too.
  const ui::MessageDispatch ansi{Sys<Bound::TranslateMessage>(), Sys<Bound::DispatchMessageA>(), IsDialogMessageA};
  MSG msg;
  while (!wait.woken) {
    // A close or quit next in the queue ends the wait and stays there for the main loop.
    if (Sys<Bound::PeekMessageA>()(&msg, nullptr, 0, 0, PM_NOREMOVE) && IsCloseOrQuit(msg.message)) break;
    if (Sys<Bound::GetMessageA>()(&msg, nullptr, 0, 0) > 0) ui::DispatchUserMessage(msg, ansi);
    if (IsCloseOrQuit(msg.message)) {
      // Taken here after all: the main loop gets one again (without its window or arguments).
      Sys<Bound::PostThreadMessageA>()(request.threadId, msg.message, 0, 0);
      break;
    }
  }
  waits_.pop_back();
}
