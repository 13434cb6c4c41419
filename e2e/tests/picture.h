// Measures of a captured picture for the end-to-end tests: the background is
// the colour most pixels have, and what is drawn is every pixel that differs
// from it clearly. The animation never stands still, so the tests compare
// these measures, not pixels.
#pragma once

#include "testing/pixel_readback.h"

#include <algorithm>
#include <cstdlib>
#include <map>

// Channel difference below which two colours count as the same. Small: the
// background is one flat colour, and the shaded side of a solid cube is only
// a little brighter than it.
constexpr int COLOUR_TOLERANCE = 8;

inline bool sameColour(const Colour& a, const Colour& b) {
  return std::abs(a.r - b.r) < COLOUR_TOLERANCE && std::abs(a.g - b.g) < COLOUR_TOLERANCE &&
         std::abs(a.b - b.b) < COLOUR_TOLERANCE;
}

inline Colour background(const Image& image) {
  std::map<int, int> counts;
  for (const Colour& c : image.pixels) ++counts[c.r << 16 | c.g << 8 | c.b];
  int best = 0;
  int bestCount = -1;
  for (const auto& [key, count] : counts) {
    if (count > bestCount) {
      best = key;
      bestCount = count;
    }
  }
  return {best >> 16 & 0xFF, best >> 8 & 0xFF, best & 0xFF};
}

// Pixels of the picture (or of a rectangle of it) that show something drawn.
inline int drawnPixels(const Image& image, const RECT& area) {
  const Colour back = background(image);
  int drawn = 0;
  for (int y = std::max<int>(0, area.top); y < std::min<int>(image.height, area.bottom); ++y) {
    for (int x = std::max<int>(0, area.left); x < std::min<int>(image.width, area.right); ++x) {
      if (!sameColour(image.at(x, y), back)) ++drawn;
    }
  }
  return drawn;
}

inline int drawnPixels(const Image& image) {
  return drawnPixels(image, RECT{0, 0, image.width, image.height});
}

// Whether a capture of the render frame shows the scene: the device clears
// to black, so the picture has a black background with something drawn on
// it (until the first frame after start-up or a resize is shown, the frame
// shows the dialog's own background instead).
inline bool showsScene(const Image& frame) {
  return !frame.pixels.empty() && isBlack(background(frame)) && drawnPixels(frame) > 0;
}

// Drawn pixels whose four neighbours are drawn too: the inside of filled
// areas, which lines and points hardly have.
inline int filledPixels(const Image& image, const RECT& area) {
  const Colour back = background(image);
  auto drawn = [&](int x, int y) { return !sameColour(image.at(x, y), back); };
  int filled = 0;
  for (int y = std::max<int>(1, area.top); y < std::min<int>(image.height - 1, area.bottom); ++y) {
    for (int x = std::max<int>(1, area.left); x < std::min<int>(image.width - 1, area.right);
         ++x) {
      if (drawn(x, y) && drawn(x - 1, y) && drawn(x + 1, y) && drawn(x, y - 1) &&
          drawn(x, y + 1)) {
        ++filled;
      }
    }
  }
  return filled;
}

// A square of the given half width around the centre of the picture.
inline RECT centreSquare(const Image& image, int halfWidth) {
  const int x = image.width / 2;
  const int y = image.height / 2;
  return RECT{x - halfWidth, y - halfWidth, x + halfWidth + 1, y + halfWidth + 1};
}

// Pixels that differ clearly between two pictures of the same size.
inline int changedPixels(const Image& a, const Image& b) {
  int changed = 0;
  for (size_t i = 0; i < a.pixels.size() && i < b.pixels.size(); ++i) {
    if (!sameColour(a.pixels[i], b.pixels[i])) ++changed;
  }
  return changed;
}
