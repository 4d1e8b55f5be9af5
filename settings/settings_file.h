// The settings file: one INI section beside the executable, read once at
// start-up into the settings window's controls, written key by key whenever a
// setting changes.
#pragma once

#include <string>
#include <string_view>

struct Program;

inline constexpr char kSettingsSection[] = "配置信息";

std::string ReadSetting(Program& program, std::string_view key, std::string_view fallback);
bool WriteSetting(Program& program, std::string_view key, std::string_view value);

// A stored option is on exactly when it reads "是".
bool IsYesText(std::string_view text);
const char* YesNoText(bool checked);

// The settings window's creation handler.
void LoadSettings(Program& program);
