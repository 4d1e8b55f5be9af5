#include "audio.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <numbers>
#include <stdexcept>
#include <thread>
#include <utility>

#include "driver.h"

namespace e2e {

namespace {

constexpr double kFullScale = 32768.0;
// How often the recorder looks at the monitor file: finer than the reader's
// 10 ms writes, so that each write is timed to within a millisecond or two.
constexpr DWORD kPollMs = 1;
// A reader that has written nothing after this long is not recording.
constexpr double kFirstWriteMs = 3000;

std::runtime_error Failure(const char* call, MMRESULT result) {
  wchar_t text[MAXERRORLENGTH] = L"";
  waveOutGetErrorTextW(result, text, MAXERRORLENGTH);
  return std::runtime_error(std::string(call) + " failed: " + Utf8(text) + " (MMRESULT " + std::to_string(result) +
                            ")");
}

WAVEFORMATEX MonoFormat(int rate) {
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 1;
  format.nSamplesPerSec = static_cast<DWORD>(rate);
  format.wBitsPerSample = 16;
  format.nBlockAlign = 2;
  format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
  return format;
}

long long Ticks() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

double TicksPerMs() {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(frequency.QuadPart) / 1000.0;
}

long long FileBytes(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  return (static_cast<long long>(data.nFileSizeHigh) << 32 | data.nFileSizeLow) & ~1LL;  // whole samples
}

}  // namespace

// ---- Recording ----

std::wstring MonitorRecordingPath() {
  wchar_t dir[MAX_PATH] = L"";
  const DWORD n = GetEnvironmentVariableW(L"COUNTDOWN_TESTENV", dir, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return {};
  std::wstring path = L"Z:" + std::wstring(dir, n) + L"/monitor.raw";  // drive Z: is the Linux root
  std::replace(path.begin(), path.end(), L'/', L'\\');
  return path;
}

double Recording::TimeMs(size_t i) const {
  if (buffers.empty() || rate <= 0) {
    return 0;
  }
  auto holder = std::upper_bound(buffers.begin(), buffers.end(), i,
                                 [](size_t sample, const Buffer& b) { return sample < b.end; });
  if (holder == buffers.end()) {
    --holder;  // past the end: counted on from the last buffer
  }
  const double after = static_cast<double>(holder->end) - 1.0 - static_cast<double>(i);
  return holder->ms - after * 1000.0 / rate;
}

// A worker watches the file grow and notes when each write landed; Stop reads
// the samples written in between.
struct Recorder::State {
  std::wstring path = MonitorRecordingPath();
  double ticksPerMs = TicksPerMs();
  long long start = 0;
  long long from = 0;  // the file's size at Start: where the recording's samples begin
  std::atomic<bool> stopping{false};
  std::vector<Recording::Buffer> writes;  // the worker's until it is joined
  std::thread worker;

  void Watch() {
    long long seen = from;
    while (!stopping) {
      const long long bytes = FileBytes(path);
      if (bytes > seen) {
        seen = bytes;
        writes.push_back({static_cast<size_t>((bytes - from) / 2), static_cast<double>(Ticks() - start) / ticksPerMs});
      }
      Sleep(kPollMs);
    }
  }
};

Recorder::Recorder() : state_(std::make_unique<State>()) {
  if (FileBytes(state_->path) < 0) {
    throw std::runtime_error("no recording of the sound server's monitor at " + Utf8(state_->path) +
                             " (tools/testenv.sh start ... record)");
  }
}

Recorder::~Recorder() {
  if (state_->worker.joinable()) Stop();
}

void Recorder::Start() {
  State& s = *state_;
  if (s.worker.joinable()) throw std::runtime_error("Recorder::Start while recording");
  // Times mean something only from a write on: the recording starts with the
  // first one after now.
  const long long before = FileBytes(s.path);
  const long long waitFrom = Ticks();
  long long bytes = before;
  while ((bytes = FileBytes(s.path)) <= before) {
    if (static_cast<double>(Ticks() - waitFrom) / s.ticksPerMs > kFirstWriteMs) {
      throw std::runtime_error("the monitor's reader wrote nothing in " +
                               std::to_string(static_cast<int>(kFirstWriteMs)) + " ms");
    }
    Sleep(kPollMs);
  }
  s.start = Ticks();
  s.from = bytes;
  s.writes.clear();
  s.stopping = false;
  s.worker = std::thread([&s] { s.Watch(); });
}

double Recorder::ElapsedMs() const { return static_cast<double>(Ticks() - state_->start) / state_->ticksPerMs; }

Recording Recorder::Stop() {
  State& s = *state_;
  Recording recording;
  recording.rate = kRecordingRate;
  if (!s.worker.joinable()) return recording;
  s.stopping = true;
  s.worker.join();
  recording.buffers = std::move(s.writes);
  if (recording.buffers.empty()) return recording;
  recording.samples.resize(recording.buffers.back().end);
  const OwnedFile file(CreateFileW(s.path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, 0, nullptr));
  if (!file) throw std::runtime_error("cannot open " + Utf8(s.path));
  LARGE_INTEGER at{};
  at.QuadPart = s.from;
  DWORD read = 0;
  const DWORD want = static_cast<DWORD>(recording.samples.size() * 2);
  const bool ok = SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN) &&
                  ReadFile(file.get(), recording.samples.data(), want, &read, nullptr) && read == want;
  if (!ok) throw std::runtime_error("cannot read the recording from " + Utf8(s.path));
  return recording;
}

// ---- Levels ----

Levels Rms(const Recording& recording, double windowMs) {
  Levels levels;
  levels.windowMs = windowMs;
  const size_t n = static_cast<size_t>(std::lround(recording.rate * windowMs / 1000.0));
  if (n == 0) {
    return levels;
  }
  for (size_t first = 0; first + n <= recording.samples.size(); first += n) {
    double sum = 0;
    for (size_t i = first; i < first + n; ++i) {
      const double x = recording.samples[i] / kFullScale;
      sum += x * x;
    }
    levels.ms.push_back(recording.TimeMs(first));
    levels.rms.push_back(std::sqrt(sum / static_cast<double>(n)));
  }
  return levels;
}

double NoiseFloor(const Levels& levels) {
  if (levels.rms.empty()) {
    return 0;
  }
  std::vector<double> sorted = levels.rms;
  const auto tenth = sorted.begin() + static_cast<std::ptrdiff_t>(sorted.size() / 10);
  std::nth_element(sorted.begin(), tenth, sorted.end());
  return *tenth;
}

double SoundThreshold(double noiseFloor) { return std::max(10 * noiseFloor, 0.001); }

double Loudest(const Levels& levels) {
  return levels.rms.empty() ? 0 : *std::max_element(levels.rms.begin(), levels.rms.end());
}

std::optional<double> FirstAbove(const Levels& levels, double threshold) {
  for (size_t k = 0; k < levels.rms.size(); ++k) {
    if (levels.rms[k] > threshold) {
      return levels.ms[k];
    }
  }
  return std::nullopt;
}

std::optional<double> LastAbove(const Levels& levels, double threshold) {
  for (size_t k = levels.rms.size(); k-- > 0;) {
    if (levels.rms[k] > threshold) {
      return levels.ms[k] + levels.windowMs;
    }
  }
  return std::nullopt;
}

double SecondsAbove(const Levels& levels, double threshold) {
  const auto loud = std::count_if(levels.rms.begin(), levels.rms.end(), [&](double r) { return r > threshold; });
  return static_cast<double>(loud) * levels.windowMs / 1000.0;
}

double ToneHz(const Recording& recording, double fromMs, double toMs) {
  std::optional<size_t> first;
  size_t last = 0;
  int crossings = 0;
  for (size_t i = 1; i < recording.samples.size(); ++i) {
    const double ms = recording.TimeMs(i);
    if (ms < fromMs || ms >= toMs) {
      continue;
    }
    if (recording.samples[i - 1] < 0 && recording.samples[i] >= 0) {
      first = first ? first : i;
      last = i;
      ++crossings;
    }
  }
  if (crossings < 2 || last == *first) {
    return 0;
  }
  return (crossings - 1) * static_cast<double>(recording.rate) / static_cast<double>(last - *first);
}

Heard::Heard(const Recording& recording, double windowMs)
    : levels(Rms(recording, windowMs)),
      floor(NoiseFloor(levels)),
      threshold(SoundThreshold(floor)),
      first(FirstAbove(levels, threshold)),
      last(LastAbove(levels, threshold)) {}

// ---- Playing ----

std::vector<int16_t> Tone(double hz, double seconds, double amplitude, int rate) {
  std::vector<int16_t> samples(static_cast<size_t>(seconds * rate));
  for (size_t i = 0; i < samples.size(); ++i) {
    const double phase = 2 * std::numbers::pi * hz * static_cast<double>(i) / rate;
    samples[i] = static_cast<int16_t>(std::lround(amplitude * 32767 * std::sin(phase)));
  }
  return samples;
}

Player::Player(std::vector<int16_t> samples, int rate) : samples_(std::move(samples)) {
  const WAVEFORMATEX format = MonoFormat(rate);
  const MMRESULT opened = waveOutOpen(&device_, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL);
  if (opened != MMSYSERR_NOERROR) {
    device_ = nullptr;
    throw Failure("waveOutOpen", opened);
  }
  header_.lpData = reinterpret_cast<LPSTR>(samples_.data());
  header_.dwBufferLength = static_cast<DWORD>(samples_.size() * 2);
  MMRESULT result = waveOutPrepareHeader(device_, &header_, sizeof header_);
  if (result == MMSYSERR_NOERROR) {
    result = waveOutWrite(device_, &header_, sizeof header_);
    if (result != MMSYSERR_NOERROR) {
      waveOutUnprepareHeader(device_, &header_, sizeof header_);
    }
  }
  if (result != MMSYSERR_NOERROR) {
    waveOutClose(device_);
    throw Failure("waveOutWrite", result);
  }
}

Player::~Player() {
  waveOutReset(device_);
  waveOutUnprepareHeader(device_, &header_, sizeof header_);
  waveOutClose(device_);
}

void Player::Reset() { waveOutReset(device_); }

// The device's thread sets the flag: read it from memory each time.
bool Player::Done() const { return (*static_cast<const volatile DWORD*>(&header_.dwFlags) & WHDR_DONE) != 0; }

}  // namespace e2e
