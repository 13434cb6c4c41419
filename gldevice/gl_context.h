// The GL context the GlDevice draws with, and the frame it draws into. Two
// files implement it and the build links one: gl_context_egl.cpp off the
// browser (EGL on Mesa's surfaceless platform, no display; the frame is an
// off-screen framebuffer of the window's size) and gl_context_web.cpp in the
// browser (WebGL2 on the page's canvas, whose own drawing buffer is the
// frame). Everything else of the device is the same GLES 3.0 code for both.
#pragma once

#include <cstdint>

// Where the device draws. In the browser, the page's canvas by its selector,
// whose size the page sets and the device reads; off the browser, an
// off-screen frame of the size given here.
struct GlWindow {
  const char* canvas = nullptr;
  int width = 0;
  int height = 0;
};

struct GlContext {
  std::intptr_t handle = 0;    // the WebGL context, or the EGL context
  void* display = nullptr;     // EGL: the display the context belongs to
  unsigned frameBuffer = 0;    // EGL: the off-screen frame, colour and depth
  unsigned colorBuffer = 0;
  unsigned depthBuffer = 0;
};

// Makes a GLES 3.0 context for the window and makes it current; false when
// none can be had (then nothing needs destroying).
bool createContext(GlContext& context, const GlWindow& window);
// Destroys what createContext and makeFrame made; may run twice.
void destroyContext(GlContext& context);
// Whether the context was taken away (the browser may drop a WebGL context).
bool contextLost(const GlContext& context);
// The size of the window's drawing area in pixels, now.
void readFrameSize(const GlWindow& window, int& width, int& height);
// Makes the frame the device draws into the given size and binds it.
bool makeFrame(GlContext& context, int width, int height);
