#include "base/encoding_win.h"

#include <windows.h>

namespace {

std::wstring ToWide(std::string_view bytes, UINT codePage) {
  if (bytes.empty()) return {};
  const int n = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
  return out;
}

std::string FromWide(std::wstring_view wide, UINT codePage) {
  if (wide.empty()) return {};
  const int n =
      WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
  return out;
}

}  // namespace

std::wstring Wide(std::string_view utf8) { return ToWide(utf8, CP_UTF8); }
std::string Utf8(std::wstring_view wide) { return FromWide(wide, CP_UTF8); }
std::string ToCodePage(std::string_view utf8, unsigned codePage) { return FromWide(Wide(utf8), codePage); }
std::string FromCodePage(std::string_view bytes, unsigned codePage) { return Utf8(ToWide(bytes, codePage)); }
