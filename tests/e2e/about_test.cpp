// The About window as a user meets it: opened from the menu over the other two
// windows, which take no clicks meanwhile; its links, lit under the cursor,
// handing the maker's addresses to the browser (or, where the shell cannot,
// to the program registered for web pages); and the menu's web-site command,
// which goes through explorer.exe. Last, the name and version the program
// carries.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <set>
#include <sstream>
#include <thread>

#include "tests/e2e/session.h"

#include <tlhelp32.h>  // after <windows.h>

namespace e2e {
namespace {

// A folder of the test environment's own (Unix path) for the logs below.
std::string LogFolder() {
  const char* env = std::getenv("COUNTDOWN_TESTENV");
  const std::string dir = std::string(env ? env : "/tmp") + "/about-links";
  CreateDirectoryW(DosPath(Wide(dir)).c_str(), nullptr);
  return dir;
}

// The lines of a text file, each without its line end and outer blanks.
std::vector<std::string> Lines(const std::string& unixPath) {
  std::string text;
  if (FILE* in = _wfopen(DosPath(Wide(unixPath)).c_str(), L"rb")) {
    for (int c; (c = std::fgetc(in)) != EOF;) text.push_back(static_cast<char>(c));
    std::fclose(in);
  }
  std::istringstream in(text);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    const size_t first = line.find_first_not_of(" \r"), last = line.find_last_not_of(" \r");
    lines.push_back(first == std::string::npos ? "" : line.substr(first, last - first + 1));
  }
  return lines;
}

constexpr wchar_t kWineBrowser[] = L"Software\\Wine\\WineBrowser";

// Wine opens web addresses with winebrowser, which starts the first program
// of its "Browsers" list with the address. While this lives that list names a
// shell script that writes each address it is given on a line of a log.
class BrowserHook {
 public:
  BrowserHook() : log_(LogFolder() + "/browser.log") {
    const std::string script = LogFolder() + "/browser.sh";
    if (FILE* out = _wfopen(DosPath(Wide(script)).c_str(), L"wb")) {
      std::fputs("printf '%s\\n' \"$2\" >> \"$1\"\n", out);
      std::fclose(out);
    }
    DeleteFileW(DosPath(Wide(log_)).c_str());
    const std::wstring command = Wide("/bin/sh " + script + " " + log_);
    RegSetKeyValueW(HKEY_CURRENT_USER, kWineBrowser, L"Browsers", REG_SZ, command.c_str(),
                    static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
  }
  ~BrowserHook() { RegDeleteKeyValueW(HKEY_CURRENT_USER, kWineBrowser, L"Browsers"); }
  BrowserHook(const BrowserHook&) = delete;
  BrowserHook& operator=(const BrowserHook&) = delete;

  // The addresses received so far. Wine's browser adds a "/" to a bare host
  // name; it is left off here.
  std::vector<std::string> Received() const {
    std::vector<std::string> lines = Lines(log_);
    for (std::string& line : lines) {
      if (line.size() > 8 && line.find('/', 8) == line.size() - 1) line.pop_back();
    }
    return lines;
  }
  bool WaitReceived(size_t count) const {
    return WaitUntil([&] { return Received().size() >= count; }, 10000);
  }

 private:
  std::string log_;
};

// The default value of a key under HKEY_CLASSES_ROOT, set for as long as this
// lives; afterwards the old value is put back, or `created` (the key or one of
// its parents) is removed when there was none.
class ClassesRootValue {
 public:
  ClassesRootValue(std::wstring key, const std::wstring& value, std::wstring created = {})
      : key_(std::move(key)), created_(created.empty() ? key_ : std::move(created)) {
    wchar_t old[1024];
    DWORD size = sizeof old;
    had_ = RegGetValueW(HKEY_CLASSES_ROOT, key_.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, old, &size) == ERROR_SUCCESS;
    if (had_) old_ = old;
    Set(value);
  }
  ~ClassesRootValue() {
    if (had_) {
      Set(old_);
    } else {
      RegDeleteTreeW(HKEY_CLASSES_ROOT, created_.c_str());
      RegDeleteKeyW(HKEY_CLASSES_ROOT, created_.c_str());
    }
  }
  ClassesRootValue(const ClassesRootValue&) = delete;
  ClassesRootValue& operator=(const ClassesRootValue&) = delete;

 private:
  void Set(const std::wstring& value) {
    RegSetKeyValueW(HKEY_CLASSES_ROOT, key_.c_str(), nullptr, REG_SZ, value.c_str(),
                    static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  }
  std::wstring key_, created_, old_;
  bool had_ = false;
};

// Which of its three colours a link's text shows on the screen: black,
// the mouse-over blue or the visited dark red; none when no pixel has any.
enum class Shade { None, Normal, Hover, Visited };

Shade LinkShade(HWND link) {
  const RECT r = WindowRect(link);
  int normal = 0, hover = 0, visited = 0;
  for (int y = r.top + 2; y < r.bottom - 2; ++y) {
    for (int x = r.left; x < r.right; ++x) {
      const COLORREF c = ScreenPixel(x, y);
      normal += c == RGB(0, 0, 0);
      hover += c == RGB(0x31, 0x6A, 0xC5);
      visited += c == RGB(0x80, 0, 0);
    }
  }
  if (normal > hover && normal > visited) return Shade::Normal;
  if (hover > visited) return Shade::Hover;
  return visited > 0 ? Shade::Visited : Shade::None;
}

// From the first to just past the last pixel that is not white, along the
// middle row (or column) of a rectangle on the screen, from its edge.
std::pair<LONG, LONG> NotWhite(const RECT& r, bool row) {
  const LONG length = row ? r.right - r.left : r.bottom - r.top;
  LONG first = -1, last = -1;
  for (LONG i = 0; i < length; ++i) {
    const COLORREF c =
        row ? ScreenPixel(r.left + i, (r.top + r.bottom) / 2) : ScreenPixel((r.left + r.right) / 2, r.top + i);
    if (c == RGB(255, 255, 255)) continue;
    if (first < 0) first = i;
    last = i;
  }
  return {first, last + 1};
}

bool WaitShade(HWND link, Shade shade) {
  return WaitUntil([&] { return LinkShade(link) == shade; }, 3000);
}

// Moves both windows of the program out of the middle of the screen, where
// the About window comes up over them.
void MoveAside(const Session& s) {
  const RECT main = WindowRect(s.main), settings = WindowRect(s.settingsWindow);
  Drag({main.left + 40, main.top + 40}, {200 + 40, 150 + 40});
  Drag({settings.left + 150, settings.top + 10}, {200 + 150, 700 + 10});
  WaitUntil([&] { return WindowRect(s.settingsWindow).top == 700; });
}

HWND OpenAbout(Session& s) {
  Menu(s).Pick(kAboutItem);
  return s.program.WaitVisibleWindow(L"关于");
}

TEST(AboutWindow, IsModalOverBothWindowsAndItsCloseButtonGivesThemBack) {
  Session s(SettingsFile(L"自动隐藏=否\r\n"));
  ASSERT_SESSION(s);
  MoveAside(s);
  ASSERT_EQ(WindowRect(s.settingsWindow).top, 700);
  const HWND about = OpenAbout(s);
  ASSERT_NE(about, nullptr);
  const RECT banner = WindowRect(Control(about, id::about::kBanner));
  EXPECT_TRUE(WaitUntil([&] {
    return NotWhite(banner, true) == std::pair{8L, 208L} &&
           LinkShade(Control(about, id::about::kMailLink)) == Shade::Normal;
  })) << "the banner and the links drawn";
  EXPECT_FALSE(SaveWindowShot(about, L"about_window").empty());
  const RECT r = WindowRect(about);
  EXPECT_EQ(r.right - r.left, 288);
  EXPECT_EQ(r.bottom - r.top, 198);
  EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 288) / 2);
  EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - 198) / 2);
  EXPECT_NE(ExStyle(about) & WS_EX_TOPMOST, 0);
  EXPECT_NE(ExStyle(about) & WS_EX_APPWINDOW, 0);  // its own taskbar button
  EXPECT_EQ(Owner(about), nullptr);
  EXPECT_EQ(Text(Control(about, id::about::kTitle)), L" 关于窗口   【澜珂倒计时】V1.0");
  EXPECT_EQ(Text(Control(about, id::about::kClose)), L"关闭");
  EXPECT_EQ(Text(Control(about, id::about::kWebLink)), L"http://www.lanke.test");
  // Each text fits its box: the links' whole and centred, the number and
  // rights lines not cut off at their right ends.
  for (uint32_t id : {id::about::kWebLink, id::about::kMailLink, id::about::kPhone, id::about::kRights}) {
    const RECT box = WindowRect(Control(about, id));
    const auto [left, right] = NotWhite(box, true);
    EXPECT_LT(right, box.right - box.left - 1) << id;
    if (id == id::about::kWebLink || id == id::about::kMailLink) {
      EXPECT_NEAR(left, box.right - box.left - right, 2) << id;
    }
  }
  // The banner, 200 x 60 in a dark frame, whole and centred in its 216 x 70 box.
  EXPECT_EQ(NotWhite(banner, false), (std::pair{5L, 65L}));
  EXPECT_FALSE(Enabled(s.main));
  EXPECT_FALSE(Enabled(s.settingsWindow));

  // Clicks on the other two windows do nothing meanwhile.
  Click(s.Ctl(id::kStart));
  DoubleClick(s.Label());
  RightClick(s.Label());
  EXPECT_EQ(s.program.WaitMenu(500), nullptr);
  EXPECT_EQ(Text(s.Ctl(id::kStart)), L"开始计时");
  EXPECT_EQ(Text(s.Label()), L"05-00");
  EXPECT_TRUE(Visible(s.settingsWindow));
  EXPECT_TRUE(IsWindow(about));

  Click(Control(about, id::about::kClose));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }));
  EXPECT_TRUE(Enabled(s.main));
  EXPECT_TRUE(Enabled(s.settingsWindow));
  Click(s.Ctl(id::kStart));
  EXPECT_TRUE(WaitText(s.Ctl(id::kStart), L"暂停计时"));
}

TEST(AboutWindow, LinksLightUnderTheCursorAndHandTheirOwnAddressesToTheBrowser) {
  BrowserHook hook;
  Session s(SettingsFile(L"自动隐藏=否\r\n"));
  ASSERT_SESSION(s);
  HWND about = OpenAbout(s);
  ASSERT_NE(about, nullptr);
  HWND web = Control(about, id::about::kWebLink), mail = Control(about, id::about::kMailLink);
  EXPECT_TRUE(WaitShade(web, Shade::Normal));
  EXPECT_TRUE(WaitShade(mail, Shade::Normal));

  // Lit while the cursor is on it, and no longer once it has gone on to
  // another program's window (the desktop's).
  MoveMouse(Centre(web));
  EXPECT_TRUE(WaitShade(web, Shade::Hover));
  EXPECT_EQ(LinkShade(mail), Shade::Normal);
  MoveMouse({5, 5});
  EXPECT_TRUE(WaitShade(web, Shade::Normal));
  // ...nor once another program has come to the front under the cursor.
  MoveMouse(Centre(web));
  EXPECT_TRUE(WaitShade(web, Shade::Hover));
  {
    const OwnedWindow other(CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 20, 20, 100, 100,
                                            nullptr, nullptr, nullptr, nullptr));
    SetForegroundWindow(other.get());
    MoveMouse({60, 60});
    EXPECT_TRUE(WaitShade(web, Shade::Normal));
  }

  Click(Centre(web));
  ASSERT_TRUE(hook.WaitReceived(1));
  EXPECT_EQ(hook.Received()[0], "http://www.lanke.example");  // not the address it shows

  // Where the shell cannot open an address, the program registered for web
  // pages is given it: here one that writes its command line's end to a log.
  {
    const std::string log = LogFolder() + "/web-page-program.log";
    DeleteFileW(DosPath(Wide(log)).c_str());
    const ClassesRootValue missingMailer(L"mailto\\shell\\open\\command", L"\"C:\\missing\\mail.exe\" \"%1\"");
    const ClassesRootValue webPage(L".htm", L"CountdownTestPage");
    const ClassesRootValue command(L"CountdownTestPage\\shell\\open\\command",
                                   L"cmd.exe /c >>\"" + DosPath(Wide(log)) + L"\" echo %1", L"CountdownTestPage");
    Click(Centre(mail));
    EXPECT_TRUE(WaitUntil([&] { return !Lines(log).empty(); }, 10000));
    EXPECT_EQ(Lines(log), std::vector<std::string>{"mailto:service@lanke.example"});
  }
  EXPECT_EQ(hook.Received().size(), 1u);
  MoveMouse({5, 5});
  EXPECT_TRUE(WaitShade(web, Shade::Visited));
  EXPECT_TRUE(WaitShade(mail, Shade::Visited));

  // A fresh window: neither link visited.
  PressKey(VK_ESCAPE);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(about); }));
  about = OpenAbout(s);
  ASSERT_NE(about, nullptr);
  web = Control(about, id::about::kWebLink), mail = Control(about, id::about::kMailLink);
  EXPECT_TRUE(WaitShade(web, Shade::Normal));
  EXPECT_TRUE(WaitShade(mail, Shade::Normal));
  EXPECT_EQ(hook.Received().size(), 1u);
}

// Every process that the given one starts, by executable name, as seen by a
// snapshot taken every 10 milliseconds: Wine's explorer.exe hands a web
// address on and is gone again within a fraction of a second.
class ChildWatch {
 public:
  explicit ChildWatch(DWORD parent)
      : thread_([this, parent] {
          while (!stop_) {
            Snapshot(parent);
            Sleep(10);
          }
        }) {}
  ~ChildWatch() {
    stop_ = true;
    thread_.join();
  }
  ChildWatch(const ChildWatch&) = delete;
  ChildWatch& operator=(const ChildWatch&) = delete;

  std::set<std::wstring> Seen() {
    std::lock_guard<std::mutex> lock(mutex_);
    return seen_;
  }

 private:
  void Snapshot(DWORD parent) {
    // INVALID_HANDLE_VALUE when it fails, as from CreateFile.
    const OwnedFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
      if (entry.th32ParentProcessID != parent || entry.szExeFile[0] == 0) continue;  // not named while it starts
      std::wstring name = entry.szExeFile;
      CharLowerW(name.data());
      std::lock_guard<std::mutex> lock(mutex_);
      seen_.insert(name);
    }
  }

  std::mutex mutex_;
  std::set<std::wstring> seen_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

TEST(PopUpMenu, VisitWebSiteHandsTheShownAddressToExplorer) {
  BrowserHook hook;
  Session s;
  ASSERT_SESSION(s);
  ChildWatch children(s.program.ProcessId());
  Menu(s).Pick(kWebSiteItem);
  ASSERT_TRUE(hook.WaitReceived(1));
  EXPECT_EQ(hook.Received(), std::vector<std::string>{"http://www.lanke.test"});
  EXPECT_EQ(children.Seen(), std::set<std::wstring>{L"explorer.exe"});
}

// What Explorer's properties show of the program: its name and version 1.0.
TEST(Executable, NamesTheProductAndVersionOne) {
  const std::wstring exe = ProgramPath();
  std::vector<char> info(GetFileVersionInfoSizeW(exe.c_str(), nullptr));
  ASSERT_FALSE(info.empty());
  ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
  void* value = nullptr;
  UINT size = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", &value, &size));
  const auto& fixed = *static_cast<const VS_FIXEDFILEINFO*>(value);
  EXPECT_EQ(fixed.dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(fixed.dwFileVersionMS, 0x00010000u);
  for (const auto& [name, expected] :
       {std::pair{L"ProductName", L"澜珂倒计时"}, std::pair{L"ProductVersion", L"1.0"}}) {
    const std::wstring key = std::wstring(L"\\StringFileInfo\\080404B0\\") + name;
    ASSERT_TRUE(VerQueryValueW(info.data(), key.c_str(), &value, &size)) << Utf8(name);
    EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(value)), expected);
  }
}

}  // namespace
}  // namespace e2e
