// The settings window's time box, option boxes and colour pickers worked with
// the real mouse and keyboard: what the windows then show, and the settings
// file's exact bytes afterwards.
#include <gtest/gtest.h>

#include <colordlg.h>

#include <string>

#include "tests/e2e/session.h"

namespace e2e {
namespace {

// What a first start writes ahead of the time.
const std::wstring kSizes = L"字体大小=72\r\n窗口高度=90\r\n窗口宽度=280\r\n";

// Waits until lkd.dll holds exactly these lines under its section: GBK, CRLF,
// no other key and no key twice.
testing::AssertionResult FileBecomes(const Session& s, const std::wstring& lines) {
  if (WaitUntil([&] { return s.program.SettingsBytes() == SettingsFile(lines); })) return testing::AssertionSuccess();
  return testing::AssertionFailure() << "expected:\n" << Utf8(lines) << "lkd.dll holds:\n" << Utf8(s.File());
}

TEST(TimeEntry, WheelAddsWholeMinutesAndNeverGoesBelowOne) {
  Session s;
  ASSERT_SESSION(s);
  const HWND box = s.Ctl(id::kTimeBox);
  TypeInto(box, L"2.5");
  EXPECT_TRUE(WaitText(s.Label(), L"02-30"));
  EXPECT_TRUE(FileBecomes(s, kSizes + L"时间=2.5\r\n"));

  Click(box);
  Wheel(Centre(box), 120);
  EXPECT_TRUE(WaitText(box, L"3")) << "the fraction is dropped";
  EXPECT_TRUE(WaitText(s.Label(), L"03-00"));
  EXPECT_TRUE(FileBecomes(s, kSizes + L"时间=3\r\n"));
  Wheel(Centre(box), 240);
  EXPECT_TRUE(WaitText(box, L"5"));
  EXPECT_TRUE(WaitText(s.Label(), L"05-00"));

  Wheel(Centre(box), -120 * 10);
  EXPECT_TRUE(WaitText(box, L"1"));
  EXPECT_TRUE(WaitText(s.Label(), L"01-00"));
  EXPECT_TRUE(FileBecomes(s, kSizes + L"时间=1\r\n"));
  // At one, a notch toward the user keeps one: the next notch away gives two.
  Wheel(Centre(box), -120);
  Wheel(Centre(box), 120);
  EXPECT_TRUE(WaitText(box, L"2"));
  EXPECT_TRUE(WaitText(s.Label(), L"02-00"));
  EXPECT_TRUE(FileBecomes(s, kSizes + L"时间=2\r\n"));
}

TEST(TimeEntry, LeavingTheBoxRewritesItsNumberAndSavesIt) {
  Session s(SettingsFile(L"时间=１０\r\n"));
  ASSERT_SESSION(s);
  const HWND box = s.Ctl(id::kTimeBox), width = s.Ctl(id::kWidthBox);
  EXPECT_EQ(Text(box), L"１０");
  EXPECT_EQ(Text(s.Label()), L"10-00");
  EXPECT_TRUE(FileBecomes(s, L"时间=１０\r\n" + kSizes));

  // Into the box and out again: the full-width digits become plain ones.
  Click(box);
  Click(width);
  EXPECT_TRUE(WaitText(box, L"10"));
  EXPECT_TRUE(FileBecomes(s, L"时间=10\r\n" + kSizes));
  EXPECT_EQ(Text(s.Label()), L"10-00");

  TypeInto(box, L"1.50");
  EXPECT_TRUE(WaitText(s.Label(), L"01-30"));
  EXPECT_TRUE(FileBecomes(s, L"时间=1.50\r\n" + kSizes));
  Click(width);
  EXPECT_TRUE(WaitText(box, L"1.5"));
  EXPECT_TRUE(FileBecomes(s, L"时间=1.5\r\n" + kSizes));
  EXPECT_EQ(Text(s.Label()), L"01-30");

  // Zero is no time at all: the box is left empty.
  TypeInto(box, L"0");
  EXPECT_TRUE(FileBecomes(s, L"时间=0\r\n" + kSizes));
  EXPECT_TRUE(WaitUntil([&] { return !Enabled(s.Ctl(id::kStart)); }));
  Click(width);
  EXPECT_TRUE(WaitText(box, L""));
  EXPECT_TRUE(FileBecomes(s, L"时间=\r\n" + kSizes));
}

TEST(OptionBoxes, EachClickFlipsTheBoxAndSavesYesOrNo) {
  Session s;
  ASSERT_SESSION(s);
  struct Option {
    uint32_t id;
    const wchar_t* key;
    bool checked;  // at a first start
  };
  const Option options[] = {
      {id::kTranslucent, L"半透明", false},
      {id::kApplause, L"鼓掌", true},
      {id::kWarning, L"警告音", true},
      {id::kAutoHide, L"自动隐藏", true},
  };
  auto state = [](bool checked) { return checked ? BST_CHECKED : BST_UNCHECKED; };
  auto line = [](const wchar_t* key, bool checked) { return key + std::wstring(checked ? L"=是\r\n" : L"=否\r\n"); };
  std::wstring saved = kSizes + L"时间=5\r\n";
  for (const Option& o : options) {
    SCOPED_TRACE(Utf8(o.key));
    const HWND box = s.Ctl(o.id);
    ASSERT_EQ(CheckState(box), state(o.checked));
    Click(box);
    EXPECT_TRUE(WaitUntil([&] { return CheckState(box) == state(!o.checked); }));
    EXPECT_TRUE(FileBecomes(s, saved + line(o.key, !o.checked)));
    Click(box);
    EXPECT_TRUE(WaitUntil([&] { return CheckState(box) == state(o.checked); }));
    saved += line(o.key, o.checked);  // the key stays where it was first written
    EXPECT_TRUE(FileBecomes(s, saved));
  }
}

// The colour dialog a picker opens; nullptr when none shows.
HWND OpenColourDialog(const Session& s, uint32_t picker) {
  Click(s.Ctl(picker));
  HWND dialog = nullptr;
  WaitUntil([&] {
    for (HWND w : s.program.Windows()) {
      if (Visible(w) && ClassName(w) == L"#32770") dialog = w;
    }
    return dialog != nullptr;
  });
  return dialog;
}

// What the dialog's red, green and blue fields (the standard ids of
// <colordlg.h>) read, as "R,G,B".
std::wstring RgbFields(HWND dialog) {
  return Text(Control(dialog, COLOR_RED)) + L"," + Text(Control(dialog, COLOR_GREEN)) + L"," +
         Text(Control(dialog, COLOR_BLUE));
}

// Types the colour into those fields; true once the dialog has taken all three.
bool EnterColour(HWND dialog, COLORREF colour) {
  const std::wstring red = std::to_wstring(GetRValue(colour)), green = std::to_wstring(GetGValue(colour)),
                     blue = std::to_wstring(GetBValue(colour));
  TypeInto(Control(dialog, COLOR_RED), red);
  TypeInto(Control(dialog, COLOR_GREEN), green);
  TypeInto(Control(dialog, COLOR_BLUE), blue);
  return WaitUntil([&] { return RgbFields(dialog) == red + L"," + green + L"," + blue; });
}

bool Closes(HWND dialog) {
  return WaitUntil([&] { return !IsWindow(dialog); });
}

// Pixels of the time label in exactly this colour, every other row and column.
int PixelsOf(HWND label, COLORREF colour) {
  const RECT r = WindowRect(label);
  int n = 0;
  for (int y = r.top; y < r.bottom; y += 2) {
    for (int x = r.left; x < r.right; x += 2) n += ScreenPixel(x, y) == colour;
  }
  return n;
}

TEST(ColourPickers, ColourChosenInTheSystemDialogRedrawsTheLabelAndIsSaved) {
  Session s;
  ASSERT_SESSION(s);
  const RECT label = WindowRect(s.Label());
  const POINT middle{label.left + 3, label.top + 45};
  ASSERT_EQ(ScreenPixel(middle.x, middle.y), RGB(0, 255, 0));
  const COLORREF back = RGB(200, 30, 60), text = RGB(32, 64, 192);

  // Cancelled after typing a colour, then confirmed unchanged: neither may
  // apply or save anything. The text colour saved next shows that nothing
  // came before it, since the program handles its input in order.
  HWND dialog = OpenColourDialog(s, id::kBackColour);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(Owner(dialog), s.settingsWindow);
  EXPECT_EQ(RgbFields(dialog), L"0,255,0") << "opens on the current colour";
  EXPECT_TRUE(EnterColour(dialog, back));
  Click(Control(dialog, IDCANCEL));
  ASSERT_TRUE(Closes(dialog));
  dialog = OpenColourDialog(s, id::kBackColour);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(RgbFields(dialog), L"0,255,0");
  Click(Control(dialog, IDOK));
  ASSERT_TRUE(Closes(dialog));

  dialog = OpenColourDialog(s, id::kTextColour);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(RgbFields(dialog), L"0,0,0");
  EXPECT_EQ(PixelsOf(s.Label(), text), 0);
  EXPECT_TRUE(EnterColour(dialog, text));
  EXPECT_FALSE(SaveWindowShot(dialog, L"colour_dialog_text").empty());
  PressKey(VK_RETURN);
  ASSERT_TRUE(Closes(dialog));
  EXPECT_TRUE(FileBecomes(s, kSizes + L"时间=5\r\n文字颜色=12599328\r\n")) << "0x00BBGGRR, no background";
  EXPECT_TRUE(WaitUntil([&] { return PixelsOf(s.Label(), text) > 200; })) << "digits in the new colour";
  EXPECT_EQ(ScreenPixel(middle.x, middle.y), RGB(0, 255, 0)) << "background untouched";

  dialog = OpenColourDialog(s, id::kBackColour);
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(EnterColour(dialog, back));
  Click(Control(dialog, IDOK));
  ASSERT_TRUE(Closes(dialog));
  EXPECT_TRUE(WaitUntil([&] { return ScreenPixel(middle.x, middle.y) == back; }));
  EXPECT_TRUE(FileBecomes(s, kSizes + L"时间=5\r\n文字颜色=12599328\r\n背景颜色=3940040\r\n"));
  EXPECT_GT(PixelsOf(s.Label(), text), 200) << "digits keep their colour";
  EXPECT_FALSE(SaveWindowShot(s.main, L"main_window_picked_colours").empty());
}

}  // namespace
}  // namespace e2e
