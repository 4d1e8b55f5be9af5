// The main window's pop-up menu: what it shows, what a choice runs, the About
// window it opens and the web site it visits.
#include <gtest/gtest.h>

#include "app/menu.h"
#include "tests/host/fakes.h"

namespace {

using namespace test;

std::vector<std::string> Captions(const std::vector<ui::MenuEntry>& entries) {
  std::vector<std::string> captions;
  for (const auto& e : entries) captions.push_back(e.item ? e.caption + (e.checked ? "✓" : "") : "-");
  return captions;
}

// A right-button release over the time label, with the user picking an item.
void PopUpAndChoose(Harness& h, uint32_t item) {
  h.backend.menuChoice = item;
  h.facility.Raise(h.Main(), m::显示时间标签, ui::EventKind::RightButtonUp, {.x = 10, .y = 10});
}

TEST(PopUpMenu, ShowsTheItemsAsTheyStandAndRunsTheChoiceOnce) {
  Harness h;
  PopUpAndChoose(h, m::开始计时菜单);
  ASSERT_EQ(h.backend.menusShown.size(), 1u);
  EXPECT_EQ(
      Captions(h.backend.menusShown[0]),
      (std::vector<std::string>{"开始计时", "归零", "输入时间", "-", "显示设置选项✓", "-", "半透明", "到时后鼓掌✓",
                                "警告音✓", "自动隐藏✓", "-", "访问官网", "关于软件", "-", "关闭"}));
  EXPECT_EQ(h.Display(), "04-59");  // started, once

  PopUpAndChoose(h, m::开始计时菜单);  // now it pauses
  EXPECT_EQ(h.backend.menusShown[1][0].caption, "暂停计时");
  PopUpAndChoose(h, 0);  // closed without a choice: nothing runs
  EXPECT_EQ(h.backend.menusShown[2][0].caption, "继续计时");
  EXPECT_EQ(h.Display(), "04-58");

  h.Main().Item(m::归零菜单).hidden = true;
  h.Main().Item(m::警告音菜单).disabled = true;
  PopUpAndChoose(h, m::显示设置选项菜单);
  const auto& last = h.backend.menusShown.back();
  EXPECT_EQ(last.size(), 14u);
  EXPECT_EQ(last[1].caption, "输入时间");
  EXPECT_TRUE(last[7].disabled);
  EXPECT_FALSE(h.Settings().visible);
}

TEST(PopUpMenu, AboutIsModalAndItsCloseButtonClosesIt) {
  Harness h;
  h.backend.duringModal = [&h](ui::Window& about) {
    EXPECT_EQ(h.program.about, &about);
    EXPECT_FALSE(h.Main().enabled);
    EXPECT_FALSE(h.Settings().enabled);
    h.facility.Raise(about, about_window::关闭程序按钮, ui::EventKind::Clicked);
    EXPECT_FALSE(about.alive);
  };
  PopUpAndChoose(h, m::关于软件菜单);
  EXPECT_EQ(h.backend.enabledDuringModal.size(), 2u);
  EXPECT_EQ(h.program.about, nullptr);
  EXPECT_TRUE(h.Main().enabled);
  EXPECT_TRUE(h.Settings().enabled);
}

TEST(PopUpMenu, TheWebSiteOpensWithExplorerAndOnlyAMissingFileCountsAsFailure) {
  Harness h;
  PopUpAndChoose(h, m::访问官网菜单);
  EXPECT_EQ(h.shell.calls, (std::vector<std::vector<std::string>>{{"open", "explorer.exe", kWebSiteAddress, "", "1"}}));
  for (const auto& [result, opened] :
       {std::pair{2, false}, std::pair{3, true}, std::pair{0, true}, std::pair{33, true}}) {
    h.shell.result = result;
    EXPECT_EQ(OpenWithExplorer(h.program, "http://example.com"), opened) << result;
  }
}

}  // namespace
