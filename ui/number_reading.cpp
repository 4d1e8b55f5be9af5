#include "ui/number_reading.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace ui {
namespace {

// Decodes one UTF-8 sequence at text[i]; malformed bytes come back as they are.
char32_t Decode(std::string_view text, size_t& i) {
  const auto b = static_cast<unsigned char>(text[i]);
  int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
  if (extra == 0 || i + extra >= text.size()) {
    ++i;
    return b;
  }
  char32_t cp = b & (0x3F >> extra);
  for (int k = 1; k <= extra; ++k) {
    const auto c = static_cast<unsigned char>(text[i + k]);
    if ((c & 0xC0) != 0x80) {
      ++i;
      return b;
    }
    cp = (cp << 6) | (c & 0x3F);
  }
  i += extra + 1;
  return cp;
}

size_t SkipBlanks(std::string_view s, size_t i) {
  while (i < s.size() && (s[i] == ' ' || (s[i] >= '\t' && s[i] <= '\r'))) ++i;
  return i;
}

size_t SkipDigits(std::string_view s, size_t i) {
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
  return i;
}

// Length of the longest prefix that is a decimal floating-point number.
size_t NumberPrefix(std::string_view s) {
  size_t i = SkipBlanks(s, 0);
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  const size_t intStart = i;
  i = SkipDigits(s, i);
  bool digits = i > intStart;
  if (i < s.size() && s[i] == '.') {
    const size_t fracStart = i + 1;
    const size_t fracEnd = SkipDigits(s, fracStart);
    if (digits || fracEnd > fracStart) {
      digits = true;
      i = fracEnd;
    }
  }
  if (!digits) return 0;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    const size_t expEnd = SkipDigits(s, j);
    if (expEnd > j) i = expEnd;
  }
  return i;
}

int32_t ReadInteger(std::string_view s) {
  size_t i = SkipBlanks(s, 0);
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  uint32_t value = 0;  // wraps: exactly the low 32 bits of the true value
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) value = value * 10u + uint32_t(s[i] - '0');
  if (negative) value = 0u - value;
  return static_cast<int32_t>(value);
}

}  // namespace

std::string FoldFullWidth(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const size_t start = i;
    const char32_t cp = Decode(text, i);
    if (cp >= 0xFF01 && cp <= 0xFF5E) {
      out += static_cast<char>(cp - 0xFEE0);
    } else if (cp == 0xFFE5) {
      out += '$';
    } else if (cp == 0xFFE3) {
      out += '~';
    } else if (cp == 0x3000) {
      out += ' ';
    } else {
      out.append(text.substr(start, i - start));
    }
  }
  return out;
}

double NumberReading(std::string_view text) {
  const std::string folded = FoldFullWidth(text);
  const size_t n = NumberPrefix(folded);
  if (n == 0) return 0.0;
  return std::strtod(std::string(folded, 0, n).c_str(), nullptr);
}

int32_t IntegerReading(std::string_view text) { return ReadInteger(FoldFullWidth(text)); }

int32_t PlainIntegerReading(std::string_view text) { return ReadInteger(text); }

int32_t TruncToInt32(double value) {
  if (std::isnan(value)) return 0;
  const double t = std::trunc(value);
  int64_t wide;
  if (t >= 9223372036854775807.0) {
    wide = INT64_MAX;
  } else if (t <= -9223372036854775808.0) {
    wide = INT64_MIN;
  } else {
    wide = static_cast<int64_t>(t);
  }
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(wide)));
}

std::string DecimalRewrite(std::string_view text) {
  const double value = NumberReading(text);
  if (value == 0.0) return {};
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.13g", value);
  return buffer;
}

bool AcceptsChar(InputMode mode, char32_t ch) {
  if (ch < 0x20 || ch == 0x7F) return true;  // control keys always pass
  const bool digitOrMinus = (ch >= '0' && ch <= '9') || ch == '-';
  switch (mode) {
    case InputMode::Integer: return digitOrMinus;
    case InputMode::Decimal: return digitOrMinus || ch == '.';
    case InputMode::Text: return true;
  }
  return true;
}

}  // namespace ui
