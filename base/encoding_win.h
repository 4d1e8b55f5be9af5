// The program keeps UTF-8 inside; these are the only conversions: to UTF-16
// for the W functions that show text, and to GBK bytes for the settings file.
#pragma once

#include <string>
#include <string_view>

std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);
std::string ToCodePage(std::string_view utf8, unsigned codePage);
std::string FromCodePage(std::string_view bytes, unsigned codePage);
