// The window facility's Win32 side: real windows built from the layouts,
// mirroring every model change and turning user input into model events.
#pragma once

#include <windows.h>

#include "ui/model.h"

namespace ui {

class Win32Backend : public Backend {
 public:
  explicit Win32Backend(HINSTANCE instance);
  ~Win32Backend() override;
  void Attach(Facility& facility) { facility_ = &facility; }

  void ScreenSize(int& width, int& height) override;
  void Create(Window& w) override;
  void Destroy(Window& w) override;
  void Update(Control& c, Prop prop) override;
  void UpdateWindow(Window& w, WindowProp prop) override;
  void RunModal(Window& w) override;

  // Runs the user-interface thread's loop until no loaded window is left.
  int RunMessageLoop();
  // Program-wide keyboard handling (Esc, Tab) before a message is dispatched;
  // true when the message has been handled.
  bool PreTranslate(MSG& msg);

  static HWND Handle(const Window& w);
  static HWND Handle(const Control& c);
  Facility& facility() { return *facility_; }
  HFONT uiFont() const { return uiFont_; }

 private:
  HINSTANCE instance_;
  HWND hiddenOwner_ = nullptr;  // owns the windows that get no taskbar button
  HFONT uiFont_ = nullptr;
  Facility* facility_ = nullptr;
};

}  // namespace ui
