// Win32 implementations of the services the routines use.
#pragma once

#include <windows.h>

#include "app/program.h"

class Win32Sound : public Sound {
 public:
  void Beep() override;
  void PlayApplause() override;
  void Stop() override;
  void PumpingDelay(int milliseconds) override;
};

// The modal "请输入：" box with one line of entry.
class Win32InputBox : public InputBox {
 public:
  explicit Win32InputBox(HINSTANCE instance) : instance_(instance) {}
  std::optional<std::string> Ask(std::string_view prompt, std::string_view initial) override;

 private:
  HINSTANCE instance_;
};

class Win32Process : public ProcessControl {
 public:
  void Exit(int code) override;
  void Fail(std::string_view message) override;
};

// Resource ids of the input box.
inline constexpr int kInputBoxDialog = 200;
inline constexpr int kInputBoxPrompt = 201;
inline constexpr int kInputBoxEntry = 202;
