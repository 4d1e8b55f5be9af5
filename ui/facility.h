// The window facility: it builds windows from their layouts, carries every
// property write from the routines over to the real window system through
// its backend, and raises the bound events for what the user does. The Win32
// backend mirrors the model onto real windows and feeds user input back in;
// routines only ever touch the model.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/model.h"

namespace ui {

class LinkShell;

enum class Prop : uint8_t { Text, Enabled, Checked, PickerColour, Font, TextColour, Gradient, Size, Links };
enum class WindowProp : uint8_t { Bounds, Visible, Enabled };

// What the model needs from the real window system.
class Backend {
 public:
  virtual ~Backend() = default;
  virtual void ScreenSize(int& width, int& height) = 0;
  // A monotonic clock in milliseconds for the timers' schedules.
  virtual int64_t Now() = 0;
  // Raises the timer's next Elapsed in `milliseconds` (0: as soon as may be);
  // a negative wait stops it.
  virtual void ArmTimer(Control& timer, int64_t milliseconds) = 0;
  // Builds the real window and its controls; false when that failed, and then
  // nothing of the window is left behind.
  virtual bool Create(Window&) = 0;
  virtual void Destroy(Window&) = 0;  // carried out when the UI thread next handles messages
  // Carries one property of the model over to the real control or window.
  virtual void MirrorControl(Control&, Prop) = 0;
  virtual void MirrorWindow(Window&, WindowProp) = 0;
  virtual void RunModal(Window&) = 0;  // returns once the window is gone
  // Shows a pop-up menu owned by the window near the mouse cursor and waits
  // until it closes; the chosen item, or 0 when none was chosen.
  virtual uint32_t PopUpMenu(Window& owner, const std::vector<MenuEntry>& entries) = 0;
};

class Facility {
 public:
  explicit Facility(Backend& backend) : backend_(backend) {}
  Facility(const Facility&) = delete;
  Facility& operator=(const Facility&) = delete;

  // What every routine is handed: the program's own record, opaque here.
  void SetContext(void* context) { context_ = context; }
  // What the links open their addresses with; without one a click opens nothing.
  void SetLinkShell(LinkShell* shell) { links_ = shell; }
  Backend& backend() { return backend_; }

  // Builds a window from its layout, raises creation, position and size
  // events, shows it if its layout says so, and for a modal load returns only
  // once the window is gone, with the other windows disabled meanwhile.
  // *handle, when given, is set as soon as the window exists, before its
  // creation event, so that the creation routine can already reach it.
  // Null when the window could not be created (no event has run then), and
  // always for a modal load.
  Window* Load(const WindowSpec& spec, bool modal, Window** handle = nullptr);
  void Destroy(Window& w);
  bool AnyLoaded() const;
  // Pops the window's menu up; the chosen item's click event is raised once
  // the menu has closed.
  void PopUpMenu(Window& w);
  const std::vector<std::shared_ptr<Window>>& windows() const { return windows_; }

  // Property writes from routines.
  void SetText(Control& c, std::string_view text);  // edit boxes raise ContentChanged once
  void SetEnabled(Control& c, bool enabled);
  void SetChecked(Control& c, bool checked);  // no event
  void SetColour(Control& c, Colour colour);  // no event
  void SetInterval(Control& c, int ms);
  void SetFontPoints(Control& c, int points);
  void SetTextColour(Control& c, Colour colour);
  void SetGradientMiddle(Control& c, Colour colour);
  void SetWidth(Control& c, long long width);
  void SetHeight(Control& c, long long height);
  void SetWindowSize(Window& w, long long width, long long height);
  void SetWindowPosition(Window& w, int left, int top);
  void SetVisible(Window& w, bool visible);
  void SetEnabled(Window& w, bool enabled);

  // Input from the window system.
  // Runs the routine bound to the event, if any; true when one ran.
  bool Raise(Window& w, uint32_t control, EventKind kind, const Event& e = {});
  void UserEdited(Control& c, std::string text);
  void UserToggled(Control& c, bool checked);
  void UserPickedColour(Control& c, Colour colour);
  // The wheel turned over a control by `delta` (kWheelDelta a notch, as a
  // mouse sends it; a touchpad sends less): raises its wheel event with the
  // whole notches of what the control has been turned so far and keeps the
  // rest for the next turn, dropped when the wheel turns the other way or the
  // control loses the focus. The event is raised even for no whole notch.
  // True when a routine ran.
  bool UserTurnedWheel(Control& c, int delta, Event e);
  void LostFocus(Control& c);
  // A click on a link: opens what it points to; the link counts as visited
  // exactly when that worked. Defined with the links (links.cpp).
  void LinkClicked(Control& c);
  // A timer's wait is over: raises its Elapsed once for every instant due by
  // now, the earliest first, and arms the wait for the next one.
  void TimerFired(Window& w, uint32_t timer);
  void WindowMoved(Window& w, int left, int top, int width, int height);
  void Unloaded(Window& w);

 private:
  void RestoreOthers(Window& w);
  void ArmTimer(Control& timer);

  Backend& backend_;
  void* context_ = nullptr;
  LinkShell* links_ = nullptr;
  // Shared so that a modal load keeps its window's record alive however the
  // window goes while the nested loop runs.
  std::vector<std::shared_ptr<Window>> windows_;
};

}  // namespace ui
