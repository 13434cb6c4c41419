// RenderDevice: the one owner of every DirectDraw and Direct3D object of the
// program. It renders into a window: a primary surface, an off-screen back
// buffer the size of the render window, an optional z-buffer, a Direct3D
// device with one viewport, up to MAX_LIGHTS lights and one material. It uses
// the DirectX 6 interfaces when DirectDraw offers IDirectDraw4 and the
// DirectX 5 interfaces otherwise, and hides which from its callers.
//
// Setup, teardown and the matrices are in render_device_setup.cpp; the frame
// operations, lights, the material, moves and resizes in
// render_device_frame.cpp.
#pragma once

#include "platform/d3d_types.h"

#include <d3d.h>
#include <ddraw.h>

#include <map>

constexpr int MAX_LIGHTS = 10;

// The one way the device reaches DirectDraw. It is DirectDrawCreate; tests
// put a function there that hands out scripted fakes.
typedef HRESULT(WINAPI* DirectDrawCreateFunction)(GUID* driver, IDirectDraw** directDraw,
                                                  IUnknown* outer);
extern DirectDrawCreateFunction directDrawCreate;

// How a finished frame reaches the render window. PRIMARY_BLT blits the back
// buffer to the primary surface, clipped to the window. GDI_COPY copies it
// into the window's device context through GDI: Wine shows nothing when the
// cooperative level is bound to the window, and its window clipper goes wrong
// after a resize, so there the device leaves both unbound and copies instead.
// DETECT picks GDI_COPY exactly when the program runs on Wine.
enum class PresentWay { DETECT, PRIMARY_BLT, GDI_COPY };
extern PresentWay presentWay;

// True when ntdll is Wine's (it exports wine_get_version); asked once.
bool runningOnWine();

// Written by the device enumeration callbacks: the description of the chosen
// device (hardware description for a hardware device, emulation description
// for a software one) and the display's bits per pixel.
extern D3DDEVICEDESC chosenDeviceDesc;
extern DWORD displayBitDepth;

struct RenderDevice {
  bool ready = false;
  bool useDx6 = true;
  bool useDx5 = false;
  bool useHardware = true;
  bool softwareFallback = false;
  bool retryHardware = false;
  bool useZBuffer = true;
  bool requireDrawPrimitive = false;
  HWND window = nullptr;
  RECT screenRect{};  // the render window's client area on the screen
  RECT clientRect{};  // the same area in client coordinates (left = top = 0)
  GUID deviceGuid = IID_IDirect3DHALDevice;
  GUID savedDeviceGuid = IID_IDirect3DHALDevice;
  DDPIXELFORMAT textureFormat{};
  IDirectDraw* directDraw = nullptr;
  D3DMATRIX projection{};
  D3DMATRIX view{};
  IDirect3DLight* lights[MAX_LIGHTS] = {};
  D3DLIGHT2* lightDescs[MAX_LIGHTS] = {};  // owned copies, kept across a resize
  float ambient[4] = {};                   // r, g, b, a

  // DirectX 5 path.
  IDirectDraw2* directDraw2 = nullptr;
  IDirectDrawSurface* primary = nullptr;
  IDirectDrawSurface* backBuffer = nullptr;
  IDirectDrawSurface* zBuffer = nullptr;
  IDirectDrawSurface3* primary3 = nullptr;
  IDirectDrawSurface3* backBuffer3 = nullptr;
  IDirectDrawSurface3* zBuffer3 = nullptr;
  IDirect3D2* direct3D2 = nullptr;
  IDirect3DDevice2* device2 = nullptr;
  IDirect3DViewport2* viewport2 = nullptr;
  IDirect3DMaterial2* material2 = nullptr;

  // DirectX 6 path.
  IDirectDraw4* directDraw4 = nullptr;
  IDirectDrawSurface4* primary4 = nullptr;
  IDirectDrawSurface4* backBuffer4 = nullptr;
  IDirectDrawSurface4* zBuffer4 = nullptr;
  IDirect3D3* direct3D3 = nullptr;
  IDirect3DDevice3* device3 = nullptr;
  IDirect3DViewport3* viewport3 = nullptr;
  IDirect3DMaterial3* material3 = nullptr;

  // Chosen by startUp from presentWay: copy frames through GDI, with the
  // cooperative level on no window and no window clipper.
  bool presentByGdi = false;
  // startUp succeeded and tearDown has not run since: a resize may rebuild,
  // also after a resize that found no area or failed.
  bool started = false;
  // Every render state and light state that a caller set successfully, with
  // its latest value. A rebuilt Direct3D device starts from the defaults, so
  // a resize sets each of them again (restoreStates).
  std::map<D3DRENDERSTATETYPE, DWORD> renderStates;
  std::map<D3DLIGHTSTATETYPE, DWORD> lightStates;

  RenderDevice();
  ~RenderDevice();
  RenderDevice(const RenderDevice&) = delete;
  RenderDevice& operator=(const RenderDevice&) = delete;

  // Setup and teardown (render_device_setup.cpp). The caller attaches the
  // window, may set requireDrawPrimitive, starts up, then resets and applies
  // the matrices. startUp returns the first failing step's result and leaves
  // what it made for tearDown; tearDown releases everything and may run twice.
  BOOL attachWindow(HWND renderWindow);
  HRESULT startUp();
  void tearDown();
  // view = identity; projection: x' = 2x/z, y' = 2y/z, depth 1 - 1/z.
  void resetMatrices();
  // SetTransform of projection, then view, on the device.
  void applyViewProjection();

  HRESULT createDirectDraw();
  HRESULT setCooperativeLevel();
  HRESULT createPrimary();
  HRESULT createBackBuffer();
  HRESULT createClipper();
  HRESULT createDirect3D();
  HRESULT chooseDevice();
  HRESULT createZBuffer();
  HRESULT createDevice();
  HRESULT createViewport();

  void releaseDirectDraw();
  void releasePrimary();
  void releaseBackBuffer();
  void releaseDirect3D();
  void releaseZBuffer();
  void releaseDevice();
  void releaseViewport();
  void releaseMaterial();
  void releaseAllLights();

  static HRESULT CALLBACK acceptHardwareDevice(GUID* guid, char* description, char* name,
                                               D3DDEVICEDESC* hardware, D3DDEVICEDESC* software,
                                               void* context);
  static HRESULT CALLBACK acceptSoftwareDevice(GUID* guid, char* description, char* name,
                                               D3DDEVICEDESC* hardware, D3DDEVICEDESC* software,
                                               void* context);
  static HRESULT CALLBACK acceptZBufferFormat(DDPIXELFORMAT* format, void* context);
  static HRESULT CALLBACK acceptTextureFormat(DDPIXELFORMAT* format, void* context);
  static DWORD zBufferBitsFromDepthFlags(DWORD depthFlags);

  // Frame operations (render_device_frame.cpp). While the device is not
  // ready, clear and present return S_OK and the others E_FAIL, and nothing
  // reaches Direct3D. Results are Direct3D's, unchanged. The render and
  // light states set here are in force again after every rebuild.
  HRESULT clear();
  HRESULT beginScene();
  HRESULT endScene();
  HRESULT present();
  HRESULT setRenderState(D3DRENDERSTATETYPE state, DWORD value);
  HRESULT setLightState(D3DLIGHTSTATETYPE state, DWORD value);
  HRESULT setTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix);
  HRESULT getTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix);
  // vertexCode is a D3DVERTEXTYPE or an FVF code; each interface gets the
  // kind it takes. Point, line and triangle lists longer than one call takes
  // (D3DMAXNUMVERTICES) go in consecutive calls.
  HRESULT drawPrimitive(D3DPRIMITIVETYPE type, DWORD vertexCode, void* vertices,
                        DWORD vertexCount, DWORD flags);
  HRESULT drawIndexedPrimitive(D3DPRIMITIVETYPE type, DWORD vertexCode, void* vertices,
                               DWORD vertexCount, WORD* indices, DWORD indexCount, DWORD flags);
  static DWORD toVertexFormat(DWORD vertexCode);
  static DWORD toVertexType(DWORD vertexCode);

  // Lights by slot 0..MAX_LIGHTS-1; the device keeps a copy of each light so
  // that a resize can make it again.
  HRESULT setLight(int slot, D3DLIGHT2 light);
  void releaseLight(int slot);
  void releaseLights();
  HRESULT recreateLights();
  // One material object; both select it with SetLightState(MATERIAL, handle).
  HRESULT createMaterial(D3DMATERIAL material);
  HRESULT updateMaterial(D3DMATERIAL material);

  // The render window moved: follow it on the screen.
  void windowMoved();
  void moveScreenRect(int x, int y);
  // The render window changed size: rebuild the back buffer, z-buffer,
  // device, viewport and lights, and set every state a caller had set again.
  // An empty window (minimised) leaves the device not ready until a resize
  // finds an area again; a failed rebuild is tried again at the next resize.
  HRESULT resize();

 private:
  void switchToSoftware();
  void undoZBufferFallback();
  HRESULT enumerateDevices(LPD3DENUMDEVICESCALLBACK accept);
  HRESULT enumerateSoftware();
  HRESULT getDisplayMode(DWORD& width, DWORD& bitsPerPixel);
  HRESULT attachZBuffer();
  HRESULT noZBuffer();
  HRESULT createZBuffer5();
  HRESULT applyRenderState(D3DRENDERSTATETYPE state, DWORD value);
  HRESULT applyLightState(D3DLIGHTSTATETYPE state, DWORD value);
  HRESULT selectMaterial();
  void restoreStates();
  HRESULT drawPiece(D3DPRIMITIVETYPE type, DWORD vertexCode, void* vertices, DWORD vertexCount,
                    DWORD flags);
  HRESULT copyToWindow();
  void restoreLostSurfaces();
  DWORD packedAmbient() const;
};

// Releases a COM reference and forgets the pointer; does nothing for null.
template <class Interface>
void releaseInterface(Interface*& pointer) {
  if (pointer) {
    pointer->Release();
    pointer = nullptr;
  }
}
