// The system beep and the applause, played from the program's own data with
// the wave-out functions of winmm, which is loaded from the system directory
// when first needed (it is no KnownDLL: a copy beside the program must never win).
#include "app/sound_win.h"

#include <span>

#include "app/wave.h"
#include "base/bound_functions_win.h"
#include "base/message_window_win.h"

namespace {

constexpr wchar_t kNoticeClass[] = L"CountdownSound";

// Whether this system has the wave-out functions at all.
bool HasWaveOut() {
  return Sys<Bound::waveOutGetNumDevs>() && Sys<Bound::waveOutOpen>() && Sys<Bound::waveOutPrepareHeader>() &&
         Sys<Bound::waveOutWrite>() && Sys<Bound::waveOutReset>() && Sys<Bound::waveOutUnprepareHeader>() &&
         Sys<Bound::waveOutClose>();
}

std::span<const uint8_t> ApplauseImage() {
  const HMODULE module = GetModuleHandleW(nullptr);
  const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(kApplauseResource), MAKEINTRESOURCEW(10));  // RT_RCDATA
  const HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const auto* bytes = static_cast<const uint8_t*>(loaded ? LockResource(loaded) : nullptr);
  return bytes ? std::span<const uint8_t>(bytes, SizeofResource(module, found)) : std::span<const uint8_t>();
}

}  // namespace

Win32Sound::Win32Sound() : window_(CreateMessageWindow(kNoticeClass, NoticeProc, this)) {}

Win32Sound::~Win32Sound() { Stop(); }

void Win32Sound::Beep() { MessageBeep(0); }

void Win32Sound::PlayApplause() {
  Stop();
  const auto wave = ReadWave(ApplauseImage());
  if (!HasWaveOut() || !wave || !window_ || Sys<Bound::waveOutGetNumDevs>()() == 0) return;
  WAVEFORMATEX format{};
  format.wFormatTag = wave->formatTag;
  format.nChannels = wave->channels;
  format.nSamplesPerSec = wave->samplesPerSecond;
  format.nAvgBytesPerSec = wave->bytesPerSecond;
  format.nBlockAlign = wave->blockAlign;
  format.wBitsPerSample = wave->bitsPerSample;
  // The device tells the window when it has played it all, so that it is
  // closed then and holds nothing while the program sits idle.
  if (Sys<Bound::waveOutOpen>()(&device_, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(window_.get()), 0,
                                CALLBACK_WINDOW) != MMSYSERR_NOERROR) {
    device_ = nullptr;
    return;
  }
  header_ = {};
  header_.lpData = reinterpret_cast<LPSTR>(const_cast<uint8_t*>(wave->samples));  // read only by the device
  header_.dwBufferLength = wave->sampleBytes;
  Sys<Bound::waveOutPrepareHeader>()(device_, &header_, sizeof header_);
  Sys<Bound::waveOutWrite>()(device_, &header_, sizeof header_);
}

void Win32Sound::Stop() {
  if (device_ == nullptr) return;       // only ever opened where the functions are
  Sys<Bound::waveOutReset>()(device_);  // silent at once, the buffer handed back
  Sys<Bound::waveOutUnprepareHeader>()(device_, &header_, sizeof header_);
  Sys<Bound::waveOutClose>()(device_);
  device_ = nullptr;
}

LRESULT CALLBACK Win32Sound::NoticeProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
  auto* sound = reinterpret_cast<Win32Sound*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  // Played to its end: let the device go. A notice left over from a device
  // already closed (a reset sends one too) finds nothing of its own to close.
  if (msg == MM_WOM_DONE && sound && reinterpret_cast<HWAVEOUT>(wp) == sound->device_ &&
      (sound->header_.dwFlags & WHDR_DONE)) {
    sound->Stop();
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}
