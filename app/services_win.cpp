#include "app/services_win.h"

#include <cstdlib>

#include "ui/backend_win.h"
#include "ui/text_win.h"

namespace {

DelayRequest g_delay;

DWORD WINAPI DelayWorker(void* parameter) {
  const DelayRequest copy = *static_cast<const DelayRequest*>(parameter);
  Sleep(static_cast<DWORD>(copy.milliseconds));
  PostThreadMessageW(copy.threadId, copy.wakeMessage, 0, 0);
  return 0;
}

struct InputBoxState {
  std::wstring prompt;
  std::wstring text;
};

INT_PTR CALLBACK InputBoxProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) noexcept {
  auto* state = reinterpret_cast<InputBoxState*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (msg) {
    case WM_INITDIALOG:
      state = reinterpret_cast<InputBoxState*>(lp);
      SetWindowLongPtrW(dialog, DWLP_USER, lp);
      SetDlgItemTextW(dialog, kInputBoxPrompt, state->prompt.c_str());
      SetDlgItemTextW(dialog, kInputBoxEntry, state->text.c_str());
      SendDlgItemMessageW(dialog, kInputBoxEntry, EM_SETSEL, 0, -1);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wp) == IDOK) {
        const HWND entry = GetDlgItem(dialog, kInputBoxEntry);
        state->text.assign(static_cast<size_t>(GetWindowTextLengthW(entry)) + 1, L'\0');
        state->text.resize(static_cast<size_t>(GetWindowTextW(entry, state->text.data(),
                                                              static_cast<int>(state->text.size()))));
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wp) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      return FALSE;
    default: return FALSE;
  }
}

}  // namespace

void Win32Sound::Beep() { MessageBeep(0); }

void Win32Sound::PlayApplause() {}

void Win32Sound::Stop() {}

void Win32Sound::PumpingDelay(int milliseconds) {
  g_delay.milliseconds = milliseconds;
  g_delay.threadId = GetCurrentThreadId();
  g_delay.wakeMessage = RegisterWindowMessageW(L"我是延迟我怕谁?");
  if (HANDLE worker = CreateThread(nullptr, 0, DelayWorker, &g_delay, 0, nullptr)) CloseHandle(worker);
  MSG msg;
  for (;;) {
    // A close or quit stays queued for the main loop and ends the wait.
    if (PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE) && (msg.message == WM_CLOSE || msg.message == WM_QUIT)) return;
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      PostThreadMessageW(g_delay.threadId, WM_QUIT, msg.wParam, 0);
      return;
    }
    ui::DispatchUserMessage(msg);
    if (msg.message == WM_CLOSE) {
      PostThreadMessageW(g_delay.threadId, WM_CLOSE, 0, 0);
      return;
    }
    if (msg.message == g_delay.wakeMessage) return;
  }
}

std::optional<std::string> Win32InputBox::Ask(std::string_view prompt, std::string_view initial) {
  InputBoxState state{Wide(prompt), Wide(initial)};
  const INT_PTR result = DialogBoxParamW(instance_, MAKEINTRESOURCEW(kInputBoxDialog), GetActiveWindow(),
                                         InputBoxProc, reinterpret_cast<LPARAM>(&state));
  if (result != IDOK) return std::nullopt;
  return Utf8(state.text);
}

void Win32Process::Exit(int code) { std::exit(code); }

void Win32Process::Fail(std::string_view message) {
  MessageBoxW(nullptr, Wide(message).c_str(), L"错误", MB_OK | MB_ICONERROR | MB_TOPMOST | MB_SETFOREGROUND);
  std::exit(1);
}
