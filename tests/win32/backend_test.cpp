// The Win32 side of the window facility: real windows mirror the model, user
// input reaches the routines, and the time label draws what it should.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "app/program.h"
#include "app/services_win.h"
#include "settings/store_win.h"
#include "tests/host/fakes.h"
#include "ui/backend_win.h"
#include "ui/layouts.h"
#include "ui/text_win.h"

namespace {

namespace m = main_window;
namespace s = settings_window;

void Pump(DWORD ms) {
  const DWORD end = GetTickCount() + ms;
  do {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(5);
  } while (static_cast<LONG>(end - GetTickCount()) > 0);
}

std::wstring Text(HWND hwnd) {
  wchar_t buffer[512] = L"";
  SendMessageW(hwnd, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buffer));
  return buffer;
}

std::vector<std::string> WritesOf(const test::FakeStore& store, std::string_view key) {
  std::vector<std::string> values;
  for (const auto& [k, v] : store.writes) {
    if (k == key) values.push_back(v);
  }
  return values;
}

RECT Rect(HWND hwnd) {
  RECT r;
  GetWindowRect(hwnd, &r);
  return r;
}

class Win32Program : public ::testing::Test {
 protected:
  void SetUp() override {
    backend = new ui::Win32Backend(GetModuleHandleW(nullptr));
    facility = new ui::Facility(*backend);
    backend->Attach(*facility);
    program = new Program(*facility, Services{store, sound, inputBox, process});
    StartProgram(*program);
  }
  void TearDown() override {
    while (!facility->windows().empty()) DestroyWindow(ui::Win32Backend::Handle(*facility->windows().back()));
    delete program;
    delete facility;
    delete backend;
  }
  HWND Handle(ui::Window& w, uint32_t id) { return ui::Win32Backend::Handle(w.Get(id)); }
  ui::Control& Settings(uint32_t id) { return program->settings->Get(id); }

  test::FakeStore store;
  test::FakeSound sound;
  test::FakeInputBox inputBox;
  test::FakeProcess process;
  ui::Win32Backend* backend = nullptr;
  ui::Facility* facility = nullptr;
  Program* program = nullptr;
};

TEST_F(Win32Program, EveryControlIsAChildWindowThatAnswersStandardMessages) {
  for (ui::Window* w : {program->main, program->settings}) {
    const HWND top = ui::Win32Backend::Handle(*w);
    EXPECT_EQ(Text(top), Wide(w->layout.caption));
    const RECT topRect = Rect(top);
    for (ui::Control& c : w->controls) {
      if (c.kind() == ui::Kind::Timer) continue;
      SCOPED_TRACE(c.layout->name);
      const HWND hwnd = ui::Win32Backend::Handle(c);
      ASSERT_TRUE(IsWindow(hwnd));
      EXPECT_EQ(static_cast<uint32_t>(GetWindowLongW(hwnd, GWL_ID)), c.id());
      EXPECT_EQ(Utf8(Text(hwnd)), c.text);
      EXPECT_EQ(IsWindowEnabled(hwnd) != FALSE, c.enabled);
      if (c.kind() == ui::Kind::CheckBox) {
        EXPECT_EQ(SendMessageW(hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED, c.checked);
      }
      // Positions in a container are measured from the container's corner.
      int left = c.left, topOffset = c.top;
      if (c.layout->container) {
        left += w->Get(c.layout->container).left;
        topOffset += w->Get(c.layout->container).top;
      }
      const RECT r = Rect(hwnd);
      EXPECT_EQ(r.left - topRect.left, left);
      EXPECT_EQ(r.top - topRect.top, topOffset);
      EXPECT_EQ(r.right - r.left, c.width);
    }
  }
}

TEST_F(Win32Program, TypingReachesTheRoutinesAndTheirChangesReachTheScreen) {
  const HWND width = Handle(*program->settings, s::窗口宽度编辑框);
  SendMessageW(width, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"300"));  // as typing does: EN_CHANGE
  EXPECT_EQ(Settings(s::窗口宽度编辑框).text, "300");
  const RECT main = Rect(ui::Win32Backend::Handle(*program->main));
  EXPECT_EQ(main.right - main.left, 300);
  EXPECT_EQ(WritesOf(store, "窗口宽度").back(), "300");

  // A change made by a routine shows in the window without raising the change twice.
  const size_t writes = WritesOf(store, "时间").size();
  facility->SetText(Settings(s::时间编辑框), "3");
  EXPECT_EQ(Text(Handle(*program->settings, s::时间编辑框)), L"3");
  EXPECT_EQ(WritesOf(store, "时间").size(), writes + 1);
  EXPECT_EQ(Text(Handle(*program->main, m::显示时间标签)), L"03-00");

  // A check box click toggles the box, then the routine mirrors it into the menu.
  SendMessageW(Handle(*program->settings, s::警告音选择框), BM_CLICK, 0, 0);
  EXPECT_FALSE(Settings(s::警告音选择框).checked);
  EXPECT_FALSE(program->main->Item(m::警告音菜单).checked);
  EXPECT_EQ(WritesOf(store, "警告音").back(), "否");
}

TEST_F(Win32Program, EditBoxesFilterTypedCharactersAndTheTimeBoxTidiesUpOnLeavingIt) {
  const HWND time = Handle(*program->settings, s::时间编辑框);
  SendMessageW(time, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
  for (wchar_t ch : std::wstring(L"1a.5x0")) SendMessageW(time, WM_CHAR, ch, 0);
  EXPECT_EQ(Text(time), L"1.50");
  const HWND height = Handle(*program->settings, s::窗口高度编辑框);
  SendMessageW(height, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
  for (wchar_t ch : std::wstring(L"-9.x")) SendMessageW(height, WM_CHAR, ch, 0);
  EXPECT_EQ(Text(height), L"-9");

  SetFocus(time);
  SetFocus(height);
  EXPECT_EQ(Text(time), L"1.5");
  EXPECT_EQ(Settings(s::时间编辑框).text, "1.5");
  EXPECT_EQ(WritesOf(store, "时间").back(), "1.5");
}

TEST_F(Win32Program, TimeLabelDrawsItsGradientFrameAndDigits) {
  const HWND label = Handle(*program->main, m::显示时间标签);
  auto render = [&](int width, int height) {
    const HDC screen = GetDC(nullptr);
    const HDC dc = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, std::max(width, 1), std::max(height, 1));
    ReleaseDC(nullptr, screen);
    const HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageW(label, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    return std::tuple{dc, bitmap, old};
  };
  auto [dc, bitmap, old] = render(280, 90);
  EXPECT_EQ(GetPixel(dc, 140, 0), RGB(0, 0, 0));    // the one-pixel frame
  EXPECT_EQ(GetPixel(dc, 3, 45), RGB(0, 255, 0));   // the middle row is pure green
  const COLORREF top = GetPixel(dc, 3, 1);
  EXPECT_GE(GetRValue(top), 245);
  EXPECT_GE(GetBValue(top), 245);
  int dark = 0;
  for (int x = 0; x < 280; ++x) dark += GetPixel(dc, x, 45) == RGB(0, 0, 0);
  EXPECT_GT(dark, 20) << "the digits cross the middle row";
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);

  // Heights the settings allow but that leave no room for a gradient segment.
  for (int h : {0, 1, 2}) {
    facility->SetHeight(program->main->Get(m::显示时间标签), h);
    auto [dc2, bitmap2, old2] = render(280, h);
    SelectObject(dc2, old2);
    DeleteObject(bitmap2);
    DeleteDC(dc2);
  }
  EXPECT_EQ(Rect(label).bottom - Rect(label).top, 2);
}

TEST_F(Win32Program, ATimerIntervalSetAgainDoesNotDelayTheNextTick) {
  facility->SetText(Settings(s::时间编辑框), "10");
  ui::Control& clock = program->main->Get(m::时钟1);
  facility->SetInterval(clock, 300);
  Pump(200);
  facility->SetInterval(clock, 300);  // must not restart the period
  Pump(200);
  EXPECT_EQ(program->countdown->totalSeconds, 599);
  facility->SetInterval(clock, 0);
  Pump(400);
  EXPECT_EQ(program->countdown->totalSeconds, 599);
}

TEST_F(Win32Program, AboutWindowBuildsEveryKindOfControl) {
  ui::Window* about = facility->Load(kAboutWindowLayout, false);
  ASSERT_NE(about, nullptr);
  const HWND top = ui::Win32Backend::Handle(*about);
  EXPECT_EQ(Text(top), L"关于");
  EXPECT_NE(GetWindowLongW(top, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
  const HWND dashes = Handle(*about, about_window::透明标签7);
  EXPECT_EQ(Text(dashes), std::wstring(60, L'-'));
  EXPECT_NE(GetWindowLongW(dashes, GWL_EXSTYLE) & WS_EX_TRANSPARENT, 0);
  // The transparent label shows its container's white through, with the text on it.
  const HDC screen = GetDC(nullptr);
  const HDC dc = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, 285, 16);
  ReleaseDC(nullptr, screen);
  const HGDIOBJ old = SelectObject(dc, bitmap);
  SendMessageW(dashes, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  int white = 0, dark = 0;
  for (int x = 0; x < 285; ++x) {
    for (int y = 0; y < 16; ++y) {
      white += GetPixel(dc, x, y) == RGB(255, 255, 255);
      dark += GetRValue(GetPixel(dc, x, y)) < 128;
    }
  }
  EXPECT_GT(white, 285 * 8);
  EXPECT_GT(dark, 50);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  EXPECT_EQ(Text(Handle(*about, about_window::超级链接框2)), Wide(about->Get(about_window::超级链接框2).text));

  // The banner (200 x 60) sits centred in its 216 x 70 box on white.
  const HDC screen2 = GetDC(nullptr);
  const HDC pic = CreateCompatibleDC(screen2);
  const HBITMAP picBitmap = CreateCompatibleBitmap(screen2, 216, 70);
  ReleaseDC(nullptr, screen2);
  const HGDIOBJ oldPic = SelectObject(pic, picBitmap);
  SendMessageW(Handle(*about, about_window::图片框1), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(pic), PRF_CLIENT);
  EXPECT_EQ(GetPixel(pic, 2, 2), RGB(255, 255, 255));  // the margin
  int coloured = 0;
  for (int x = 8; x < 208; x += 4) {
    for (int y = 5; y < 65; y += 4) coloured += GetPixel(pic, x, y) != RGB(255, 255, 255);
  }
  EXPECT_GT(coloured, 200) << "the banner was drawn";
  SelectObject(pic, oldPic);
  DeleteObject(picBitmap);
  DeleteDC(pic);
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

TEST(ProfileSettingsStore, WritesGbkBesideTheExecutableAndReadsItBack) {
  const std::string path = SettingsFilePath();
  ASSERT_GT(path.size(), 8u);
  EXPECT_EQ(path.substr(path.size() - 8), "\\lkd.dll");
  DeleteFileA(path.c_str());
  ProfileSettingsStore store;
  EXPECT_EQ(store.Read("时间", "5"), "5");
  EXPECT_TRUE(store.Write("时间", "１０"));
  EXPECT_TRUE(store.Write("半透明", "是"));
  EXPECT_EQ(store.Read("时间", "5"), "１０");
  std::ifstream in(path, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), {}};
  in.close();
  const std::string expected = ToCodePage("[配置信息]\r\n时间=１０\r\n半透明=是\r\n", 936);
  EXPECT_EQ(bytes, expected);
  EXPECT_EQ(static_cast<unsigned char>(bytes[1]), 0xC5);  // GBK, not UTF-8
  DeleteFileA(path.c_str());
}

}  // namespace
