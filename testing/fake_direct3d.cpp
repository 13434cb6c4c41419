// The fake Direct3D side: IDirect3D2 and IDirect3D3 on the DirectDraw object,
// devices (IDirect3DDevice2, IDirect3DDevice3), viewports (IDirect3DViewport2,
// IDirect3DViewport3), lights (IDirect3DLight) and materials
// (IDirect3DMaterial2, IDirect3DMaterial3).
#include "testing/fake_objects.h"

#include <algorithm>

namespace {

// A material's handles, one per device: apart for every pair of fakes a test
// makes.
constexpr DWORD MATERIAL_HANDLE_BASE = 0x100;
constexpr DWORD HANDLES_PER_MATERIAL = 0x10000;

bool isFlexibleFormatOf32Bytes(DWORD code) {
  return code == D3DFVF_VERTEX || code == D3DFVF_LVERTEX || code == D3DFVF_TLVERTEX;
}

bool isVertexType(DWORD code) {
  return code == D3DVT_VERTEX || code == D3DVT_LVERTEX || code == D3DVT_TLVERTEX;
}

// A state's value, 0 when it was never set.
DWORD valueOf(const std::map<DWORD, DWORD>& states, DWORD state) {
  auto found = states.find(state);
  return found == states.end() ? 0 : found->second;
}

// ---- Lights and materials ----------------------------------------------

struct LightFacet : Facet<IDirect3DLight> {
  static constexpr const char* NAME = "IDirect3DLight";
  FakeLight& self() { return static_cast<FakeLight&>(*object); }

  STDMETHODIMP SetLight(D3DLIGHT* light) override {
    FakeCall& call = record("SetLight");
    if (light) {
      std::memcpy(&call.light, light, std::min<size_t>(light->dwSize, sizeof(D3DLIGHT2)));
    }
    if (FAILED(call.result)) return call.result;
    if (!light || (light->dwSize != sizeof(D3DLIGHT2) && light->dwSize != sizeof(D3DLIGHT))) {
      return call.result = DDERR_INVALIDPARAMS;
    }
    self().data = call.light;
    return call.result;
  }

  STDMETHODIMP GetLight(D3DLIGHT* light) override {
    FakeCall& call = record("GetLight");
    if (FAILED(call.result)) return call.result;
    if (!light || light->dwSize > sizeof(D3DLIGHT2)) return call.result = DDERR_INVALIDPARAMS;
    std::memcpy(light, &self().data, light->dwSize);
    return call.result;
  }

  FAKE_UNEXPECTED(Initialize, (IDirect3D*))
};

template <class Interface, class DeviceInterface>
struct MaterialFacetCommon : Facet<Interface> {
  FakeMaterial& self() { return static_cast<FakeMaterial&>(*this->object); }

  STDMETHODIMP SetMaterial(D3DMATERIAL* material) override {
    FakeCall& call = this->record("SetMaterial");
    if (material) call.material = *material;
    if (FAILED(call.result)) return call.result;
    if (!material || material->dwSize != sizeof(D3DMATERIAL)) {
      return call.result = DDERR_INVALIDPARAMS;
    }
    self().data = *material;
    return call.result;
  }

  STDMETHODIMP GetMaterial(D3DMATERIAL* material) override {
    FakeCall& call = this->record("GetMaterial");
    if (FAILED(call.result)) return call.result;
    *material = self().data;
    return call.result;
  }

  STDMETHODIMP GetHandle(DeviceInterface* device, D3DMATERIALHANDLE* handle) override {
    FakeCall& call = this->record("GetHandle", {this->world().idOf(device)});
    if (FAILED(call.result)) return call.result;
    FacetBase* facet = this->world().find(device, "GetHandle");
    if (!facet || !handle) return call.result = DDERR_INVALIDPARAMS;
    *handle = call.handle = self().handleOn(facet->object->id);
    return call.result;
  }
};

struct Material2Facet : MaterialFacetCommon<IDirect3DMaterial2, IDirect3DDevice2> {
  static constexpr const char* NAME = "IDirect3DMaterial2";
};

struct Material3Facet : MaterialFacetCommon<IDirect3DMaterial3, IDirect3DDevice3> {
  static constexpr const char* NAME = "IDirect3DMaterial3";
};

// ---- Viewports ---------------------------------------------------------

template <class Interface>
struct ViewportFacetCommon : Facet<Interface> {
  FakeViewport& self() { return static_cast<FakeViewport&>(*this->object); }

  STDMETHODIMP Clear(DWORD count, D3DRECT* rects, DWORD flags) override {
    FakeCall& call = this->record("Clear", {count, flags});
    if (rects) call.rects.assign(rects, rects + count);
    if (FAILED(call.result)) return call.result;
    if (count == 0 || !rects) return call.result = DDERR_INVALIDPARAMS;
    if (!self().device) return call.result = D3DERR_VIEWPORTHASNODEVICE;
    if ((flags & D3DCLEAR_ZBUFFER) && !self().device->renderTargetHasZBuffer()) {
      return call.result = D3DERR_ZBUFFER_NOTPRESENT;
    }
    return call.result;
  }

  STDMETHODIMP AddLight(IDirect3DLight* light) override {
    FakeCall& call = this->record("AddLight", {this->world().idOf(light)});
    if (FAILED(call.result)) return call.result;
    FacetBase* facet = this->world().find(light, "AddLight");
    if (!facet) return call.result = DDERR_INVALIDPARAMS;
    for (FacetBase* existing : self().lights) {
      if (existing->object == facet->object) return call.result = D3DERR_LIGHTHASVIEWPORT;
    }
    facet->hold();
    self().lights.push_back(facet);
    return call.result;
  }

  STDMETHODIMP DeleteLight(IDirect3DLight* light) override {
    FakeCall& call = this->record("DeleteLight", {this->world().idOf(light)});
    if (FAILED(call.result)) return call.result;
    FacetBase* facet = this->world().find(light, "DeleteLight");
    if (!letGoOf(self().lights, facet)) return call.result = D3DERR_LIGHTNOTINTHISVIEWPORT;
    return call.result;
  }

  STDMETHODIMP SetViewport2(D3DVIEWPORT2* data) override {
    FakeCall& call = this->record("SetViewport2");
    if (data) call.viewport = *data;
    if (FAILED(call.result)) return call.result;
    if (!data || data->dwSize != sizeof(D3DVIEWPORT2)) return call.result = DDERR_INVALIDPARAMS;
    self().data = *data;
    return call.result;
  }

  STDMETHODIMP GetViewport2(D3DVIEWPORT2* data) override {
    FakeCall& call = this->record("GetViewport2");
    if (FAILED(call.result)) return call.result;
    *data = self().data;
    return call.result;
  }

  FAKE_UNEXPECTED(Initialize, (IDirect3D*))
  FAKE_UNEXPECTED(GetViewport, (D3DVIEWPORT*))
  FAKE_UNEXPECTED(SetViewport, (D3DVIEWPORT*))
  FAKE_UNEXPECTED(TransformVertices, (DWORD, D3DTRANSFORMDATA*, DWORD, DWORD*))
  FAKE_UNEXPECTED(LightElements, (DWORD, D3DLIGHTDATA*))
  FAKE_UNEXPECTED(SetBackground, (D3DMATERIALHANDLE))
  FAKE_UNEXPECTED(GetBackground, (D3DMATERIALHANDLE*, BOOL*))
  FAKE_UNEXPECTED(SetBackgroundDepth, (IDirectDrawSurface*))
  FAKE_UNEXPECTED(GetBackgroundDepth, (IDirectDrawSurface**, BOOL*))
  FAKE_UNEXPECTED(NextLight, (IDirect3DLight*, IDirect3DLight**, DWORD))
};

struct Viewport2Facet : ViewportFacetCommon<IDirect3DViewport2> {
  static constexpr const char* NAME = "IDirect3DViewport2";
};

struct Viewport3Facet : ViewportFacetCommon<IDirect3DViewport3> {
  static constexpr const char* NAME = "IDirect3DViewport3";
  FAKE_UNEXPECTED(SetBackgroundDepth2, (IDirectDrawSurface4*))
  FAKE_UNEXPECTED(GetBackgroundDepth2, (IDirectDrawSurface4**, BOOL*))
  FAKE_UNEXPECTED(Clear2, (DWORD, D3DRECT*, DWORD, DWORD, D3DVALUE, DWORD))
};

// ---- Devices -----------------------------------------------------------

template <class Interface, class ViewportInterface, class VertexCode>
struct DeviceFacetCommon : Facet<Interface> {
  FakeD3DDevice& self() { return static_cast<FakeD3DDevice&>(*this->object); }

  STDMETHODIMP AddViewport(ViewportInterface* viewport) override {
    FakeCall& call = this->record("AddViewport", {this->world().idOf(viewport)});
    if (FAILED(call.result)) return call.result;
    FacetBase* facet = this->world().find(viewport, "AddViewport");
    if (!facet) return call.result = DDERR_INVALIDPARAMS;
    auto& added = static_cast<FakeViewport&>(*facet->object);
    if (added.device) return call.result = DDERR_INVALIDPARAMS;
    facet->hold();
    added.device = &self();
    self().viewports.push_back(facet);
    return call.result;
  }

  STDMETHODIMP DeleteViewport(ViewportInterface* viewport) override {
    FakeCall& call = this->record("DeleteViewport", {this->world().idOf(viewport)});
    if (FAILED(call.result)) return call.result;
    FacetBase* facet = this->world().find(viewport, "DeleteViewport");
    if (!letGoOf(self().viewports, facet)) return call.result = DDERR_INVALIDPARAMS;
    static_cast<FakeViewport&>(*facet->object).device = nullptr;
    return call.result;
  }

  STDMETHODIMP SetCurrentViewport(ViewportInterface* viewport) override {
    FakeCall& call = this->record("SetCurrentViewport", {this->world().idOf(viewport)});
    if (FAILED(call.result)) return call.result;
    FacetBase* facet = this->world().find(viewport, "SetCurrentViewport");
    if (!facet || static_cast<FakeViewport&>(*facet->object).device != &self()) {
      return call.result = DDERR_INVALIDPARAMS;
    }
    facet->hold();
    letGoOf(self().currentViewport);
    self().currentViewport = facet;
    return call.result;
  }

  STDMETHODIMP BeginScene() override {
    FakeCall& call = this->record("BeginScene");
    if (FAILED(call.result)) return call.result;
    if (self().inScene) return call.result = D3DERR_SCENE_IN_SCENE;
    self().inScene = true;
    return call.result;
  }

  STDMETHODIMP EndScene() override {
    FakeCall& call = this->record("EndScene");
    if (FAILED(call.result)) return call.result;
    if (!self().inScene) return call.result = D3DERR_SCENE_NOT_IN_SCENE;
    self().inScene = false;
    return call.result;
  }

  STDMETHODIMP SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override {
    FakeCall& call = this->record("SetRenderState", {DWORD(state), value});
    if (FAILED(call.result)) return call.result;
    self().renderStates[state] = value;
    return call.result;
  }

  STDMETHODIMP GetRenderState(D3DRENDERSTATETYPE state, LPDWORD value) override {
    FakeCall& call = this->record("GetRenderState", {DWORD(state)});
    if (FAILED(call.result)) return call.result;
    *value = valueOf(self().renderStates, state);
    return call.result;
  }

  STDMETHODIMP SetLightState(D3DLIGHTSTATETYPE state, DWORD value) override {
    FakeCall& call = this->record("SetLightState", {DWORD(state), value});
    if (FAILED(call.result)) return call.result;
    if (state == D3DLIGHTSTATE_MATERIAL && value != 0 &&
        !this->world().materialByHandle(value, self().id)) {
      return call.result = DDERR_INVALIDPARAMS;
    }
    self().lightStates[state] = value;
    return call.result;
  }

  STDMETHODIMP GetLightState(D3DLIGHTSTATETYPE state, LPDWORD value) override {
    FakeCall& call = this->record("GetLightState", {DWORD(state)});
    if (FAILED(call.result)) return call.result;
    *value = valueOf(self().lightStates, state);
    return call.result;
  }

  STDMETHODIMP SetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) override {
    FakeCall& call = this->record("SetTransform", {DWORD(state)});
    if (matrix) call.matrix = *matrix;
    if (FAILED(call.result)) return call.result;
    D3DMATRIX* target = self().transform(state);
    if (!target || !matrix) return call.result = DDERR_INVALIDPARAMS;
    *target = *matrix;
    return call.result;
  }

  STDMETHODIMP GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) override {
    FakeCall& call = this->record("GetTransform", {DWORD(state)});
    if (FAILED(call.result)) return call.result;
    D3DMATRIX* source = self().transform(state);
    if (!source || !matrix) return call.result = DDERR_INVALIDPARAMS;
    *matrix = call.matrix = *source;
    return call.result;
  }

  // The checks real Direct3D makes of a draw call, and the copies the log
  // keeps of it.
  HRESULT draw(FakeCall& call, DWORD vertexCode, void* vertices, DWORD vertexCount,
               WORD* indices, DWORD indexCount) {
    const bool flexible = self().generation == 3;
    if ((flexible ? isFlexibleFormatOf32Bytes(vertexCode) : isVertexType(vertexCode)) &&
        vertices) {
      const auto* first = static_cast<const D3DVERTEX*>(vertices);
      call.vertices.assign(first, first + std::min<DWORD>(vertexCount, D3DMAXNUMVERTICES + 1));
    }
    if (indices) call.indices.assign(indices, indices + indexCount);
    call.state = self().drawState();
    if (FAILED(call.result)) return call.result;
    if (flexible ? isVertexType(vertexCode) : !isVertexType(vertexCode)) {
      return call.result = DDERR_INVALIDPARAMS;
    }
    if (!vertices || vertexCount > D3DMAXNUMVERTICES) return call.result = DDERR_INVALIDPARAMS;
    for (WORD index : call.indices) {
      if (index >= vertexCount) return call.result = DDERR_INVALIDPARAMS;
    }
    if (!self().inScene) return call.result = D3DERR_SCENE_NOT_IN_SCENE;
    return call.result;
  }

  STDMETHODIMP DrawPrimitive(D3DPRIMITIVETYPE type, VertexCode vertexCode, void* vertices,
                             DWORD vertexCount, DWORD flags) override {
    FakeCall& call =
        this->record("DrawPrimitive", {DWORD(type), DWORD(vertexCode), vertexCount, flags});
    return draw(call, vertexCode, vertices, vertexCount, nullptr, 0);
  }

  STDMETHODIMP DrawIndexedPrimitive(D3DPRIMITIVETYPE type, VertexCode vertexCode, void* vertices,
                                    DWORD vertexCount, WORD* indices, DWORD indexCount,
                                    DWORD flags) override {
    FakeCall& call = this->record("DrawIndexedPrimitive", {DWORD(type), DWORD(vertexCode),
                                                          vertexCount, indexCount, flags});
    if (!indices) return call.result = FAILED(call.result) ? call.result : DDERR_INVALIDPARAMS;
    return draw(call, vertexCode, vertices, vertexCount, indices, indexCount);
  }

  FAKE_UNEXPECTED(GetCaps, (D3DDEVICEDESC*, D3DDEVICEDESC*))
  FAKE_UNEXPECTED(GetStats, (D3DSTATS*))
  FAKE_UNEXPECTED(NextViewport, (ViewportInterface*, ViewportInterface**, DWORD))
  FAKE_UNEXPECTED(GetCurrentViewport, (ViewportInterface**))
  FAKE_UNEXPECTED(Begin, (D3DPRIMITIVETYPE, VertexCode, DWORD))
  FAKE_UNEXPECTED(BeginIndexed, (D3DPRIMITIVETYPE, VertexCode, void*, DWORD, DWORD))
  FAKE_UNEXPECTED(Vertex, (void*))
  FAKE_UNEXPECTED(Index, (WORD))
  FAKE_UNEXPECTED(End, (DWORD))
  FAKE_UNEXPECTED(MultiplyTransform, (D3DTRANSFORMSTATETYPE, D3DMATRIX*))
  FAKE_UNEXPECTED(SetClipStatus, (D3DCLIPSTATUS*))
  FAKE_UNEXPECTED(GetClipStatus, (D3DCLIPSTATUS*))
};

struct Device2Facet : DeviceFacetCommon<IDirect3DDevice2, IDirect3DViewport2, D3DVERTEXTYPE> {
  static constexpr const char* NAME = "IDirect3DDevice2";
  FAKE_UNEXPECTED(SwapTextureHandles, (IDirect3DTexture2*, IDirect3DTexture2*))
  FAKE_UNEXPECTED(EnumTextureFormats, (LPD3DENUMTEXTUREFORMATSCALLBACK, void*))
  FAKE_UNEXPECTED(GetDirect3D, (IDirect3D2**))
  FAKE_UNEXPECTED(SetRenderTarget, (IDirectDrawSurface*, DWORD))
  FAKE_UNEXPECTED(GetRenderTarget, (IDirectDrawSurface**))
};

struct Device3Facet : DeviceFacetCommon<IDirect3DDevice3, IDirect3DViewport3, DWORD> {
  static constexpr const char* NAME = "IDirect3DDevice3";

  STDMETHODIMP EnumTextureFormats(LPD3DENUMPIXELFORMATSCALLBACK accept, void* context) override {
    FakeCall& call = record("EnumTextureFormats");
    if (FAILED(call.result)) return call.result;
    for (DDPIXELFORMAT format : world().script.textureFormats) {
      if (accept(&format, context) == D3DENUMRET_CANCEL) break;
    }
    return call.result;
  }

  FAKE_UNEXPECTED(GetDirect3D, (IDirect3D3**))
  FAKE_UNEXPECTED(SetRenderTarget, (IDirectDrawSurface4*, DWORD))
  FAKE_UNEXPECTED(GetRenderTarget, (IDirectDrawSurface4**))
  FAKE_UNEXPECTED(DrawPrimitiveStrided,
                  (D3DPRIMITIVETYPE, DWORD, D3DDRAWPRIMITIVESTRIDEDDATA*, DWORD, DWORD))
  FAKE_UNEXPECTED(DrawIndexedPrimitiveStrided, (D3DPRIMITIVETYPE, DWORD,
                                                D3DDRAWPRIMITIVESTRIDEDDATA*, DWORD, WORD*,
                                                DWORD, DWORD))
  FAKE_UNEXPECTED(DrawPrimitiveVB,
                  (D3DPRIMITIVETYPE, struct IDirect3DVertexBuffer*, DWORD, DWORD, DWORD))
  FAKE_UNEXPECTED(DrawIndexedPrimitiveVB,
                  (D3DPRIMITIVETYPE, struct IDirect3DVertexBuffer*, WORD*, DWORD, DWORD))
  FAKE_UNEXPECTED(ComputeSphereVisibility, (D3DVECTOR*, D3DVALUE*, DWORD, DWORD, DWORD*))
  FAKE_UNEXPECTED(GetTexture, (DWORD, IDirect3DTexture2**))
  FAKE_UNEXPECTED(SetTexture, (DWORD, IDirect3DTexture2*))
  FAKE_UNEXPECTED(GetTextureStageState, (DWORD, D3DTEXTURESTAGESTATETYPE, LPDWORD))
  FAKE_UNEXPECTED(SetTextureStageState, (DWORD, D3DTEXTURESTAGESTATETYPE, DWORD))
  FAKE_UNEXPECTED(ValidateDevice, (LPDWORD))
};

// ---- Direct3D ----------------------------------------------------------

template <class Interface, int GENERATION, class MaterialInterface, class MaterialFacetType,
          class ViewportInterface, class ViewportFacetType>
struct Direct3DFacetCommon : Facet<Interface> {
  FakeDirectX& script() { return this->world().script; }

  STDMETHODIMP EnumDevices(LPD3DENUMDEVICESCALLBACK accept, void* context) override {
    FakeCall& call = this->record("EnumDevices");
    if (FAILED(call.result)) return call.result;
    for (const FakeDeviceInfo& device : script().devices) {
      GUID guid = device.guid;
      std::string description = device.description;
      std::string name = device.name;
      D3DDEVICEDESC hardware = device.hardware;
      D3DDEVICEDESC software = device.software;
      if (accept(&guid, &description[0], &name[0], &hardware, &software, context) ==
          D3DENUMRET_CANCEL) {
        break;
      }
    }
    return call.result;
  }

  STDMETHODIMP CreateLight(IDirect3DLight** light, IUnknown* outer) override {
    FakeCall& call = this->record("CreateLight", {this->world().idOf(outer)});
    return this->world().template create<FakeLight, LightFacet>(call, light);
  }

  STDMETHODIMP CreateMaterial(MaterialInterface** material, IUnknown* outer) override {
    FakeCall& call = this->record("CreateMaterial", {this->world().idOf(outer)});
    return this->world().template create<FakeMaterial, MaterialFacetType>(call, material,
                                                                          GENERATION);
  }

  STDMETHODIMP CreateViewport(ViewportInterface** viewport, IUnknown* outer) override {
    FakeCall& call = this->record("CreateViewport", {this->world().idOf(outer)});
    return this->world().template create<FakeViewport, ViewportFacetType>(call, viewport,
                                                                          GENERATION);
  }

  FAKE_UNEXPECTED(FindDevice, (D3DFINDDEVICESEARCH*, D3DFINDDEVICERESULT*))

 protected:
  // Makes a device on a surface that can be rendered to.
  template <class DeviceFacetType, class DeviceInterface>
  HRESULT makeDevice(FakeCall& call, REFCLSID guid, void* surface, DeviceInterface** device) {
    call.guid = guid;
    *device = nullptr;
    if (FAILED(call.result)) return call.result;
    if (!this->world().deviceInfo(guid)) return call.result = DDERR_INVALIDPARAMS;
    FacetBase* target = this->world().find(surface, "CreateDevice");
    if (!target) return call.result = DDERR_INVALIDPARAMS;
    if (!(static_cast<FakeSurface&>(*target->object).caps & DDSCAPS_3DDEVICE)) {
      return call.result = DDERR_INVALIDCAPS;
    }
    auto& made = this->world().template make<FakeD3DDevice>(GENERATION);
    target->hold();
    made.target = target;
    made.template handOut<DeviceFacetType>(device);
    call.made = made.id;
    return call.result;
  }
};

struct Direct3D2Facet : Direct3DFacetCommon<IDirect3D2, 2, IDirect3DMaterial2, Material2Facet,
                                             IDirect3DViewport2, Viewport2Facet> {
  static constexpr const char* NAME = "IDirect3D2";

  STDMETHODIMP CreateDevice(REFCLSID guid, IDirectDrawSurface* surface,
                            IDirect3DDevice2** device) override {
    FakeCall& call = record("CreateDevice", {world().idOf(surface)});
    return makeDevice<Device2Facet>(call, guid, surface, device);
  }
};

struct Direct3D3Facet : Direct3DFacetCommon<IDirect3D3, 3, IDirect3DMaterial3, Material3Facet,
                                             IDirect3DViewport3, Viewport3Facet> {
  static constexpr const char* NAME = "IDirect3D3";

  STDMETHODIMP CreateDevice(REFCLSID guid, IDirectDrawSurface4* surface,
                            IDirect3DDevice3** device, IUnknown* outer) override {
    FakeCall& call = record("CreateDevice", {world().idOf(surface), world().idOf(outer)});
    return makeDevice<Device3Facet>(call, guid, surface, device);
  }

  STDMETHODIMP EnumZBufferFormats(REFCLSID guid, LPD3DENUMPIXELFORMATSCALLBACK accept,
                                  void* context) override {
    FakeCall& call = record("EnumZBufferFormats");
    call.guid = guid;
    if (FAILED(call.result)) return call.result;
    const FakeDeviceInfo* device = world().deviceInfo(guid);
    if (!device) return call.result = DDERR_INVALIDPARAMS;
    if (device->hardware.dcmColorModel != 0 && device->hardware.dwDeviceZBufferBitDepth == 0) {
      return call.result = DDERR_NOZBUFFERHW;
    }
    for (DDPIXELFORMAT format : script().zBufferFormats) {
      if (accept(&format, context) == D3DENUMRET_CANCEL) break;
    }
    return call.result;
  }

  FAKE_UNEXPECTED(CreateVertexBuffer,
                  (D3DVERTEXBUFFERDESC*, struct IDirect3DVertexBuffer**, DWORD, IUnknown*))
  FAKE_UNEXPECTED(EvictManagedTextures, ())
};

}  // namespace

FacetBase* direct3DFacetFor(FakeDirectDrawObject& directDraw, const IID& iid) {
  if (sameGuid(iid, IID_IDirect3D2)) return directDraw.facet<Direct3D2Facet>();
  if (sameGuid(iid, IID_IDirect3D3)) {
    return directDraw.world.script.offerDirectDraw4 ? directDraw.facet<Direct3D3Facet>() : nullptr;
  }
  return nullptr;
}

FakeD3DDevice::FakeD3DDevice(FakeState& state, int interfaceGeneration)
    : FakeObject(state, "device"),
      generation(interfaceGeneration),
      worldMatrix(identityMatrix()),
      viewMatrix(identityMatrix()),
      projectionMatrix(identityMatrix()) {}

FacetBase* FakeD3DDevice::facetFor(const IID& iid) {
  if (generation == 2 && sameGuid(iid, IID_IDirect3DDevice2)) return facet<Device2Facet>();
  if (generation == 3 && sameGuid(iid, IID_IDirect3DDevice3)) return facet<Device3Facet>();
  return nullptr;
}

void FakeD3DDevice::dropHeldReferences() {
  letGoOf(currentViewport);
  for (FacetBase* facet : viewports) static_cast<FakeViewport&>(*facet->object).device = nullptr;
  letGoOfAll(viewports);
  letGoOf(target);
}

D3DMATRIX* FakeD3DDevice::transform(DWORD state) {
  switch (state) {
    case D3DTRANSFORMSTATE_WORLD:
      return &worldMatrix;
    case D3DTRANSFORMSTATE_VIEW:
      return &viewMatrix;
    case D3DTRANSFORMSTATE_PROJECTION:
      return &projectionMatrix;
    default:
      return nullptr;
  }
}

FakeDrawState FakeD3DDevice::drawState() const {
  FakeDrawState state;
  state.world = worldMatrix;
  state.view = viewMatrix;
  state.projection = projectionMatrix;
  auto selected = lightStates.find(D3DLIGHTSTATE_MATERIAL);
  if (selected != lightStates.end()) {
    if (const FakeMaterial* material = world.materialByHandle(selected->second, id)) {
      state.material = material->data;
    }
  }
  state.renderStates = renderStates;
  state.lightStates = lightStates;
  if (currentViewport) {
    for (const FacetBase* light : static_cast<const FakeViewport&>(*currentViewport->object).lights) {
      state.lights.push_back(static_cast<const FakeLight&>(*light->object).data);
    }
  }
  return state;
}

bool FakeD3DDevice::renderTargetHasZBuffer() const {
  return target && static_cast<const FakeSurface&>(*target->object).hasZBuffer();
}

FacetBase* FakeViewport::facetFor(const IID& iid) {
  if (generation == 2 && sameGuid(iid, IID_IDirect3DViewport2)) return facet<Viewport2Facet>();
  if (generation == 3 && sameGuid(iid, IID_IDirect3DViewport3)) return facet<Viewport3Facet>();
  return nullptr;
}

void FakeViewport::dropHeldReferences() { letGoOfAll(lights); }

FacetBase* FakeLight::facetFor(const IID& iid) {
  return sameGuid(iid, IID_IDirect3DLight) ? facet<LightFacet>() : nullptr;
}

FacetBase* FakeMaterial::facetFor(const IID& iid) {
  if (generation == 2 && sameGuid(iid, IID_IDirect3DMaterial2)) return facet<Material2Facet>();
  if (generation == 3 && sameGuid(iid, IID_IDirect3DMaterial3)) return facet<Material3Facet>();
  return nullptr;
}

DWORD FakeMaterial::handleOn(int deviceId) const {
  return MATERIAL_HANDLE_BASE + DWORD(id) * HANDLES_PER_MATERIAL + DWORD(deviceId);
}
