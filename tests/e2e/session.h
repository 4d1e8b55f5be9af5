// One run of the program for an end-to-end test: started in a fresh folder,
// its two windows found, its controls reachable by their identifiers.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/e2e/driver.h"

namespace e2e {

// Identifiers of the main window's time label and the settings window's controls.
namespace id {
inline constexpr uint32_t kTimeLabel = 0x1601007D;
inline constexpr uint32_t kTitle = 0x1601131E;
inline constexpr uint32_t kBody = 0x160112C2;
inline constexpr uint32_t kStart = 0x160112CB;
inline constexpr uint32_t kReset = 0x160112CC;
inline constexpr uint32_t kTimeBox = 0x160112CA;
inline constexpr uint32_t kClose = 0x160112C3;
inline constexpr uint32_t kHide = 0x16011335;
inline constexpr uint32_t kTranslucent = 0x160112C6;
inline constexpr uint32_t kApplause = 0x160112C5;
inline constexpr uint32_t kWarning = 0x160112C4;
inline constexpr uint32_t kAutoHide = 0x160112C7;
inline constexpr uint32_t kWidthBox = 0x16011337;
inline constexpr uint32_t kHeightBox = 0x1601133A;
inline constexpr uint32_t kFontBox = 0x16011338;
inline constexpr uint32_t kBackColour = 0x160112F2;
inline constexpr uint32_t kTextColour = 0x160112F5;
// The About window's.
namespace about {
inline constexpr uint32_t kTitle = 0x1601137F;
inline constexpr uint32_t kClose = 0x16011382;
inline constexpr uint32_t kBanner = 0x16011385;
inline constexpr uint32_t kWebLink = 0x16011384;
inline constexpr uint32_t kMailLink = 0x16011386;
inline constexpr uint32_t kPhone = 0x16011389;
inline constexpr uint32_t kRights = 0x1601138B;
}  // namespace about
}  // namespace id

// The settings file as the program writes it: one section, GBK text.
inline std::string SettingsFile(const std::wstring& lines) { return Gbk(L"[配置信息]\r\n" + lines); }

class Session {
 public:
  explicit Session(std::optional<std::string> settings = std::nullopt, const std::vector<std::wstring>& beside = {})
      : Session(Program::Start(settings, beside)) {}
  // A program started some other way (Program::StartWith), or ahead of time.
  explicit Session(Program started) : program(std::move(started)) {
    main = program.WaitVisibleWindow(L"澜珂倒计时");
    settingsWindow = program.WaitVisibleWindow(L"设置窗口");
    // The main window is layered, and a layered window reaches the screen
    // only once it has painted: its top rows are near white whatever the
    // colours, so wait until they show.
    if (main != nullptr) {
      WaitUntil(
          [&] {
            const RECT r = WindowRect(main);
            return GetGValue(ScreenPixel(r.left + 3, r.top + 1)) > 128;
          },
          3000);
    }
  }
  bool Ready() const { return main != nullptr && settingsWindow != nullptr; }
  HWND Label() const { return Control(main, id::kTimeLabel); }
  HWND Ctl(uint32_t id) const { return Control(settingsWindow, id); }
  // The settings file's text, decoded from GBK.
  std::wstring File() const { return FromGbk(program.SettingsBytes()); }
  bool WaitFileHas(const std::wstring& line, DWORD timeoutMs = 3000) const {
    return WaitUntil([&] { return File().find(line + L"\r\n") != std::wstring::npos; }, timeoutMs);
  }

  Program program;
  HWND main = nullptr;
  HWND settingsWindow = nullptr;
};

// Commands in the menu's order, separators left out: how many Down presses
// reach each from a menu with nothing selected yet.
enum Item {
  kStartItem = 1,
  kResetItem,
  kEnterTimeItem,
  kShowSettingsItem,
  kTranslucentItem,
  kApplauseItem,
  kWarningItem,
  kAutoHideItem,
  kWebSiteItem,
  kAboutItem,
  kCloseItem
};

// The menu's first line as pixels, to tell its caption from another.
inline std::vector<COLORREF> FirstLine(HWND menu) {
  const RECT r = WindowRect(menu);
  std::vector<COLORREF> pixels;
  for (int y = r.top + 3; y < r.top + 19; ++y) {
    for (int x = r.left + 3; x < r.right - 3; ++x) pixels.push_back(ScreenPixel(x, y));
  }
  return pixels;
}

// The pop-up menu over the time label, worked by keyboard.
class Menu {
 public:
  explicit Menu(Session& s) : s_(s) {}
  // Pops the menu up over the label; its first line, to compare with another's.
  std::vector<COLORREF> Open(const std::wstring& shot = L"") {
    RightClick(s_.Label());
    window_ = s_.program.WaitMenu();
    if (window_ == nullptr) return {};
    Sleep(100);  // drawn
    if (!shot.empty()) SaveWindowShot(window_, shot);
    return FirstLine(window_);
  }
  HWND window() const { return window_; }
  void Choose(Item item) {
    for (int i = 0; i < item; ++i) PressKey(VK_DOWN);
    PressKey(VK_RETURN);
    WaitUntil([&] { return !IsWindow(window_) || !Visible(window_); });
  }
  void Pick(Item item) {
    Open();
    Choose(item);
  }

 private:
  Session& s_;
  HWND window_ = nullptr;
};

}  // namespace e2e

#define ASSERT_SESSION(s) ASSERT_TRUE((s).Ready()) << "the program's windows did not appear"
