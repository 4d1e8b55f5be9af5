// The system beep and the applause, played from the program's own data with
// the wave-out functions of winmm, which is loaded from the system directory
// when first needed (it is no KnownDLL: a copy beside the program must never win).
#include "app/services_win.h"

#include <mmsystem.h>

#include <span>

#include "app/wave.h"

namespace {

constexpr wchar_t kNoticeClass[] = L"CountdownSound";

struct WaveOut {
  decltype(&::waveOutGetNumDevs) getNumDevs;
  decltype(&::waveOutOpen) open;
  decltype(&::waveOutPrepareHeader) prepare;
  decltype(&::waveOutWrite) write;
  decltype(&::waveOutReset) reset;
  decltype(&::waveOutUnprepareHeader) unprepare;
  decltype(&::waveOutClose) close;
};

template <class Function>
bool Find(HMODULE module, const char* name, Function& into) {
  into = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  return into != nullptr;
}

// The functions, or null when this system has no winmm to give them.
const WaveOut* Functions() {
  static const WaveOut* const functions = []() -> const WaveOut* {
    const HMODULE winmm = LoadSystemLibrary(L"winmm.dll");
    static WaveOut found;
    const bool all = winmm && Find(winmm, "waveOutGetNumDevs", found.getNumDevs) &&
                     Find(winmm, "waveOutOpen", found.open) && Find(winmm, "waveOutPrepareHeader", found.prepare) &&
                     Find(winmm, "waveOutWrite", found.write) && Find(winmm, "waveOutReset", found.reset) &&
                     Find(winmm, "waveOutUnprepareHeader", found.unprepare) &&
                     Find(winmm, "waveOutClose", found.close);
    return all ? &found : nullptr;
  }();
  return functions;
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

Win32Sound::~Win32Sound() {
  Stop();
  if (window_) DestroyWindow(window_);
}

void Win32Sound::Beep() { MessageBeep(0); }

void Win32Sound::PlayApplause() {
  Stop();
  const WaveOut* out = Functions();
  const auto wave = ReadWave(ApplauseImage());
  if (out == nullptr || !wave || window_ == nullptr || out->getNumDevs() == 0) return;
  WAVEFORMATEX format{};
  format.wFormatTag = wave->formatTag;
  format.nChannels = wave->channels;
  format.nSamplesPerSec = wave->samplesPerSecond;
  format.nAvgBytesPerSec = wave->bytesPerSecond;
  format.nBlockAlign = wave->blockAlign;
  format.wBitsPerSample = wave->bitsPerSample;
  // The device tells the window when it has played it all, so that it is
  // closed then and holds nothing while the program sits idle.
  if (out->open(&device_, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(window_), 0, CALLBACK_WINDOW) !=
      MMSYSERR_NOERROR) {
    device_ = nullptr;
    return;
  }
  header_ = {};
  header_.lpData = reinterpret_cast<LPSTR>(const_cast<uint8_t*>(wave->samples));  // read only by the device
  header_.dwBufferLength = wave->sampleBytes;
  out->prepare(device_, &header_, sizeof header_);
  out->write(device_, &header_, sizeof header_);
}

void Win32Sound::Stop() {
  const WaveOut* out = Functions();
  if (device_ == nullptr || out == nullptr) return;
  out->reset(device_);  // silent at once, the buffer handed back
  out->unprepare(device_, &header_, sizeof header_);
  out->close(device_);
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
