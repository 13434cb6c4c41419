// The frame tool's window under Windows: a plain popup window at the top
// left of the screen whose client area is the frame, and the Direct3D
// device's back buffer read through Lock after the frame was presented.
#include "tools/frame_window.h"

#include "testing/pixel_readback.h"

struct FrameWindow {
  HWND handle = nullptr;
};

namespace {

const char* frameWindowClass() {
  static const char* const name = [] {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "PlimFrame";
    RegisterClassA(&windowClass);
    return "PlimFrame";
  }();
  return name;
}

}  // namespace

FrameWindowPointer openFrameWindow(int width, int height) {
  FrameWindowPointer frameWindow(new FrameWindow);
  // A popup window has no border: its client area is the whole window.
  frameWindow->handle = CreateWindowExA(0, frameWindowClass(), "Plim frame", WS_POPUP | WS_VISIBLE,
                                        0, 0, width, height, nullptr, nullptr,
                                        GetModuleHandleA(nullptr), nullptr);
  if (frameWindow->handle == nullptr) return nullptr;
  pumpMessages();
  return frameWindow;
}

void closeFrameWindow(FrameWindow* frameWindow) {
  if (frameWindow->handle != nullptr) DestroyWindow(frameWindow->handle);
  delete frameWindow;
}

SceneWindow sceneWindow(FrameWindow& frameWindow) { return frameWindow.handle; }

void settle(FrameWindow&) { pumpMessages(); }

Picture readFrame(FrameWindow&, SceneDevice& device) {
  const Image image = readBackBuffer(device);
  Picture picture;
  picture.width = image.width;
  picture.height = image.height;
  for (const Colour& c : image.pixels) {
    picture.rgb.insert(picture.rgb.end(), {static_cast<unsigned char>(c.r),
                                           static_cast<unsigned char>(c.g),
                                           static_cast<unsigned char>(c.b)});
  }
  return picture;
}
