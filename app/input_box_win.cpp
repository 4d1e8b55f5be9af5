#include "app/input_box_win.h"

#include "base/encoding_win.h"

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
        state->text.resize(
            static_cast<size_t>(GetWindowTextW(entry, state->text.data(), static_cast<int>(state->text.size()))));
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
  const INT_PTR result = DialogBoxParamW(instance_, MAKEINTRESOURCEW(kInputBoxDialog), GetActiveWindow(), InputBoxProc,
                                         reinterpret_cast<LPARAM>(&state));
  if (result != IDOK) return std::nullopt;
  return Utf8(state.text);
}
