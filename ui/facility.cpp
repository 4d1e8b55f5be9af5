#include "ui/facility.h"

#include <algorithm>

#include "ui/number_reading.h"

namespace ui {

void Facility::PopUpMenu(Window& w) {
  if (const uint32_t chosen = backend_.PopUpMenu(w, PopUpEntries(w))) Raise(w, chosen, EventKind::Clicked);
}

namespace {

Control ControlAsLaidOut(const ControlLayout& cl, Window& w) {
  return Control{
      .layout = &cl,
      .window = &w,
      .left = cl.left,
      .top = cl.top,
      .width = cl.width,
      .height = cl.height,
      .visible = (cl.flags & kVisible) != 0,
      .enabled = (cl.flags & kDisabled) == 0,
      .text = cl.caption,
      .checked = (cl.flags & kChecked) != 0,
      .colour = kNoColour,
      .interval = cl.interval,
      .schedule = {},
      .fontPoints = 0,
      .textColour = cl.textColour,
      .gradientMiddle = cl.gradient[1],
  };
}

// Gives a control's property its new value, and the screen the change.
template <typename T, typename V>
void Put(Backend& backend, Control& c, T Control::*property, V value, Prop prop) {
  c.*property = value;
  backend.MirrorControl(c, prop);
}

}  // namespace

Window* Facility::Load(const WindowSpec& spec, bool modal, Window** handle) {
  auto owned = std::make_shared<Window>(spec);
  Window& w = *owned;
  const WindowLayout& layout = spec.layout;
  int screenWidth = 0, screenHeight = 0;
  backend_.ScreenSize(screenWidth, screenHeight);
  w.width = layout.width;
  w.height = layout.height;
  w.left = (screenWidth - w.width) / 2;
  w.top = (screenHeight - w.height) / 2;
  for (const ControlLayout& cl : layout.controls) w.controls.push_back(ControlAsLaidOut(cl, w));
  for (const MenuItemLayout& ml : layout.menu) {
    w.menu.push_back(MenuItem{&ml, ml.caption, (ml.flags & kMenuHidden) != 0, (ml.flags & kMenuDisabled) != 0,
                              (ml.flags & kMenuChecked) != 0});
  }
  windows_.push_back(owned);

  // Nothing raises events while the window is being built.
  if (!backend_.Create(w)) {
    Unloaded(w);
    if (handle) *handle = nullptr;
    return nullptr;
  }
  if (handle) *handle = &w;
  for (Control& c : w.controls) {
    if (c.kind() == Kind::Timer && c.interval > 0) {
      c.schedule.Start(backend_.Now(), c.interval);
      ArmTimer(c);
    }
  }
  Raise(w, 0, EventKind::Created);
  if (w.alive) Raise(w, 0, EventKind::Moved);
  if (w.alive) Raise(w, 0, EventKind::Resized);
  if (w.alive && layout.visible) SetVisible(w, true);
  if (!modal) return &w;

  if (w.alive) {
    for (const auto& other : windows_) {
      if (other.get() != &w && other->alive) {
        w.restoreOnClose.emplace_back(other, other->enabled);
        SetEnabled(*other, false);
      }
    }
    backend_.RunModal(w);  // `owned` keeps w alive, however it closes
  }
  RestoreOthers(w);
  if (handle) *handle = nullptr;
  return nullptr;  // a modal window is gone when its load returns
}

void Facility::RestoreOthers(Window& w) {
  // Taken out first: enabling a window may run code that closes w again.
  auto others = std::move(w.restoreOnClose);
  w.restoreOnClose.clear();
  for (auto& [weak, enabled] : others) {
    if (const auto other = weak.lock(); other && other->alive) SetEnabled(*other, enabled);
  }
}

void Facility::Destroy(Window& w) {
  if (!w.alive) return;
  w.alive = false;
  // The others are enabled before this one goes, so that the system hands the
  // activation back to one of them rather than to some other program.
  RestoreOthers(w);
  backend_.Destroy(w);
}

void Facility::Unloaded(Window& w) {
  w.alive = false;
  RestoreOthers(w);
  std::erase_if(windows_, [&w](const std::shared_ptr<Window>& p) { return p.get() == &w; });
}

bool Facility::AnyLoaded() const {
  return std::any_of(windows_.begin(), windows_.end(), [](const auto& w) { return w->alive; });
}

void Facility::SetText(Control& c, std::string_view text) {
  c.text = text;
  backend_.MirrorControl(c, Prop::Text);
  if (c.kind() == Kind::EditBox) Raise(*c.window, c.id(), EventKind::ContentChanged);
}

void Facility::SetEnabled(Control& c, bool enabled) {
  if (c.enabled == enabled) return;
  c.enabled = enabled;
  backend_.MirrorControl(c, Prop::Enabled);
}

void Facility::SetChecked(Control& c, bool checked) { Put(backend_, c, &Control::checked, checked, Prop::Checked); }

void Facility::SetColour(Control& c, Colour colour) { Put(backend_, c, &Control::colour, colour, Prop::PickerColour); }

void Facility::ArmTimer(Control& timer) {
  backend_.ArmTimer(timer, timer.schedule.running() ? timer.schedule.Wait(backend_.Now()) : -1);
}

void Facility::SetInterval(Control& c, int ms) {
  ms = std::max(ms, 0);
  if (c.interval == ms) return;  // a running period is not restarted
  c.interval = ms;
  if (ms > 0) {
    c.schedule.Start(backend_.Now(), ms);
  } else {
    c.schedule.Stop();
  }
  ArmTimer(c);
}

void Facility::TimerFired(Window& w, uint32_t timer) {
  // Held for the loop: a routine may close the window meanwhile.
  std::shared_ptr<Window> keep;
  for (const auto& owned : windows_) {
    if (owned.get() == &w) keep = owned;
  }
  Control* c = keep ? w.Find(timer) : nullptr;
  if (c == nullptr || c->kind() != Kind::Timer) return;
  // Armed again before each event, whose routine may wait and handle this
  // timer's later events itself; it may also stop the timer, or start it
  // afresh, and then nothing more is due here.
  while (w.alive && c->schedule.TakeDue(backend_.Now())) {
    ArmTimer(*c);
    Raise(w, timer, EventKind::Elapsed);
  }
  if (w.alive) ArmTimer(*c);
}

void Facility::SetFontPoints(Control& c, int points) {
  Put(backend_, c, &Control::fontPoints, std::max(points, 0), Prop::Font);
}

void Facility::SetTextColour(Control& c, Colour colour) {
  Put(backend_, c, &Control::textColour, colour, Prop::TextColour);
}

void Facility::SetGradientMiddle(Control& c, Colour colour) {
  Put(backend_, c, &Control::gradientMiddle, colour, Prop::Gradient);
}

void Facility::SetWidth(Control& c, long long width) {
  Put(backend_, c, &Control::width, ClampExtent(width), Prop::Size);
}

void Facility::SetHeight(Control& c, long long height) {
  Put(backend_, c, &Control::height, ClampExtent(height), Prop::Size);
}

void Facility::SetWindowSize(Window& w, long long width, long long height) {
  const int newWidth = ClampExtent(width), newHeight = ClampExtent(height);
  if (newWidth == w.width && newHeight == w.height) return;
  w.width = newWidth;
  w.height = newHeight;
  backend_.MirrorWindow(w, WindowProp::Bounds);
  Raise(w, 0, EventKind::Resized);
}

void Facility::SetWindowPosition(Window& w, int left, int top) {
  if (left == w.left && top == w.top) return;
  w.left = left;
  w.top = top;
  backend_.MirrorWindow(w, WindowProp::Bounds);
  Raise(w, 0, EventKind::Moved);
}

void Facility::SetVisible(Window& w, bool visible) {
  w.visible = visible;
  backend_.MirrorWindow(w, WindowProp::Visible);
}

void Facility::SetEnabled(Window& w, bool enabled) {
  w.enabled = enabled;
  backend_.MirrorWindow(w, WindowProp::Enabled);
}

bool Facility::Raise(Window& w, uint32_t control, EventKind kind, const Event& e) {
  if (context_ == nullptr) return false;
  for (const Binding& b : w.bindings) {
    if (b.control == control && b.event == kind) {
      Event raised = e;
      raised.control = control;
      b.routine(context_, raised);
      return true;
    }
  }
  return false;
}

void Facility::UserEdited(Control& c, std::string text) {
  c.text = std::move(text);
  Raise(*c.window, c.id(), EventKind::ContentChanged);
}

void Facility::UserToggled(Control& c, bool checked) {
  c.checked = checked;
  Raise(*c.window, c.id(), EventKind::Clicked);
}

void Facility::UserPickedColour(Control& c, Colour colour) {
  if (colour == c.colour) return;
  SetColour(c, colour);
  Raise(*c.window, c.id(), EventKind::ColourChanged);
}

bool Facility::UserTurnedWheel(Control& c, int delta, Event e) {
  // A turn the other way starts from nothing: what was left over of the last
  // turn would only swallow the first steps back.
  if ((delta < 0 && c.wheelRemainder > 0) || (delta > 0 && c.wheelRemainder < 0)) c.wheelRemainder = 0;
  const int turned = c.wheelRemainder + delta;
  e.notches = turned / kWheelDelta;  // toward zero, in either direction
  c.wheelRemainder = turned % kWheelDelta;
  return Raise(*c.window, c.id(), EventKind::Wheel, e);
}

void Facility::LostFocus(Control& c) {
  c.wheelRemainder = 0;  // the user has moved on
  if (c.kind() != Kind::EditBox || c.layout->input != InputMode::Decimal) return;
  std::string rewritten = DecimalRewrite(c.text);
  if (rewritten != c.text) SetText(c, rewritten);
}

void Facility::WindowMoved(Window& w, int left, int top, int width, int height) {
  const bool moved = left != w.left || top != w.top;
  const bool resized = width != w.width || height != w.height;
  w.left = left;
  w.top = top;
  w.width = width;
  w.height = height;
  if (moved) Raise(w, 0, EventKind::Moved);
  if (resized && w.alive) Raise(w, 0, EventKind::Resized);
}

}  // namespace ui
