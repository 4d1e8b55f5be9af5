// The window facility under use: what the native controls are created with,
// keyboard handling in every message loop, modal windows opened and closed
// many times, windows that cannot be created, and drawing when GDI runs dry.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "app/delay_win.h"
#include "base/encoding_win.h"
#include "base/process_win.h"
#include "settings/settings_file_win.h"
#include "tests/win32/harness.h"
#include "ui/native_win.h"

namespace {

using namespace win32test;

HWND AboutWindow() { return FindWindowW(ui::kTopLevelClass, L"关于"); }

TEST(Win32Facility, NativeControlsCarryTheirLaidOutFlags) {
  // No program behind the facility: no routine runs, so what shows is the layout's.
  ui::Win32Backend backend(GetModuleHandleW(nullptr));
  ui::Facility facility(backend);
  backend.Attach(facility);
  ui::Window* w = facility.Load(kProgramWindows.settings, false);
  ASSERT_NE(w, nullptr);
  // Nothing has run, so the model still holds what the layout says.
  for (const ui::Control& c : w->controls) {
    EXPECT_EQ(c.visible, (c.layout->flags & ui::kVisible) != 0) << c.layout->name;
    EXPECT_EQ(c.enabled, (c.layout->flags & ui::kDisabled) == 0) << c.layout->name;
  }
  CheckNativeControls(*w);
  EXPECT_FALSE(IsWindowEnabled(ui::Win32Backend::Handle(w->Get(s::开始计时按钮))));
  EXPECT_NE(GetWindowLongW(ui::Win32Backend::Handle(w->Get(s::外形框1)), GWL_EXSTYLE) & WS_EX_CONTROLPARENT, 0);

  // The time box takes at most eight characters, the size boxes any number.
  for (const auto& [id, kept] : {std::pair{s::时间编辑框, 8}, std::pair{s::窗口宽度编辑框, 10}}) {
    const HWND box = ui::Win32Backend::Handle(w->Get(id));
    SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    for (int i = 0; i < 10; ++i) SendMessageW(box, WM_CHAR, L'1', 0);
    EXPECT_EQ(Text(box).size(), static_cast<size_t>(kept)) << id;
  }
  DestroyWindow(ui::Win32Backend::Handle(*w));
}

TEST(Win32Facility, StartsFromASettingsFileBesideTheProgram) {
  const std::wstring path = SettingsFilePath();
  {
    std::ofstream out(std::filesystem::path(path), std::ios::binary);
    out << ToCodePage(
        "[配置信息]\r\n时间=abc\r\n窗口宽度=150\r\n字体大小=18\r\n背景颜色=255\r\n警告音=否\r\n半透明=是\r\n", 936);
  }
  ExecutableFolder folder;
  Win32Gbk gbk;
  FileSettingsStore store(folder, gbk);
  {
    Win32Run run(store);
    EXPECT_FALSE(IsWindowEnabled(run.Handle(*run.program->settings, s::开始计时按钮)));
    EXPECT_EQ(Text(run.Handle(*run.program->settings, s::时间编辑框)), L"abc");
    EXPECT_EQ(Text(run.Handle(*run.program->settings, s::窗口宽度编辑框)), L"150");
    EXPECT_EQ(SendMessageW(run.Handle(*run.program->settings, s::警告音选择框), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageW(run.Handle(*run.program->settings, s::半透明选择框), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageW(run.Handle(*run.program->settings, s::自动隐藏选择框), BM_GETCHECK, 0, 0), BST_CHECKED);
    const RECT main = Rect(run.Main());
    EXPECT_EQ(main.right - main.left, 150);
    EXPECT_EQ(main.bottom - main.top, 90);
    const HWND label = run.Handle(*run.program->main, m::显示时间标签);
    Canvas canvas(150, 90);
    canvas.Print(label);
    EXPECT_EQ(canvas.At(3, 45), RGB(255, 0, 0));  // red is the low byte
    const OwnedMemoryDc dc(CreateCompatibleDC(nullptr));
    const Selection selected(dc.get(), reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    TEXTMETRICW tm{};
    GetTextMetricsW(dc.get(), &tm);
    EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, (18 * GetDeviceCaps(dc.get(), LOGPIXELSY) + 36) / 72);
  }
  DeleteFileW(path.c_str());
}

// ---- Keyboard handling in every loop ------------------------------------------------

HWND g_focusSeen = nullptr;

// Notes the focus, then ends the main loop by destroying every window.
void CALLBACK NoteFocusAndCloseAll(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  g_focusSeen = GetFocus();
  for (HWND w = FindWindowW(ui::kTopLevelClass, nullptr); w; w = FindWindowW(ui::kTopLevelClass, nullptr)) {
    DestroyWindow(w);
  }
}

TEST_F(Win32Program, TabAndEscActTheSameInTheMainLoopAndInADelay) {
  const HWND settings = run->SettingsWindow();
  const HWND width = Handle(*run->program->settings, s::窗口宽度编辑框);
  const HWND height = Handle(*run->program->settings, s::窗口高度编辑框);
  const HWND font = Handle(*run->program->settings, s::字体大小编辑框);
  SetForegroundWindow(settings);
  SetFocus(width);
  ASSERT_EQ(GetFocus(), width);

  // Inside the wait between two beeps.
  Win32Delay delay;
  DelayRequest request;
  PostMessageW(width, WM_KEYDOWN, VK_TAB, 0);
  delay.Wait(request, 100);
  EXPECT_EQ(GetFocus(), height);
  // Esc becomes the window's close request, which ends the wait and stays
  // queued for the main loop.
  PostMessageW(height, WM_KEYDOWN, VK_ESCAPE, 0);
  delay.Wait(request, 2000);
  MSG msg;
  EXPECT_TRUE(PeekMessageW(&msg, settings, WM_CLOSE, WM_CLOSE, PM_NOREMOVE));
  Pump(50);
  EXPECT_FALSE(run->program->settings->visible);
  EXPECT_FALSE(IsWindowVisible(settings));

  // In the main loop.
  ShowWindow(settings, SW_SHOW);
  SetFocus(height);
  PostMessageW(height, WM_KEYDOWN, VK_TAB, 0);
  SetTimer(nullptr, 0, 200, NoteFocusAndCloseAll);
  run->backend->RunMessageLoop();  // returns once no window is left
  EXPECT_EQ(g_focusSeen, font);
}

TEST_F(Win32Program, TabCyclesThroughTheTabStopsAndTheFocusComesBackWithTheWindow) {
  const HWND settings = run->SettingsWindow();
  SetForegroundWindow(settings);
  SetFocus(settings);  // the window itself, as after a click on a label
  auto tab = [](bool shift) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    MSG msg{GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
    ui::DispatchUserMessage(msg);
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    return static_cast<uint32_t>(GetWindowLongW(GetFocus(), GWL_ID));
  };
  EXPECT_EQ(tab(false), s::开始计时按钮);
  EXPECT_EQ(tab(true), s::文字颜色选择器);  // backwards round the end
  EXPECT_EQ(tab(false), s::开始计时按钮);
  for (int i = 0; i < 9; ++i) tab(false);
  EXPECT_EQ(tab(false), s::窗口高度编辑框);
  const HWND height = GetFocus();
  // An edit box reached by Tab has all its text selected, ready to be typed over.
  DWORD from = 1, to = 0;
  SendMessageW(height, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  EXPECT_EQ(from, 0u);
  EXPECT_EQ(to, 2u);  // "90"

  // Away to the main window and back: the focus returns to the box.
  SetForegroundWindow(run->Main());
  Pump(50);
  EXPECT_NE(GetFocus(), height);
  SetForegroundWindow(settings);
  Pump(50);
  EXPECT_EQ(GetFocus(), height);
}

// ---- Modal windows ---------------------------------------------------------------------

bool g_escFailed = false;

void CALLBACK PressEscInAbout(HWND, UINT, UINT_PTR timer, DWORD) {
  if (const HWND about = AboutWindow(); about && IsWindowVisible(about)) {
    KillTimer(nullptr, timer);
    PostMessageW(about, WM_KEYDOWN, VK_ESCAPE, 0);
  }
}

void CALLBACK CloseAboutAnyway(HWND, UINT, UINT_PTR, DWORD) {
  g_escFailed = true;
  PostMessageW(AboutWindow(), WM_CLOSE, 0, 0);
}

TEST_F(Win32Program, FiftyModalLoadsInARowEndWithTheMainWindowActive) {
  const HWND main = run->Main();
  SetForegroundWindow(main);
  Pump(50);
  ASSERT_EQ(GetActiveWindow(), main);
  for (int i = 0; i < 50; ++i) {
    // Esc closes the About window from inside its own modal loop; should it
    // not, a close request a little later ends the loop and the test fails.
    SetTimer(nullptr, 0, 20, PressEscInAbout);
    const UINT_PTR watchdog = SetTimer(nullptr, 0, 3000, CloseAboutAnyway);
    EXPECT_EQ(run->facility->Load(kProgramWindows.about, true), nullptr);
    KillTimer(nullptr, watchdog);
    ASSERT_FALSE(g_escFailed) << "Esc did not close the About window, load " << i;
    ASSERT_EQ(AboutWindow(), nullptr) << i;
    ASSERT_TRUE(IsWindowEnabled(main) && IsWindowEnabled(run->SettingsWindow())) << i;
  }
  Pump(100);
  EXPECT_EQ(GetActiveWindow(), main);
  EXPECT_EQ(run->facility->windows().size(), 2u);
}

// ---- Windows that cannot be created ---------------------------------------------------

// Refuses the creation of the one window of the given class (and caption, when given).
struct Refusal {
  const wchar_t* cls;
  const wchar_t* caption;
};
const Refusal* g_refusal = nullptr;

LRESULT CALLBACK RefuseCreation(int code, WPARAM wp, LPARAM lp) {
  if (code == HCBT_CREATEWND && g_refusal) {
    const CREATESTRUCTW& cs = *reinterpret_cast<CBT_CREATEWNDW*>(lp)->lpcs;
    wchar_t cls[64] = L"";
    GetClassNameW(reinterpret_cast<HWND>(wp), cls, 64);
    if (lstrcmpiW(cls, g_refusal->cls) == 0 &&
        (g_refusal->caption == nullptr || (cs.lpszName && lstrcmpW(cs.lpszName, g_refusal->caption) == 0))) {
      return 1;
    }
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

TEST(Win32Creation, AWindowThatCannotBeBuiltWhollyIsReportedAndLeavesNothingBehind) {
  const Refusal refusals[] = {{ui::kTopLevelClass, L"设置窗口"}, {L"EDIT", nullptr}, {L"BUTTON", L"关闭"}};
  for (const Refusal& refusal : refusals) {
    SCOPED_TRACE(Utf8(refusal.cls));
    g_refusal = &refusal;
    const HHOOK hook = SetWindowsHookExW(WH_CBT, RefuseCreation, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    test::FakeStore store;
    {
      Win32Run run(store);
      UnhookWindowsHookEx(hook);
      EXPECT_EQ(run.process.failures, std::vector<std::string>{"无法创建窗口“设置窗口”，程序无法运行。"});
      EXPECT_EQ(run.program->settings, nullptr);
      EXPECT_EQ(FindWindowW(ui::kTopLevelClass, L"设置窗口"), nullptr);
      ASSERT_EQ(run.facility->windows().size(), 1u);  // the main window, whole
      EXPECT_TRUE(IsWindow(run.Main()));
    }
    g_refusal = nullptr;
  }
}

// In the child process of a death test: reads the message box, then closes it.
void CALLBACK AnswerMessageBox(HWND, UINT, UINT_PTR timer, DWORD) {
  const HWND box = FindWindowW(L"#32770", L"错误");
  if (box == nullptr) return;
  KillTimer(nullptr, timer);
  wchar_t caption[64] = L"", text[256] = L"";
  GetWindowTextW(box, caption, 64);
  GetDlgItemTextW(box, 0xFFFF, text, 256);  // a message box's text
  std::fprintf(stderr, "[%s] %s\n", Utf8(caption).c_str(), Utf8(text).c_str());
  std::fflush(stderr);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
}

TEST(Win32ProcessDeathTest, FailShowsTheReasonThenEndsWithExitCodeOne) {
  EXPECT_EXIT(
      {
        SetTimer(nullptr, 0, 50, AnswerMessageBox);
        Win32Process().Fail("无法创建窗口“设置窗口”，程序无法运行。", 1);
      },
      ::testing::ExitedWithCode(1), "\\[错误\\] 无法创建窗口“设置窗口”，程序无法运行。");
}

// A crash ends a death test's child at once, with no debugger to wait for.
LONG WINAPI EndAtOnce(EXCEPTION_POINTERS*) { return EXCEPTION_EXECUTE_HANDLER; }

// The settings window, while the main window's clock runs behind the box;
// a control of the main window, after which no window is left.
TEST(Win32ProcessDeathTest, AWindowThatCannotBeBuiltIsReportedHoweverLongTheBoxStaysUp) {
  const Refusal refusals[] = {{ui::kTopLevelClass, L"设置窗口"}, {ui::kStaticClass, L"00-00"}};
  const char* reports[] = {"设置窗口", "澜珂倒计时"};
  for (int i = 0; i < 2; ++i) {
    EXPECT_EXIT(
        {
          SetUnhandledExceptionFilter(EndAtOnce);
          g_refusal = &refusals[i];
          SetWindowsHookExW(WH_CBT, RefuseCreation, nullptr, GetCurrentThreadId());
          SetTimer(nullptr, 0, 1500, AnswerMessageBox);  // after the clock's first second
          test::FakeStore store;
          Win32Process process;
          Win32Run run(store, &process);
        },
        ::testing::ExitedWithCode(1), std::string("\\[错误\\] 无法创建窗口“") + reports[i] + "”");
  }
}

// A failure on another thread hands the end over to the user-interface thread.
void SayWhereTheEndRuns(void* uiThread) {
  std::fprintf(stderr, GetCurrentThreadId() == *static_cast<DWORD*>(uiThread) ? "[end here] " : "[end elsewhere] ");
}
DWORD WINAPI FailHere(void* process) {
  static_cast<Win32Process*>(process)->Fail("没有这个函数", -1);
  return 0;
}

TEST(Win32ProcessDeathTest, AFailureOnAnotherThreadEndsThroughTheUserInterfaceThread) {
  EXPECT_EXIT(
      {
        DWORD uiThread = GetCurrentThreadId();
        Win32Process process;
        process.AtEnd(SayWhereTheEndRuns, &uiThread);
        SetTimer(nullptr, 0, 50, AnswerMessageBox);
        const OwnedHandle worker(CreateThread(nullptr, 0, FailHere, &process, 0, nullptr));
        for (MSG msg; GetMessageW(&msg, nullptr, 0, 0) > 0;) DispatchMessageW(&msg);
      },
      ::testing::ExitedWithCode(-1), "\\[end here\\] \\[错误\\] 没有这个函数");
}

// ---- Drawing without an off-screen bitmap ------------------------------------------------

TEST_F(Win32Program, ControlsStillDrawWhenGdiHasNoBitmapToSpare) {
  const HWND label = Handle(*run->program->main, m::显示时间标签);
  Canvas canvas(280, 90);  // made while GDI still has room
  std::vector<HBRUSH> hoard;
  while (hoard.size() < 200000) {
    const HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    if (brush == nullptr) break;
    hoard.push_back(brush);
  }
  ASSERT_LT(hoard.size(), 200000u) << "GDI never ran out";
  for (int spare : {0, 1}) {  // nothing to make a buffer with; a DC but no bitmap
    SCOPED_TRACE(spare);
    for (int i = 0; i < spare; ++i) {
      DeleteObject(hoard.back());
      hoard.pop_back();
    }
    canvas.Fill(RGB(255, 0, 255));
    canvas.Print(label);
    EXPECT_EQ(canvas.At(140, 0), RGB(0, 0, 0));
    EXPECT_EQ(canvas.At(3, 45), RGB(0, 255, 0));
  }
  for (HBRUSH brush : hoard) DeleteObject(brush);
}

}  // namespace
