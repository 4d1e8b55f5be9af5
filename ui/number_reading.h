// Reading numbers out of the texts users type, and the edit boxes' input
// rules. Texts are UTF-8; full-width digits, signs and spaces (what a Chinese
// input method produces) read as their ASCII forms.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ui {

// What an edit box accepts as typed.
enum class InputMode : uint8_t { Text, Integer, Decimal };

// Full-width forms (U+FF01..U+FF5E, the yen and macron signs of the same GBK
// row) become ASCII, the ideographic space an ASCII space.
std::string FoldFullWidth(std::string_view text);

// The longest leading decimal number of the folded text, or 0.
double NumberReading(std::string_view text);
// The longest leading decimal integer of the folded text, or 0; values past
// 32 bits keep their low 32 bits.
int32_t IntegerReading(std::string_view text);
// The same without folding: full-width digits read as no number.
int32_t PlainIntegerReading(std::string_view text);

// Truncates toward zero; the result's low 32 bits, never undefined behaviour.
int32_t TruncToInt32(double value);

// What a decimal-input box holds after losing the focus: the number in "%.13g"
// form, with 0 as the empty text.
std::string DecimalRewrite(std::string_view text);

// Whether an edit box in the given mode accepts a typed character.
bool AcceptsChar(InputMode mode, char32_t ch);

}  // namespace ui
