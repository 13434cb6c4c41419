// The frame tool's window on the GL device: an off-screen frame of the size
// asked for, read back with glReadPixels (whose rows run from the bottom).
#include "tools/frame_window.h"

#include <GLES3/gl3.h>

struct FrameWindow {
  GlWindow window;
};

FrameWindowPointer openFrameWindow(int width, int height) {
  FrameWindowPointer frameWindow(new FrameWindow);
  frameWindow->window = GlWindow{nullptr, width, height};
  return frameWindow;
}

void closeFrameWindow(FrameWindow* frameWindow) { delete frameWindow; }

SceneWindow sceneWindow(FrameWindow& frameWindow) { return &frameWindow.window; }

void settle(FrameWindow&) {}

Picture readFrame(FrameWindow&, SceneDevice& device) {
  Picture picture;
  if (!device.ready) return picture;
  picture.width = device.width;
  picture.height = device.height;
  std::vector<unsigned char> rgba(size_t(device.width) * device.height * 4);
  glReadPixels(0, 0, device.width, device.height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
  picture.rgb.resize(size_t(device.width) * device.height * 3);
  for (int y = 0; y < device.height; ++y) {
    const unsigned char* row = &rgba[size_t(device.height - 1 - y) * device.width * 4];
    for (int x = 0; x < device.width; ++x) {
      unsigned char* out = &picture.rgb[(size_t(y) * device.width + x) * 3];
      out[0] = row[x * 4];
      out[1] = row[x * 4 + 1];
      out[2] = row[x * 4 + 2];
    }
  }
  return picture;
}
