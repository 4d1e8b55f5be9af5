// Win32 implementations of the services the routines use.
#pragma once

#include <windows.h>

#include <vector>

#include "app/program.h"
#include "ui/system_library_win.h"

class Win32Sound : public Sound {
 public:
  Win32Sound();
  ~Win32Sound() override;
  Win32Sound(const Win32Sound&) = delete;
  Win32Sound& operator=(const Win32Sound&) = delete;
  void Beep() override;
  void PlayApplause() override;
  void Stop() override;

 private:
  static LRESULT CALLBACK NoticeProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
  HWND window_ = nullptr;  // message-only: where the device reports the end of the applause
  HWAVEOUT device_ = nullptr;
  WAVEHDR header_{};
};

// The delay between two beeps: a worker thread sleeps, then posts a wake-up
// to a message-only window, while this thread goes on handling messages.
class Win32MessagePump : public MessagePump {
 public:
  Win32MessagePump();
  ~Win32MessagePump() override;
  Win32MessagePump(const Win32MessagePump&) = delete;
  Win32MessagePump& operator=(const Win32MessagePump&) = delete;
  void PumpingDelay(DelayRequest& request, int milliseconds) override;

 private:
  struct Wait {
    uint32_t number;
    bool woken;
  };
  static LRESULT CALLBACK WakeProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
  HWND window_ = nullptr;
  UINT wakeMessage_ = 0;
  uint32_t lastWait_ = 0;
  // The waits in progress, innermost last. A wake-up ends only the wait it
  // was posted for, wherever it is dispatched (a modal loop's dispatch
  // included); one whose wait is over already, ended by a close or a quit,
  // is dropped.
  std::vector<Wait*> waits_;
};

// The modal "请输入：" box with one line of entry.
class Win32InputBox : public InputBox {
 public:
  explicit Win32InputBox(HINSTANCE instance) : instance_(instance) {}
  std::optional<std::string> Ask(std::string_view prompt, std::string_view initial) override;

 private:
  HINSTANCE instance_;
};

// The shell's ShellExecuteA, through the declared functions.
class Win32Shell : public Shell {
 public:
  intptr_t Execute(std::string_view operation, std::string_view file, std::string_view parameters,
                   std::string_view directory, int show) override;
};

class Win32Process : public ProcessControl {
 public:
  void Exit(int code) override;
  void Fail(std::string_view message, int exitCode) override;
};

// A message-only window of a class of its own, whose procedure finds owner
// in GWLP_USERDATA; null when it cannot be made.
HWND CreateMessageWindow(const wchar_t* className, WNDPROC procedure, void* owner);


// The applause recording among the program's resources.
inline constexpr int kApplauseResource = 102;

// Resource ids of the input box.
inline constexpr int kInputBoxDialog = 200;
inline constexpr int kInputBoxPrompt = 201;
inline constexpr int kInputBoxEntry = 202;
