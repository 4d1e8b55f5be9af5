// The window facility's Win32 side: real windows built from the layouts,
// mirroring every model change and turning user input into model events.
#pragma once

#include <windows.h>

#include <cstdint>

#include "base/handles_win.h"
#include "ui/facility.h"

namespace ui {

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
  void MirrorControl(Control& c, Prop prop) override;
  void MirrorWindow(Window& w, WindowProp prop) override;
  void RunModal(Window& w) override;
  uint32_t PopUpMenu(Window& owner, const std::vector<MenuEntry>& entries) override;

  // Runs the user-interface thread's loop until no loaded window is left.
  int RunMessageLoop();

  static HWND Handle(const Window& w);
  static HWND Handle(const Control& c);
  HFONT uiFont() const { return uiFont_.get(); }

 private:
  HINSTANCE instance_;
  bool ready_ = false;       // window classes registered and the hidden owner made
  OwnedWindow hiddenOwner_;  // owns the windows that get no taskbar button
  OwnedFont uiFont_;
  Facility* facility_ = nullptr;
};

}  // namespace ui
