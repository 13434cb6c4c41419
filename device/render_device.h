// RenderDevice: the one owner of every DirectDraw and Direct3D object of the
// program. It renders into a window: a primary surface, an off-screen back
// buffer the size of the render window, an optional z-buffer, a Direct3D
// device with one viewport, up to MAX_LIGHTS lights and one material. It uses
// the DirectX 6 interfaces when DirectDraw offers IDirectDraw4 and the
// DirectX 5 interfaces otherwise, and hides which from its callers
// (generations.h holds the two as types).
//
// Each object is made beside its release, in the file of its lifetime:
//   render_device_startup.cpp   DirectDraw, the primary surface, the device
//                               choice, start-up and teardown
//   render_device_sized.cpp     what follows the window's size: back buffer,
//                               Direct3D, z-buffer, device, viewport, resize
//   render_device_present.cpp   how frames reach the window: cooperative
//                               level, window clipper, present, moves
//   render_device_lights.cpp    the lights
//   render_device_material.cpp  the material
//   render_device_frame.cpp     the per-frame operations and the states
#pragma once

#include "platform/d3d_types.h"
#include "platform/device_values.h"

#include <d3d.h>
#include <ddraw.h>

#include <map>
#include <memory>

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

// What device enumeration found, for the process's one device: written by
// the enumeration callbacks, read by the z-buffer and texture choices.
struct DeviceEnumeration {
  // The chosen device's description: the hardware description for a
  // hardware device, the emulation description for a software one.
  D3DDEVICEDESC chosenDeviceDesc{};
  DWORD displayBitDepth = 16;  // bits per pixel of the display mode
};
extern DeviceEnumeration deviceEnumeration;
// Back to what a program starts with; a device started afresh in the same
// process (as tests do) calls it first.
void resetDeviceEnumeration();

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
  std::unique_ptr<D3DLIGHT2> lightDescs[MAX_LIGHTS];  // kept across a resize
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

  // Start-up and teardown (render_device_startup.cpp). The caller attaches
  // the window, may set requireDrawPrimitive, starts up, then resets and
  // applies the matrices. startUp returns the first failing step's result and
  // leaves what it made for tearDown; tearDown releases everything and may
  // run twice.
  BOOL attachWindow(HWND renderWindow);
  HRESULT startUp();
  void tearDown();
  // view = identity; projection: x' = 2x/z, y' = 2y/z, depth 1 - 1/z.
  void resetMatrices();
  HRESULT createDirectDraw();
  void releaseDirectDraw();
  HRESULT createPrimary();
  void releasePrimary();  // with the window clipper that the primary holds
  HRESULT chooseDevice();
  static HRESULT CALLBACK acceptHardwareDevice(GUID* guid, char* description, char* name,
                                               D3DDEVICEDESC* hardware, D3DDEVICEDESC* software,
                                               void* context);
  static HRESULT CALLBACK acceptSoftwareDevice(GUID* guid, char* description, char* name,
                                               D3DDEVICEDESC* hardware, D3DDEVICEDESC* software,
                                               void* context);

  // What follows the render window's size (render_device_sized.cpp). The
  // render window changed size: resize rebuilds the back buffer, Direct3D,
  // z-buffer, device, viewport and lights, and sets every state a caller had
  // set again. An empty window (minimised) leaves the device not ready until
  // a resize finds an area again; a failed rebuild is tried again at the next
  // resize. Dropped on purpose: the results of setting the ambient colour,
  // the matrices and the states again on the rebuilt device (each was taken
  // once; a refusal leaves the device's default).
  HRESULT resize();
  HRESULT createBackBuffer();
  void releaseBackBuffer();
  HRESULT createDirect3D();
  void releaseDirect3D();
  // Dropped on purpose: DeleteAttachedSurface's result when the z-buffer
  // goes (it goes either way).
  HRESULT createZBuffer();
  void releaseZBuffer();
  // Dropped on purpose: the result of the software device's second
  // texture-format enumeration (the format found decides). The z-buffer made
  // again for the software device after the hardware one failed is done
  // without when it cannot be attached; the device is made either way.
  HRESULT createDevice();
  void releaseDevice();
  // Dropped on purpose, DirectX 6 only: the results of adding, setting and
  // selecting the new viewport (only its creation decides).
  HRESULT createViewport();
  void releaseViewport();
  static HRESULT CALLBACK acceptZBufferFormat(DDPIXELFORMAT* format, void* context);
  static HRESULT CALLBACK acceptTextureFormat(DDPIXELFORMAT* format, void* context);
  static DWORD zBufferBitsFromDepthFlags(DWORD depthFlags);

  // How frames reach the window (render_device_present.cpp); see PresentWay.
  // Dropped on purpose: the window clipper's SetHWnd and SetClipper results
  // (only its creation decides), and the results of restoring lost surfaces
  // before present tries once more (the second try tells).
  HRESULT setCooperativeLevel();
  HRESULT createClipper();
  HRESULT present();
  // The render window moved: follow it on the screen.
  void windowMoved();
  void moveScreenRect(int x, int y);

  // Lights by slot 0..MAX_LIGHTS-1 (render_device_lights.cpp); the device
  // keeps a copy of each light so that a resize can make it again.
  HRESULT setLight(int slot, D3DLIGHT2 light);
  void releaseLight(int slot);
  void releaseLights();      // the light objects only; the copies stay
  void releaseAllLights();   // objects and copies
  HRESULT recreateLights();  // from the copies, after releaseLights

  // One material object (render_device_material.cpp), selected with
  // SetLightState(MATERIAL, handle) on every create and update.
  HRESULT createMaterial(D3DMATERIAL material);
  HRESULT updateMaterial(D3DMATERIAL material);
  void releaseMaterial();

  // Frame operations (render_device_frame.cpp). While the device is not
  // ready, clear and present return S_OK and the others E_FAIL, and nothing
  // reaches Direct3D. Results are Direct3D's, unchanged. The render and
  // light states set here are in force again after every rebuild.
  HRESULT clear();
  HRESULT beginScene();
  HRESULT endScene();
  HRESULT setRenderState(D3DRENDERSTATETYPE state, DWORD value);
  HRESULT setLightState(D3DLIGHTSTATETYPE state, DWORD value);
  HRESULT setTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix);
  HRESULT getTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix);
  // SetTransform of projection, then view, on the device. Dropped on
  // purpose: both results (a device that refuses them draws nothing anyway).
  void applyViewProjection();
  // vertexCode is a D3DVERTEXTYPE or an FVF code; each interface gets the
  // kind it takes. Point, line and triangle lists longer than one call takes
  // (D3DMAXNUMVERTICES) go in consecutive calls.
  HRESULT drawPrimitive(D3DPRIMITIVETYPE type, DWORD vertexCode, void* vertices,
                        DWORD vertexCount, DWORD flags);
  HRESULT drawIndexedPrimitive(D3DPRIMITIVETYPE type, DWORD vertexCode, void* vertices,
                               DWORD vertexCount, WORD* indices, DWORD indexCount, DWORD flags);
  static DWORD toVertexFormat(DWORD vertexCode);
  static DWORD toVertexType(DWORD vertexCode);

 private:
  HRESULT enumerateDevices(LPD3DENUMDEVICESCALLBACK accept);
  HRESULT enumerateSoftware();
  HRESULT getDisplayMode(DWORD& width, DWORD& bitsPerPixel);
  void switchToSoftware();
  void undoZBufferFallback();
  HRESULT createZBuffer6();
  HRESULT createZBuffer5();
  template <class SomePath, class SurfaceDesc>
  HRESULT createZBufferSurface(SomePath path, SurfaceDesc& desc);
  HRESULT attachZBuffer();
  void remakeZBufferForSoftware();
  HRESULT noZBuffer();
  HRESULT createDevice6();
  HRESULT createDevice5();
  DWORD packedAmbient() const;
  void choosePresentation();
  HRESULT copyToWindow();
  void restoreLostSurfaces();
  void releaseLightObject(int slot);
  HRESULT selectMaterial();
  HRESULT applyRenderState(D3DRENDERSTATETYPE state, DWORD value);
  HRESULT applyLightState(D3DLIGHTSTATETYPE state, DWORD value);
  void restoreStates();
  HRESULT drawPiece(D3DPRIMITIVETYPE type, DWORD vertexCode, void* vertices, DWORD vertexCount,
                    DWORD flags);
};

// Releases COM references, in the order given, and forgets the pointers;
// does nothing for null.
template <class... Interfaces>
void releaseInterface(Interfaces*&... pointers) {
  const auto release = [](auto*& pointer) {
    if (pointer) pointer->Release();
    pointer = nullptr;
  };
  (release(pointers), ...);
}
