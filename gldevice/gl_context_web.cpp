// The GL context in the browser: WebGL2 on the page's canvas, which shows each
// frame the device drew into its own framebuffer; the page sizes the canvas
// and the device reads the size. The browser may take the context away at any
// time (webglcontextlost); the device then asks for a new one.
#include "gldevice/gl_context.h"

#include <GLES3/gl3.h>
#include <emscripten/html5.h>

const char* const CONTEXT_MISSING = "this browser gives it no WebGL2 to draw with";

bool createContext(GlContext& context, const GlWindow& window) {
  EmscriptenWebGLContextAttributes attributes;
  emscripten_webgl_init_context_attributes(&attributes);
  attributes.majorVersion = 2;
  attributes.minorVersion = 0;
  attributes.alpha = EM_FALSE;
  // The device's framebuffer has the depth buffer; the canvas only shows.
  attributes.depth = EM_FALSE;
  attributes.antialias = EM_FALSE;
  // The frame stays readable after it is shown, for whoever looks at it.
  attributes.preserveDrawingBuffer = EM_TRUE;
  const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE made =
      emscripten_webgl_create_context(window.canvas, &attributes);
  if (made <= 0) return false;
  if (emscripten_webgl_make_context_current(made) != EMSCRIPTEN_RESULT_SUCCESS ||
      emscripten_is_webgl_context_lost(made)) {
    emscripten_webgl_destroy_context(made);
    return false;
  }
  context.handle = made;
  return true;
}

void destroyContext(GlContext& context) {
  if (context.handle == 0) return;
  emscripten_webgl_destroy_context(static_cast<EMSCRIPTEN_WEBGL_CONTEXT_HANDLE>(context.handle));
  context = GlContext{};
}

bool contextLost(const GlContext& context) {
  return context.handle != 0 &&
         emscripten_is_webgl_context_lost(
             static_cast<EMSCRIPTEN_WEBGL_CONTEXT_HANDLE>(context.handle));
}

void readFrameSize(const GlWindow& window, int& width, int& height) {
  if (emscripten_get_canvas_element_size(window.canvas, &width, &height) !=
      EMSCRIPTEN_RESULT_SUCCESS) {
    width = height = 0;
  }
}

// The frame's rows run from the top, the canvas's from the bottom: the copy
// turns it upright. The canvas stays bound until the next frame begins:
// WebKit shows whatever framebuffer is bound when it takes the canvas's
// picture, which would be the device's own, upside down.
void showFrame(const GlContext&, unsigned frameBuffer, int width, int height) {
  glBindFramebuffer(GL_READ_FRAMEBUFFER, frameBuffer);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
  glBlitFramebuffer(0, 0, width, height, 0, height, width, 0, GL_COLOR_BUFFER_BIT, GL_NEAREST);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
}
