// The settings file on disk beside the executable, held against the system's
// own private-profile functions on a Chinese system (code page 936), with
// inputs that stay clear of where Wine's differ from Windows' (settings/profile.h).
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "base/encoding_win.h"
#include "base/handles_win.h"
#include "settings/settings_file_win.h"

namespace {

std::string G(const std::string& utf8) { return ToCodePage(utf8, 936); }
void Put(const std::wstring& path, const std::string& bytes) {
  std::ofstream(std::filesystem::path(path), std::ios::binary) << bytes;
}
std::string Get(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

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
  EXPECT_TRUE(s.store.Write("时间", "１０") && s.store.Write("半透明", "是"));
  EXPECT_EQ(s.store.Read("时间", "5"), "１０");
  EXPECT_EQ(Get(path), G("[配置信息]\r\n时间=１０\r\n半透明=是\r\n"));
  EXPECT_EQ(static_cast<unsigned char>(Get(path)[1]), 0xC5);  // GBK, not UTF-8

  // What a write cut short left behind goes with the next write; a hidden
  // file stays hidden; one held open a moment is replaced once let go.
  Put(temporary, "left behind");
  SetFileAttributesW(temporary.c_str(), FILE_ATTRIBUTE_READONLY);
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN);
  OwnedFile held(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, 0, nullptr));
  std::thread letGo([&held] { Sleep(50), held.reset(); });
  EXPECT_TRUE(s.store.Write("时间", "7"));
  letGo.join();
  EXPECT_EQ(Get(path), G("[配置信息]\r\n时间=7\r\n半透明=是\r\n"));
  EXPECT_TRUE(GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(GetFileAttributesW(temporary.c_str()), INVALID_FILE_ATTRIBUTES);

  // A read-only file is left as it is.
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(s.store.Write("时间", "8"));
  EXPECT_EQ(s.store.Read("时间", "5"), "7");
  EXPECT_EQ(GetFileAttributesW(temporary.c_str()), INVALID_FILE_ATTRIBUTES);
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileW(path.c_str());
}

// What GetPrivateProfileStringA reads from these bytes, in UTF-8. Each file
// is read under a name of its own: Wine keeps the files it has read.
std::string SystemRead(const std::string& bytes, const std::string& key) {
  static int files = 0;
  const std::wstring path = SettingsFilePath() + L"." + std::to_wstring(++files);
  Put(path, bytes);
  std::string value(10240, '\0');
  GetPrivateProfileStringA(G("配置信息").c_str(), G(key).c_str(), "(none)", value.data(), 10240,
                           ToCodePage(Utf8(path), CP_ACP).c_str());
  DeleteFileW(path.c_str());
  return FromCodePage(value.c_str(), 936);
}

// `after` keeps every line of `before` but one.
testing::AssertionResult KeepsAllButOneLine(const std::string& before, const std::string& after) {
  std::vector<std::string> b, a;
  for (auto [text, lines] : {std::pair{&before, &b}, std::pair{&after, &a}}) {
    for (size_t at = 0, end; at < text->size(); at = end) {
      lines->push_back(text->substr(at, (end = std::min(text->find('\n', at), text->size() - 1) + 1) - at));
    }
  }
  while (!b.empty() && !a.empty() && b.front() == a.front()) b.erase(b.begin()), a.erase(a.begin());
  while (!b.empty() && !a.empty() && b.back() == a.back()) b.pop_back(), a.pop_back();
  if (b.size() <= 1) return testing::AssertionSuccess();
  return testing::AssertionFailure() << b.size() << " lines changed";
}

TEST(SettingsFile, ReadsAndWritesAsTheSystemsOwnFunctionsDo) {
  // Among them GBK characters whose trail byte is a bracket (癩) or a letter
  // (癆, 癮), which are no brackets and no letters.
  const std::string lines[] = {"[配置信息]",
                               " [配置信息]\t",
                               "[其他]",
                               "[配置信息",
                               "[配置信息]]",
                               "[配置信息]癩",
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
                               "癆=1",
                               "备注=a=b",
                               "=9",
                               std::string("备注=1\0 2", 11),
                               "备注=" + std::string(12000, 'v')};
  const std::string keys[] = {"时间", "窗口宽度", "key", "癮", "备注"};
  const std::pair<std::string, std::string> writes[] = {{"时间", "10"}, {"key", "x y"}, {"新键", "是"}};
  Store s;
  std::mt19937 random(1);
  for (int i = 0; i < 150; ++i) {
    std::string text;
    for (int n = random() % 8; n > 0; --n) text += lines[random() % std::size(lines)] + (random() % 4 ? "\r\n" : "\n");
    if (random() % 3 == 0 && !text.empty()) text.pop_back();
    const std::wstring wide = Wide(text);  // every fifth saved as "Unicode"
    const std::string file =
        i % 5 ? G(text) : "\xFF\xFE" + std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * 2);
    SCOPED_TRACE(text);
    Put(SettingsFilePath(), file);
    for (const std::string& key : keys) EXPECT_EQ(s.store.Read(key, "(none)"), SystemRead(file, key)) << key;
    const auto& [key, value] = writes[random() % std::size(writes)];
    EXPECT_TRUE(s.store.Write(key, value));
    const std::string ours = Get(SettingsFilePath());
    EXPECT_TRUE(i % 5 == 0 || KeepsAllButOneLine(file, ours));
    const std::wstring theirs = SettingsFilePath() + L".system" + std::to_wstring(i);
    Put(theirs, file);
    WritePrivateProfileStringA(G("配置信息").c_str(), G(key).c_str(), G(value).c_str(),
                               ToCodePage(Utf8(theirs), CP_ACP).c_str());
    for (const std::string& k : keys) EXPECT_EQ(SystemRead(ours, k), SystemRead(Get(theirs), k)) << key << "=" << value;
    DeleteFileW(theirs.c_str());
  }
  DeleteFileW(SettingsFilePath().c_str());
}

}  // namespace
