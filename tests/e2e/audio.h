// Sound as the user hears it. In the test environment every program plays into
// a PulseAudio null sink, and a reader on the Linux side records that sink's
// monitor for as long as the environment runs (tools/testenv.sh), so a
// Recorder hears whatever any process plays, after the same path a user's
// speakers would get it by, without a recording device inside Wine.
//
// Samples are 16-bit mono. Levels are fractions of full scale (a full-scale
// square wave has an RMS of 1, a full-scale sine about 0.707). Times are
// milliseconds after Recorder::Start.
//
// Failures to open or drive a device throw std::runtime_error, which
// GoogleTest reports as a failed test.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <mmsystem.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

// ---- The monitor's recording ------------------------------------------------

// What the reader writes: 16-bit little-endian mono samples at this rate.
inline constexpr int kRecordingRate = 22050;
// The file it writes them to, as this process reaches it; empty outside the
// test environment.
std::wstring MonitorRecordingPath();

// ---- Recording -----------------------------------------------------------------

// What a Recorder captured, and when.
struct Recording {
  // One write of the reader's, as the recorder saw it land in the file.
  struct Buffer {
    size_t end;  // one past its last sample in samples
    double ms;   // when it was seen
  };

  int rate = 0;
  std::vector<int16_t> samples;
  std::vector<Buffer> buffers;

  // When sample i was captured: the time its write was seen less the samples
  // after it in that write. Late by the reader's delivery delay (a few ms),
  // never early; samples the reader dropped do not shift later ones.
  double TimeMs(size_t i) const;
};

// Records what the monitor's reader writes from Start() until Stop().
class Recorder {
 public:
  // Throws when there is no recording of the monitor to read.
  Recorder();
  ~Recorder();
  Recorder(const Recorder&) = delete;
  Recorder& operator=(const Recorder&) = delete;

  // Starts recording and returns once the reader has written once more;
  // throws when it writes nothing within 3 s.
  void Start();
  // Milliseconds since Start on the clock that times the buffers: how a test
  // marks when it acted, to compare with what it heard.
  double ElapsedMs() const;
  // Ends the recording, with everything written by now. It may Start again.
  Recording Stop();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// How soon a sound played starts to be heard in a recording: Wine and
// PulseAudio starting a stream, up to about 250 ms with both cores busy (seen
// here). Its end, a reset's included, is heard within 100 ms.
constexpr double kHeardWithinMs = 300;

// ---- Levels ------------------------------------------------------------------

// RMS levels of back-to-back windows of a recording; a partial last window is
// left out.
struct Levels {
  double windowMs = 0;
  std::vector<double> ms;  // when each window starts
  std::vector<double> rms;
};

Levels Rms(const Recording& recording, double windowMs = 20);
// The level silence has in this recording: its quietest tenth of windows. At
// least a tenth of the recording must be silent for this to mean silence.
double NoiseFloor(const Levels& levels);
// The level from which a window counts as sound: well above the noise floor
// (ten times) and never below -60 dBFS, where a null sink's digital silence
// would otherwise put it.
double SoundThreshold(double noiseFloor);
double Loudest(const Levels& levels);
// Where the first window above threshold starts; nullopt when none is.
std::optional<double> FirstAbove(const Levels& levels, double threshold);
// Where the last window above threshold ends; nullopt when none is.
std::optional<double> LastAbove(const Levels& levels, double threshold);
double SecondsAbove(const Levels& levels, double threshold);
// The frequency of a tone between two times, from its rising zero crossings;
// 0 when there are fewer than two.
double ToneHz(const Recording& recording, double fromMs, double toMs);

// What a recording holds above its own noise floor, the helpers above in one.
struct Heard {
  explicit Heard(const Recording& recording, double windowMs = 20);
  double Seconds() const { return SecondsAbove(levels, threshold); }

  Levels levels;
  double floor = 0;
  double threshold = 0;
  std::optional<double> first;  // FirstAbove
  std::optional<double> last;   // LastAbove
};

// ---- Playing -------------------------------------------------------------------

// A sine tone, 16-bit mono, amplitude a fraction of full scale.
std::vector<int16_t> Tone(double hz, double seconds, double amplitude, int rate = 22050);

// Plays samples on the default output device through waveOut, from the
// constructor on; the constructor returns at once.
class Player {
 public:
  explicit Player(std::vector<int16_t> samples, int rate = 22050);
  // Cuts the sound off (waveOutReset) and closes the device.
  ~Player();
  Player(const Player&) = delete;
  Player& operator=(const Player&) = delete;

  // waveOutReset: stops at once and hands the buffer back.
  void Reset();
  // True once the buffer has been played out or reset.
  bool Done() const;

 private:
  std::vector<int16_t> samples_;
  HWAVEOUT device_ = nullptr;
  WAVEHDR header_{};
};

}  // namespace e2e
