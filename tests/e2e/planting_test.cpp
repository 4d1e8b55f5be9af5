// Libraries left beside the program under system libraries' names (where
// users unpack downloads, anyone may leave a winmm.dll) are never loaded,
// neither by the program's own code nor by system libraries on its behalf.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/e2e/session.h"
#include "tests/planted/planted.h"

#include <tlhelp32.h>  // after <windows.h>

namespace e2e {
namespace {

using planted::Exists;
using planted::RunProgram;

const wchar_t* const kPlanted[] = {L"winmm.dll", L"mpr.dll", L"msimg32.dll", L"gdiplus.dll"};

// Whether a process that the program started still runs. Ids are used again
// (soon, under Wine): a child is one younger than its parent.
bool ChildRunning(const Program& program) {
  const auto born = [](HANDLE process) {
    FILETIME created{}, unused{};
    GetProcessTimes(process, &created, &unused, &unused, &unused);
    return ULARGE_INTEGER{{created.dwLowDateTime, created.dwHighDateTime}}.QuadPart;
  };
  const OwnedFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = snapshot && Process32FirstW(snapshot.get(), &entry); more;
       more = Process32NextW(snapshot.get(), &entry)) {
    if (entry.th32ParentProcessID != program.ProcessId()) continue;
    const OwnedHandle child(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
    if (child && born(child.get()) >= born(program.ProcessHandle())) return true;
  }
  return false;
}

TEST(Planting, LibrariesLeftBesideTheProgramAreNeverLoaded) {
  const char* planted = std::getenv("COUNTDOWN_PLANTED");
  ASSERT_NE(planted, nullptr);
  const std::wstring dir = DosPath(Wide(planted));
  // The control case: a bare load of each name from a program beside it runs
  // the planted file, so a load by the countdown would show.
  std::vector<std::wstring> files;
  for (const wchar_t* name : kPlanted) {
    const std::wstring marker = dir + L"\\" + name + L".loaded";
    DeleteFileW(marker.c_str());
    EXPECT_EQ(RunProgram(dir + L"\\planted_probe.exe", name), 0u) << Utf8(name);
    ASSERT_TRUE(Exists(marker)) << Utf8(name) << ": a plain load did not run the planted library";
    DeleteFileW(marker.c_str());
    files.push_back(dir + L"\\" + name);
  }
  // The web site opens through the shell; no real browser in here.
  RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Wine\\WineBrowser", L"Browsers", REG_SZ, L"true", 10);

  Session s(SettingsFile(L"时间=0.05\r\n"), files);  // three seconds, applause on
  ASSERT_SESSION(s);
  Click(s.Ctl(id::kStart));
  EXPECT_TRUE(WaitText(s.Label(), L"00-00", 5000));
  EXPECT_TRUE(s.WaitFileHas(L"自动隐藏=否"));  // saved just after the applause has started
  Menu menu(s);
  menu.Pick(kWarningItem);
  EXPECT_TRUE(WaitUntil([&] { return CheckState(s.Ctl(id::kWarning)) == BST_UNCHECKED; }));
  menu.Pick(kWebSiteItem);
  menu.Pick(kAboutItem);  // taken once the web site has been handed to explorer.exe
  const HWND about = s.program.WaitVisibleWindow(L"关于");
  EXPECT_NE(about, nullptr);
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }));
  EXPECT_TRUE(s.program.Running());
  EXPECT_TRUE(WaitUntil([&] { return !ChildRunning(s.program); }, 10000)) << "explorer.exe is still at work";
  for (const wchar_t* name : kPlanted) {
    const std::wstring marker = s.program.Folder() + L"\\" + name + L".loaded";
    std::string loaders;
    const OwnedFile f(CreateFileW(marker.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (f) {
      wchar_t text[2048] = L"";
      DWORD got = 0;
      ReadFile(f.get(), text, sizeof text - 2, &got, nullptr);
      loaders = Utf8(text);
    }
    EXPECT_TRUE(loaders.empty()) << Utf8(name) << " was loaded by " << loaders;
  }
  RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Wine\\WineBrowser", L"Browsers");
}

}  // namespace
}  // namespace e2e
