// The Win32 side of the window facility: real windows mirror the model, user
// input reaches the routines, and the time label draws what it should.
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>

#include "app/bindings.h"
#include "app/input_box_win.h"
#include "app/program.h"
#include "base/encoding_win.h"
#include "tests/win32/harness.h"
#include "ui/backend_win.h"

namespace {

using namespace win32test;

TEST_F(Win32Program, EveryControlIsAChildWindowThatAnswersStandardMessages) {
  for (ui::Window* w : {run->program->main, run->program->settings}) {
    const HWND top = ui::Win32Backend::Handle(*w);
    EXPECT_EQ(Text(top), Wide(w->layout.caption));
    CheckNativeControls(*w);
  }
}

TEST_F(Win32Program, TypingReachesTheRoutinesAndTheirChangesReachTheScreen) {
  const HWND width = Handle(*run->program->settings, s::窗口宽度编辑框);
  SendMessageW(width, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"300"));  // as typing does: EN_CHANGE
  EXPECT_EQ(Settings(s::窗口宽度编辑框).text, "300");
  const RECT main = Rect(ui::Win32Backend::Handle(*run->program->main));
  EXPECT_EQ(main.right - main.left, 300);
  EXPECT_EQ(WritesOf(store, "窗口宽度").back(), "300");

  // A change made by a routine shows in the window without raising the change twice.
  const size_t writes = WritesOf(store, "时间").size();
  run->facility->SetText(Settings(s::时间编辑框), "3");
  EXPECT_EQ(Text(Handle(*run->program->settings, s::时间编辑框)), L"3");
  EXPECT_EQ(WritesOf(store, "时间").size(), writes + 1);
  EXPECT_EQ(Text(Handle(*run->program->main, m::显示时间标签)), L"03-00");

  // A check box click toggles the box, then the routine mirrors it into the menu.
  SendMessageW(Handle(*run->program->settings, s::警告音选择框), BM_CLICK, 0, 0);
  EXPECT_FALSE(Settings(s::警告音选择框).checked);
  EXPECT_FALSE(run->program->main->Item(m::警告音菜单).checked);
  EXPECT_EQ(WritesOf(store, "警告音").back(), "否");
}

TEST_F(Win32Program, EditBoxesFilterTypedCharactersAndTheTimeBoxTidiesUpOnLeavingIt) {
  const HWND time = Handle(*run->program->settings, s::时间编辑框);
  SendMessageW(time, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
  for (wchar_t ch : std::wstring(L"1a.5x0")) SendMessageW(time, WM_CHAR, ch, 0);
  EXPECT_EQ(Text(time), L"1.50");
  const HWND height = Handle(*run->program->settings, s::窗口高度编辑框);
  SendMessageW(height, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
  for (wchar_t ch : std::wstring(L"-9.x")) SendMessageW(height, WM_CHAR, ch, 0);
  EXPECT_EQ(Text(height), L"-9");

  SetFocus(time);
  SetFocus(height);
  EXPECT_EQ(Text(time), L"1.5");
  EXPECT_EQ(Settings(s::时间编辑框).text, "1.5");
  EXPECT_EQ(WritesOf(store, "时间").back(), "1.5");
}

// Where the dark pixels of a region of a canvas lie.
struct Ink {
  int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1, count = 0;
  double CentreX() const { return (left + right) / 2.0; }
  double CentreY() const { return (top + bottom) / 2.0; }
};
Ink InkOf(const Canvas& canvas, const RECT& r) {
  Ink ink;
  for (int y = r.top; y < r.bottom; ++y) {
    for (int x = r.left; x < r.right; ++x) {
      const COLORREF c = canvas.At(x, y);
      if (GetRValue(c) > 96 || GetGValue(c) > 96 || GetBValue(c) > 96) continue;
      ink.left = std::min(ink.left, x), ink.right = std::max(ink.right, x);
      ink.top = std::min(ink.top, y), ink.bottom = std::max(ink.bottom, y);
      ++ink.count;
    }
  }
  return ink;
}

TEST_F(Win32Program, ControlsDrawWhatTheyHoldWhereTheyShould) {
  const HWND label = Handle(*run->program->main, m::显示时间标签);
  {
    Canvas canvas(280, 90);
    canvas.Print(label);
    EXPECT_EQ(canvas.At(140, 0), RGB(0, 0, 0));  // the one-pixel frame
    EXPECT_EQ(canvas.At(140, 89), RGB(0, 0, 0));
    EXPECT_EQ(canvas.At(3, 45), RGB(0, 255, 0));  // the middle row is pure green
    const COLORREF top = canvas.At(3, 1);
    EXPECT_GE(GetRValue(top), 245);
    EXPECT_GE(GetBValue(top), 245);
    // "05-00" in the middle of the label, at the size of 72-point digits.
    const Ink digits = InkOf(canvas, {1, 1, 279, 89});
    EXPECT_NEAR(digits.CentreX(), 140, 4);
    EXPECT_NEAR(digits.CentreY(), 45, 6);
    EXPECT_GT(digits.bottom - digits.top, 50);
    EXPECT_GT(digits.right - digits.left, 180);
  }

  // The font's character height (cell height less internal leading) is the
  // size in points at the screen's resolution.
  const OwnedMemoryDc measure(CreateCompatibleDC(nullptr));
  const int dpi = GetDeviceCaps(measure.get(), LOGPIXELSY);
  for (int points : {72, 10, 31}) {
    run->facility->SetFontPoints(run->program->main->Get(m::显示时间标签), points);
    const auto font = reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    const Selection selected(measure.get(), font);
    TEXTMETRICW tm{};
    GetTextMetricsW(measure.get(), &tm);
    EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, (points * dpi + 36) / 72) << points;
  }

  // Heights the settings allow that leave no room for a gradient: the frame
  // first, then the last colour, and nothing at all at 0.
  struct Rows {
    int height;
    std::vector<COLORREF> rows;
  };
  constexpr COLORREF kUntouched = RGB(255, 0, 255), kBlack = RGB(0, 0, 0), kWhite = RGB(255, 255, 255);
  for (const Rows& r :
       {Rows{0, {kUntouched}}, Rows{2, {kBlack, kBlack, kUntouched}}, Rows{3, {kBlack, kWhite, kBlack}}}) {
    run->facility->SetHeight(run->program->main->Get(m::显示时间标签), r.height);
    ASSERT_EQ(Rect(label).bottom - Rect(label).top, r.height);
    Canvas canvas(280, 4);
    canvas.Print(label);
    for (size_t y = 0; y < r.rows.size(); ++y) {
      EXPECT_EQ(canvas.At(5, static_cast<int>(y)), r.rows[y]) << "height " << r.height << ", row " << y;
    }
  }

  // A colour picker's swatch shows its colour.
  ui::Control& picker = Settings(s::背景颜色选择器);
  for (ui::Colour colour : {0x000000FFu, 0x00C56A31u}) {
    run->facility->SetColour(picker, colour);
    Canvas canvas(picker.width, picker.height);
    canvas.Print(ui::Win32Backend::Handle(picker));
    EXPECT_EQ(canvas.At(30, picker.height / 2), static_cast<COLORREF>(colour));
  }
}

TEST_F(Win32Program, ATimerIntervalSetAgainDoesNotDelayTheNextTick) {
  run->facility->SetText(Settings(s::时间编辑框), "10");
  ui::Control& clock = run->program->main->Get(m::时钟1);
  run->facility->SetInterval(clock, 300);
  Pump(200);
  run->facility->SetInterval(clock, 300);  // must not restart the period
  Pump(200);
  EXPECT_EQ(run->program->countdown->totalSeconds, 599);
  run->facility->SetInterval(clock, 0);
  Pump(400);
  EXPECT_EQ(run->program->countdown->totalSeconds, 599);
}

TEST_F(Win32Program, AboutWindowBuildsEveryKindOfControl) {
  ui::Window* about = run->facility->Load(kProgramWindows.about, false);
  ASSERT_NE(about, nullptr);
  const HWND top = ui::Win32Backend::Handle(*about);
  EXPECT_EQ(Text(top), L"关于");
  EXPECT_NE(GetWindowLongW(top, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
  const HWND dashes = Handle(*about, about_window::透明标签7);
  EXPECT_EQ(Text(dashes), std::wstring(60, L'-'));
  EXPECT_NE(GetWindowLongW(dashes, GWL_EXSTYLE) & WS_EX_TRANSPARENT, 0);
  {
    // The transparent label shows its container's white through, with the text on it.
    Canvas canvas(285, 16);
    canvas.Print(dashes);
    int white = 0, dark = 0;
    for (int x = 0; x < 285; ++x) {
      for (int y = 0; y < 16; ++y) {
        white += canvas.At(x, y) == RGB(255, 255, 255);
        dark += GetRValue(canvas.At(x, y)) < 128;
      }
    }
    EXPECT_GT(white, 285 * 8);
    EXPECT_GT(dark, 50);
  }
  EXPECT_EQ(Text(Handle(*about, about_window::超级链接框2)), Wide(about->Get(about_window::超级链接框2).text));

  // The banner (200 x 60) sits centred in its 216 x 70 box on white.
  Canvas pic(216, 70);
  pic.Print(Handle(*about, about_window::图片框1));
  EXPECT_EQ(pic.At(2, 2), RGB(255, 255, 255));  // the margin
  int coloured = 0;
  for (int x = 8; x < 208; x += 4) {
    for (int y = 5; y < 65; y += 4) coloured += pic.At(x, y) != RGB(255, 255, 255);
  }
  EXPECT_GT(coloured, 200) << "the banner was drawn";
}

// The input box answers for itself once it is up: this fills it in and confirms.
struct InputBoxScript {
  std::wstring title, prompt, initial, confirm, cancel;
  const wchar_t* answer = nullptr;
};
InputBoxScript* g_script = nullptr;

void CALLBACK AnswerInputBox(HWND, UINT, UINT_PTR timer, DWORD) {
  const HWND box = FindWindowW(nullptr, L"请输入：");
  if (box == nullptr) return;
  KillTimer(nullptr, timer);
  g_script->title = Text(box);
  g_script->prompt = Text(GetDlgItem(box, kInputBoxPrompt));
  g_script->initial = Text(GetDlgItem(box, kInputBoxEntry));
  g_script->confirm = Text(GetDlgItem(box, IDOK));
  g_script->cancel = Text(GetDlgItem(box, IDCANCEL));
  if (g_script->answer) {
    SetDlgItemTextW(box, kInputBoxEntry, g_script->answer);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  } else {
    PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
  }
}

TEST(Win32InputBox, ShowsThePromptAndTheEntryAndReturnsWhatWasConfirmed) {
  InputBoxScript script;
  script.answer = L"７.9";
  g_script = &script;
  Win32InputBox box(GetModuleHandleW(nullptr));
  SetTimer(nullptr, 0, 50, AnswerInputBox);
  EXPECT_EQ(box.Ask("请输入倒计时间（分钟）：", "2.5"), std::optional<std::string>("７.9"));
  EXPECT_EQ(script.title, L"请输入：");
  EXPECT_EQ(script.prompt, L"请输入倒计时间（分钟）：");
  EXPECT_EQ(script.initial, L"2.5");
  EXPECT_EQ(script.confirm, L"确认输入(&O)");
  EXPECT_EQ(script.cancel, L"取消(&C)");

  script.answer = nullptr;
  SetTimer(nullptr, 0, 50, AnswerInputBox);
  EXPECT_EQ(box.Ask("请输入倒计时间（分钟）：", "3"), std::nullopt);
  g_script = nullptr;
}

}  // namespace
