// Scripted stand-ins for DirectDraw and Direct3D, DirectX 5 and DirectX 6
// interfaces, for testing the RenderDevice and whatever draws through it.
//
// A FakeDirectX put in place makes the device's DirectDraw creation function
// hand out fakes. Before start-up a test describes the machine (display mode,
// devices, z-buffer and texture formats, whether IDirectDraw4 exists) and may
// script results for chosen calls. Every call a fake receives is logged with
// its arguments, including copies of the records passed by pointer (matrices,
// materials, lights, viewports, vertices, indices), and each draw call records
// the device state it draws with. Every interface pointer counts its
// references; the fakes themselves take the references that real DirectDraw
// takes (an attached surface, a clipper on a surface, a device's render
// target and viewports, a viewport's lights) and give them back when their
// holder goes, so references() is 0 exactly when everything was released.
#pragma once

#include "device/render_device.h"

#include <cstddef>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

// The Direct3D state a draw call is made with.
struct FakeDrawState {
  D3DMATRIX world{};
  D3DMATRIX view{};
  D3DMATRIX projection{};
  D3DMATERIAL material{};                // the material whose handle is selected; zero for none
  std::map<DWORD, DWORD> renderStates;   // every render state set on the device so far
  std::map<DWORD, DWORD> lightStates;    // every light state set on the device so far
  std::vector<D3DLIGHT2> lights;         // the lights on the current viewport, in the order added

  // The value of a render state, or `otherwise` when it was never set.
  DWORD renderState(D3DRENDERSTATETYPE state, DWORD otherwise = 0) const;
};

// One call on a fake. `args` holds the scalar arguments in the order of the
// method's parameters, with an interface pointer as the id of its fake object
// (0 for null); pointer arguments to records are copied into the fields
// below instead. For example:
//   SetRenderState, SetLightState     {state, value}
//   SetTransform, GetTransform        {state}, the matrix in `matrix`
//   DrawPrimitive                     {primitive type, vertex type or FVF, count, flags}
//   DrawIndexedPrimitive              {primitive type, vertex type or FVF, vertex count,
//                                      index count, flags}
//   Clear                             {rect count, flags}, the rectangles in `rects`
//   Blt                               {source object, flags}, rectangles in `destination`
//                                     and `source` (when given; see hasDestination)
//   CreateSurface                     {}, the description in `desc` or `desc2`
//   AddAttachedSurface, AddLight ...  {the object argument}
//   GetHandle                         {device}, the handle returned in `handle`
struct FakeCall {
  std::string method;  // "IDirect3DDevice3::SetRenderState"; "DirectDrawCreate"
  int object = 0;      // id of the fake object called; 0 for DirectDrawCreate
  int made = 0;        // id of the object a creation or QueryInterface handed out
  std::vector<DWORD> args;
  HRESULT result = S_OK;

  GUID guid{};              // QueryInterface, CreateDevice, EnumZBufferFormats
  HWND window = nullptr;    // SetCooperativeLevel, SetHWnd
  D3DMATRIX matrix{};       // SetTransform; GetTransform: the matrix handed back
  D3DMATERIAL material{};   // SetMaterial
  D3DLIGHT2 light{};        // SetLight
  D3DVIEWPORT2 viewport{};  // SetViewport2
  DDSURFACEDESC desc{};     // CreateSurface and GetDisplayMode through IDirectDraw2
  DDSURFACEDESC2 desc2{};   // CreateSurface and GetDisplayMode through IDirectDraw4
  RECT destination{};       // Blt
  RECT source{};            // Blt
  bool hasDestination = false;
  bool hasSource = false;
  DWORD handle = 0;                  // GetHandle
  std::vector<D3DRECT> rects;        // Clear
  std::vector<D3DVERTEX> vertices;   // draw calls with a 32-byte vertex layout
  std::vector<WORD> indices;         // DrawIndexedPrimitive
  FakeDrawState state;               // draw calls

  // "IDirect3DDevice3::SetRenderState(8, 3) = 0x0", for logs and messages.
  std::string text() const;
};

// A Direct3D device that EnumDevices reports.
struct FakeDeviceInfo {
  GUID guid{};
  std::string description;
  std::string name;
  D3DDEVICEDESC hardware{};  // colour model 0 marks a software device
  D3DDEVICEDESC software{};

  // The hardware device: IID_IDirect3DHALDevice, RGB colour model. With no
  // z-buffer depths its EnumZBufferFormats answers DDERR_NOZBUFFERHW.
  static FakeDeviceInfo hal(DWORD devCaps = D3DDEVCAPS_DRAWPRIMTLVERTEX,
                            DWORD zBufferDepths = DDBD_16 | DDBD_24 | DDBD_32);
  // A software device: no hardware colour model, the capabilities in the
  // emulation description. IID_IDirect3DRGBDevice unless told otherwise.
  static FakeDeviceInfo rgb(DWORD devCaps = D3DDEVCAPS_DRAWPRIMTLVERTEX,
                            DWORD zBufferDepths = DDBD_16 | DDBD_24 | DDBD_32);
  static FakeDeviceInfo softwareDevice(const GUID& guid, DWORD devCaps = D3DDEVCAPS_DRAWPRIMTLVERTEX);
};

// Pixel formats for the script.
DDPIXELFORMAT fakeZBufferFormat(DWORD bits, DWORD extraFlags = 0);
DDPIXELFORMAT fakeRgbFormat(DWORD bits, DWORD extraFlags = 0);

struct FakeState;

struct FakeDirectX {
  // Puts the fakes behind directDrawCreate and chooses how the device
  // presents; the destructor puts back what was there before.
  explicit FakeDirectX(PresentWay way = PresentWay::PRIMARY_BLT);
  ~FakeDirectX();
  FakeDirectX(const FakeDirectX&) = delete;
  FakeDirectX& operator=(const FakeDirectX&) = delete;

  // The machine. Defaults: the DirectX 6 interfaces, a 1024 x 768 display
  // at 16 bits, a software and a hardware device (in that order, as Wine
  // reports them), a 16-bit z-buffer format after one with a stencil, and
  // texture formats of 8 (palettised), 16 (with alpha), 16 and 32 bits.
  bool offerDirectDraw4 = true;  // false: no IDirectDraw4, IDirect3D3, IDirectDrawSurface4
  DWORD displayWidth = 1024;
  DWORD displayHeight = 768;
  DWORD displayBits = 16;
  bool videoMemoryFull = false;  // CreateSurface in video memory: DDERR_OUTOFVIDEOMEMORY
  std::vector<FakeDeviceInfo> devices;
  std::vector<DDPIXELFORMAT> zBufferFormats;
  std::vector<DDPIXELFORMAT> textureFormats;

  // The next calls of `method` ("IDirect3D3::CreateDevice", or just
  // "CreateDevice" for any interface) answer these results in turn. A failure
  // does nothing else; a success acts as usual and is returned.
  void script(const std::string& method, std::vector<HRESULT> results);
  // The `number`-th logged call from now (1 is the next) fails with `result`.
  void failCall(size_t number, HRESULT result);
  // The live surfaces of a role ("primary", "back buffer", "z-buffer") lose
  // their memory: they answer DDERR_SURFACELOST until restored.
  void loseSurface(const std::string& role);

  // The log.
  const std::deque<FakeCall>& calls() const;
  std::vector<FakeCall> callsTo(const std::string& method) const;
  size_t count(const std::string& method) const;
  std::vector<std::string> methods() const;  // every logged method, in order
  std::string log() const;                   // every call's text, one a line
  void clearCalls();
  // Appends every call logged so far, records and draw states included, to
  // the file that PLIM_FAKE_TRANSCRIPT names, if it is set: clearCalls and
  // the destructor do, so a test run leaves its whole conversation with the
  // fakes there (scripts/call-logs compares two runs).
  void transcribe() const;

  // References and misuse.
  ULONG references() const;            // held on every interface of every fake object
  std::string referenceReport() const;  // the interfaces still referenced, one a line
  size_t releases() const;              // Release calls so far
  size_t objectsMade() const;
  // Calls on released interfaces, over-released interfaces, unknown objects
  // passed as arguments, calls the fakes do not implement.
  const std::vector<std::string>& problems() const;

  std::unique_ptr<FakeState> state;

 private:
  DirectDrawCreateFunction previousCreate;
  PresentWay previousWay;
  FakeState* previousFakes;
};

// A borderless top-level window whose client area is the given rectangle on
// the screen: a render window for tests. Hidden unless asked otherwise; a
// visible one stays on top.
struct TestWindow {
  HWND handle = nullptr;
  TestWindow(int x, int y, int width, int height, bool visible = false);
  ~TestWindow();
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;
  void place(int x, int y, int width, int height);
};
