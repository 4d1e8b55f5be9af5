// The window facility's Win32 side: real windows built from the layouts,
// mirroring every model change and turning user input into model events.
#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/model.h"

namespace ui {

// Window and hook handles keep to 32 bits on 64-bit Windows too, so records
// that threads share hold them as 32-bit values; Windows sign-extends them.
inline uint32_t HandleBits(const void* handle) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(handle)); }
template <class Handle>
Handle HandleFromBits(uint32_t bits) {
  return reinterpret_cast<Handle>(static_cast<intptr_t>(static_cast<int32_t>(bits)));
}

class Win32Backend : public Backend {
 public:
  explicit Win32Backend(HINSTANCE instance);
  ~Win32Backend() override;
  void Attach(Facility& facility) { facility_ = &facility; }

  void ScreenSize(int& width, int& height) override;
  int64_t Now() override;
  void ArmTimer(Control& timer, int64_t milliseconds) override;
  bool Create(Window& w) override;
  void Destroy(Window& w) override;
  void Update(Control& c, Prop prop) override;
  void UpdateWindow(Window& w, WindowProp prop) override;
  void RunModal(Window& w) override;
  uint32_t PopUpMenu(Window& owner, const std::vector<MenuEntry>& entries) override;

  // Runs the user-interface thread's loop until no loaded window is left.
  int RunMessageLoop();

  static HWND Handle(const Window& w);
  static HWND Handle(const Control& c);
  Facility& facility() { return *facility_; }
  HFONT uiFont() const { return uiFont_; }

 private:
  HINSTANCE instance_;
  bool ready_ = false;  // window classes registered and the hidden owner made
  HWND hiddenOwner_ = nullptr;  // owns the windows that get no taskbar button
  HFONT uiFont_ = nullptr;
  Facility* facility_ = nullptr;
};

// How a message is handed on once the program's own keys have been seen to:
// with the W functions when it was taken with GetMessageW, with the A ones
// when it was taken with GetMessageA.
struct MessageDispatch {
  BOOL(WINAPI* translate)(const MSG*) = ::TranslateMessage;
  LRESULT(WINAPI* dispatch)(const MSG*) = ::DispatchMessageW;
  BOOL(WINAPI* dialog)(HWND, LPMSG) = ::IsDialogMessageW;
};

// Every message loop of the program (the main loop, a modal window's, a
// delay's wait) hands each message it takes to this one function, so that
// Tab, Esc and a drag behave the same whichever loop is running.
void DispatchUserMessage(MSG& msg, const MessageDispatch& how = {});

}  // namespace ui
