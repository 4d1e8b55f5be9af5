// The modal "请输入：" box with one line of entry.
#pragma once

#include <windows.h>

#include "app/services.h"

// Resource ids of the input box.
inline constexpr int kInputBoxDialog = 200;
inline constexpr int kInputBoxPrompt = 201;
inline constexpr int kInputBoxEntry = 202;

class Win32InputBox : public InputBox {
 public:
  explicit Win32InputBox(HINSTANCE instance) : instance_(instance) {}
  std::optional<std::string> Ask(std::string_view prompt, std::string_view initial) override;

 private:
  HINSTANCE instance_;
};
