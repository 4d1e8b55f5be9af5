// The system beep, and the applause played from the program's own resources.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include "app/services.h"
#include "base/handles_win.h"

// The applause recording among the program's resources.
inline constexpr int kApplauseResource = 102;

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
  OwnedWindow window_;  // message-only: where the device reports the end of the applause
  HWAVEOUT device_ = nullptr;
  WAVEHDR header_{};
};
