// The About window's links: what a click opens, the program registered for web
// pages when the shell cannot open it, and the colour each link shows.
#include <gtest/gtest.h>

#include "tests/host/fakes.h"

namespace {

using namespace test;
namespace a = about_window;
using Calls = std::vector<std::string>;

// The About window as the menu loads it, but left open.
ui::Window& OpenAbout(Harness& h) { return *h.facility.Load(kProgramWindows.about, false); }

std::string BeforeTopLevelDomain(const std::string& address) { return address.substr(0, address.rfind('.')); }

TEST(Links, AClickOpensTheLinksOwnAddressNotTheOneItShows) {
  Harness h;
  ui::Window& about = OpenAbout(h);
  ui::Control& web = about.Get(a::超级链接框2);
  ui::Control& mail = about.Get(a::超级链接框1);
  h.facility.LinkClicked(web);
  h.facility.LinkClicked(mail);
  ASSERT_EQ(h.links.calls.size(), 2u);
  const std::string site = h.links.calls[0].substr(5), mailto = h.links.calls[1].substr(5);
  EXPECT_EQ(web.text, kWebSiteAddress);
  EXPECT_NE(site, web.text);
  EXPECT_EQ(BeforeTopLevelDomain(site), BeforeTopLevelDomain(web.text));  // only the top-level domain differs
  EXPECT_EQ(mailto.rfind("mailto:", 0), 0u);
  EXPECT_NE(mailto.substr(7), mail.text);  // a second address
  EXPECT_NE(mailto.find('@'), std::string::npos);
  EXPECT_TRUE(web.visited);
  EXPECT_TRUE(mail.visited);

  // A link with no address opens nothing.
  const ui::ControlLayout bare{.kind = ui::Kind::HyperLinker, .link = ui::LinkKind::Mail};
  ui::Control none = mail;
  none.layout = &bare;
  none.visited = false;
  h.facility.LinkClicked(none);
  EXPECT_EQ(h.links.calls.size(), 2u);
  EXPECT_FALSE(none.visited);
}

TEST(Links, WhereTheShellFailsTheRegisteredWebPageCommandRunsAndOnlyASuccessIsAVisit) {
  Harness h;
  ui::Control& web = OpenAbout(h).Get(a::超级链接框2);
  h.links.openResult = 32;  // the last of the error codes
  h.links.classes = {{".htm", "htmlfile"},
                     {"htmlfile\\shell\\open\\command", R"("C:\Web\browser.exe" -url "%1" -new)"}};
  h.facility.LinkClicked(web);
  EXPECT_EQ(h.links.calls, (Calls{"open http://www.lanke.example", "read .htm", "read htmlfile\\shell\\open\\command",
                                  R"(run "C:\Web\browser.exe" -url  http://www.lanke.example)"}));
  EXPECT_TRUE(web.visited);
  EXPECT_EQ(h.backend.updates.back(), (std::pair{a::超级链接框2, ui::Prop::Links}));  // redrawn

  h.links.runResult = 32;  // the command did not start: no longer visited
  h.facility.LinkClicked(web);
  EXPECT_FALSE(web.visited);

  h.links.runResult = 33;
  h.facility.LinkClicked(web);
  ASSERT_TRUE(web.visited);
  h.links.classes.erase("htmlfile\\shell\\open\\command");  // a class with no command: nothing to run
  h.links.calls.clear();
  h.facility.LinkClicked(web);
  EXPECT_EQ(h.links.calls,
            (Calls{"open http://www.lanke.example", "read .htm", "read htmlfile\\shell\\open\\command"}));
  EXPECT_FALSE(web.visited);
  h.links.classes.clear();  // no class for web pages at all
  h.links.calls.clear();
  h.facility.LinkClicked(web);
  EXPECT_EQ(h.links.calls, (Calls{"open http://www.lanke.example", "read .htm"}));
}

TEST(Links, TheRegisteredCommandIsCutBeforeItsPlaceholder) {
  EXPECT_EQ(ui::CommandBeforePlaceholder(R"("C:\Web\browser.exe" -osint -url "%1")"),
            R"("C:\Web\browser.exe" -osint -url )");
  EXPECT_EQ(ui::CommandBeforePlaceholder(R"(C:\Web\browser.exe %1 -new)"), R"(C:\Web\browser.exe )");
  // The quoted placeholder is the one, even after a bare one.
  EXPECT_EQ(ui::CommandBeforePlaceholder(R"(browser.exe %1 "%1")"), R"(browser.exe %1 )");
  EXPECT_EQ(ui::CommandBeforePlaceholder(R"("C:\Web\browser.exe" -nohome)"), R"("C:\Web\browser.exe" -nohome)");
  EXPECT_EQ(ui::CommandBeforePlaceholder(""), "");
}

TEST(Links, ColourIsTheMouseOverOneOnTheLinkElseVisitedElseNormal) {
  Harness h;
  ui::Window& about = OpenAbout(h);
  for (uint32_t id : {a::超级链接框2, a::超级链接框1}) {
    ui::Control& link = about.Get(id);
    EXPECT_EQ(ui::LinkColour(link), 0x00000000u) << id;
    link.visited = true;
    EXPECT_EQ(ui::LinkColour(link), 0x00000080u) << id;
    link.hover = true;
    EXPECT_EQ(ui::LinkColour(link), 0x00C56A31u) << id;
    link.visited = false;
    EXPECT_EQ(ui::LinkColour(link), 0x00C56A31u) << id;
  }
}

}  // namespace
