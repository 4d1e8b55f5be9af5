// The applause played at zero, as committed, and the WAV reader that hands
// its samples to the wave-out device.
#include "app/wave.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes ReadApplause() {
  std::ifstream in(COUNTDOWN_SOURCE_DIR "/resources/applause.wav", std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t Le32(const Bytes& b, size_t at) {
  return b.at(at) | b.at(at + 1) << 8 | b.at(at + 2) << 16 | uint32_t{b.at(at + 3)} << 24;
}

Bytes Put32(Bytes b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.at(at + i) = static_cast<uint8_t>(v >> 8 * i);
  return b;
}

Bytes Slice(const Bytes& b, size_t from, size_t to) { return {b.begin() + from, b.begin() + to}; }

// A RIFF/WAVE image of the given chunks, each padded to an even size.
Bytes Riff(const std::vector<std::pair<std::string, Bytes>>& chunks) {
  Bytes out{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
  for (const auto& [id, body] : chunks) {
    out.insert(out.end(), id.begin(), id.end());
    const size_t size_at = out.size();
    out.resize(size_at + 4);
    out = Put32(std::move(out), size_at, static_cast<uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    if (body.size() % 2) out.push_back(0);
  }
  const auto riff_size = static_cast<uint32_t>(out.size() - 8);
  return Put32(std::move(out), 4, riff_size);
}

TEST(ApplauseFile, IsMonoPcmAtElevenKilohertzWithNothingElse) {
  const Bytes wav = ReadApplause();
  ASSERT_EQ(wav.size(), 77260u);
  EXPECT_EQ(Le32(wav, 4), 77252u);
  const auto wave = ReadWave(wav);
  ASSERT_TRUE(wave);
  EXPECT_EQ(wave->formatTag, 1);
  EXPECT_EQ(wave->channels, 1);
  EXPECT_EQ(wave->samplesPerSecond, 11025u);
  EXPECT_EQ(wave->bytesPerSecond, 22050u);
  EXPECT_EQ(wave->blockAlign, 2);
  EXPECT_EQ(wave->bitsPerSample, 16);
  EXPECT_EQ(wave->samples, wav.data() + 44);
  EXPECT_EQ(wave->sampleBytes, 77216u);
}

TEST(ApplauseFile, SwellsClapsAndFadesWithoutOffset) {
  const Bytes wav = ReadApplause();
  ASSERT_EQ(wav.size(), 77260u);
  std::vector<double> s;
  for (size_t at = 44; at < wav.size(); at += 2) s.push_back(static_cast<int16_t>(wav[at] | wav[at + 1] << 8));
  auto rms = [&](size_t from, size_t count) {
    double sum = 0;
    for (size_t i = from; i < from + count; ++i) sum += s[i] * s[i];
    return std::sqrt(sum / count);
  };
  auto dbfs = [](double v) { return 20 * std::log10(v / 32768); };

  double peak = 0, total = 0;
  for (double v : s) peak = std::max(peak, std::abs(v)), total += v;
  EXPECT_GT(dbfs(peak), -6);
  EXPECT_LT(dbfs(peak), -1);
  EXPECT_LT(std::abs(total / s.size()), 1.0) << "DC offset";

  // The first and last tenth of a second lie well under the middle second.
  const size_t tenth = 1102;
  const double middle = rms(s.size() / 2 - 5 * tenth, 10 * tenth);
  EXPECT_LT(rms(0, tenth), middle / 4);
  EXPECT_LT(rms(s.size() - tenth, tenth), middle / 4);

  // Claps, not a steady hiss: the level over 20 ms windows of the middle
  // second varies widely (for plain noise it stays within about 6%).
  std::vector<double> levels;
  for (size_t i = 0; i < 50; ++i) levels.push_back(rms(s.size() / 2 - 25 * 220 + i * 220, 220));
  double mean = 0, var = 0;
  for (double l : levels) mean += l / levels.size();
  for (double l : levels) var += (l - mean) * (l - mean) / levels.size();
  EXPECT_GT(std::sqrt(var) / mean, 0.2);
}

TEST(ReadWave, AcceptsWellFormedImagesAndRefusesTheRest) {
  const Bytes wav = ReadApplause();
  ASSERT_EQ(wav.size(), 77260u);
  const Bytes fmt = Slice(wav, 20, 36), data = Slice(wav, 44, wav.size());
  Bytes float_fmt = fmt, short_fmt = Slice(fmt, 0, 14), long_fmt = fmt;
  float_fmt[0] = 3;
  long_fmt.insert(long_fmt.end(), {0, 0});  // cbSize, as many writers add
  // An odd size near 4 GiB whose 32-bit sum (plus pad) lands on the next
  // 4 bytes: read there as a chunk of size 0, they lead on to a valid fmt.
  const Bytes wrapping = Put32(Riff({{"junk", Bytes(4)}, {"fmt ", fmt}, {"data", data}}), 16, 0xFFFFFFFB);

  constexpr ptrdiff_t kRefused = -1;
  const struct {
    const char* what;
    Bytes image;
    ptrdiff_t samples_at;
  } cases[] = {
      {"as committed", wav, 44},
      {"rebuilt from its chunks", Riff({{"fmt ", fmt}, {"data", data}}), 44},
      {"odd unknown chunk first", Riff({{"LIST", Bytes(3, 'x')}, {"fmt ", fmt}, {"data", data}}), 56},
      {"fmt with cbSize", Riff({{"fmt ", long_fmt}, {"data", data}}), 46},
      {"data before fmt", Riff({{"data", data}, {"fmt ", fmt}}), 20},
      {"shorter than a RIFF header", Slice(wav, 0, 11), kRefused},
      {"cut inside the data header", Slice(wav, 0, 43), kRefused},
      {"last byte missing", Slice(wav, 0, wav.size() - 1), kRefused},
      {"RIFX", Put32(wav, 0, 0x58464952), kRefused},
      {"not WAVE", Put32(wav, 8, 0x20495641), kRefused},
      {"RIFF size 0", Put32(wav, 4, 0), kRefused},
      {"RIFF size past the end", Put32(wav, 4, 77253), kRefused},
      {"RIFF size too small for its data", Put32(wav, 4, 36), kRefused},
      {"data size past the end", Put32(wav, 40, 77217), kRefused},
      {"size wrapping onto a valid chunk", wrapping, kRefused},
      {"data size near 4 GiB", Put32(wav, 40, 0xFFFFFFFF), kRefused},
      {"fmt size near 4 GiB", Put32(wav, 16, 0xFFFFFFF8), kRefused},
      {"no data chunk", Riff({{"fmt ", fmt}, {"dat ", data}}), kRefused},
      {"no fmt chunk", Riff({{"data", data}}), kRefused},
      {"fmt of 14 bytes", Riff({{"fmt ", short_fmt}, {"data", data}}), kRefused},
      {"IEEE float", Riff({{"fmt ", float_fmt}, {"data", data}}), kRefused},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const auto wave = ReadWave(c.image);
    ASSERT_EQ(wave.has_value(), c.samples_at != kRefused);
    if (!wave) continue;
    EXPECT_EQ(wave->samples, c.image.data() + c.samples_at);
    EXPECT_EQ(wave->sampleBytes, 77216u);
    EXPECT_EQ(wave->samplesPerSecond, 11025u);
    EXPECT_EQ(wave->bitsPerSample, 16);
  }
}

}  // namespace
