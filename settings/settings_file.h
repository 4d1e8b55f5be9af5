// The settings file: one INI section beside the executable, read once at
// start-up into the settings window's controls, written key by key whenever a
// setting changes.
#pragma once

#include <string>
#include <string_view>

inline constexpr char kSettingsSection[] = "配置信息";

// The settings section of the file.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // The stored value of a key of the settings section, or the default.
  virtual std::string Read(std::string_view key, std::string_view fallback) = 0;
  virtual bool Write(std::string_view key, std::string_view value) = 0;
};

std::string ReadSetting(SettingsStore& store, std::string_view key, std::string_view fallback);
bool WriteSetting(SettingsStore& store, std::string_view key, std::string_view value);

// A stored option is on exactly when it reads "是".
bool IsYesText(std::string_view text);
const char* YesNoText(bool checked);
