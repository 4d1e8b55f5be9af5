// The window facility's portable model: windows and controls built from
// constant layouts, holding every property the routines read or write, and
// raising the bound events. The Win32 backend mirrors this state onto real
// windows and feeds user input back in; routines only ever touch the model.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ui/number_reading.h"

namespace ui {

class LinkShell;

using Colour = uint32_t;  // 0x00BBGGRR
inline constexpr Colour kNoColour = 0xFF000000;

// clang-format off
enum class Kind : uint8_t {
  EditBox, PicBox, ShapeBox, Label, Button, CheckBox, ColorPicker, HyperLinker, Timer, TransLabel
};
// clang-format on
enum class Border : uint8_t { None, Sunken, Raised, ShallowSunken, Frame, SingleLine, Gradient };
enum class HAlign : uint8_t { Left, Centre, Right };
enum class VAlign : uint8_t { Top, Centre, Bottom };
enum class TextEffect : uint8_t { None, Engraved, Embossed, Shadow };
enum class GradientMode : uint8_t { None, TopToBottom };
enum class LinkKind : uint8_t { Web, Mail };

// Control layout flags.
enum : uint8_t { kVisible = 1, kDisabled = 2, kTabStop = 4, kChecked = 8 };
// Menu item layout flags.
enum : uint8_t { kMenuHidden = 1, kMenuDisabled = 2, kMenuChecked = 4 };

struct FontSpec {
  const char* face;
  int height;  // pixels, negative: character height
  int weight;
  uint8_t charset, outPrecision, clipPrecision, quality, pitchAndFamily;
};

// Arguments of an event: mouse position and key state (1 Ctrl, 2 Shift,
// 4 Alt), and for the wheel the number of notches (positive away from the user).
struct Event {
  int x = 0, y = 0, keys = 0, notches = 0;
  uint32_t control = 0;  // what raised it: a control or menu item, 0 for the window; set by Raise
};
// A routine gets the context the facility was given, and the event.
using Routine = void (*)(void* context, const Event&);

// clang-format off
enum class EventKind : uint8_t {
  Created, Moved, Resized, Elapsed, Clicked, ContentChanged, ColourChanged,
  RightButtonUp, DoubleClicked, Wheel, CloseRequested,
};
// clang-format on

// control 0 stands for the window itself.
struct Binding {
  uint32_t control;
  EventKind event;
  Routine routine;
};

struct ControlLayout {
  uint32_t id = 0;
  const char* name = "";
  Kind kind = Kind::Label;
  uint32_t container = 0;  // 0: the window; else a control whose client holds this one
  int left = 0, top = 0, width = 0, height = 0;
  const char* caption = "";
  uint8_t flags = kVisible;
  const FontSpec* font = nullptr;  // null: the default user-interface font
  Colour textColour = 0;
  Colour backColour = kNoColour;
  Border border = Border::None;
  HAlign hAlign = HAlign::Left;
  VAlign vAlign = VAlign::Centre;
  TextEffect effect = TextEffect::None;
  GradientMode gradientMode = GradientMode::None;
  Colour gradient[3] = {kNoColour, kNoColour, kNoColour};
  InputMode input = InputMode::Text;
  int maxLength = 0;     // edit boxes; 0: no limit
  int interval = 0;      // timers
  Colour penColour = 0;  // shape boxes: a rectangle outline
  Colour fillColour = kNoColour;
  LinkKind link = LinkKind::Web;  // hyperlinks
  const char* address = "";
  Colour hoverColour = 0, visitedColour = 0;
  int picture = 0;  // picture boxes: resource id of the image
};

struct MenuItemLayout {
  uint32_t id;
  int level;
  const char* caption;
  uint8_t flags;
};

struct WindowLayout {
  uint32_t id, unitId;
  const char* caption;
  int width, height;
  Colour backColour;
  bool visible, topmost, inTaskbar, dragMove;
  std::span<const ControlLayout> controls;
  std::span<const MenuItemLayout> menu;
};

// A window as it is opened: its layout and which routine each of its events runs.
struct WindowSpec {
  const WindowLayout& layout;
  std::span<const Binding> bindings;
};

class Window;

// When a timer's events fall due: the k-th at start + k × interval on a
// monotonic clock. Each wait is armed for the time left to the next due
// instant, so an event that comes late makes the next one no later, and
// instants missed while the thread was held up are raised as soon as it runs
// again. Times are milliseconds.
class TimerSchedule {
 public:
  // Instants further back than this are not caught up: a thread held up for
  // longer than a minute gets its last minute back, not a burst of every
  // event since.
  static constexpr int64_t kLongestCatchUp = 60'000;

  void Start(int64_t now, int interval);
  void Stop() { interval_ = 0; }
  bool running() const { return interval_ > 0; }
  // Counts off the earliest instant due by `now`; false when none is due.
  bool TakeDue(int64_t now);
  // How long from `now` until the next instant falls due; 0 when one is due already.
  int64_t Wait(int64_t now) const;

 private:
  int64_t next_ = 0;
  int interval_ = 0;
};

struct Control {
  const ControlLayout* layout;
  Window* window;
  int left, top, width, height;
  bool visible, enabled;
  std::string text;  // caption or content, UTF-8
  bool checked;
  Colour colour;  // a colour picker's current colour
  int interval;
  TimerSchedule schedule;
  int fontPoints;
  Colour textColour, gradientMiddle;
  bool hover = false, visited = false;  // links: the cursor is on it; its latest click opened it
  void* native = nullptr;               // the backend's handle

  uint32_t id() const { return layout->id; }
  Kind kind() const { return layout->kind; }
};

struct MenuItem {
  const MenuItemLayout* layout;
  std::string caption;
  bool hidden, disabled, checked;
};

class Window {
 public:
  explicit Window(const WindowSpec& spec) : layout(spec.layout), bindings(spec.bindings) {}
  Control& Get(uint32_t id);
  MenuItem& Item(uint32_t id);
  Control* Find(uint32_t id);

  const WindowLayout& layout;
  std::span<const Binding> bindings;
  int left = 0, top = 0, width = 0, height = 0;
  bool visible = false, enabled = true;
  bool alive = true;  // false once a destruction has been requested or carried out
  std::vector<Control> controls;
  std::vector<MenuItem> menu;
  void* native = nullptr;
  // For a window loaded modally: the other windows and the enabled state each
  // had before, given back as soon as this one is asked to close.
  std::vector<std::pair<std::weak_ptr<Window>, bool>> restoreOnClose;
};

// Where Tab (or Shift+Tab) moves the keyboard focus from `from` (null: from the
// window itself): the next visible, enabled tab stop in layout order, wrapping
// around at either end; null when the window has none.
Control* NextTabStop(Window& w, const Control* from, bool backward);

// One line of a pop-up menu as it is shown.
struct MenuEntry {
  uint32_t item;  // the menu item it stands for; 0 for a separator line
  std::string caption;
  bool checked = false, disabled = false;
};

// The pop-up menu of a window's items as they stand now: the level-1 items
// after the top-level one, hidden ones left out, "-" as a separator line.
std::vector<MenuEntry> PopUpEntries(const Window& w);

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
  virtual void Update(Control&, Prop) = 0;
  virtual void UpdateWindow(Window&, WindowProp) = 0;
  virtual void RunModal(Window&) = 0;  // returns once the window is gone
  // Shows a pop-up menu owned by the window near the mouse cursor and waits
  // until it closes; the chosen item, or 0 when none was chosen.
  virtual uint32_t PopUpMenu(Window& owner, const std::vector<MenuEntry>& entries) = 0;
};

// Sizes of controls and windows are kept within what the window system can
// take; anything larger (or negative) is clamped rather than passed on.
inline constexpr int kMaxExtent = 32767;
int ClampExtent(long long v);

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
