// A frame as a picture: 8-bit RGB pixels row by row from the top, and the
// PNG files pictures are kept in. The frame tool writes them on every device
// and the comparison reads them back (stb's image reader and writer).
#pragma once

#include <string>
#include <vector>

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> rgb;  // 3 bytes a pixel, rows from the top

  const unsigned char* at(int x, int y) const { return &rgb[(size_t(y) * width + x) * 3]; }
};

bool writePng(const Picture& picture, const std::string& path);
// Any picture file stb reads (PNG, PNM, BMP); false when it cannot.
bool readPicture(const std::string& path, Picture& picture);
