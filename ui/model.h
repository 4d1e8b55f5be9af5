// The window facility's portable model: windows and controls built from
// constant layouts, holding every property the routines read or write; the
// events they raise, and the bindings that say which routine each one runs.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ui/number_reading.h"

namespace ui {

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

// What a mouse wheel reports for a notch.
inline constexpr int kWheelDelta = 120;

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
  int wheelRemainder = 0;               // what the wheel has turned it short of a whole notch
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

// Sizes of controls and windows are kept within what the window system can
// take; anything larger (or negative) is clamped rather than passed on.
inline constexpr int kMaxExtent = 32767;
int ClampExtent(long long v);

}  // namespace ui
