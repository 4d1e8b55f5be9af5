#include "settings/store_win.h"

#include <windows.h>

#include <vector>

#include "settings/settings_file.h"
#include "ui/text_win.h"

namespace {
constexpr unsigned kGbk = 936;
constexpr DWORD kReadBuffer = 10240;
}  // namespace

std::string SettingsFilePath() {
  // Long paths are rare but legal; grow the buffer until the name fits.
  std::vector<wchar_t> buffer(MAX_PATH);
  DWORD n;
  while ((n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()))) >= buffer.size()) {
    buffer.resize(buffer.size() * 2);
  }
  std::wstring path(buffer.data(), n);
  path.erase(path.find_last_of(L'\\') == std::wstring::npos ? 0 : path.find_last_of(L'\\'));
  return ToCodePage(Utf8(path + L"\\lkd.dll"), CP_ACP);
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
