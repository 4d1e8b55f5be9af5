// The settings file is GBK text whatever code page the system runs in, and
// the program finds it wherever it lives, even in a folder whose name the
// system code page cannot spell. CTest runs these once as usual (code page
// 936) and once under code page 1252, like a Western Windows.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/e2e/session.h"

namespace e2e {
namespace {

void ExpectCodePage() {
  if (const char* expected = std::getenv("E2E_EXPECT_ACP")) {
    ASSERT_EQ(GetACP(), static_cast<UINT>(std::atoi(expected))) << "the run is not in the code page it is meant for";
  }
}

// One GBK character for every lead byte, its trail byte the same byte, and
// three more with the lowest, highest-below-DEL and 0x80 trail bytes: among
// them every byte that code page 1252 leaves unassigned.
std::string EveryLeadByte() {
  std::string text = "\x81\x40\x81\x7E\x81\x80";
  for (int lead = 0x81; lead <= 0xFE; ++lead) text += {static_cast<char>(lead), static_cast<char>(lead)};
  return text;
}

testing::AssertionResult FileBecomes(const Session& s, const std::string& bytes) {
  if (WaitUntil([&] { return s.program.SettingsBytes() == bytes; })) return testing::AssertionSuccess();
  return testing::AssertionFailure() << "lkd.dll holds:\n" << testing::PrintToString(s.program.SettingsBytes());
}

TEST(CodePage, SettingsKeepTheirGbkBytes) {
  ExpectCodePage();
  const std::string note = EveryLeadByte();
  ASSERT_EQ(Gbk(FromGbk(note)), note) << "all of it is GBK text";
  const std::string head = Gbk(L"[配置信息]\r\n字体大小=７２\r\n窗口宽度=２５０\r\n窗口高度=90\r\n") + Gbk(L"备注=") +
                           note + "\r\n" + Gbk(L"半透明=是\r\n");
  Session s(head + Gbk(L"时间=3\r\n"));
  ASSERT_SESSION(s);
  EXPECT_EQ(Text(s.Label()), L"03-00");
  EXPECT_EQ(Text(s.Ctl(id::kFontBox)), L"７２");
  EXPECT_EQ(Text(s.Ctl(id::kWidthBox)), L"２５０");
  EXPECT_EQ(WindowRect(s.main).right - WindowRect(s.main).left, 250);
  EXPECT_EQ(CheckState(s.Ctl(id::kTranslucent)), BST_CHECKED);

  TypeInto(s.Ctl(id::kTimeBox), L"7");
  EXPECT_TRUE(WaitText(s.Label(), L"07-00"));
  EXPECT_TRUE(FileBecomes(s, head + Gbk(L"时间=7\r\n")));
  Click(s.Ctl(id::kAutoHide));
  EXPECT_TRUE(FileBecomes(s, head + Gbk(L"时间=7\r\n自动隐藏=否\r\n")));
}

TEST(CodePage, SettingsAreReadAndSavedInFoldersNamedOutsideTheCodePage) {
  ExpectCodePage();
  const std::wstring sizes = L"字体大小=72\r\n窗口高度=90\r\n窗口宽度=280\r\n";
  // Hangul has no place in code page 936, Chinese none in 1252.
  for (const wchar_t* suffix : {L"-한글", L"-倒计时"}) {
    SCOPED_TRACE(Utf8(suffix));
    Session s(Program::StartWith({SettingsFile(L"时间=3\r\n" + sizes), {}, suffix, {}}));
    ASSERT_SESSION(s);
    EXPECT_EQ(Text(s.Label()), L"03-00") << "read";
    TypeInto(s.Ctl(id::kTimeBox), L"7");
    EXPECT_TRUE(WaitText(s.Label(), L"07-00"));
    EXPECT_TRUE(FileBecomes(s, SettingsFile(L"时间=7\r\n" + sizes))) << "saved";
  }
}

}  // namespace
}  // namespace e2e
