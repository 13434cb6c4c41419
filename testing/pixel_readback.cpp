// Back buffer read-back and screen capture for tests on a real display.
#include "testing/pixel_readback.h"

#include <cstdio>

namespace {

// One channel of a pixel, scaled from its mask's width to 0..255.
int channel(DWORD value, DWORD mask) {
  if (!mask) return 0;
  int shift = 0;
  while (!(mask & (1u << shift))) ++shift;
  return int(((value & mask) >> shift) * 255 / (mask >> shift));
}

}  // namespace

std::string describe(const Colour& colour) {
  return "(" + std::to_string(colour.r) + ", " + std::to_string(colour.g) + ", " +
         std::to_string(colour.b) + ")";
}

bool isRed(const Colour& c) { return c.r > 200 && c.g < 60 && c.b < 60; }
bool isGreen(const Colour& c) { return c.g > 200 && c.r < 60 && c.b < 60; }
bool isWhite(const Colour& c) { return c.r > 200 && c.g > 200 && c.b > 200; }
bool isBlack(const Colour& c) { return c.r < 30 && c.g < 30 && c.b < 30; }

bool Image::nearRow(int x, int y, int reach, bool (*test)(const Colour&)) const {
  for (int row = y - reach; row <= y + reach; ++row) {
    if (row >= 0 && row < height && test(at(x, row))) return true;
  }
  return false;
}

Image readBackBuffer(RenderDevice& device) {
  Image image;
  if (!device.backBuffer4) return image;
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof(desc);
  if (FAILED(device.backBuffer4->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr))) {
    return image;
  }
  image.width = int(desc.dwWidth);
  image.height = int(desc.dwHeight);
  const DDPIXELFORMAT& format = desc.ddpfPixelFormat;
  const int bytes = int(format.dwRGBBitCount / 8);
  for (int y = 0; y < image.height; ++y) {
    const auto* row = static_cast<const unsigned char*>(desc.lpSurface) + y * desc.lPitch;
    for (int x = 0; x < image.width; ++x) {
      DWORD value = 0;
      for (int i = 0; i < bytes; ++i) value |= DWORD(row[x * bytes + i]) << (8 * i);
      image.pixels.push_back({channel(value, format.dwRBitMask), channel(value, format.dwGBitMask),
                              channel(value, format.dwBBitMask)});
    }
  }
  device.backBuffer4->Unlock(nullptr);
  return image;
}

Image captureScreen(const RECT& area) {
  Image image;
  image.width = area.right - area.left;
  image.height = area.bottom - area.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = image.width;
  info.bmiHeader.biHeight = -image.height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, image.width, image.height, screen, area.left, area.top, SRCCOPY);
  GdiFlush();
  const auto* pixels = static_cast<const DWORD*>(bits);
  for (int i = 0; i < image.width * image.height; ++i) {
    image.pixels.push_back({int(pixels[i] >> 16 & 0xFF), int(pixels[i] >> 8 & 0xFF),
                            int(pixels[i] & 0xFF)});
  }
  SelectObject(memory, previous);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return image;
}

void pumpMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

bool writeBitmap(const Image& image, const std::string& path) {
  const int rowBytes = (image.width * 3 + 3) & ~3;  // rows padded to 4 bytes
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  info.biSize = sizeof(info);
  info.biWidth = image.width;
  info.biHeight = -image.height;  // top-down rows
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof(file) + sizeof(info);
  file.bfSize = file.bfOffBits + DWORD(rowBytes) * image.height;

  FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return false;
  bool written = std::fwrite(&file, sizeof(file), 1, out) == 1 &&
                 std::fwrite(&info, sizeof(info), 1, out) == 1;
  std::vector<unsigned char> row(size_t(rowBytes), 0);
  for (int y = 0; y < image.height && written; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const Colour& c = image.at(x, y);
      row[size_t(x) * 3] = static_cast<unsigned char>(c.b);
      row[size_t(x) * 3 + 1] = static_cast<unsigned char>(c.g);
      row[size_t(x) * 3 + 2] = static_cast<unsigned char>(c.r);
    }
    written = std::fwrite(row.data(), row.size(), 1, out) == 1;
  }
  return std::fclose(out) == 0 && written;
}
