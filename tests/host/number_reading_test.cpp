// Number readings of typed text, the decimal box's rewrite, the input filters
// and the parts of the display text.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "app/countdown.h"
#include "ui/number_reading.h"

namespace {

int32_t Low32(long long v) { return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(v))); }

// The tables are laid out by hand, several cases to a line.
// clang-format off
struct Reading {
  const char* text;
  double number;
  int32_t integer;
};

TEST(NumberReading, TakesTheLongestLeadingNumber) {
  const Reading cases[] = {
      {"5", 5, 5},          {"2.5", 2.5, 2},       {"1.75", 1.75, 1},   {"abc", 0, 0},
      {"", 0, 0},           {"  42abc", 42, 42},   {"\t 8", 8, 8},      {"12px", 12, 12},
      {"-3", -3, -3},       {"+7", 7, 7},          {"--5", 0, 0},       {"- 5", 0, 0},
      {".5", 0.5, 0},       {"-.5", -0.5, 0},      {".", 0, 0},         {"7.", 7, 7},
      {"1e2", 100, 1},      {"1.5E+1x", 15, 1},    {"2e", 2, 2},        {"2e-", 2, 2},
      {"0x10", 0, 0},       {"inf", 0, 0},         {"nan", 0, 0},       {"5\xEF\xBC", 5, 5},
      // Full-width digits, signs, point and the ideographic space, as a Chinese IME types them.
      {"１０", 10, 10},     {"1０", 10, 10},       {"－５", -5, -5},    {"＋３", 3, 3},
      {"１．５", 1.5, 1},   {"\u3000３", 3, 3},
  };
  for (const Reading& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_DOUBLE_EQ(ui::NumberReading(c.text), c.number);
    EXPECT_EQ(ui::IntegerReading(c.text), c.integer);
  }
}

TEST(NumberReading, IntegerPastThirtyTwoBitsKeepsItsLowBits) {
  EXPECT_EQ(ui::IntegerReading("99999999999"), Low32(99999999999LL));
  EXPECT_EQ(ui::IntegerReading("-99999999999"), Low32(-99999999999LL));
  EXPECT_EQ(ui::IntegerReading("4294967296"), 0);
  EXPECT_EQ(ui::IntegerReading("2147483648"), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(ui::IntegerReading("-2147483648"), std::numeric_limits<int32_t>::min());
  // The input box's reading does not fold full-width digits.
  EXPECT_EQ(ui::PlainIntegerReading("１０"), 0);
  EXPECT_EQ(ui::PlainIntegerReading(" -7.9x"), -7);
}

TEST(TruncToInt32, TruncatesTowardZeroAndKeepsLowBits) {
  EXPECT_EQ(ui::TruncToInt32(2.9), 2);
  EXPECT_EQ(ui::TruncToInt32(-2.9), -2);
  EXPECT_EQ(ui::TruncToInt32(4294967301.0), 5);
  EXPECT_EQ(ui::TruncToInt32(-4294967301.0), -5);
  EXPECT_EQ(ui::TruncToInt32(2147483648.0), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(ui::TruncToInt32(99999999 * 60.0), Low32(99999999LL * 60));
  // NaN and values past 64 bits are defined too, the latter as the infinity of their sign.
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(ui::TruncToInt32(std::nan("")), 0);
  EXPECT_EQ(ui::TruncToInt32(1e300), ui::TruncToInt32(inf));
  EXPECT_EQ(ui::TruncToInt32(-1e300), ui::TruncToInt32(-inf));
  EXPECT_EQ(ui::TruncToInt32(1e19), ui::TruncToInt32(inf));
}

TEST(DecimalRewrite, ShortestFormAndZeroAsEmpty) {
  const std::pair<const char*, const char*> cases[] = {
      {"1.50", "1.5"}, {"0", ""},    {"abc", ""},         {"", ""},        {"-0", ""},
      {"0.000", ""},   {" 3", "3"},  {"-2.50", "-2.5"},   {"1e3", "1000"}, {"0.1", "0.1"},
      {"7.", "7"},     {"2.5x", "2.5"}, {"0.3333333333333333", "0.3333333333333"},
  };
  for (const auto& [text, rewritten] : cases) EXPECT_EQ(ui::DecimalRewrite(text), rewritten) << text;
}

TEST(AcceptsChar, EachInputModeFiltersPrintableCharacters) {
  using enum ui::InputMode;
  // Digits and minus pass both number modes; control keys (backspace, Ctrl+V, delete) always pass.
  for (char32_t ch : {U'0', U'9', U'-', U'\b', U'\x16', U'\x7F'}) {
    EXPECT_TRUE(ui::AcceptsChar(Integer, ch) && ui::AcceptsChar(Decimal, ch)) << uint32_t(ch);
  }
  EXPECT_FALSE(ui::AcceptsChar(Integer, U'.'));
  EXPECT_TRUE(ui::AcceptsChar(Decimal, U'.'));
  for (char32_t ch : {U'a', U'+', U'e', U' ', U'５', U'/', U':'}) {
    EXPECT_FALSE(ui::AcceptsChar(Integer, ch) || ui::AcceptsChar(Decimal, ch)) << uint32_t(ch);
    EXPECT_TRUE(ui::AcceptsChar(Text, ch)) << uint32_t(ch);
  }
}

TEST(DisplayPart, TwoCharactersWithTheLastDigits) {
  EXPECT_EQ(DisplayPart(0), "00");
  EXPECT_EQ(DisplayPart(5), "05");
  EXPECT_EQ(DisplayPart(59), "59");
  EXPECT_EQ(DisplayPart(120), "20");
  EXPECT_EQ(DisplayPart(-5), "-5");
  EXPECT_EQ(DisplayPart(std::numeric_limits<int32_t>::min()), "48");
}

// clang-format on

}  // namespace
