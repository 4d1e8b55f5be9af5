#include "ui/links_win.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>

#include "ui/system_library_win.h"
#include "ui/text_win.h"

namespace ui {

// The A functions take the system's code page, as the registry's own texts are.
intptr_t Win32LinkShell::Open(std::string_view target) {
  const std::string file = ToCodePage(target, CP_ACP);
  // The shell is loaded on the first click, not at every start.
  static const auto execute = SystemFunction<decltype(&ShellExecuteA)>(L"shell32.dll", "ShellExecuteA");
  if (execute == nullptr) return 0;
  return reinterpret_cast<intptr_t>(execute(nullptr, "open", file.c_str(), nullptr, nullptr, SW_SHOW));
}

std::optional<std::string> Win32LinkShell::ClassesRootDefault(std::string_view key) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, ToCodePage(key, CP_ACP).c_str(), 0, KEY_QUERY_VALUE, &opened) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  LONG size = 0;
  std::optional<std::string> value;
  if (RegQueryValueA(opened, nullptr, nullptr, &size) == ERROR_SUCCESS && size > 0) {
    std::string bytes(static_cast<size_t>(size), '\0');
    if (RegQueryValueA(opened, nullptr, bytes.data(), &size) == ERROR_SUCCESS) {
      // Stored values need not end in a NUL, or may hold more than one.
      bytes.resize(std::min(bytes.find('\0'), static_cast<size_t>(size)));
      value = FromCodePage(bytes, CP_ACP);
    }
  }
  RegCloseKey(opened);
  return value;
}

uint32_t Win32LinkShell::Run(std::string_view commandLine) {
  return WinExec(ToCodePage(commandLine, CP_ACP).c_str(), SW_SHOW);
}

}  // namespace ui
