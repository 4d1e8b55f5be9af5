// The message-pumping delay: waits while the user-interface thread keeps
// handling its messages, so that the count goes on ticking during the beeps.
#include "app/delay_win.h"

#include <memory>

#include "base/bound_functions_win.h"
#include "base/handles_win.h"
#include "base/message_window_win.h"
#include "ui/message_dispatch_win.h"

namespace {

constexpr wchar_t kWakeClass[] = L"CountdownDelay";
// "我是延迟我怕谁?" in code page 936, as the A function expects it.
constexpr char kWakeName[] = "\xCE\xD2\xCA\xC7\xD1\xD3\xB3\xD9\xCE\xD2\xC5\xC2\xCB\xAD\x3F";

constexpr DWORD kEndWait = 2000;

// Each worker is handed a request of its own, which it copies and frees: the
// program's record is rewritten by the next delay, perhaps one nested in this
// one before this worker has even started. The delay's end cuts its wait
// short (the event outlives every worker: the delay's end waits for them).
struct Handed {
  DelayRequest request;
  HANDLE ending;
};

DWORD WINAPI DelayWorker(void* parameter) {
  const std::unique_ptr<Handed> handed(static_cast<Handed*>(parameter));
  DelayRequest copy;
  Sys<Bound::MoveMemoryBytes>()(&copy, &handed->request, sizeof copy);
  WaitForSingleObject(handed->ending, static_cast<DWORD>(copy.milliseconds));
  Sys<Bound::PostMessageA>()(HandleFromBits<HWND>(copy.wakeWindow), copy.wakeMessage, copy.wait, 0);
  return 0;
}

bool IsCloseOrQuit(UINT message) { return message == WM_CLOSE || message == WM_QUIT; }

}  // namespace

Win32Delay::Win32Delay()
    : window_(CreateMessageWindow(kWakeClass, WakeProc, this)), ending_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

Win32Delay::~Win32Delay() { End(); }

void Win32Delay::End() {
  SetEvent(ending_.get());
  for (const OwnedHandle& worker : workers_) WaitForSingleObject(worker.get(), kEndWait);
  workers_.clear();
}

LRESULT CALLBACK Win32Delay::WakeProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
  auto* delay = reinterpret_cast<Win32Delay*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (delay && msg == delay->wakeMessage_ && msg != 0) {
    for (PendingWait* wait : delay->waits_) {
      if (wait->number == wp) wait->woken = true;
    }
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

void Win32Delay::Wait(DelayRequest& request, int milliseconds) {
  request.milliseconds = milliseconds;
  request.threadId = Sys<Bound::GetCurrentThreadId>()();
  request.wakeMessage = Sys<Bound::RegisterWindowMessageA>()(kWakeName);
  request.wakeWindow = HandleBits(window_.get());
  request.wait = ++lastWait_;
  wakeMessage_ = request.wakeMessage;
  // Without a window or a worker no wake-up would come: better no pause than
  // no end. After the end, no pause at all.
  if (!window_ || !ending_ || WaitForSingleObject(ending_.get(), 0) == WAIT_OBJECT_0) return;
  std::erase_if(workers_, [](const OwnedHandle& w) { return WaitForSingleObject(w.get(), 0) == WAIT_OBJECT_0; });
  auto handed = std::make_unique<Handed>(Handed{request, ending_.get()});
  OwnedHandle worker(Sys<Bound::CreateThread>()(nullptr, 0, DelayWorker, handed.get(), 0, nullptr));
  if (!worker) return;
  static_cast<void>(handed.release());  // the worker's now
  workers_.push_back(std::move(worker));

  PendingWait wait{request.wait, false};
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
