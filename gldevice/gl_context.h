// The GL context the GlDevice draws with, and how a finished frame reaches
// the window. Two files implement it and the build links one:
// gl_context_egl.cpp off the browser (EGL on Mesa's surfaceless platform, no
// display; the frame stays in the device's framebuffer for whoever reads it)
// and gl_context_web.cpp in the browser (WebGL2 on the page's canvas, which
// the frame is copied to). Everything else of the device is the same GLES 3.0
// code for both, the framebuffer it draws into included.
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
};

// Makes a GLES 3.0 context for the window and makes it current; false when
// none can be had (then nothing needs destroying), which CONTEXT_MISSING
// says in words.
extern const char* const CONTEXT_MISSING;
bool createContext(GlContext& context, const GlWindow& window);
// Destroys what createContext made; may run twice.
void destroyContext(GlContext& context);
// Whether the context was taken away (the browser may drop a WebGL context).
bool contextLost(const GlContext& context);
// The size of the window's drawing area in pixels, now.
void readFrameSize(const GlWindow& window, int& width, int& height);
// Shows the finished frame of the framebuffer given (its rows from the top,
// as Direct3D's) in the window, and leaves that framebuffer bound.
void showFrame(const GlContext& context, unsigned frameBuffer, int width, int height);
