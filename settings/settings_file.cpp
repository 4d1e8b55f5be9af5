#include "settings/settings_file.h"

std::string ReadSetting(SettingsStore& store, std::string_view key, std::string_view fallback) {
  return store.Read(key, fallback);
}

bool WriteSetting(SettingsStore& store, std::string_view key, std::string_view value) {
  return store.Write(key, value);
}

bool IsYesText(std::string_view text) { return text == "是"; }

const char* YesNoText(bool checked) { return checked ? "是" : "否"; }
