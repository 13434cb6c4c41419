// The frame tool's window on the GL device: an off-screen frame of the size
// asked for, read back with glReadPixels (the device draws its top row first).
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
  const size_t pixels = size_t(device.width) * device.height;
  std::vector<unsigned char> rgba(pixels * 4);
  glReadPixels(0, 0, device.width, device.height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
  picture.rgb.resize(pixels * 3);
  for (size_t i = 0; i < pixels; ++i) {
    for (int c = 0; c < 3; ++c) picture.rgb[i * 3 + c] = rgba[i * 4 + c];
  }
  return picture;
}
