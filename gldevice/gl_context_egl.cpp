// The GL context off the browser: EGL on Mesa's surfaceless platform, so that
// the device draws with no display at all (its tests run this way), into an
// off-screen framebuffer with a colour and a 24-bit depth buffer.
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

void releaseFrame(GlContext& context) {
  if (context.frameBuffer != 0) glDeleteFramebuffers(1, &context.frameBuffer);
  if (context.colorBuffer != 0) glDeleteRenderbuffers(1, &context.colorBuffer);
  if (context.depthBuffer != 0) glDeleteRenderbuffers(1, &context.depthBuffer);
  context.frameBuffer = context.colorBuffer = context.depthBuffer = 0;
}

}  // namespace

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
  releaseFrame(context);
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

bool makeFrame(GlContext& context, int width, int height) {
  releaseFrame(context);
  glGenFramebuffers(1, &context.frameBuffer);
  glGenRenderbuffers(1, &context.colorBuffer);
  glGenRenderbuffers(1, &context.depthBuffer);
  glBindRenderbuffer(GL_RENDERBUFFER, context.colorBuffer);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
  glBindRenderbuffer(GL_RENDERBUFFER, context.depthBuffer);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
  glBindFramebuffer(GL_FRAMEBUFFER, context.frameBuffer);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                            context.colorBuffer);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER,
                            context.depthBuffer);
  return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}
