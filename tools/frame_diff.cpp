// plim-frame-diff: how far two frames of the same size agree, pixel by pixel.
// Only the pixels that are drawn (not black) in at least one of the two are
// counted, since the black background agrees whatever is drawn on it. A pixel
// agrees within the tolerance when none of its three channels differs by
// more than that; the largest difference of any channel is reported too.
//
//   plim-frame-diff [--tolerance T] [--require PERCENT] [--diff OUT.png] A B [LABEL]
//
// Prints one line of figures and exits 1 when fewer than PERCENT of the drawn
// pixels agree within T (2 when a picture cannot be read or the sizes
// differ). --diff writes a picture of where they differ: agreeing drawn
// pixels grey, pixels beyond the tolerance red where A is the brighter and
// cyan where B is.
#include "tools/picture.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Agreement {
  long drawn = 0;
  long equal = 0;
  long within = 0;
  int largest = 0;
};

int brightness(const unsigned char* p) { return p[0] + p[1] + p[2]; }

Agreement compare(const Picture& a, const Picture& b, int tolerance, Picture* map) {
  Agreement agreement;
  for (int y = 0; y < a.height; ++y) {
    for (int x = 0; x < a.width; ++x) {
      const unsigned char* pa = a.at(x, y);
      const unsigned char* pb = b.at(x, y);
      if (brightness(pa) == 0 && brightness(pb) == 0) continue;
      ++agreement.drawn;
      int difference = 0;
      for (int c = 0; c < 3; ++c) difference = std::max(difference, std::abs(pa[c] - pb[c]));
      agreement.largest = std::max(agreement.largest, difference);
      if (difference == 0) ++agreement.equal;
      if (difference <= tolerance) ++agreement.within;
      if (map == nullptr) continue;
      unsigned char* out = &map->rgb[(size_t(y) * a.width + x) * 3];
      const bool aBrighter = brightness(pa) >= brightness(pb);
      const unsigned char agreeing[3] = {96, 96, 96};
      const unsigned char onlyA[3] = {255, 0, 0};
      const unsigned char onlyB[3] = {0, 255, 255};
      const unsigned char* colour = difference <= tolerance ? agreeing : aBrighter ? onlyA : onlyB;
      std::memcpy(out, colour, 3);
    }
  }
  return agreement;
}

double percent(long part, long whole) { return whole == 0 ? 100.0 : 100.0 * part / whole; }

}  // namespace

int main(int argc, char** argv) {
  int tolerance = 0;
  double required = 100.0;
  std::string mapPath;
  std::string names[3];
  int named = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--tolerance" && i + 1 < argc) tolerance = std::atoi(argv[++i]);
    else if (argument == "--require" && i + 1 < argc) required = std::atof(argv[++i]);
    else if (argument == "--diff" && i + 1 < argc) mapPath = argv[++i];
    else if (named < 3) names[named++] = argument;
    else named = 4;
  }
  if (named < 2 || named > 3) {
    std::fprintf(stderr,
                 "usage: plim-frame-diff [--tolerance T] [--require PERCENT] [--diff OUT.png] "
                 "A B [LABEL]\n");
    return 2;
  }
  Picture a, b;
  if (!readPicture(names[0], a) || !readPicture(names[1], b)) {
    std::fprintf(stderr, "plim-frame-diff: cannot read %s or %s\n", names[0].c_str(),
                 names[1].c_str());
    return 2;
  }
  if (a.width != b.width || a.height != b.height) {
    std::fprintf(stderr, "plim-frame-diff: %dx%d against %dx%d\n", a.width, a.height, b.width,
                 b.height);
    return 2;
  }
  Picture map;
  if (!mapPath.empty()) {
    map = a;
    std::fill(map.rgb.begin(), map.rgb.end(), 0);
  }
  const Agreement agreement = compare(a, b, tolerance, mapPath.empty() ? nullptr : &map);
  const double within = percent(agreement.within, agreement.drawn);
  const bool agrees = within >= required;
  std::printf("%-28s drawn %7ld  equal %6.2f %%  within %d: %6.2f %%  largest %3d  %s\n",
              (named == 3 ? names[2] : names[1]).c_str(), agreement.drawn,
              percent(agreement.equal, agreement.drawn), tolerance, within, agreement.largest,
              agrees ? "agree" : "DIFFER");
  if (!mapPath.empty() && !writePng(map, mapPath)) {
    std::fprintf(stderr, "plim-frame-diff: cannot write %s\n", mapPath.c_str());
    return 2;
  }
  return agrees ? 0 : 1;
}
