#include "settings/settings_file_win.h"

#include <windows.h>

#include <vector>

#include "base/encoding_win.h"
#include "settings/settings_file.h"

namespace {
constexpr unsigned kGbk = 936;
constexpr DWORD kReadBuffer = 10240;

// The path in the system code page, as the A functions take it; empty when a
// character of it has no place there and would come out as some other.
std::string InSystemCodePage(const std::wstring& path) {
  const std::string utf8 = Utf8(path);
  std::string ansi = ToCodePage(utf8, CP_ACP);
  return FromCodePage(ansi, CP_ACP) == utf8 ? ansi : std::string();
}

}  // namespace

std::string SettingsFilePath() {
  // Long paths are rare but legal; grow the buffer until the name fits.
  std::vector<wchar_t> buffer(MAX_PATH);
  DWORD n;
  while ((n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()))) >= buffer.size()) {
    buffer.resize(buffer.size() * 2);
  }
  std::wstring folder(buffer.data(), n);
  folder.erase(folder.find_last_of(L'\\') == std::wstring::npos ? 0 : folder.find_last_of(L'\\'));
  std::string path = InSystemCodePage(folder);
  if (path.empty()) {
    // A folder named in characters outside the system code page (Hangul on a
    // Chinese system, Chinese on a Western one) goes by its short 8.3 path,
    // which names the same folder in characters that fit. Where the volume
    // keeps no short names, the file stays out of reach, as it always was.
    const DWORD size = GetShortPathNameW(folder.c_str(), nullptr, 0);
    std::vector<wchar_t> shortFolder(size + 1);
    const DWORD length = GetShortPathNameW(folder.c_str(), shortFolder.data(), static_cast<DWORD>(shortFolder.size()));
    if (size > 0 && length < shortFolder.size()) path = InSystemCodePage(std::wstring(shortFolder.data(), length));
    if (path.empty()) path = ToCodePage(Utf8(folder), CP_ACP);
  }
  return path + "\\lkd.dll";
}

std::string ProfileSettingsStore::Read(std::string_view key, std::string_view fallback) {
  std::vector<char> buffer(kReadBuffer);
  const std::string path = SettingsFilePath();
  GetPrivateProfileStringA(ToCodePage(kSettingsSection, kGbk).c_str(), ToCodePage(key, kGbk).c_str(),
                           ToCodePage(fallback, kGbk).c_str(), buffer.data(), kReadBuffer, path.c_str());
  return FromCodePage(buffer.data(), kGbk);
}

bool ProfileSettingsStore::Write(std::string_view key, std::string_view value) {
  const std::string path = SettingsFilePath();
  return WritePrivateProfileStringA(ToCodePage(kSettingsSection, kGbk).c_str(), ToCodePage(key, kGbk).c_str(),
                                    ToCodePage(value, kGbk).c_str(), path.c_str()) != FALSE;
}
