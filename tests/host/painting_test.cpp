// The time label's gradient and the font height in pixels.
#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "ui/painting.h"

namespace {

constexpr ui::Colour kWhite = 0x00FFFFFF, kLime = 0x0000FF00, kRed = 0x000000FF, kBlue = 0x00FF0000;

int Red(ui::Colour c) { return c & 0xFF; }
int Green(ui::Colour c) { return (c >> 8) & 0xFF; }
int Blue(ui::Colour c) { return (c >> 16) & 0xFF; }

TEST(Gradient, NoColourEntriesAreLeftOut) {
  const ui::Colour colours[] = {kWhite, ui::kNoColour, kLime};
  EXPECT_EQ(ui::GradientStops(colours), (std::vector<ui::Colour>{kWhite, kLime}));
}

TEST(Gradient, TimeLabelRunsWhiteLimeWhite) {
  const std::vector<ui::Colour> stops = {kWhite, kLime, kWhite};
  EXPECT_EQ(ui::GradientRow(stops, 90, 0), kWhite);
  EXPECT_EQ(ui::GradientRow(stops, 90, 45), kLime);
  // 255 - 255 * 1 / 45 = 249.33, truncated toward zero inside the step: 250.
  EXPECT_EQ(Red(ui::GradientRow(stops, 90, 1)), 250);
  int previous = 256;
  for (int y = 0; y < 90; ++y) {
    const ui::Colour c = ui::GradientRow(stops, 90, y);
    EXPECT_EQ(Green(c), 255) << y;
    EXPECT_EQ(Red(c), Blue(c)) << y;
    EXPECT_TRUE(y <= 45 ? Red(c) <= previous : Red(c) >= previous) << y;  // down to lime, back up
    previous = Red(c);
  }
  EXPECT_LT(Red(ui::GradientRow(stops, 90, 89)), 255);  // still on its way back to white
  EXPECT_EQ(ui::GradientRow(stops, 91, 90), kWhite);    // rows past the last full segment
}

TEST(Gradient, ChannelsRunIndependently) {
  const std::vector<ui::Colour> stops = {kBlue, kRed};
  const ui::Colour mid = ui::GradientRow(stops, 10, 5);
  EXPECT_EQ(Red(mid), 127);  // 0 + 255 * 5 / 10
  EXPECT_EQ(Green(mid), 0);
  EXPECT_EQ(Blue(mid), 128);  // 255 - 127.5, truncated toward zero inside the step
  EXPECT_EQ(ui::GradientRow(stops, 1, 0), kBlue);
  // Eleven rows over three segments of three: rows 9 and 10 take the last colour.
  const std::vector<ui::Colour> four = {kBlue, kRed, kLime, kWhite};
  for (int y : {9, 10}) EXPECT_EQ(ui::GradientRow(four, 11, y), kWhite) << y;
}

TEST(Gradient, TooLowForOneRowPerSegmentGivesTheLastColour) {
  const std::vector<ui::Colour> stops = {kWhite, kLime, kRed};
  for (int height : {0, 1}) EXPECT_EQ(ui::GradientRow(stops, height, 0), kRed) << height;
}

TEST(FontPixelHeight, PointsAtScreenResolutionRounded) {
  EXPECT_EQ(ui::FontPixelHeight(72, 96), 96);
  EXPECT_EQ(ui::FontPixelHeight(72, 120), 120);
  EXPECT_EQ(ui::FontPixelHeight(10, 96), 13);  // 13.33
  EXPECT_EQ(ui::FontPixelHeight(11, 96), 15);  // 14.67
  EXPECT_EQ(ui::FontPixelHeight(0, 96), 0);
  EXPECT_EQ(ui::FontPixelHeight(-5, 96), 0);
  EXPECT_EQ(ui::FontPixelHeight(std::numeric_limits<int>::min(), 96), 0);
  // Huge sizes are capped without overflowing on the way.
  const int big = std::numeric_limits<int>::max();
  EXPECT_EQ(ui::FontPixelHeight(big, 96), ui::kMaxFontPixels);
  EXPECT_EQ(ui::FontPixelHeight(big, big), ui::kMaxFontPixels);
  EXPECT_EQ(ui::FontPixelHeight(1000, 96), 1333);  // large but real sizes stay exact
}

TEST(CentredPlacement, SmallPicturesKeepTheirSizeLargeOnesShrinkToFit) {
  auto same = [](ui::Placement a, ui::Placement b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
  };
  EXPECT_TRUE(same(ui::CentredPlacement(216, 70, 200, 60), {8, 5, 200, 60}));     // the banner in its box
  EXPECT_TRUE(same(ui::CentredPlacement(100, 100, 400, 100), {0, 37, 100, 25}));  // width decides
  EXPECT_TRUE(same(ui::CentredPlacement(100, 100, 50, 200), {37, 0, 25, 100}));   // height decides
  EXPECT_TRUE(same(ui::CentredPlacement(0, 0, 10, 10), {0, 0, 0, 0}));
}

}  // namespace
