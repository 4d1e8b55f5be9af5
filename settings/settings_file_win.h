#pragma once

#include <string>

#include "settings/settings_file.h"

// "\lkd.dll" in the executable's directory, built anew for every access.
std::string SettingsFilePath();

// The settings section of the file through the private-profile A functions,
// with GBK text on disk.
class ProfileSettingsStore : public SettingsStore {
 public:
  std::string Read(std::string_view key, std::string_view fallback) override;
  bool Write(std::string_view key, std::string_view value) override;
};
