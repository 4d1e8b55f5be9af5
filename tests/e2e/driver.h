// End-to-end driver: starts the real countdown.exe in a folder of its own and
// works it the way a user does. Everything goes through what any other process
// may use: process creation, top-level window lookup, standard messages
// (WM_GETTEXT, BM_GETCHECK, EM_SETSEL), SendInput, screen pixels and files.
// There is no private channel into the program, so a passing test means the
// user really sees and gets what the test asserts.
//
// Coordinates are screen pixels. Functions that wait take milliseconds.
// Failures to set a test up (no program to copy, process not created) throw
// std::runtime_error, which GoogleTest reports as a failed test.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "base/encoding_win.h"
#include "base/handles_win.h"

namespace e2e {

// ---- Paths -------------------------------------------------------------

// A path as Wine's Windows side sees it: a Unix absolute path becomes
// "Z:\..." (Wine maps drive Z: to "/"), any '/' becomes '\'. A path that
// already has a drive letter or is a UNC path is kept as it is.
std::wstring DosPath(const std::wstring& path);

// The program under test: $COUNTDOWN_EXE through DosPath, or countdown.exe
// beside the test executable when the variable is unset.
std::wstring ProgramPath();

// Where screenshots go: $E2E_ARTIFACTS through DosPath, or "e2e-artifacts"
// beside the test executable when unset. Created (with its parents) if missing.
std::wstring ArtifactsDir();

// ---- The program under test ------------------------------------------------

class Program {
 public:
  // Makes a fresh, uniquely named folder under the temporary directory,
  // copies the program into it, writes lkd.dll there with exactly these bytes
  // when given (GBK text, see Gbk()), starts the copy with that folder as the
  // current directory and waits until it is idle for input. Under Wine that
  // wait can end before the first window shows: use WaitVisibleWindow.
  // Files in besideFiles are copied into the folder too, before the start.
  static Program Start(std::optional<std::string> settingsBytes = std::nullopt,
                       const std::vector<std::wstring>& besideFiles = {});

  // Start with more said about the folder: its name ends in folderSuffix
  // (any characters the file system takes, e.g. ones outside the system code
  // page), and prepare, when set, runs on it once the program and its files
  // are in place, just before the program starts (to take rights away, say).
  struct StartOptions {
    std::optional<std::string> settingsBytes;
    std::vector<std::wstring> besideFiles;
    std::wstring folderSuffix;
    std::function<void(const std::wstring& folder)> prepare;
  };
  static Program StartWith(const StartOptions& options);

  Program(Program&& other) noexcept;
  Program& operator=(Program&& other) noexcept;
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;
  // Terminates the process if it still runs, then deletes the folder.
  ~Program();

  DWORD ProcessId() const { return pid_; }
  HANDLE ProcessHandle() const { return process_.get(); }
  std::wstring Folder() const { return folder_; }
  std::wstring ExePath() const { return exe_; }

  // Every top-level window whose thread belongs to this process, visible or not,
  // in z-order (topmost first).
  std::vector<HWND> Windows() const;
  // A top-level window of this process whose WM_GETTEXT text equals caption;
  // nullptr if none appears in time.
  HWND WaitWindow(const std::wstring& caption, DWORD timeoutMs = 10000) const;
  // The same, but the window must also be visible.
  HWND WaitVisibleWindow(const std::wstring& caption, DWORD timeoutMs = 10000) const;
  // A visible pop-up menu window (class "#32768") of this process.
  HWND WaitMenu(DWORD timeoutMs = 5000) const;

  // The settings file beside the program.
  std::wstring SettingsPath() const;
  bool SettingsExists() const;
  // Raw bytes of lkd.dll; empty when the file is absent.
  std::string SettingsBytes() const;

  // True once the process has ended within the timeout; the exit code is
  // stored through exitCode when it is not null.
  bool WaitExit(DWORD timeoutMs, DWORD* exitCode = nullptr) const;
  bool Running() const;
  // Ends the process at once (exit code 1) and waits for it to go.
  void Kill();

 private:
  Program() = default;
  void Release() noexcept;

  OwnedHandle process_;
  DWORD pid_ = 0;
  std::wstring folder_;
  std::wstring exe_;
};

// Holds the thread that owns the window suspended for as long as it lives,
// as a busy machine, a page-in or a slow disk would hold it.
class Stall {
 public:
  explicit Stall(HWND window);
  ~Stall();
  Stall(const Stall&) = delete;
  Stall& operator=(const Stall&) = delete;
  bool Holding() const { return static_cast<bool>(thread_); }

 private:
  OwnedHandle thread_;
};

// ---- Reading windows (standard messages, valid across processes) ----------

// A descendant at any depth of window whose GWL_ID equals the 32-bit id.
HWND Control(HWND window, uint32_t id);
// All descendants at any depth, in EnumChildWindows order.
std::vector<HWND> Descendants(HWND window);
// Caption or content by WM_GETTEXTLENGTH/WM_GETTEXT (sent with a timeout).
std::wstring Text(HWND window);
std::wstring ClassName(HWND window);
// BM_GETCHECK: BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE; -1 if the
// message could not be delivered.
int CheckState(HWND button);
// The window with the keyboard focus in window's thread (GetGUIThreadInfo);
// nullptr when none has it.
HWND Focus(HWND window);
bool Enabled(HWND window);
bool Visible(HWND window);
RECT WindowRect(HWND window);  // screen coordinates
RECT ClientRectOnScreen(HWND window);
LONG Style(HWND window);
LONG ExStyle(HWND window);
HWND Owner(HWND window);  // GetWindow(GW_OWNER)
// True when the window is layered with a constant alpha (LWA_ALPHA); the
// alpha is stored through alpha when it is not null.
bool LayeredAlpha(HWND window, BYTE* alpha);
POINT Centre(HWND window);  // centre of the window rectangle
POINT Centre(const RECT& rect);

// ---- Input (SendInput only) ----------------------------------------------------
// Every action sleeps about 50 ms afterwards so the target can take it in;
// tests still wait for the effect with WaitUntil/WaitText.
// Separate presses never merge into a double-click: a Click, RightClick,
// DoubleClick or Drag that presses a button within the double-click time and
// rectangle of the previous press of that button first waits that time out.

// Makes window's top-level window the foreground window; true on success.
bool Activate(HWND window);

void MoveMouse(POINT at);
// Milliseconds one SendInput of a one-pixel mouse move took: the system
// waits for every low-level mouse hook on the desktop to pass it on.
DWORD TimedMouseMove();
// A plain left click at a point: no activation other than what the click does.
void Click(POINT at);
// Activates target's top-level window when it is enabled and not already in
// front, then clicks target's centre.
void Click(HWND target);
void DoubleClick(POINT at);
void DoubleClick(HWND target);
void RightClick(POINT at);
void RightClick(HWND target);
// Left button down at from, ten moves to to, button up at to.
void Drag(POINT from, POINT to);
// The three parts of a drag, for a test that acts while the button is held.
void MouseDown(POINT at);
void MoveMouseSteps(POINT from, POINT to);  // ten moves, button state unchanged
void MouseUp(POINT at);
// Moves to at, then one wheel event; 120 is one notch away from the user.
void Wheel(POINT at, int delta);
// A burst of wheel notches at one spot, with no pause between them.
void WheelBurst(POINT at, const std::vector<int>& deltas);

// One KEYEVENTF_UNICODE press per UTF-16 unit; '\r' or '\n' press Enter,
// '\t' presses Tab. Goes to whatever has the keyboard focus.
void TypeText(const std::wstring& text);
// One virtual key down and up.
void PressKey(WORD vk);
// Keys down in order, up in reverse order, e.g. PressKeys({VK_CONTROL, 'A'}).
void PressKeys(std::initializer_list<WORD> vks);
// Ctrl+A as keys. Wine 8's single-line EDIT ignores Ctrl+A; use
// ClickAndSelectAll for edit boxes.
void SelectAll();
// Clicks into an edit box and, once the click has reached it, selects all
// its text with EM_SETSEL(0, -1).
void ClickAndSelectAll(HWND edit);
// True once the edit box's window is in front, the box has the focus there
// and all its text is selected: what is typed next replaces it.
bool WaitReadyToReplace(HWND edit, DWORD timeoutMs = 5000);
// ClickAndSelectAll, then, once the box is ready to replace its text, types
// text over it; throws if it never is.
void TypeInto(HWND edit, const std::wstring& text);

// ---- Waiting -----------------------------------------------------------------

// Polls cond every 20 ms until it holds (true) or the time is up (false).
bool WaitUntil(const std::function<bool()>& cond, DWORD timeoutMs = 5000);
bool WaitText(HWND window, const std::wstring& expected, DWORD timeoutMs = 5000);

// ---- The machine Wine runs on ------------------------------------------------

// Runs a shell command of the machine under Wine (the X server's tools, say)
// and waits for it to end, timeoutMs at most; true when it ended with status
// 0. The command holds no double quote.
bool RunOnHost(const std::string& command, DWORD timeoutMs = 5000);

// ---- Pixels and pictures ---------------------------------------------------------

// The colour of one screen pixel (GetPixel on the screen DC); CLR_INVALID
// when it cannot be read.
COLORREF ScreenPixel(int x, int y);
// What the screen shows in a rectangle, read in one go: its pixels row by row
// from the top, as GDI hands them over (0x00RRGGBB). Clipped to the virtual
// screen; empty when it cannot be read.
struct ScreenImage {
  RECT area{};  // what was read, in screen coordinates
  std::vector<DWORD> bits;
  bool empty() const { return bits.empty(); }
  COLORREF At(int x, int y) const;  // screen coordinates inside area
};
ScreenImage CaptureScreen(const RECT& rect);
// Captures what the screen shows in rect (clipped to the virtual screen) and
// writes <ArtifactsDir>\<name>.bmp, which the test environment converts to a
// PNG when it stops; characters not allowed in file names become '_'.
// Returns the file's Windows path, or an empty string on failure.
std::wstring SaveScreenshot(const RECT& rect, const std::wstring& name);
// The same for the window's rectangle.
std::wstring SaveWindowShot(HWND window, const std::wstring& name);

// ---- Text --------------------------------------------------------------------

// The program's own conversions, in the driver's wide terms.
using ::Utf8;
using ::Wide;
// Code page 936 bytes, the encoding of the settings file.
inline std::string Gbk(const std::wstring& text) { return ToCodePage(Utf8(text), 936); }
inline std::wstring FromGbk(const std::string& gbk) { return Wide(FromCodePage(gbk, 936)); }

}  // namespace e2e
