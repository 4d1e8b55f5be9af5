// Settings files that users and accidents leave beside the program, each one
// loaded by the real program. Whatever the file holds, the program starts,
// shows its two windows and nothing else, counts, and closes with exit code 0;
// and every line of the file that it does not write itself comes through the
// run byte for byte.
//
// Many programs run side by side here, so the buttons are pressed with
// BM_CLICK, as assistive technology presses them: it reaches a button whatever
// lies over it and wherever a strange size has put its window.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/session.h"

namespace e2e {
namespace {

using Lines = std::vector<std::string>;

// GBK, the file's encoding: short, for the many lines below.
std::string G(const std::wstring& text) { return Gbk(text); }

std::string Join(const Lines& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\r\n";
  return bytes;
}

// What a start without a usable file leaves behind.
const Lines kFirstStartLines = {G(L"[配置信息]"), G(L"字体大小=72"), G(L"窗口高度=90"), G(L"窗口宽度=280"),
                                G(L"时间=5")};

struct Case {
  std::string name;
  std::optional<std::string> bytes;  // none: no file at all
  std::wstring label;                // what the time label shows once loaded; empty: not checked
  Lines kept;                        // lines that must still be in the file afterwards, in this order
  std::function<void(const std::wstring& folder)> prepare = {};
  std::function<void(const Program&)> after = {};  // more to check once the program has ended
};

// A prepared file whose every line must survive.
Case Kept(std::string name, std::wstring label, const Lines& lines) {
  return {std::move(name), Join(lines), std::move(label), lines};
}

// Presses a button the way assistive technology does; false when the window
// does not answer.
bool Press(HWND button) {
  DWORD_PTR ignored = 0;
  return button != nullptr && SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored) != 0;
}

int VisibleWindows(const Program& program) {
  int n = 0;
  for (HWND w : program.Windows()) n += Visible(w);
  return n;
}

testing::AssertionResult KeptInOrder(const std::string& file, const Lines& lines) {
  size_t at = 0;
  for (const std::string& line : lines) {
    // A whole line: at the start of the file or after a line end.
    size_t found = at;
    while ((found = file.find(line + "\r\n", found)) != std::string::npos && found != 0 && file[found - 1] != '\n') {
      ++found;
    }
    if (found == std::string::npos) {
      return testing::AssertionFailure() << "lost or moved: " << Utf8(FromGbk(line.substr(0, 200)))
                                         << "\nthe file holds " << file.size() << " bytes, beginning:\n"
                                         << Utf8(FromGbk(file.substr(0, 400)));
    }
    at = found + line.size() + 2;
  }
  return testing::AssertionSuccess();
}

bool WindowsShown(const Program& program) {
  return program.WaitVisibleWindow(L"澜珂倒计时", 0) != nullptr && program.WaitVisibleWindow(L"设置窗口", 0) != nullptr;
}

// Starts every case at once, then works each in turn: the waits for start-up
// and for the second tick are shared, so a batch costs little more than one run.
void RunSideBySide(const std::vector<Case>& cases) {
  std::vector<Program> programs;
  for (const Case& c : cases) programs.push_back(Program::StartWith({c.bytes, {}, {}, c.prepare}));
  WaitUntil(
      [&] {
        return std::all_of(programs.begin(), programs.end(),
                           [](const Program& p) { return !p.Running() || WindowsShown(p); });
      },
      20000);
  std::vector<std::unique_ptr<Session>> sessions;
  for (size_t i = 0; i < cases.size(); ++i) {
    DWORD code = STILL_ACTIVE;
    if (WindowsShown(programs[i])) {
      sessions.push_back(std::make_unique<Session>(std::move(programs[i])));
    } else {
      ADD_FAILURE() << cases[i].name << ": the program's windows did not appear; "
                    << (programs[i].WaitExit(0, &code) ? "it ended with code " + std::to_string(code) : "it hangs");
      sessions.push_back(nullptr);
    }
  }

  // Loaded and shown, then started: the press takes its first second at once.
  std::vector<std::wstring> shown(cases.size()), firstTick(cases.size());
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].name);
    if (!sessions[i]) continue;
    Session& s = *sessions[i];
    shown[i] = Text(s.Label());
    if (!cases[i].label.empty()) {
      EXPECT_EQ(shown[i], cases[i].label);
    }
    EXPECT_TRUE(Press(s.Ctl(id::kStart)));
    EXPECT_TRUE(WaitUntil([&] { return Text(s.Label()) != shown[i]; }, 2000)) << "the start press takes a second";
    firstTick[i] = Text(s.Label());
  }
  // The timer takes the next one.
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].name);
    if (!sessions[i]) continue;
    Session& s = *sessions[i];
    EXPECT_TRUE(WaitUntil(
        [&] {
          const std::wstring now = Text(s.Label());
          return now != shown[i] && now != firstTick[i];
        },
        3000))
        << "the count does not go on from " << Utf8(firstTick[i]);
    EXPECT_EQ(VisibleWindows(s.program), 2) << "a window besides the main and settings windows";
    // Posted: the close ends the process inside the press, so a sent one never returns.
    EXPECT_TRUE(PostMessageW(s.Ctl(id::kClose), BM_CLICK, 0, 0));
    DWORD code = STILL_ACTIVE;
    EXPECT_TRUE(s.program.WaitExit(5000, &code)) << "still running after the close button";
    EXPECT_EQ(code, 0u);
  }

  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].name);
    if (!sessions[i]) continue;
    const Program& program = sessions[i]->program;
    EXPECT_TRUE(KeptInOrder(program.SettingsBytes(), cases[i].kept));
    if (cases[i].after) cases[i].after(program);
  }
}

TEST(DamagedSettings, FilesUsersAndAccidentsLeaveAreLoadedAndKept) {
  std::vector<Case> cases;
  cases.push_back({"no file", std::nullopt, L"05-00", kFirstStartLines});
  cases.push_back({"empty file", "", L"05-00", kFirstStartLines});
  cases.push_back({"a folder in the file's place",
                   std::nullopt,
                   L"05-00",
                   {},
                   [](const std::wstring& folder) { CreateDirectoryW((folder + L"\\lkd.dll").c_str(), nullptr); },
                   [](const Program& p) {
                     const DWORD attributes = GetFileAttributesW(p.SettingsPath().c_str());
                     EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
                   }});

  // 1 MiB of another program's section, with the settings at the very end.
  Lines big = {G(L"[其他程序]")};
  for (size_t i = 0, size = 0; size < (1u << 20); ++i, size += big.back().size() + 2) {
    big.push_back("entry" + std::to_string(i) + "=" + std::string(60, 'v'));
  }
  for (const wchar_t* line : {L"[配置信息]", L"字体大小=72", L"窗口高度=90", L"窗口宽度=280", L"时间=3"})
    big.push_back(G(line));
  cases.push_back(Kept("1 MiB", L"03-00", big));

  // 20,000 characters: in a note of the user's, kept whole; in the width,
  // read as far as the program reads a value, which ends inside a character.
  std::wstring note, width = L"300";
  for (int i = 0; i < 10000; ++i) note += L"倒计";
  while (width.size() < 20000) width += L"宽";
  const Lines longLines = {G(L"[配置信息]"), G(L"备注=" + note), G(L"时间=3")};
  cases.push_back({"20,000 characters", Join(longLines) + G(L"窗口宽度=" + width) + "\r\n", L"03-00", longLines});

  // Bytes that are no GBK text: a lead byte before a space, alone at a line's
  // end, and 0xFF. Where the program only reads them, they stay as they are.
  cases.push_back(Kept("invalid GBK, read only", L"03-00",
                       {G(L"[配置信息]"),
                        G(L"背景颜色=") + "\x81\x20"
                                          "12",
                        G(L"半透明=") + "\xCA", G(L"备注=") + "a\x81\x7F\xFF z\x81", G(L"字体大小=72"),
                        G(L"窗口高度=90"), G(L"窗口宽度=280"), G(L"时间=3")}));
  // In a value it writes back it may replace them, but nothing else changes.
  cases.push_back({"invalid GBK, written back",
                   Join({G(L"[配置信息]"), G(L"时间=3") + "\x81",
                         G(L"字体大小=") + "\xFF\x81"
                                           "72",
                         G(L"备注=保留")}),
                   L"03-00",
                   {G(L"[配置信息]"), G(L"备注=保留")}});

  cases.push_back(
      Kept("keys and sections twice", L"03-00",
           {G(L"[配置信息]"), G(L"时间=3"), G(L"时间=4"), G(L"字体大小=72"), G(L"字体大小=10"), G(L"[其他]"), "x=1",
            G(L"[配置信息]"), G(L"时间=9"), G(L"窗口宽度=50"), G(L"窗口高度=90"), G(L"窗口宽度=280")}));

  // The 32-bit limits, on and beyond, in every number the file holds.
  cases.push_back(
      Kept("32-bit limits", L"03-00",
           {G(L"[配置信息]"), G(L"背景颜色=2147483647"), G(L"文字颜色=-2147483648"), G(L"字体大小=2147483647"),
            G(L"窗口高度=-2147483648"), G(L"窗口宽度=2147483647"), G(L"时间=3")}));
  cases.push_back(
      Kept("beyond the 32-bit limits", L"03-00",
           {G(L"[配置信息]"), G(L"背景颜色=4294967295"), G(L"文字颜色=99999999999999999999"),
            G(L"字体大小=-2147483649"), G(L"窗口高度=2147483648"), G(L"窗口宽度=4294967296"), G(L"时间=3")}));
  // The longest count in whole minutes whose seconds fit in 32 bits; beyond
  // it, the longest count there is.
  cases.push_back(Kept("longest time", L"94-00", {G(L"[配置信息]"), G(L"时间=35791394")}));
  cases.push_back(Kept("time beyond 32 bits", L"94-07", {G(L"[配置信息]"), G(L"时间=35791395")}));
  cases.push_back(Kept("time far beyond 32 bits", L"94-07", {G(L"[配置信息]"), G(L"时间=99999999999999999999")}));

  // Saved as UTF-8 with a byte-order mark, as editors offer to: Windows'
  // own functions take the mark for text of the first line, which is then
  // no section header, and so does the program. Its own section goes after.
  cases.push_back(Kept("UTF-8 with a byte-order mark", L"05-00",
                       {"\xEF\xBB\xBF" + Utf8(L"[配置信息]"), Utf8(L"时间=3"), Utf8(L"字体大小=72"),
                        Utf8(L"窗口高度=90"), Utf8(L"窗口宽度=280"), Utf8(L"备注=保留")}));
  RunSideBySide(cases);
}

TEST(DamagedSettings, RandomBytesAreLoadedAndKeptAroundTheSection) {
  // Even seeds: nothing but random bytes, so the defaults apply. Odd seeds:
  // a well-formed section between random bytes, which must be found and kept.
  const Lines section = {G(L"[配置信息]"),   G(L"字体大小=72"), G(L"窗口高度=90"),
                         G(L"窗口宽度=280"), G(L"时间=3"),      G(L"备注=保留")};
  std::vector<Case> cases;
  for (unsigned seed = 1; seed <= 50; ++seed) {
    std::mt19937 random(seed);
    auto noise = [&] {
      std::string bytes(std::uniform_int_distribution<size_t>(0, 4096)(random), '\0');
      for (char& b : bytes) b = static_cast<char>(random());
      return bytes;
    };
    if (seed % 2 == 0) {
      cases.push_back({"seed " + std::to_string(seed), noise(), L"05-00", {}});
    } else {
      cases.push_back({"seed " + std::to_string(seed), noise() + "\r\n" + Join(section) + noise(), L"03-00", section});
    }
  }
  for (size_t from = 0; from < cases.size(); from += 25) {
    RunSideBySide({cases.begin() + from, cases.begin() + std::min(from + 25, cases.size())});
  }
}

TEST(SettingsOnDisk, AreNeverSeenEmptyOrShortWhileABurstOfChangesRunsNorAfterAKill) {
  Session s(SettingsFile(L"字体大小=20\r\n窗口高度=90\r\n窗口宽度=280\r\n时间=5\r\n自动隐藏=否\r\n"));
  ASSERT_SESSION(s);
  const auto whole = [](const std::wstring& text) {
    return text.starts_with(L"[配置信息]\r\n字体大小=") && text.ends_with(L"时间=5\r\n自动隐藏=否\r\n");
  };
  std::atomic<bool> done{false};
  std::atomic<int> looks{0}, torn{0};
  std::thread reader([&] {
    for (; !done; Sleep(1), ++looks) {
      // As others read it, sharing it even with a rename.
      const OwnedFile file(CreateFileW(s.program.SettingsPath().c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                       0, 0));
      char bytes[4096];
      DWORD n = 0;
      torn += !file || !ReadFile(file.get(), bytes, sizeof bytes, &n, nullptr) || !whole(FromGbk({bytes, n}));
    }
  });
  WheelBurst(Centre(s.Ctl(id::kFontBox)), std::vector<int>(60, WHEEL_DELTA));
  EXPECT_TRUE(s.WaitFileHas(L"字体大小=80", 20000));
  WheelBurst(Centre(s.Ctl(id::kFontBox)), std::vector<int>(200, WHEEL_DELTA));
  s.program.Kill();  // in the middle of the second burst
  done = true;
  reader.join();
  EXPECT_EQ(torn, 0) << "of " << looks << " looks";
  EXPECT_GT(looks, 100);
  EXPECT_TRUE(whole(s.File())) << Utf8(s.File());
}

// Runs a Unix program under Wine, which starts one given by its Unix path;
// false elsewhere.
bool RunUnix(const std::wstring& program, const std::vector<std::string>& arguments) {
  std::wstring commandLine = L"\"" + program + L"\"";
  for (const std::string& argument : arguments) commandLine += L" \"" + Wide(argument) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &info)) {
    return false;
  }
  const OwnedHandle process(info.hProcess), thread(info.hThread);
  WaitForSingleObject(process.get(), 10000);
  return true;
}

// A Windows path as the Unix side names it, under Wine; empty elsewhere.
std::string UnixPath(const std::wstring& path) {
  using UnixFileName = char*(CDECL*)(const wchar_t*);
  const auto convert = reinterpret_cast<UnixFileName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  char* unix = convert ? convert(path.c_str()) : nullptr;
  if (unix == nullptr) return {};
  std::string result = unix;
  HeapFree(GetProcessHeap(), 0, unix);
  return result;
}

// Takes away, or gives back, the right to change these files and folders,
// as a read-only medium or share does. Windows' read-only attribute means
// nothing on a folder, and under Wine run as root neither it nor Unix
// permissions stop a write, so they are also made immutable there.
void SetReadOnly(const std::vector<std::wstring>& paths, bool readOnly) {
  std::vector<std::string> chattr = {readOnly ? "+i" : "-i"};
  for (const std::wstring& path : paths) {
    SetFileAttributesW(path.c_str(), readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
    const std::string unix = UnixPath(path);
    if (!unix.empty()) chattr.push_back(unix);
  }
  if (chattr.size() > 1) RunUnix(L"/usr/bin/chattr", chattr);
}

// Whether a file can be created in the folder, or the file opened to write.
bool Writable(const std::wstring& path, bool folder) {
  const std::wstring target = folder ? path + L"\\probe" : path;
  // Closed again at once, before the probe is deleted.
  if (!OwnedFile(
          CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, folder ? CREATE_NEW : OPEN_EXISTING, 0, nullptr))) {
    return false;
  }
  if (folder) DeleteFileW(target.c_str());
  return true;
}

TEST(ReadOnlySettings, EverySettingAppliesForTheRunWhenNothingCanBeSaved) {
  // No font size: loading would write it, and cannot.
  const std::string file = SettingsFile(L"窗口宽度=300\r\n窗口高度=100\r\n时间=3\r\n半透明=是\r\n鼓掌=否\r\n");
  struct Variant {
    const char* name;
    bool hasFile;
    bool folderReadOnly;
  };
  for (const Variant v : {Variant{"read-only file", true, false}, Variant{"read-only folder", true, true},
                          Variant{"read-only folder, no file", false, true}}) {
    SCOPED_TRACE(v.name);
    std::vector<std::wstring> readOnly;
    auto prepare = [&](const std::wstring& folder) {
      if (v.folderReadOnly) readOnly.push_back(folder);
      if (v.hasFile) readOnly.push_back(folder + L"\\lkd.dll");
      SetReadOnly(readOnly, true);
    };
    Session s(Program::StartWith({v.hasFile ? std::optional(file) : std::nullopt, {}, {}, prepare}));
    // Given back before the folder is deleted.
    struct Restore {
      const std::vector<std::wstring>& paths;
      ~Restore() { SetReadOnly(paths, false); }
    } restore{readOnly};
    if (Writable(readOnly.back(), !v.hasFile) || (v.folderReadOnly && Writable(readOnly.front(), true))) {
      GTEST_SKIP() << "this machine cannot take the right to write away";
    }
    ASSERT_SESSION(s);

    const RECT r = WindowRect(s.main);
    BYTE alpha = 255;
    if (v.hasFile) {
      EXPECT_EQ(r.right - r.left, 300);
      EXPECT_EQ(r.bottom - r.top, 100);
      EXPECT_EQ(Text(s.Label()), L"03-00");
      EXPECT_TRUE(LayeredAlpha(s.main, &alpha) && alpha == 80) << "semi-transparent";
      EXPECT_EQ(CheckState(s.Ctl(id::kApplause)), BST_UNCHECKED);
    } else {
      EXPECT_EQ(r.right - r.left, 280);
      EXPECT_EQ(Text(s.Label()), L"05-00");
    }
    EXPECT_EQ(Text(s.Ctl(id::kFontBox)), L"72");

    // A change applies at once, saved or not.
    TypeInto(s.Ctl(id::kWidthBox), L"250");
    EXPECT_TRUE(WaitUntil([&] { return WindowRect(s.main).right - WindowRect(s.main).left == 250; }));
    const std::wstring before = Text(s.Label());
    Click(s.Ctl(id::kStart));
    EXPECT_TRUE(WaitUntil([&] { return Text(s.Label()) != before; }));
    const std::wstring firstTick = Text(s.Label());
    EXPECT_TRUE(WaitUntil([&] { return Text(s.Label()) != firstTick; }, 2500)) << "counts on";
    EXPECT_EQ(VisibleWindows(s.program), 2) << "no message about the file";

    Click(s.Ctl(id::kClose));
    DWORD code = STILL_ACTIVE;
    EXPECT_TRUE(s.program.WaitExit(5000, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(s.program.SettingsExists(), v.hasFile);
    EXPECT_EQ(s.program.SettingsBytes(), v.hasFile ? file : "");
  }
}

}  // namespace
}  // namespace e2e
