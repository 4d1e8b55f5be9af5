// The one dispatch that every message loop of the program (the main loop, a
// modal window's, a delay's wait) hands each message to, so that Tab, Esc and
// a drag behave the same whichever loop is running.
#pragma once

#include <windows.h>

namespace ui {

// How a message is handed on once the program's own keys have been seen to:
// with the W functions when it was taken with GetMessageW, with the A ones
// when it was taken with GetMessageA.
struct MessageDispatch {
  BOOL(WINAPI* translate)(const MSG*) = ::TranslateMessage;
  LRESULT(WINAPI* dispatch)(const MSG*) = ::DispatchMessageW;
  BOOL(WINAPI* dialog)(HWND, LPMSG) = ::IsDialogMessageW;
};

void DispatchUserMessage(MSG& msg, const MessageDispatch& how = {});

}  // namespace ui
