#include "base/process_win.h"

#include <cstdlib>

#include "base/encoding_win.h"
#include "base/message_window_win.h"

namespace {

constexpr wchar_t kHandOverClass[] = L"CountdownProcessEnd";
constexpr UINT kEndHandedOver = WM_APP + 1;

}  // namespace

void Win32Process::AtEnd(void (*routine)(void* context), void* context) {
  thread_ = GetCurrentThreadId();
  handOver_.reset(CreateMessageWindow(kHandOverClass, HandOverProc, this));
  ProcessControl::AtEnd(routine, context);
}

void Win32Process::Exit(int code) { End(std::nullopt, code); }

void Win32Process::Fail(std::string_view message, int exitCode) { End(message, exitCode); }

void Win32Process::End(std::optional<std::string_view> message, int code) {
  if (GetCurrentThreadId() != thread_ && handOver_) {
    if (!ending_.exchange(true)) {
      message_ = message;
      code_ = code;
      PostMessageW(handOver_.get(), kEndHandedOver, 0, 0);
    }
    ExitThread(0);
  }
  ending_ = true;
  RunEnd();
  if (message) {
    MessageBoxW(nullptr, Wide(*message).c_str(), L"错误", MB_OK | MB_ICONERROR | MB_TOPMOST | MB_SETFOREGROUND);
  }
  std::exit(code);
}

LRESULT CALLBACK Win32Process::HandOverProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
  auto* process = reinterpret_cast<Win32Process*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (msg == kEndHandedOver && process) process->End(process->message_, process->code_);
  return DefWindowProcW(hwnd, msg, wp, lp);
}
