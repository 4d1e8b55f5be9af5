#include "ui/model.h"

#include <algorithm>

#include "ui/number_reading.h"

namespace ui {

int ClampExtent(long long v) { return static_cast<int>(std::clamp<long long>(v, 0, kMaxExtent)); }

Control* Window::Find(uint32_t id) {
  for (Control& c : controls) {
    if (c.id() == id) return &c;
  }
  return nullptr;
}

Control& Window::Get(uint32_t id) { return *Find(id); }

MenuItem& Window::Item(uint32_t id) {
  return *std::find_if(menu.begin(), menu.end(), [id](const MenuItem& m) { return m.layout->id == id; });
}

Control* NextTabStop(Window& w, const Control* from, bool backward) {
  const int n = static_cast<int>(w.controls.size());
  if (n == 0) return nullptr;
  const int step = backward ? n - 1 : 1;  // one back is n - 1 forward, modulo n
  // From the window itself the search starts just outside either end.
  int at = from ? static_cast<int>(from - w.controls.data()) : (backward ? 0 : n - 1);
  for (int i = 0; i < n; ++i) {
    at = (at + step) % n;
    Control& c = w.controls[static_cast<size_t>(at)];
    if ((c.layout->flags & kTabStop) && c.visible && c.enabled) return &c;
  }
  return nullptr;
}

std::vector<MenuEntry> PopUpEntries(const Window& w) {
  std::vector<MenuEntry> entries;
  for (const MenuItem& item : w.menu) {
    if (item.layout->level != 1 || item.hidden) continue;
    if (item.caption == "-") {
      entries.push_back({0, {}});
    } else {
      entries.push_back({item.layout->id, item.caption, item.checked, item.disabled});
    }
  }
  return entries;
}

void TimerSchedule::Start(int64_t now, int interval) {
  interval_ = interval;
  next_ = now + interval;
}

bool TimerSchedule::TakeDue(int64_t now) {
  if (interval_ <= 0 || now < next_) return false;
  if (now - next_ > kLongestCatchUp) next_ += (now - next_ - kLongestCatchUp) / interval_ * interval_;
  next_ += interval_;
  return true;
}

int64_t TimerSchedule::Wait(int64_t now) const { return std::max<int64_t>(next_ - now, 0); }

}  // namespace ui
