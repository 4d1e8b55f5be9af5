// The settings file's folder and its GBK text on Windows.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "settings/settings_file.h"

// "\lkd.dll" in the executable's folder, built anew for every access.
std::wstring SettingsFilePath();

// The folder that holds the executable, through the wide functions: its name
// may hold any character, whatever the system code page.
class ExecutableFolder : public SettingsFolder {
 public:
  std::optional<std::string> Read(std::string_view name) override;
  bool Create(std::string_view name, std::string_view bytes, std::string_view like) override;
  bool Move(std::string_view from, std::string_view to) override;
  void Remove(std::string_view name) override;
};

// Code page 936, which every Windows converts whatever its own code page.
class Win32Gbk : public GbkText {
 public:
  std::string FromUtf8(std::string_view utf8) override;
  std::string ToUtf8(std::string_view gbk) override;
};
