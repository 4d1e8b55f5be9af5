#include "app/wave.h"

#include <algorithm>
#include <string_view>

namespace {

uint32_t Le(const uint8_t* p, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | p[i];
  return v;
}

bool IsTag(const uint8_t* p, std::string_view tag) { return std::equal(tag.begin(), tag.end(), p); }

constexpr uint16_t kPcm = 1;

}  // namespace

std::optional<WaveImage> ReadWave(std::span<const uint8_t> image) {
  const uint8_t* base = image.data();
  if (image.size() < 12 || !IsTag(base, "RIFF") || !IsTag(base + 8, "WAVE")) return {};
  // Sizes are compared with what is left, never added to an offset first: a
  // size near 4 GiB would wrap a 32-bit sum back into the image.
  const uint32_t riff_size = Le(base + 4, 4);
  if (riff_size < 4 || riff_size > image.size() - 8) return {};
  const size_t end = 8 + size_t{riff_size};

  WaveImage wave{};
  size_t at = 12;
  while (end - at >= 8) {
    const uint8_t* chunk = base + at;
    const uint32_t size = Le(chunk + 4, 4);
    if (size > end - at - 8) return {};
    if (IsTag(chunk, "fmt ")) {
      if (size < 16) return {};
      wave.formatTag = static_cast<uint16_t>(Le(chunk + 8, 2));
      wave.channels = static_cast<uint16_t>(Le(chunk + 10, 2));
      wave.samplesPerSecond = Le(chunk + 12, 4);
      wave.bytesPerSecond = Le(chunk + 16, 4);
      wave.blockAlign = static_cast<uint16_t>(Le(chunk + 20, 2));
      wave.bitsPerSample = static_cast<uint16_t>(Le(chunk + 22, 2));
    } else if (IsTag(chunk, "data")) {
      wave.samples = chunk + 8;
      wave.sampleBytes = size;
    }
    // The pad byte after an odd-sized last chunk may be missing.
    at += 8 + size_t{size};
    if (size % 2 && at < end) ++at;
  }
  // Without a fmt chunk the tag is still 0, which is not PCM either.
  if (!wave.samples || wave.formatTag != kPcm) return {};
  return wave;
}
