// GlDevice: the device the scene renderer and the frame composition draw
// through outside Windows, on GLES 3.0, which is WebGL2 in the browser, from
// one source. It takes what the renderer hands Direct3D immediate mode (the
// row-vector world, view and projection matrices, D3DMATERIAL, D3DLIGHT2,
// render-state values and D3DVERTEX lists) and draws it as Direct3D draws it:
// lit per vertex (gl_program.cpp), in the three fill modes, culled and depth
// tested, on a black clear, into a frame of Direct3D's shape. Its operations
// are named as RenderDevice's are. While the device is not ready nothing
// reaches GL: clear and present answer S_OK and the draws and the scene
// bracket E_FAIL, as on RenderDevice; but a state, transform, light or
// material set then is kept, and is in force from the first frame the
// device draws (Direct3D needs a device to hold them; this device holds
// them in its record).
//
// Three records: the values draws are made with (GlDrawState), what GL holds
// now (GlCache), and draws waiting to go to GL together (GlWaiting):
//   gl_device.cpp        start-up, teardown, resize, a lost context; states,
//                        transforms, lights and the material
//   gl_device_draw.cpp   clear, the scene bracket and the draws; the frames
//                        GL has not finished drawing
//   gl_program.cpp       the shaders, their uniforms and the GL objects
//   gl_context_egl.cpp / gl_context_web.cpp   the context, one per build
#pragma once

#include "gldevice/gl_context.h"
#include "gldevice/gl_program.h"
#include "platform/d3d_types.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

// The values draws are made with, as callers set them. The defaults are
// Direct3D's: solid fill, counter-clockwise faces culled, depth test on,
// specular highlights off, no light, the identity world.
struct GlDrawState {
  D3DMATRIX world{};
  D3DMATRIX view{};        // as applied with SetTransform(VIEW, ...)
  D3DMATRIX projection{};  // as applied with SetTransform(PROJECTION, ...)
  D3DMATERIAL material{};
  bool materialMade = false;
  DWORD fillMode = D3DFILL_SOLID;
  DWORD cullMode = D3DCULL_CCW;
  DWORD zEnable = TRUE;
  DWORD specularEnable = FALSE;
  D3DLIGHT2 lights[MAX_LIGHTS] = {};
  bool lightSet[MAX_LIGHTS] = {};
  float ambient[4] = {};  // r, g, b, a of the ambient light: none, as on RenderDevice
};

// What the GL program and buffers hold now, as it was last sent, so that
// what has not changed is not sent again. Nothing of it is right for GL
// objects made anew: the device starts it afresh whenever it makes them.
struct GlCache {
  std::optional<D3DMATRIX> worldView;
  std::optional<D3DMATRIX> projection;  // with the viewport's clip space
  std::optional<GlLighting> lighting;
  std::optional<GlMaterial> material;   // of draws whose vertices carry none
  std::optional<bool> lit;
  std::vector<D3DVERTEX> triangleVertices;   // the edges' and corners' vertex buffer
  std::vector<unsigned char> triangleIndices;
  std::vector<D3DVERTEX> list;                // the lists' buffer
};

// Draws that wait to go to GL together. Point and line lists that come one
// after another with nothing changed between them (the "Field" lines are one
// call per point), and filled triangles of one draw after another, gathered
// in view space with their material whatever their world transform and
// material: every cube of a frame in one GL draw.
struct GlWaiting {
  std::vector<D3DVERTEX> list;
  D3DPRIMITIVETYPE listType = D3DPT_POINTLIST;
  bool listLit = false;
  std::vector<GlLitVertex> triangles;
  std::vector<std::uint32_t> triangleIndices;
  bool trianglesLit = true;
};

// A frame handed to GL and a fence set after its last call. GL may draw a
// frame long after present returns: a browser draws WebGL in a process of
// its own, in software on a machine without a GPU, and a call that waits
// for GL (reading pixels back, checking a new framebuffer) waits for every
// frame queued before it.
struct GlFrameInFlight {
  void* fence = nullptr;  // the GLsync
  std::chrono::steady_clock::time_point presented;
};

struct GlDevice {
  bool ready = false;
  // Set by the renderer for Direct3D's device choice; every GL device draws
  // primitives, so it decides nothing here.
  bool requireDrawPrimitive = false;
  GlWindow* window = nullptr;
  int width = 0;   // the frame's size in pixels
  int height = 0;
  // The matrices applyViewProjection hands to the transforms, as on
  // RenderDevice: resetMatrices gives the identity view and the projection
  // x' = 2x/z, y' = 2y/z, depth 1 - 1/z.
  D3DMATRIX projection{};
  D3DMATRIX view{};

  // Why the device could not start, in words for the user; empty when it
  // did, or only waits for its window to have an area.
  std::string problem;

  GlDrawState state;
  GlContext context;
  GlObjects objects;
  GlCache cache;
  GlWaiting waiting;
  // Triangle corners turned into edges or kept as points for the wire and
  // point fills, which GLES does not have.
  std::vector<std::uint32_t> outline;
  // Frames presented that GL had not finished when last asked, oldest first,
  // and how long the frame GL finished last took from present until the
  // device saw it finished.
  std::deque<GlFrameInFlight> framesInFlight;
  std::chrono::steady_clock::duration lastFrameTime{};

  GlDevice();
  ~GlDevice();
  GlDevice(const GlDevice&) = delete;
  GlDevice& operator=(const GlDevice&) = delete;

  // Start-up and teardown: the window, then startUp makes the context, the
  // GL objects and the frame at the window's size; tearDown releases them
  // and may run twice. The states a caller set stay with the record.
  BOOL attachWindow(GlWindow* renderWindow);
  HRESULT startUp();
  void tearDown();
  void resetMatrices();
  void applyViewProjection();
  // The window changed size: the frame follows it. An empty window leaves
  // the device not ready until a resize finds an area again.
  HRESULT resize();
  // The browser took the context away: a new context and new objects, with
  // every state as it was. A device that has no context (none could be had
  // at start-up or since) tries again. True when the device is ready after.
  bool restoreIfLost();
  // Whether the next frame should wait for GL to draw the frames it has;
  // asks GL without waiting. Two frames may be in GL's queue while GL draws
  // a frame within quickFrame; one alone once a frame took longer. A caller
  // that presents a frame per turn of the event loop and waits while this
  // holds keeps the wait of any call that has to wait for GL (reading pixels
  // back, a new framebuffer) within about twice quickFrame, or one frame's
  // drawing where that takes longer, however fast the turns come.
  bool drawingBehind(std::chrono::steady_clock::duration quickFrame);

  HRESULT setLight(int slot, D3DLIGHT2 light);
  void releaseLight(int slot);
  HRESULT createMaterial(D3DMATERIAL material);
  HRESULT updateMaterial(D3DMATERIAL material);
  // ZENABLE, FILLMODE, CULLMODE and SPECULARENABLE; other states are not
  // drawn here and are refused with E_NOTIMPL.
  HRESULT setRenderState(D3DRENDERSTATETYPE state, DWORD value);
  HRESULT setTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix);
  HRESULT getTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix);

  // gl_device_draw.cpp. Point, line and triangle lists of D3DVERTEX (vertex
  // code 0x112 or D3DVT_VERTEX), of any length; other primitives and layouts
  // are refused with E_NOTIMPL.
  HRESULT clear();
  HRESULT beginScene();
  HRESULT endScene();
  HRESULT present();
  HRESULT drawPrimitive(D3DPRIMITIVETYPE type, DWORD vertexCode, void* vertices,
                        DWORD vertexCount, DWORD flags);
  HRESULT drawIndexedPrimitive(D3DPRIMITIVETYPE type, DWORD vertexCode, void* vertices,
                               DWORD vertexCount, WORD* indices, DWORD indexCount, DWORD flags);

 private:
  // What a change of the values draws are made with leaves waiting: gathered
  // filled triangles carry their world transform and material with them.
  enum class Keeps { NOTHING, GATHERED_TRIANGLES };
  // Every change of those values goes through here: the draws waiting so far
  // are sent first, with the values they were given.
  template <class Change>
  void change(Keeps keeps, Change&& apply);

  HRESULT makeObjects();
  void applyFixedState();
  void applyRenderStates();
  void prepareDraw(const D3DMATRIX& worldView, bool lit);
  void forgetFinishedFrames();
  void forgetFramesInFlight();
  void flush();
  void flushLists();
  void flushTriangles();
  void gather(const D3DVERTEX* vertices, DWORD vertexCount, const WORD* indices,
              DWORD indexCount, bool lit);
  HRESULT drawTriangles(const D3DVERTEX* vertices, DWORD vertexCount, const WORD* indices,
                        DWORD indexCount, bool lit);
  void holdTriangleVertices(const D3DVERTEX* vertices, DWORD count);
  void holdTriangleIndices(const void* indices, size_t bytes);
  bool culled(const D3DVERTEX* vertices, const std::uint32_t* corners,
              const D3DMATRIX& clip) const;
};
