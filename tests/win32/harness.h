// What the Win32 tests share: the whole program on the real window system
// with test doubles for the other services, a message pump, and a memory
// bitmap to print controls into and read their pixels back.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/bindings.h"
#include "app/control_ids.h"
#include "app/lifetime.h"
#include "app/program.h"
#include "base/encoding_win.h"
#include "tests/host/fakes.h"
#include "ui/backend_win.h"
#include "ui/message_dispatch_win.h"

namespace win32test {

namespace m = main_window;
namespace s = settings_window;

// Handles the thread's messages for about ms milliseconds.
inline void Pump(DWORD ms) {
  const DWORD end = GetTickCount() + ms;
  do {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ui::DispatchUserMessage(msg);
    Sleep(5);
  } while (static_cast<LONG>(end - GetTickCount()) > 0);
}

inline std::wstring Text(HWND hwnd) {
  wchar_t buffer[512] = L"";
  SendMessageW(hwnd, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buffer));
  return buffer;
}

inline RECT Rect(HWND hwnd) {
  RECT r;
  GetWindowRect(hwnd, &r);
  return r;
}

// What every native control must show of its model and layout, one row a
// property; CheckNativeControls holds each control of a window to all of them.
struct NativeControlCheck {
  const char* what;
  bool (*holds)(const ui::Window& w, const ui::Control& c, HWND hwnd);
};
inline DWORD StyleOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE)); }
// Positions in a container are measured from the container's corner.
inline POINT OffsetInWindow(const ui::Window& w, const ui::Control& c, HWND hwnd) {
  const RECT r = Rect(hwnd), top = Rect(ui::Win32Backend::Handle(w));
  const ui::Control* box = nullptr;
  for (const ui::Control& o : w.controls) {
    if (c.layout->container != 0 && o.id() == c.layout->container) box = &o;
  }
  return {r.left - top.left - (box ? box->left : 0), r.top - top.top - (box ? box->top : 0)};
}
inline constexpr NativeControlCheck kNativeControlChecks[] = {
    {"identifier", [](const ui::Window&, const ui::Control& c,
                      HWND h) { return static_cast<uint32_t>(GetWindowLongW(h, GWL_ID)) == c.id(); }},
    {"text", [](const ui::Window&, const ui::Control& c, HWND h) { return Utf8(Text(h)) == c.text; }},
    {"enabled",
     [](const ui::Window&, const ui::Control& c, HWND h) { return (IsWindowEnabled(h) != FALSE) == c.enabled; }},
    {"check",
     [](const ui::Window&, const ui::Control& c, HWND h) {
       return c.kind() != ui::Kind::CheckBox || (SendMessageW(h, BM_GETCHECK, 0, 0) == BST_CHECKED) == c.checked;
     }},
    {"tab stop", [](const ui::Window&, const ui::Control& c,
                    HWND h) { return ((StyleOf(h) & WS_TABSTOP) != 0) == ((c.layout->flags & ui::kTabStop) != 0); }},
    {"visible",
     [](const ui::Window&, const ui::Control& c, HWND h) { return ((StyleOf(h) & WS_VISIBLE) != 0) == c.visible; }},
    {"left", [](const ui::Window& w, const ui::Control& c, HWND h) { return OffsetInWindow(w, c, h).x == c.left; }},
    {"top", [](const ui::Window& w, const ui::Control& c, HWND h) { return OffsetInWindow(w, c, h).y == c.top; }},
    {"width", [](const ui::Window&, const ui::Control& c, HWND h) { return Rect(h).right - Rect(h).left == c.width; }},
};
inline void CheckNativeControls(const ui::Window& w) {
  for (const ui::Control& c : w.controls) {
    if (c.kind() == ui::Kind::Timer) continue;
    SCOPED_TRACE(c.layout->name);
    const HWND hwnd = ui::Win32Backend::Handle(c);
    ASSERT_TRUE(IsWindow(hwnd));
    for (const NativeControlCheck& check : kNativeControlChecks) EXPECT_TRUE(check.holds(w, c, hwnd)) << check.what;
  }
}

inline std::vector<std::string> WritesOf(const test::FakeStore& store, std::string_view key) {
  std::vector<std::string> values;
  for (const auto& [k, v] : store.writes) {
    if (k == key) values.push_back(v);
  }
  return values;
}

// A memory bitmap, filled with one colour, that windows print themselves into.
class Canvas {
 public:
  Canvas(int width, int height, COLORREF fill = RGB(255, 0, 255)) : Canvas(WindowDc(nullptr), width, height, fill) {}
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  void Fill(COLORREF colour) {
    SetDCBrushColor(dc_.get(), colour);
    FillRect(dc_.get(), &size_, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  }
  void Print(HWND hwnd) { SendMessageW(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_.get()), PRF_CLIENT); }
  COLORREF At(int x, int y) const { return GetPixel(dc_.get(), x, y); }
  HDC dc() const { return dc_.get(); }

 private:
  // The DC and bitmap are made like the screen's DC, given back once the canvas is ready.
  Canvas(const WindowDc& screen, int width, int height, COLORREF fill)
      : dc_(CreateCompatibleDC(screen.get())),
        bitmap_(CreateCompatibleBitmap(screen.get(), std::max(width, 1), std::max(height, 1))),
        selected_(dc_.get(), bitmap_.get()),
        size_{0, 0, width, height} {
    Fill(fill);
  }

  // Gone in the reverse order: the bitmap is taken out of the DC, then
  // deleted, and the DC last.
  OwnedMemoryDc dc_;
  OwnedBitmap bitmap_;
  Selection selected_;
  RECT size_;
};

// The program started on real windows; with the real process control, when given.
class Win32Run {
 public:
  explicit Win32Run(SettingsStore& store, ProcessControl* realProcess = nullptr)
      : backend(new ui::Win32Backend(GetModuleHandleW(nullptr))), facility(new ui::Facility(*backend)) {
    backend->Attach(*facility);
    program = new Program(*facility,
                          Services{store, sound, delay, inputBox, shell, realProcess ? *realProcess : process, desktop},
                          kProgramWindows);
    StartProgram(*program);
  }
  ~Win32Run() {
    while (!facility->windows().empty()) DestroyWindow(ui::Win32Backend::Handle(*facility->windows().back()));
    delete program;
    delete facility;
    delete backend;
  }
  Win32Run(const Win32Run&) = delete;
  Win32Run& operator=(const Win32Run&) = delete;

  HWND Handle(ui::Window& w, uint32_t id) const { return ui::Win32Backend::Handle(w.Get(id)); }
  HWND Main() const { return ui::Win32Backend::Handle(*program->main); }
  HWND SettingsWindow() const { return ui::Win32Backend::Handle(*program->settings); }
  ui::Control& Settings(uint32_t id) const { return program->settings->Get(id); }

  test::FakeSound sound;
  test::FakeDelay delay;
  test::FakeInputBox inputBox;
  test::FakeShell shell;
  test::FakeProcess process;
  test::FakeDesktop desktop;
  ui::Win32Backend* backend;
  ui::Facility* facility;
  Program* program = nullptr;
};

// Most tests: the program with settings in memory.
class Win32Program : public ::testing::Test {
 protected:
  void SetUp() override { run = std::make_unique<Win32Run>(store); }
  void TearDown() override { run.reset(); }

  HWND Handle(ui::Window& w, uint32_t id) const { return run->Handle(w, id); }
  ui::Control& Settings(uint32_t id) const { return run->Settings(id); }

  test::FakeStore store;
  std::unique_ptr<Win32Run> run;
};

}  // namespace win32test
