#include "ui/painting.h"

#include <algorithm>

namespace ui {

std::vector<Colour> GradientStops(std::span<const Colour> colours) {
  std::vector<Colour> stops;
  for (Colour c : colours) {
    if (c != kNoColour) stops.push_back(c);
  }
  return stops;
}

Colour GradientRow(std::span<const Colour> stops, int height, int y) {
  const int n = static_cast<int>(stops.size());
  const int segment = n > 1 ? height / (n - 1) : 0;
  if (segment <= 0 || y < 0) return stops.empty() ? 0 : stops.back();
  const int index = y / segment;
  if (index >= n - 1) return stops.back();
  const int pos = y - index * segment;
  const Colour from = stops[index], to = stops[index + 1];
  Colour out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const int a = static_cast<int>((from >> shift) & 0xFF);
    const int b = static_cast<int>((to >> shift) & 0xFF);
    const int channel = a + (b - a) * pos / segment;  // truncates toward zero
    out |= static_cast<Colour>(channel) << shift;
  }
  return out;
}

Placement CentredPlacement(int boxWidth, int boxHeight, int pictureWidth, int pictureHeight) {
  long long width = pictureWidth, height = pictureHeight;
  if (width > boxWidth || height > boxHeight) {
    // The tighter of the two ratios decides; compared in integers to avoid rounding.
    if (width * boxHeight >= height * boxWidth) {
      height = width > 0 ? height * boxWidth / width : 0;
      width = boxWidth;
    } else {
      width = height > 0 ? width * boxHeight / height : 0;
      height = boxHeight;
    }
  }
  return {static_cast<int>((boxWidth - width) / 2), static_cast<int>((boxHeight - height) / 2), static_cast<int>(width),
          static_cast<int>(height)};
}

int FontPixelHeight(int points, int dpi) {
  if (points <= 0) return 0;
  const long long scaled = (static_cast<long long>(points) * dpi * 2 + 72) / 144;  // rounded
  return static_cast<int>(std::min<long long>(scaled, kMaxFontPixels));
}

}  // namespace ui
