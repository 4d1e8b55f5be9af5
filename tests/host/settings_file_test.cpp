// The settings file's format, written byte for byte, and its replacement in
// one step. How it reads is held against the system's own functions under
// Wine (tests/win32/settings_file_test.cpp).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "settings/profile.h"
#include "settings/settings_file.h"

namespace {

TEST(Profile, WritesOneLineKeepingEveryOtherByteAndReadsNoCharacterCutInTwo) {
  const std::pair<std::string, std::string> cases[] = {
      {"; c\r\n[s]\r\n  K = 1 \r\nx=2\r\n", "; c\r\n[s]\r\nk=7\r\nx=2\r\n"},
      {"[s]\nk=1\nz=2\n", "[s]\nk=7\nz=2\n"},
      {"[s]\r\nk=1\r\n[s]\r\nk=2\r\n", "[s]\r\nk=7\r\n[s]\r\nk=2\r\n"},
      {"[s]\r\na=1\r\n\r\n;c\r\n[t]\r\nk=1\r\n", "[s]\r\na=1\r\nk=7\r\n\r\n;c\r\n[t]\r\nk=1\r\n"},
      {"[s]", "[s]\r\nk=7\r\n"},
      {"x=1", "x=1\r\n[s]\r\nk=7\r\n"},
  };
  for (const auto& [before, after] : cases) EXPECT_EQ(profile::Write(before, "s", "k", "7"), after) << before;
  EXPECT_EQ(profile::Write("", "s", "k", "7\r\n[x]"), "[s]\r\nk=7\r\n");
  std::string gbk = "aa";  // a value cut to its longest length, not inside a character
  while (gbk.size() < 12000) gbk += "\xBF\xED";
  EXPECT_EQ(profile::Read("[s]\r\nk=" + gbk, "s", "k"), gbk.substr(0, 10238));
}

// A folder in memory that stops, as a killed process does, after a number
// of steps: each byte written is one, each move and removal one.
struct StoppingFolder : SettingsFolder {
  std::map<std::string, std::string, std::less<>> files;
  size_t steps = SIZE_MAX;
  bool unreadable = false;
  size_t Take(size_t n) { return n = std::min(n, steps), steps -= n, n; }  // how many it could
  std::optional<std::string> Read(std::string_view name) override {
    if (unreadable) return std::nullopt;
    return files.contains(name) ? files.find(name)->second : "";
  }
  bool Create(std::string_view name, std::string_view bytes, std::string_view) override {
    return !files.contains(name) && (files[std::string(name)] = bytes.substr(0, Take(bytes.size()))) == bytes;
  }
  bool Move(std::string_view from, std::string_view to) override {
    if (!files.contains(from) || !Take(1)) return false;
    files[std::string(to)] = files.extract(files.find(from)).mapped();
    return true;
  }
  void Remove(std::string_view name) override {
    if (files.contains(name) && Take(1)) files.erase(files.find(name));
  }
};

// The program's text as the file's bytes: enough where the Chinese stands
// only before '=', ']' or a line end.
struct SameBytes : GbkText {
  std::string FromUtf8(std::string_view utf8) override { return std::string(utf8); }
  std::string ToUtf8(std::string_view gbk) override { return std::string(gbk); }
} gbk;

TEST(SettingsFileStore, ACutAtAnyStepLeavesTheOldFileWholeAndTheNextWriteTidiesUp) {
  bool written = false;
  for (size_t cut = 0; cut < 100 && !written; ++cut) {
    StoppingFolder folder;
    folder.files = {{"lkd.dll", "[配置信息]\r\n时间=5\r\n"}, {"lkd.dll.tmp", "left by an earlier cut"}};
    folder.steps = cut;
    FileSettingsStore store(folder, gbk);
    written = store.Write("时间", "7");
    EXPECT_EQ(folder.files["lkd.dll"], written ? "[配置信息]\r\n时间=7\r\n" : "[配置信息]\r\n时间=5\r\n") << cut;
    folder.steps = SIZE_MAX;  // the next run
    EXPECT_EQ(store.Read("时间", ""), written ? "7" : "5") << cut;
    EXPECT_TRUE(store.Write("时间", "8"));
    EXPECT_EQ(folder.files, (decltype(folder.files){{"lkd.dll", "[配置信息]\r\n时间=8\r\n"}})) << cut;
  }
  EXPECT_TRUE(written);
}

TEST(SettingsFileStore, WritesOnlyWhatChangesAndNeverOverAFileItCannotRead) {
  StoppingFolder folder;
  FileSettingsStore store(folder, gbk);
  EXPECT_TRUE(store.Write("时间", "5"));
  folder.steps = 0;  // nothing more can be done
  EXPECT_TRUE(store.Write("时间", "5"));
  EXPECT_FALSE(store.Write("时间", "6"));
  folder.steps = SIZE_MAX;
  folder.unreadable = true;
  EXPECT_EQ(store.Read("时间", "9"), "9");
  EXPECT_FALSE(store.Write("时间", "6"));
  EXPECT_EQ(folder.files["lkd.dll"], "[配置信息]\r\n时间=5\r\n");
}

}  // namespace
