// A library left beside the program under a system library's name is never
// loaded when a declared function is bound.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/planted/planted.h"

#include "base/bound_functions_win.h"
#include "base/encoding_win.h"

namespace {

using planted::Exists;
using planted::RunProgram;

std::wstring PlantedDir() {
  const char* dir = std::getenv("COUNTDOWN_PLANTED");
  return dir ? Wide(std::string("Z:") + dir) : std::wstring();
}

std::wstring ProgramDir() {
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring dir(path, n);
  return dir.substr(0, dir.find_last_of(L'\\'));
}

TEST(Planting, BindingShellExecuteNeverLoadsAPlantedMpr) {
  std::wstring dir = PlantedDir();
  for (wchar_t& c : dir) c = c == L'/' ? L'\\' : c;
  ASSERT_TRUE(Exists(dir + L"\\mpr.dll")) << "the planted library was not built";
  // The control case: a bare load of the name from a program beside it runs it,
  // so the test below can see a load if there is one.
  DeleteFileW((dir + L"\\mpr.dll.loaded").c_str());
  EXPECT_EQ(RunProgram(dir + L"\\planted_probe.exe", L"Mpr.dll"), 0u);
  ASSERT_TRUE(Exists(dir + L"\\mpr.dll.loaded")) << "a plain load did not run the planted library";
  DeleteFileW((dir + L"\\mpr.dll.loaded").c_str());

  // Now beside this program, whose binding searches Mpr.dll before Shell32.dll.
  const std::wstring planted = ProgramDir() + L"\\Mpr.dll";
  ASSERT_TRUE(CopyFileW((dir + L"\\mpr.dll").c_str(), planted.c_str(), FALSE));
  EXPECT_NE(BoundAddress(Bound::ShellExecuteA), 0u);
  EXPECT_FALSE(Exists(planted + L".loaded"));
  DeleteFileW((planted + L".loaded").c_str());
  DeleteFileW(planted.c_str());
}

}  // namespace
