#include "settings/settings_file_win.h"

#include <windows.h>

#include <vector>

#include "base/encoding_win.h"
#include "base/handles_win.h"

namespace {

constexpr unsigned kGbk = 936;
// Far more than any settings file holds; a bigger one is not taken in.
constexpr LONGLONG kLargestFile = 64 << 20;
// What a replacement takes over from the file it replaces.
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
// How long a replacement waits for others to let go of the file: 200 ms.
constexpr int kMoveTries = 20;
constexpr DWORD kMoveRetryMs = 10;

std::wstring Folder() {
  // Long paths are rare but legal; grow the buffer until the name fits.
  std::vector<wchar_t> buffer(MAX_PATH);
  DWORD n;
  while ((n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()))) >= buffer.size()) {
    buffer.resize(buffer.size() * 2);
  }
  const std::wstring path(buffer.data(), n);
  const size_t slash = path.find_last_of(L'\\');
  return path.substr(0, slash == std::wstring::npos ? 0 : slash);
}

std::wstring InFolder(std::string_view name) { return Folder() + L"\\" + Wide(name); }

}  // namespace

std::wstring SettingsFilePath() { return InFolder(kSettingsFileName); }

std::optional<std::string> ExecutableFolder::Read(std::string_view name) {
  const OwnedFile file(CreateFileW(InFolder(name).c_str(), GENERIC_READ,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return std::string();
    return std::nullopt;
  }
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > kLargestFile) return std::nullopt;
  std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
  size_t got = 0;
  DWORD n = 0;
  while (got < bytes.size() &&
         ReadFile(file.get(), bytes.data() + got, static_cast<DWORD>(bytes.size() - got), &n, nullptr) && n > 0) {
    got += n;
  }
  if (got < bytes.size()) return std::nullopt;
  return bytes;
}

bool ExecutableFolder::Create(std::string_view name, std::string_view bytes, std::string_view like) {
  const DWORD was = GetFileAttributesW(InFolder(like).c_str());
  const DWORD kept = was == INVALID_FILE_ATTRIBUTES ? 0 : was & kKeptAttributes;
  const OwnedFile file(CreateFileW(InFolder(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                   kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  for (size_t put = 0; put < bytes.size();) {
    DWORD n = 0;
    if (!WriteFile(file.get(), bytes.data() + put, static_cast<DWORD>(bytes.size() - put), &n, nullptr) || n == 0) {
      return false;
    }
    put += n;
  }
  return FlushFileBuffers(file.get()) != FALSE;
}

bool ExecutableFolder::Move(std::string_view from, std::string_view to) {
  const std::wstring target = InFolder(to);
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
    return false;
  }
  // A file that anyone holds open, if only for a moment (a virus scanner, the
  // indexer, an editor reading it), cannot be replaced: it is tried again
  // for a little while before the change is given up.
  for (int tries = kMoveTries;; --tries) {
    if (MoveFileExW(InFolder(from).c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return true;
    }
    const DWORD error = GetLastError();
    if (tries == 1 || (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION)) return false;
    Sleep(kMoveRetryMs);
  }
}

void ExecutableFolder::Remove(std::string_view name) {
  const std::wstring path = InFolder(name);
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
  if (attributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  DeleteFileW(path.c_str());
}

std::string Win32Gbk::FromUtf8(std::string_view utf8) { return ToCodePage(utf8, kGbk); }

std::string Win32Gbk::ToUtf8(std::string_view gbk) { return FromCodePage(gbk, kGbk); }
