// The settings file on disk beside the executable, held against the system's
// own private-profile functions on a Chinese system (code page 936).
//
// Where Wine's functions differ from Windows', the program follows Windows
// and the inputs here stay clear of the difference: Wine writes the whole
// file anew from what it parsed (blank lines dropped, the blanks around '='
// taken out, an empty line put before each section), trims \v, \f, ^Z and
// Unicode spaces such as U+3000 as well, reads files marked UTF-8 or UTF-16
// big-endian, which Windows takes as text of their first line, and takes any
// byte after a GBK lead byte as its trail, a line end included.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <thread>

#include "base/encoding_win.h"
#include "base/handles_win.h"
#include "settings/settings_file_win.h"

namespace {

constexpr unsigned kGbk = 936;

void Put(const std::wstring& path, const std::string& bytes) {
  std::ofstream(std::filesystem::path(path), std::ios::binary) << bytes;
}
std::string Get(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}
bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

struct Store {
  ExecutableFolder folder;
  Win32Gbk gbk;
  FileSettingsStore store{folder, gbk};
};

TEST(SettingsFile, IsGbkBesideTheExecutableAndReplacedWholeKeepingItsAttributes) {
  const std::wstring path = SettingsFilePath(), temporary = path + L".tmp";
  ASSERT_TRUE(path.ends_with(L"\\lkd.dll"));
  DeleteFileW(path.c_str());
  Store s;
  EXPECT_EQ(s.store.Read("时间", "5"), "5");
  EXPECT_TRUE(s.store.Write("时间", "１０"));
  EXPECT_TRUE(s.store.Write("半透明", "是"));
  EXPECT_EQ(s.store.Read("时间", "5"), "１０");
  const std::string bytes = Get(path);
  EXPECT_EQ(bytes, ToCodePage("[配置信息]\r\n时间=１０\r\n半透明=是\r\n", kGbk));
  EXPECT_EQ(static_cast<unsigned char>(bytes[1]), 0xC5);  // GBK, not UTF-8

  // What a write cut short left behind goes with the next one; a hidden
  // file stays hidden (where the file system keeps the attribute at all).
  Put(temporary, "left behind");
  SetFileAttributesW(temporary.c_str(), FILE_ATTRIBUTE_READONLY);
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN);
  const DWORD hidden = GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_HIDDEN;
  EXPECT_TRUE(s.store.Write("时间", "7"));
  EXPECT_EQ(Get(path), ToCodePage("[配置信息]\r\n时间=7\r\n半透明=是\r\n", kGbk));
  EXPECT_EQ(GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_HIDDEN, hidden);
  EXPECT_FALSE(Exists(temporary));

  // Held open a moment by someone else, it is replaced once they let go.
  OwnedFile held(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, 0, nullptr));
  std::thread letGo([&held] { Sleep(50), held.reset(); });
  EXPECT_TRUE(s.store.Write("时间", "7.5"));
  letGo.join();
  EXPECT_EQ(s.store.Read("时间", "5"), "7.5");

  // A read-only file is left as it is, and so is a folder in its place.
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(s.store.Write("时间", "8"));
  EXPECT_EQ(s.store.Read("时间", "5"), "7.5");
  EXPECT_FALSE(Exists(temporary));
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileW(path.c_str());
  CreateDirectoryW(path.c_str(), nullptr);
  EXPECT_FALSE(s.store.Write("时间", "8"));
  EXPECT_EQ(GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY, DWORD{FILE_ATTRIBUTE_DIRECTORY});
  RemoveDirectoryW(path.c_str());
}

// What GetPrivateProfileStringA reads from a file, in UTF-8; kMissing when it
// hands back the default. Each file is read under a name of its own: Wine
// keeps the files it read.
constexpr char kMissing[] = "(missing)";
std::string SystemRead(const std::string& bytes, const std::string& key) {
  static int files = 0;
  const std::wstring path = SettingsFilePath() + L"." + std::to_wstring(++files);
  Put(path, bytes);
  std::string buffer(10240, '\0');
  GetPrivateProfileStringA(ToCodePage("配置信息", kGbk).c_str(), ToCodePage(key, kGbk).c_str(), kMissing, buffer.data(),
                           10240, ToCodePage(Utf8(path), CP_ACP).c_str());
  DeleteFileW(path.c_str());
  return FromCodePage(buffer.c_str(), kGbk);
}

// `after` keeps every byte of `before` but those of one line: what the two
// share at either end leaves at most one whole line of `before` between.
testing::AssertionResult KeepsAllButOneLine(std::string_view before, std::string_view after) {
  size_t head = 0, tail = 0;
  while (head < before.size() && head < after.size() && before[head] == after[head]) ++head;
  while (tail < before.size() - head && tail < after.size() - head &&
         before[before.size() - 1 - tail] == after[after.size() - 1 - tail]) {
    ++tail;
  }
  const size_t from = before.substr(0, head).rfind('\n') + 1;  // 0 where there is none
  size_t to = before.size() - tail;
  if (to > from && before[to - 1] != '\n') to = std::min(before.find('\n', to), before.size() - 1) + 1;
  const std::string_view changed = before.substr(from, to - from);
  const auto breaks = std::count(changed.begin(), changed.end(), '\n');
  if (breaks == 0 || (breaks == 1 && changed.back() == '\n')) return testing::AssertionSuccess();
  return testing::AssertionFailure() << "changed: " << testing::PrintToString(std::string(changed));
}

TEST(SettingsFile, ReadsAndWritesAsTheSystemsOwnFunctionsDo) {
  const std::string lines[] = {"[配置信息]",
                               " [配置信息]\t",
                               "[其他]",
                               "[配置信息",
                               "[配置信息]]",
                               "时间=3",
                               " 时间 \t= 4 ",
                               "时间",
                               "时间=\"5\"",
                               "时间='6'",
                               "时间=\"7",
                               ";时间=8",
                               "",
                               "\t",
                               "窗口宽度=１２０",
                               "Key=1",
                               "KEY = 2",
                               "key",
                               "备注=a=b",
                               "=9",
                               "备注=" + std::string(12000, 'v')};
  const std::string keys[] = {"时间", "窗口宽度", "key", "备注"};
  const std::pair<std::string, std::string> writes[] = {{"时间", "10"}, {"key", "x y"}, {"新键", "是"}};
  Store s;
  std::mt19937 random(1);
  for (int i = 0; i < 150; ++i) {
    std::string text;
    for (int n = random() % 8; n > 0; --n) text += lines[random() % std::size(lines)] + (random() % 4 ? "\r\n" : "\n");
    if (random() % 3 == 0 && !text.empty()) text.pop_back();
    std::string file = ToCodePage(text, kGbk);
    if (i % 5 == 4) {  // saved as "Unicode"
      const std::wstring wide = Wide(text);
      file = std::string("\xFF\xFE") + std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * 2);
    }
    SCOPED_TRACE(text);
    Put(SettingsFilePath(), file);
    for (const std::string& key : keys) EXPECT_EQ(s.store.Read(key, kMissing), SystemRead(file, key)) << key;
    const auto& [key, value] = writes[random() % std::size(writes)];
    EXPECT_TRUE(s.store.Write(key, value));
    const std::string ours = Get(SettingsFilePath());
    if (i % 5 != 4) {
      EXPECT_TRUE(KeepsAllButOneLine(file, ours));
    }
    const std::wstring theirs = SettingsFilePath() + L".system" + std::to_wstring(i);
    Put(theirs, file);
    WritePrivateProfileStringA(ToCodePage("配置信息", kGbk).c_str(), ToCodePage(key, kGbk).c_str(),
                               ToCodePage(value, kGbk).c_str(), ToCodePage(Utf8(theirs), CP_ACP).c_str());
    for (const std::string& k : keys) EXPECT_EQ(SystemRead(ours, k), SystemRead(Get(theirs), k)) << key << "=" << value;
    DeleteFileW(theirs.c_str());
  }
  DeleteFileW(SettingsFilePath().c_str());
}

}  // namespace
