// Reading back what a RenderDevice drew: its back buffer through Lock, and a
// rectangle of the screen through GDI, both as 8-bit RGB images, for tests
// that run on a real DirectDraw in a window on the display.
#pragma once

#include "device/render_device.h"

#include <string>
#include <vector>

struct Colour {
  int r = 0;
  int g = 0;
  int b = 0;
};

std::string describe(const Colour& colour);  // "(255, 0, 0)"
bool isRed(const Colour& colour);
bool isGreen(const Colour& colour);
bool isWhite(const Colour& colour);
bool isBlack(const Colour& colour);

struct Image {
  int width = 0;
  int height = 0;
  std::vector<Colour> pixels;  // row by row from the top

  Colour at(int x, int y) const { return pixels.at(size_t(y) * width + x); }
  // Whether a pixel within `reach` rows of (x, y) passes `test`: a one-pixel
  // line may fall on the row next to its exact position.
  bool nearRow(int x, int y, int reach, bool (*test)(const Colour&)) const;
};

// The device's back buffer (DirectX 6 path), locked outside a scene.
Image readBackBuffer(RenderDevice& device);
// A rectangle of the screen, as a user would see it.
Image captureScreen(const RECT& area);
// Writes the image as a 24-bit bitmap file, to look at what a test saw.
bool writeBitmap(const Image& image, const std::string& path);
// Dispatches the thread's pending window messages.
void pumpMessages();
