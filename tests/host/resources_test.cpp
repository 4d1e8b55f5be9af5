// The pictures compiled into countdown.exe, laid out as Windows reads them:
// the icon's two 32-bit images (48 and 16 pixels) whose AND masks agree with
// their alpha, and the About window's banner, one still 200 x 60 GIF image.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> ReadResource(const std::string& name) {
  std::ifstream in(COUNTDOWN_SOURCE_DIR "/resources/" + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<uint8_t> ReadIcon() { return ReadResource("icon.ico"); }

uint32_t Le(const std::vector<uint8_t>& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | b.at(at + i);
  return v;
}

TEST(IconFile, HoldsTwoTrueColourImagesBackToBack) {
  const auto ico = ReadIcon();
  ASSERT_EQ(ico.size(), 10806u);
  EXPECT_EQ(Le(ico, 0, 2), 0u);  // reserved
  EXPECT_EQ(Le(ico, 2, 2), 1u);  // type: icon
  ASSERT_EQ(Le(ico, 4, 2), 2u);

  const uint32_t sides[] = {48, 16};
  size_t expected_offset = 6 + 2 * 16;
  for (int k = 0; k < 2; ++k) {
    const size_t entry = 6 + 16 * k;
    const uint32_t side = sides[k];
    EXPECT_EQ(ico.at(entry), side);
    EXPECT_EQ(ico.at(entry + 1), side);
    EXPECT_EQ(Le(ico, entry + 6, 2), 32u);  // bits per pixel
    const uint32_t bytes = Le(ico, entry + 8, 4);
    const uint32_t offset = Le(ico, entry + 12, 4);
    EXPECT_EQ(offset, expected_offset);
    const uint32_t mask_stride = (side + 31) / 32 * 4;
    EXPECT_EQ(bytes, 40 + side * side * 4 + side * mask_stride);

    // BITMAPINFOHEADER: height counts the colour rows and the mask rows.
    EXPECT_EQ(Le(ico, offset, 4), 40u);
    EXPECT_EQ(Le(ico, offset + 4, 4), side);
    EXPECT_EQ(Le(ico, offset + 8, 4), side * 2);
    EXPECT_EQ(Le(ico, offset + 14, 2), 32u);
    EXPECT_EQ(Le(ico, offset + 16, 4), 0u);  // BI_RGB
    expected_offset = offset + bytes;
  }
  EXPECT_EQ(expected_offset, ico.size());
}

TEST(IconFile, MaskMarksExactlyTheTransparentPixels) {
  const auto ico = ReadIcon();
  ASSERT_EQ(ico.size(), 10806u);
  for (int k = 0; k < 2; ++k) {
    const uint32_t side = ico.at(6 + 16 * k);
    const size_t pixels = Le(ico, 6 + 16 * k + 12, 4) + 40;
    const size_t mask = pixels + side * side * 4;
    const uint32_t stride = (side + 31) / 32 * 4;
    int transparent = 0, opaque = 0;
    for (uint32_t y = 0; y < side; ++y) {
      for (uint32_t x = 0; x < side; ++x) {
        const uint8_t alpha = ico.at(pixels + (y * side + x) * 4 + 3);
        const bool masked = ico.at(mask + y * stride + x / 8) & (0x80 >> (x % 8));
        EXPECT_EQ(masked, alpha == 0) << "image " << k << " pixel " << x << "," << y;
        transparent += alpha == 0;
        opaque += alpha == 255;
      }
    }
    // A round face: clear corners, a solid middle.
    EXPECT_EQ(ico.at(pixels + 3), 0) << "bottom-left corner of image " << k;
    EXPECT_EQ(ico.at(pixels + ((side / 2) * side + side / 2) * 4 + 3), 255);
    EXPECT_GT(transparent, 0);
    EXPECT_GT(opaque, static_cast<int>(side * side / 2));
  }
}

TEST(BannerFile, IsOneStill200By60ImageWithA256ColourTable) {
  const auto gif = ReadResource("banner.gif");
  ASSERT_GT(gif.size(), 13u + 768u + 11u);
  EXPECT_EQ(std::string(gif.begin(), gif.begin() + 6), "GIF89a");
  EXPECT_EQ(Le(gif, 6, 2), 200u);
  EXPECT_EQ(Le(gif, 8, 2), 60u);
  EXPECT_EQ(gif.at(10), 0xF7);  // a global table of 2^(7+1) entries, 8 bits a channel
  EXPECT_EQ(gif.at(12), 0);     // square pixels

  // Straight after the table: the one image, with no extension (no animation,
  // no transparency) before it, covering the whole picture with the global table.
  size_t at = 13 + 768;
  ASSERT_EQ(gif.at(at), ',');
  EXPECT_EQ(Le(gif, at + 1, 4), 0u);  // left and top
  EXPECT_EQ(Le(gif, at + 5, 2), 200u);
  EXPECT_EQ(Le(gif, at + 7, 2), 60u);
  EXPECT_EQ(gif.at(at + 9), 0);   // no local table, not interlaced
  EXPECT_EQ(gif.at(at + 10), 8);  // LZW minimum code size
  at += 11;
  size_t data = 0;
  while (gif.at(at) != 0) {  // the compressed data in sub-blocks of up to 255 bytes
    data += gif.at(at);
    at += 1 + gif.at(at);
  }
  EXPECT_GT(data, 1000u);  // a real picture, not a blank
  EXPECT_EQ(gif.at(at + 1), ';');
  EXPECT_EQ(at + 2, gif.size());  // nothing after the trailer
}

}  // namespace
