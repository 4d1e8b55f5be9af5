#include "ui/message_dispatch_win.h"

#include "ui/drag_win.h"
#include "ui/native_win.h"

namespace ui {
namespace {

// One of the program's own top-level windows, or null.
HWND OurRoot(HWND hwnd) {
  const HWND root = hwnd ? GetAncestor(hwnd, GA_ROOT) : nullptr;
  wchar_t cls[32] = L"";
  if (root == nullptr || GetClassNameW(root, cls, 32) == 0 || lstrcmpW(cls, kTopLevelClass) != 0) return nullptr;
  return root;
}

// Tab and Shift+Tab: the next tab stop of the window in layout order, from the
// control with the focus or from the window itself, round and round.
void MoveFocus(HWND root, bool backward) {
  NativeWindow* nw = WindowOf(root);
  if (nw == nullptr) return;
  const HWND focus = GetFocus();
  const Control* current = nullptr;
  for (const auto& nc : nw->controls) {
    if (nc->hwnd == focus) current = nc->model;
  }
  const Control* next = NextTabStop(*nw->model, current, backward);
  if (next == nullptr || next->native == nullptr) return;
  const HWND target = NativeOf(*next)->hwnd;
  SetFocus(target);
  if (next->kind() == Kind::EditBox) SendMessageW(target, EM_SETSEL, 0, -1);  // as dialogs do
}

bool IsKey(const MSG& msg, WPARAM key) { return msg.message == WM_KEYDOWN && msg.wParam == key; }

// Program-wide keyboard handling before a message is dispatched; true when
// the message has been handled.
bool PreTranslate(MSG& msg, const MessageDispatch& how) {
  if (IsKey(msg, VK_ESCAPE)) {
    NativeWindow* dragged = WindowOf(OurRoot(GetCapture()));
    if (dragged && CancelDrag(dragged->drag)) return true;
  }
  const HWND root = OurRoot(msg.hwnd);
  if (root == nullptr) return false;
  if (IsKey(msg, VK_ESCAPE)) {
    PostMessageW(root, WM_CLOSE, 0, 0);
    return true;
  }
  if (IsKey(msg, VK_TAB) && GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0) {
    MoveFocus(root, GetKeyState(VK_SHIFT) < 0);
    return true;
  }
  return how.dialog(root, &msg) != FALSE;
}

}  // namespace

void DispatchUserMessage(MSG& msg, const MessageDispatch& how) {
  if (PreTranslate(msg, how)) return;
  how.translate(&msg);
  how.dispatch(&msg);
}

}  // namespace ui
