// The settings file's format, read and written byte for byte, and its
// replacement in one step.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

#include "settings/profile.h"
#include "settings/settings_file.h"

namespace {

using std::nullopt;

TEST(Profile, ReadsTheFirstSectionsFirstKeyAsTheSystemDoes) {
  std::string longGbk = "aa";
  while (longGbk.size() < 12000) longGbk += "\xBF\xED";
  const std::pair<std::string, std::optional<std::string>> cases[] = {
      {"[s]\r\nk=1\r\n", "1"},
      {"[s]\r\n[t]\r\nk=2\r\n[s]\r\nk=3\r\n", nullopt},  // the first [s] only
      {"[s]\nk=1\nk=2", "1"},
      {"k=1\r\n[s]\r\n", nullopt},
      {"  [S]  \r\n \t K \t=\t 1 x \t\r\n", "1 x"},
      {"[s]\r\nk\r\n", nullopt},  // no '=': the default
      {"[s]\r\nk=\"a b\"", "a b"},
      {"[s]\r\nk='x'", "x"},
      {"[s]\r\nk=\"x", "\"x"},
      {"[s]\r\nk=\"", "\""},
      {"[s]x]\r\nk=1", nullopt},  // a header runs to its last bracket
      {"[s]]\r\nk=1", nullopt},
      {std::string("[s]\r\nk=1\0 2", 11), "1"},
      {"[s]\r\nk=" + std::string(20000, 'v'), std::string(10239, 'v')},
      {"[s]\r\nk=" + longGbk, longGbk.substr(0, 10238)},  // not inside a character
  };
  for (const auto& [file, value] : cases) {
    EXPECT_EQ(profile::Read(file, "s", "k"), value) << file.substr(0, 40);
  }
  EXPECT_EQ(profile::Read("[s]]\r\nk=1", "s]", "k"), "1");
  // A GBK trail byte is no bracket and no letter.
  EXPECT_EQ(profile::Read("[\xB0]\r\nk=1", "\xB0", "k"), nullopt);
  EXPECT_EQ(profile::Read("[s]\r\n\x81\x41=1", "s", "\x81\x61"), nullopt);
  EXPECT_EQ(profile::Read("[s]\r\n\x81\x41=1", "s", "\x81\x41"), "1");
  EXPECT_EQ(profile::Read(u"[配置]\r\n时间= 7 ", u"配置", u"时间"), u"7");
}

TEST(Profile, WritesOneLineAndKeepsEveryOtherByte) {
  const std::pair<std::string, std::string> cases[] = {
      {"; c\r\n[s]\r\n  K = 1 \r\nx=2\r\n", "; c\r\n[s]\r\nk=7\r\nx=2\r\n"},
      {"[s]\nk=1\nz=2\n", "[s]\nk=7\nz=2\n"},
      {"[s]\r\nk\r\n", "[s]\r\nk=7\r\n"},
      {"[s]\r\nk=1\r\n[s]\r\nk=2\r\n", "[s]\r\nk=7\r\n[s]\r\nk=2\r\n"},
      {"[s]\r\na=1\r\n\r\n;c\r\n[t]\r\nk=1\r\n", "[s]\r\na=1\r\nk=7\r\n\r\n;c\r\n[t]\r\nk=1\r\n"},
      {"[s]", "[s]\r\nk=7\r\n"},
      {"x=1", "x=1\r\n[s]\r\nk=7\r\n"},
      {"", "[s]\r\nk=7\r\n"},
  };
  for (const auto& [before, after] : cases) EXPECT_EQ(profile::Write(before, "s", "k", "7"), after) << before;
  EXPECT_EQ(profile::Write("", "s", "k", "7\r\n[x]"), "[s]\r\nk=7\r\n");
}

// A folder in memory that stops, as a killed process does, after a given
// number of steps: each byte written is one, each move and removal one.
struct StoppingFolder : SettingsFolder {
  std::map<std::string, std::string, std::less<>> files;
  long steps = -1;  // below 0: never stops
  bool Step() { return steps < 0 || (steps > 0 && --steps >= 0); }
  std::optional<std::string> Read(std::string_view name) override {
    const auto it = files.find(name);
    return it == files.end() ? "" : it->second;
  }
  bool Create(std::string_view name, std::string_view bytes, std::string_view) override {
    if (files.contains(name)) return false;
    std::string& file = files[std::string(name)];
    for (char b : bytes) {
      if (!Step()) return false;
      file += b;
    }
    return true;
  }
  bool Move(std::string_view from, std::string_view to) override {
    if (!Step() || !files.contains(from)) return false;
    files[std::string(to)] = files.extract(files.find(from)).mapped();
    return true;
  }
  void Remove(std::string_view name) override {
    if (Step() && files.contains(name)) files.erase(files.find(name));
  }
};

// The file's text as UTF-8 bytes: enough for tests whose Chinese stands only
// before '=', ']' or a line end.
struct SameBytes : GbkText {
  std::string FromUtf8(std::string_view utf8) override { return std::string(utf8); }
  std::string ToUtf8(std::string_view gbk) override { return std::string(gbk); }
};

TEST(SettingsFileStore, ACutAtAnyStepLeavesTheOldFileWholeAndTheNextWriteTidiesUp) {
  const std::string before = "[配置信息]\r\n时间=5\r\n", after = "[配置信息]\r\n时间=7\r\n";
  SameBytes gbk;
  bool written = false;
  for (long cut = 0; cut < 100 && !written; ++cut) {
    StoppingFolder folder;
    folder.files = {{"lkd.dll", before}, {"lkd.dll.tmp", "left by an earlier cut"}};
    folder.steps = cut;
    FileSettingsStore store(folder, gbk);
    written = store.Write("时间", "7");
    EXPECT_EQ(folder.files["lkd.dll"], written ? after : before) << cut;
    folder.steps = -1;  // the next run
    EXPECT_EQ(store.Read("时间", ""), written ? "7" : "5");
    EXPECT_TRUE(store.Write("时间", "8"));
    EXPECT_EQ(folder.files, (decltype(folder.files){{"lkd.dll", "[配置信息]\r\n时间=8\r\n"}})) << cut;
  }
  EXPECT_TRUE(written);
}

TEST(SettingsFileStore, WritesOnlyWhatChangesAndNeverOverAFileItCannotRead) {
  SameBytes gbk;
  StoppingFolder folder;
  FileSettingsStore store(folder, gbk);
  EXPECT_EQ(store.Read("时间", "5"), "5");
  EXPECT_TRUE(store.Write("时间", "5"));
  folder.steps = 0;  // nothing more can be done
  EXPECT_TRUE(store.Write("时间", "5"));
  EXPECT_FALSE(store.Write("时间", "6"));
  EXPECT_EQ(folder.files["lkd.dll"], "[配置信息]\r\n时间=5\r\n");

  struct Unreadable : StoppingFolder {
    std::optional<std::string> Read(std::string_view) override { return nullopt; }
  } locked;
  FileSettingsStore lockedStore(locked, gbk);
  EXPECT_EQ(lockedStore.Read("时间", "5"), "5");
  EXPECT_FALSE(lockedStore.Write("时间", "6"));
  EXPECT_TRUE(locked.files.empty());
}

TEST(SettingsFileStore, AFileMarkedUtf16IsReadAndWrittenInUtf16) {
  SameBytes gbk;
  StoppingFolder folder;
  const std::u16string text = u"[配置信息]\r\n时间=3\r\n";
  std::string bytes = "\xFF\xFE";
  for (char16_t u : text) bytes += {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
  folder.files["lkd.dll"] = bytes + "!";  // an odd last byte stays where it is
  FileSettingsStore store(folder, gbk);
  EXPECT_EQ(store.Read("时间", "5"), "3");
  EXPECT_TRUE(store.Write("时间", "10"));
  EXPECT_EQ(folder.files["lkd.dll"], bytes.replace(bytes.size() - 6, 2,
                                                   std::string("1\0"
                                                               "0\0",
                                                               4)) +
                                         "!");
}

}  // namespace
