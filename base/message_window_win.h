// Hidden windows that only receive messages: where a worker thread or a
// device reports back to the user-interface thread.
#pragma once

#include <windows.h>

// A message-only window of a class of its own, whose procedure finds owner
// in GWLP_USERDATA; null when it cannot be made.
HWND CreateMessageWindow(const wchar_t* className, WNDPROC procedure, void* owner);
