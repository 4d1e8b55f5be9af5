#include "audio.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <mutex>
#include <numbers>
#include <stdexcept>
#include <thread>
#include <utility>

#include "driver.h"

namespace e2e {

namespace {

// Short buffers time the sound finely; many of them keep the device fed while
// the machine is busy (a second in all).
constexpr int kBuffersPerSecond = 100;
constexpr int kBuffers = 100;
constexpr double kFullScale = 32768.0;
// A second is long enough for every buffer of a reset device to come back.
constexpr DWORD kDrainMs = 1000;
// A device that has delivered nothing after this long is not recording.
constexpr double kFirstBufferMs = 3000;

std::runtime_error Failure(const char* call, MMRESULT result, bool capture) {
  wchar_t text[MAXERRORLENGTH] = L"";
  if (capture) {
    waveInGetErrorTextW(result, text, MAXERRORLENGTH);
  } else {
    waveOutGetErrorTextW(result, text, MAXERRORLENGTH);
  }
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

}  // namespace

// ---- Devices ----

std::vector<std::wstring> CaptureDeviceNames() {
  std::vector<std::wstring> names;
  const UINT count = waveInGetNumDevs();
  for (UINT id = 0; id < count; ++id) {
    WAVEINCAPSW caps{};
    names.push_back(waveInGetDevCapsW(id, &caps, sizeof caps) == MMSYSERR_NOERROR ? caps.szPname : L"");
  }
  return names;
}

// ---- Recording ----

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

// The device calls back on its own thread, where no waveIn function may be
// called: the callback only stamps the buffer's return, and a worker thread
// takes the samples and queues the buffer again, in the order they were queued.
struct Recorder::State {
  int rate = 0;
  HWAVEIN device = nullptr;
  std::vector<std::vector<int16_t>> data = std::vector<std::vector<int16_t>>(kBuffers);
  std::vector<WAVEHDR> headers = std::vector<WAVEHDR>(kBuffers);
  // Ticks after start plus one at which each buffer came back; 0 while queued.
  std::unique_ptr<std::atomic<long long>[]> returned = std::make_unique<std::atomic<long long>[]>(kBuffers);
  HANDLE wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  double ticksPerMs = TicksPerMs();
  long long start = 0;
  std::atomic<int> returns{0};

  std::mutex mutex;  // guards stopping, queued, next and recording against the worker
  bool stopping = false;
  int queued = 0;
  int next = 0;
  Recording recording;
  std::thread worker;

  ~State() { CloseHandle(wake); }

  static void CALLBACK OnMessage(HWAVEIN, UINT message, DWORD_PTR instance, DWORD_PTR param, DWORD_PTR) {
    if (message != WIM_DATA) {
      return;
    }
    auto* self = reinterpret_cast<State*>(instance);
    const auto* header = reinterpret_cast<const WAVEHDR*>(param);
    self->returned[header->dwUser] = Ticks() - self->start + 1;
    ++self->returns;
    SetEvent(self->wake);
  }

  void Queue(int i) {
    returned[i] = 0;
    headers[i].dwBytesRecorded = 0;
    const MMRESULT result = waveInAddBuffer(device, &headers[i], sizeof(WAVEHDR));
    if (result == MMSYSERR_NOERROR) {
      ++queued;
    }
  }

  // Takes every buffer back that has returned, in queue order; false once
  // stopping and none is left out.
  bool TakeReturned() {
    std::lock_guard lock(mutex);
    while (queued > 0 && returned[next] != 0) {
      const DWORD bytes = headers[next].dwBytesRecorded;
      if (bytes > 0) {  // a reset hands the queued buffers back empty
        const int16_t* first = data[next].data();
        recording.samples.insert(recording.samples.end(), first, first + bytes / 2);
        recording.buffers.push_back({recording.samples.size(), static_cast<double>(returned[next] - 1) / ticksPerMs});
      }
      --queued;
      if (!stopping) {
        Queue(next);
      }
      next = (next + 1) % kBuffers;
    }
    return !(stopping && queued == 0);
  }

  void Work() {
    ULONGLONG stopSeen = 0;
    while (TakeReturned()) {
      WaitForSingleObject(wake, 20);
      std::lock_guard lock(mutex);
      if (stopping && stopSeen == 0) {
        stopSeen = GetTickCount64();
      }
      if (stopSeen != 0 && GetTickCount64() - stopSeen > kDrainMs) {
        return;  // a buffer the device never handed back is left out
      }
    }
  }
};

Recorder::Recorder(UINT device, int rate) : state_(std::make_unique<State>()) {
  state_->rate = rate;
  const WAVEFORMATEX format = MonoFormat(rate);
  const MMRESULT opened = waveInOpen(&state_->device, device, &format, reinterpret_cast<DWORD_PTR>(&State::OnMessage),
                                     reinterpret_cast<DWORD_PTR>(state_.get()), CALLBACK_FUNCTION);
  if (opened != MMSYSERR_NOERROR) {
    state_->device = nullptr;
    throw Failure("waveInOpen", opened, true);
  }
  const size_t samples = static_cast<size_t>(std::max(1, rate / kBuffersPerSecond));
  for (int i = 0; i < kBuffers; ++i) {
    state_->data[i].assign(samples, 0);
    WAVEHDR& header = state_->headers[i];
    header.lpData = reinterpret_cast<LPSTR>(state_->data[i].data());
    header.dwBufferLength = static_cast<DWORD>(samples * 2);
    header.dwUser = static_cast<DWORD_PTR>(i);
    const MMRESULT prepared = waveInPrepareHeader(state_->device, &header, sizeof header);
    if (prepared != MMSYSERR_NOERROR) {
      for (int j = 0; j < i; ++j) {
        waveInUnprepareHeader(state_->device, &state_->headers[j], sizeof(WAVEHDR));
      }
      waveInClose(state_->device);
      throw Failure("waveInPrepareHeader", prepared, true);
    }
  }
}

Recorder::~Recorder() {
  if (state_->worker.joinable()) {
    Stop();
  }
  for (WAVEHDR& header : state_->headers) {
    waveInUnprepareHeader(state_->device, &header, sizeof header);
  }
  waveInClose(state_->device);
}

void Recorder::Start() {
  if (state_->worker.joinable()) {
    throw std::runtime_error("Recorder::Start while recording");
  }
  State& s = *state_;
  s.recording = Recording{};
  s.recording.rate = s.rate;
  s.stopping = false;
  s.queued = 0;
  s.next = 0;
  s.returns = 0;
  for (int i = 0; i < kBuffers; ++i) {
    s.Queue(i);
  }
  if (s.queued != kBuffers) {
    waveInReset(s.device);
    throw std::runtime_error("waveInAddBuffer failed");
  }
  s.start = Ticks();
  const MMRESULT started = waveInStart(s.device);
  if (started != MMSYSERR_NOERROR) {
    waveInReset(s.device);
    throw Failure("waveInStart", started, true);
  }
  s.worker = std::thread([&s] { s.Work(); });
  // Times mean something only once the device delivers: wait for its first buffer.
  while (s.returns == 0) {
    if (ElapsedMs() > kFirstBufferMs) {
      Stop();
      throw std::runtime_error("the capture device delivered nothing in " +
                               std::to_string(static_cast<int>(kFirstBufferMs)) + " ms");
    }
    Sleep(1);
  }
}

double Recorder::ElapsedMs() const { return static_cast<double>(Ticks() - state_->start) / state_->ticksPerMs; }

Recording Recorder::Stop() {
  State& s = *state_;
  if (!s.worker.joinable()) {
    return std::move(s.recording);
  }
  {
    std::lock_guard lock(s.mutex);
    s.stopping = true;
  }
  waveInReset(s.device);  // hands every queued buffer back, the current one part-filled
  SetEvent(s.wake);
  s.worker.join();
  return std::move(s.recording);
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
    throw Failure("waveOutOpen", opened, false);
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
    throw Failure("waveOutWrite", result, false);
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
