// Reading a WAV image (a RIFF/WAVE file held in memory) for the wave-out device.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

// What a WAV image holds, read from memory: the format chunk's fields and
// where the samples are. Only PCM is accepted.
struct WaveImage {
  uint16_t formatTag, channels;
  uint32_t samplesPerSecond, bytesPerSecond;
  uint16_t blockAlign, bitsPerSample;
  const uint8_t* samples;  // into the image
  uint32_t sampleBytes;
};

// The format and samples of a RIFF/WAVE image, or nothing when the image is
// not one: too short, not RIFF/WAVE, chunks running past the end (sizes must
// be checked without overflow), no fmt or no data chunk, fmt shorter than 16
// bytes, not PCM. Unknown chunks are skipped (with the RIFF pad byte after
// odd-sized chunks); a data chunk whose size claims more than the image holds
// is refused.
std::optional<WaveImage> ReadWave(std::span<const uint8_t> image);
