#include "app/services_win.h"

#include <cstdlib>

#include "desktop/declared_win.h"
#include "ui/backend_win.h"
#include "ui/text_win.h"

namespace {

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

std::optional<std::string> Win32InputBox::Ask(std::string_view prompt, std::string_view initial) {
  InputBoxState state{Wide(prompt), Wide(initial)};
  const INT_PTR result = DialogBoxParamW(instance_, MAKEINTRESOURCEW(kInputBoxDialog), GetActiveWindow(),
                                         InputBoxProc, reinterpret_cast<LPARAM>(&state));
  if (result != IDOK) return std::nullopt;
  return Utf8(state.text);
}

intptr_t Win32Shell::Execute(std::string_view operation, std::string_view file, std::string_view parameters,
                             std::string_view directory, int show) {
  const std::string o = ToCodePage(operation, CP_ACP), f = ToCodePage(file, CP_ACP),
                    p = ToCodePage(parameters, CP_ACP), d = ToCodePage(directory, CP_ACP);
  return reinterpret_cast<intptr_t>(DECLARED(ShellExecuteA)(nullptr, o.c_str(), f.c_str(), p.c_str(), d.c_str(), show));
}

HWND CreateMessageWindow(const wchar_t* className, WNDPROC procedure, void* owner) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = procedure;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = className;
  RegisterClassExW(&wc);  // already there from an earlier window of this process: as good
  const HWND window = CreateWindowExW(0, className, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  if (window) SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
  return window;
}

void Win32Process::Exit(int code) { std::exit(code); }

void Win32Process::Fail(std::string_view message, int exitCode) {
  MessageBoxW(nullptr, Wide(message).c_str(), L"错误", MB_OK | MB_ICONERROR | MB_TOPMOST | MB_SETFOREGROUND);
  std::exit(exitCode);
}
