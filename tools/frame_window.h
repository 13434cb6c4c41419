// Where the frame tool draws and how it reads back what was drawn, for the
// device the build links: a window of its own under Windows (the Direct3D
// device's back buffer is read), an off-screen frame on the GL device. One
// file implements it per device; the build links the one of its device.
#pragma once

#include "scene_device.h"
#include "tools/picture.h"

#include <memory>

struct FrameWindow;  // defined by each implementation
void closeFrameWindow(FrameWindow* frameWindow);
struct FrameWindowCloser {
  void operator()(FrameWindow* frameWindow) const { closeFrameWindow(frameWindow); }
};
using FrameWindowPointer = std::unique_ptr<FrameWindow, FrameWindowCloser>;

// A render window whose drawing area is width x height pixels; null when
// none can be made.
FrameWindowPointer openFrameWindow(int width, int height);
SceneWindow sceneWindow(FrameWindow& frameWindow);
// Lets the window system do what it has queued between two ticks.
void settle(FrameWindow& frameWindow);
// The frame the device drew last; empty when it cannot be read.
Picture readFrame(FrameWindow& frameWindow, SceneDevice& device);
