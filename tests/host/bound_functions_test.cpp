// Binding the system functions: which libraries are tried, which stay
// loaded, and what a missing name does.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "base/bound_functions.h"
#include "tests/host/fakes.h"

namespace {

// Libraries by name, each with the names it exports; "loaded" libraries are
// handed out as pointers to their entry.
struct FakeLibraries : SystemLibraries {
  std::map<std::string, std::set<std::string>> exports;
  std::vector<std::string> log;  // "load X", "release X"
  void* Load(const char* library) override {
    log.push_back(std::string("load ") + library);
    const auto it = exports.find(library);
    return it == exports.end() ? nullptr : &*it;
  }
  void* Find(void* library, const char* name) override {
    auto& entry = *static_cast<std::pair<const std::string, std::set<std::string>>*>(library);
    return entry.second.count(name) ? const_cast<char*>(entry.second.find(name)->c_str()) : nullptr;
  }
  void Release(void* library) override {
    log.push_back("release " + static_cast<std::pair<const std::string, std::set<std::string>>*>(library)->first);
  }
};

TEST(DeclaredFunctions, TheTableNamesThirtyFunctionsInItsOrder) {
  EXPECT_STREQ(BoundName(Bound::GetWindowLongA), "GetWindowLongA");
  EXPECT_STREQ(BoundName(Bound::CreateThread), "CreateThread");
  EXPECT_STREQ(BoundName(Bound::CreateThreadForAutoHide), "CreateThread");  // a second entry of its own
  EXPECT_EQ(static_cast<int>(Bound::CreateThreadForAutoHide), 16);
  EXPECT_STREQ(BoundName(Bound::ShellExecuteA), "ShellExecuteA");
  EXPECT_EQ(static_cast<int>(Bound::ShellExecuteA), 14);
  EXPECT_STREQ(BoundName(Bound::CallNextHookEx), "CallNextHookEx");
  EXPECT_EQ(static_cast<int>(Bound::CallNextHookEx), kDeclaredCount - 1);
}

TEST(DeclaredFunctions, TheFirstLibraryInOrderThatExportsTheNameSuppliesIt) {
  FakeLibraries system;
  system.exports = {{"Kernel32.dll", {"Sleep"}},
                    {"Gdi32.dll", {}},
                    {"User32.dll", {"GetMessageA"}},
                    {"Advapi32.dll", {}},
                    {"Shell32.dll", {"ShellExecuteA", "Sleep"}}};  // no Mpr.dll on this system
  test::FakeProcess process;
  const BoundFunction sleep = BindFunction(system, process, Bound::Sleep);
  EXPECT_EQ(static_cast<const char*>(sleep.address), std::string("Sleep"));
  EXPECT_EQ(system.log, (std::vector<std::string>{"load Kernel32.dll"}));  // kept loaded

  system.log.clear();
  const BoundFunction shell = BindFunction(system, process, Bound::ShellExecuteA);
  EXPECT_NE(shell.address, nullptr);
  EXPECT_EQ(system.log,
            (std::vector<std::string>{"load Kernel32.dll", "release Kernel32.dll", "load Gdi32.dll",
                                      "release Gdi32.dll", "load User32.dll", "release User32.dll", "load Advapi32.dll",
                                      "release Advapi32.dll", "load Mpr.dll", "load Shell32.dll"}));
  EXPECT_TRUE(process.failures.empty());

  // A name no library exports: every one tried and released, then the message and -1.
  system.log.clear();
  const BoundFunction missing = BindFunction(system, process, Bound::SetLayeredWindowAttributes);
  EXPECT_EQ(missing.address, nullptr);
  EXPECT_EQ(system.log.size(), 11u);
  EXPECT_EQ(system.log.back(), "release Shell32.dll");
  EXPECT_EQ(process.failures,
            std::vector<std::string>{
                "运行时出错!\n\n错误信息：无法找到指定DLL库文件中的输出命令“SetLayeredWindowAttributes”"});
  EXPECT_EQ(process.exitCodes, std::vector<int>{-1});

  // An optional entry is looked for in its own library only, and missing
  // there it is null without a word.
  system.log.clear();
  system.exports["winmm.dll"] = {"waveOutOpen"};
  EXPECT_NE(BindFunction(system, process, Bound::waveOutOpen).address, nullptr);
  EXPECT_EQ(BindFunction(system, process, Bound::waveOutClose).address, nullptr);
  EXPECT_EQ(BindFunction(system, process, Bound::ChooseColorW).address, nullptr);  // no comdlg32.dll
  EXPECT_EQ(system.log, (std::vector<std::string>{"load winmm.dll", "load winmm.dll", "load comdlg32.dll"}));
  EXPECT_EQ(process.exitCodes, std::vector<int>{-1});
}

}  // namespace
