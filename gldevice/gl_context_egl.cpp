// The GL context off the browser: EGL on Mesa's surfaceless platform, so that
// the device draws with no display at all (its tests and the frame pictures
// run this way); the device's own framebuffer is all there is to show.
#include "gldevice/gl_context.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GLES3/gl3.h>

namespace {

EGLDisplay surfacelessDisplay() {
  auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
      eglGetProcAddress("eglGetPlatformDisplayEXT"));
  if (getPlatformDisplay == nullptr) return EGL_NO_DISPLAY;
  return getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
}

}  // namespace

const char* const CONTEXT_MISSING = "EGL gives it no GLES 3 context to draw with";

bool createContext(GlContext& context, const GlWindow&) {
  EGLDisplay display = surfacelessDisplay();
  if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr)) return false;
  // Surfaceless configurations offer pixel buffers, never windows (the default).
  const EGLint configAttributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE,
                                     EGL_OPENGL_ES3_BIT, EGL_NONE};
  EGLConfig config;
  EGLint configs = 0;
  const EGLint contextAttributes[] = {EGL_CONTEXT_MAJOR_VERSION, 3, EGL_NONE};
  if (!eglChooseConfig(display, configAttributes, &config, 1, &configs) || configs == 0 ||
      !eglBindAPI(EGL_OPENGL_ES_API)) {
    eglTerminate(display);
    return false;
  }
  EGLContext made = eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttributes);
  if (made == EGL_NO_CONTEXT || !eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, made)) {
    if (made != EGL_NO_CONTEXT) eglDestroyContext(display, made);
    eglTerminate(display);
    return false;
  }
  context.display = display;
  context.handle = reinterpret_cast<std::intptr_t>(made);
  return true;
}

void destroyContext(GlContext& context) {
  if (context.handle == 0) return;
  EGLDisplay display = context.display;
  eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  eglDestroyContext(display, reinterpret_cast<EGLContext>(context.handle));
  eglTerminate(display);
  context = GlContext{};
}

// An EGL context off the browser is never taken away.
bool contextLost(const GlContext&) { return false; }

void readFrameSize(const GlWindow& window, int& width, int& height) {
  width = window.width;
  height = window.height;
}

// The frame stays in the framebuffer, where whoever wants it reads it.
void showFrame(const GlContext&, unsigned, int, int) {}
