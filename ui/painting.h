// Pure parts of how controls draw themselves, shared by the Win32 painter and
// the tests.
#pragma once

#include <span>
#include <vector>

#include "ui/model.h"

namespace ui {

// The gradient's colours with the "no colour" entries left out.
std::vector<Colour> GradientStops(std::span<const Colour> colours);

// Colour of row y (0-based) of a top-to-bottom gradient through the stops
// (at least two) over the given height: the height is cut into n - 1 equal
// segments, each channel runs linearly (truncated) through its segment, and
// rows past the last full segment take the last colour. A height too small
// for one pixel per segment gives that last colour throughout.
Colour GradientRow(std::span<const Colour> stops, int height, int y);

// Where a picture goes in a picture box in the centred display mode: at its
// own size in the middle when it fits, else scaled down to fit, keeping its
// proportions, and centred.
struct Placement {
  int x, y, width, height;
};
Placement CentredPlacement(int boxWidth, int boxHeight, int pictureWidth, int pictureHeight);

// Character height in pixels of a font of the given size in points: points
// times dots per inch over 72, rounded; negative sizes count as 0 (0 means the
// system's default height). Capped so that no size can stall the rasteriser.
inline constexpr int kMaxFontPixels = 4096;
int FontPixelHeight(int points, int dpi);

}  // namespace ui
