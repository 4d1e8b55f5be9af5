// One run of the program for an end-to-end test: started in a fresh folder,
// its two windows found, its controls reachable by their identifiers.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/control_ids.h"
#include "tests/e2e/driver.h"

namespace e2e {

// The controls' identifiers, as the program's own table names them, under
// the short names the tests use.
namespace id {
namespace s = settings_window;
inline constexpr uint32_t kTimeLabel = main_window::显示时间标签;
inline constexpr uint32_t kTitle = s::标签7;
inline constexpr uint32_t kBody = s::外形框1;
inline constexpr uint32_t kStart = s::开始计时按钮;
inline constexpr uint32_t kReset = s::时间归零按钮;
inline constexpr uint32_t kTimePrompt = s::标签1;  // "倒计时间："
inline constexpr uint32_t kTimeBox = s::时间编辑框;
inline constexpr uint32_t kClose = s::关闭程序按钮;
inline constexpr uint32_t kHide = s::隐藏按钮;
inline constexpr uint32_t kTranslucent = s::半透明选择框;
inline constexpr uint32_t kApplause = s::到时后鼓掌选择框;
inline constexpr uint32_t kWarning = s::警告音选择框;
inline constexpr uint32_t kAutoHide = s::自动隐藏选择框;
inline constexpr uint32_t kWidthBox = s::窗口宽度编辑框;
inline constexpr uint32_t kHeightBox = s::窗口高度编辑框;
inline constexpr uint32_t kFontBox = s::字体大小编辑框;
inline constexpr uint32_t kBackColour = s::背景颜色选择器;
inline constexpr uint32_t kTextColour = s::文字颜色选择器;
namespace about {
inline constexpr uint32_t kTitle = about_window::标签7;
inline constexpr uint32_t kClose = about_window::关闭程序按钮;
inline constexpr uint32_t kBanner = about_window::图片框1;
inline constexpr uint32_t kWebLink = about_window::超级链接框2;
inline constexpr uint32_t kMailLink = about_window::超级链接框1;
inline constexpr uint32_t kPhone = about_window::透明标签5;
inline constexpr uint32_t kRights = about_window::透明标签1;
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

// The pop-up menu as the screen shows it, read in one go.
class MenuPicture {
 public:
  explicit MenuPicture(HWND menu) : rect_(WindowRect(menu)), image_(CaptureScreen(rect_)) {}
  // Drawn whole: the menu's background down its left side, and the caption
  // of its last item (it is drawn from the top) above the bottom edge.
  bool Drawn() const {
    if (image_.empty() || !EqualRect(&image_.area, &rect_)) return false;
    int background = 0, ink = 0;
    for (int y = rect_.top; y < rect_.bottom; ++y)
      background += image_.At(rect_.left + kColumn, y) == GetSysColor(COLOR_MENU);
    for (int y = rect_.bottom - 18; y < rect_.bottom - 3; ++y) {
      for (int x = rect_.left + 20; x < rect_.right - 5; ++x) ink += GetGValue(image_.At(x, y)) < 128;
    }
    return 2 * background > rect_.bottom - rect_.top && ink > 0;
  }
  // The highlighted item: where it begins, from the menu's top, and how
  // high it is; {-1, 0} when none is.
  std::pair<int, int> Highlight() const {
    int top = -1, height = 0;
    for (int y = rect_.top; y < rect_.bottom && !image_.empty(); ++y) {
      const COLORREF c = image_.At(rect_.left + kColumn, y);
      const bool lit = c == GetSysColor(COLOR_HIGHLIGHT) || c == GetSysColor(COLOR_MENUHILIGHT);
      if (lit && top < 0) top = y - rect_.top;
      height += lit;
    }
    return {top, height};
  }
  // The first item's line, to tell its caption from another.
  std::vector<COLORREF> FirstLine() const {
    std::vector<COLORREF> pixels;
    for (int y = rect_.top + 3; y < rect_.top + 19 && !image_.empty(); ++y) {
      for (int x = rect_.left + 3; x < rect_.right - 3; ++x) pixels.push_back(image_.At(x, y));
    }
    return pixels;
  }

 private:
  static constexpr int kColumn = 5;  // inside the frame, left of the captions and marks
  RECT rect_;
  ScreenImage image_;
};

// The pop-up menu over the time label, worked by keyboard: each key once the
// menu shows what the one before did.
class Menu {
 public:
  explicit Menu(Session& s) : s_(s) {}
  // Pops the menu up over the label and waits until it is drawn whole, with
  // nothing highlighted yet; its first line, to compare with another's.
  std::vector<COLORREF> Open(const std::wstring& shot = L"") {
    RightClick(s_.Label());
    window_ = s_.program.WaitMenu();
    // Until the new menu has painted, the screen may still show the last
    // one where it stood, its chosen item highlighted.
    std::optional<MenuPicture> picture;
    const bool ready = window_ != nullptr && WaitUntil(
                                                 [&] {
                                                   picture.emplace(window_);
                                                   return picture->Drawn() && picture->Highlight().first == -1;
                                                 },
                                                 10000);
    if (!ready) {
      ADD_FAILURE() << (!picture || !picture->Drawn() ? "no menu drawn" : "an item is highlighted before any key");
      return {};
    }
    if (!shot.empty()) SaveWindowShot(window_, shot);
    return picture->FirstLine();
  }
  HWND window() const { return window_; }
  // Walks the highlight down to the item a key at a time, each once the last
  // has moved it on by one item (the first onto the first item), so that the
  // item highlighted is that one; then Enter, and the menu goes.
  bool Choose(Item item) {
    int at = -1;
    for (int i = 0; i < item; ++i) {
      const int was = at;
      PressKey(VK_DOWN);
      bool byOne = false;
      const bool moved = WaitUntil(
          [&] {
            const auto [top, height] = MenuPicture(window_).Highlight();
            at = top;
            byOne = was < 0 ? top < height : top - was < 2 * height;
            return top > was;
          },
          10000);
      if (!moved || !byOne) {
        ADD_FAILURE() << "the highlight " << (moved ? "moved on by more than one item" : "did not move") << " at key "
                      << i + 1 << " for item " << item;
        PressKey(VK_ESCAPE);
        return false;
      }
    }
    PressKey(VK_RETURN);
    return Gone();
  }
  bool Pick(Item item) { return !Open().empty() && Choose(item); }
  // Esc: closed without a choice.
  bool Close() {
    PressKey(VK_ESCAPE);
    return Gone();
  }
  bool Gone() const {
    return WaitUntil([&] { return !IsWindow(window_) || !Visible(window_); });
  }

 private:
  Session& s_;
  HWND window_ = nullptr;
};

}  // namespace e2e

#define ASSERT_SESSION(s) ASSERT_TRUE((s).Ready()) << "the program's windows did not appear"
