// The fakes' shared machinery: the call log with its scripted results, the
// per-interface reference counts, the machine description and its defaults,
// and the test window.
#include "testing/fake_objects.h"

#include <cstdio>
#include <cstdlib>

FakeState* currentFakes = nullptr;
HRESULT WINAPI fakeDirectDrawCreate(GUID* driver, IDirectDraw** directDraw, IUnknown* outer);

// ---- Facets and objects -------------------------------------------------

FakeState& FacetBase::world() const { return object->world; }

FakeCall& FacetBase::record(const char* method, std::vector<DWORD> args) {
  return world().record(this, method, std::move(args));
}

HRESULT FacetBase::unexpected(const char* method) {
  FakeCall& call = record(method);
  world().problem(call.method + " is not implemented by the fakes");
  return call.result = E_NOTIMPL;
}

void FacetBase::hold() { ++refs; }

void letGoOf(FacetBase*& held) {
  FacetBase* facet = held;
  held = nullptr;
  if (facet) facet->letGo();
}

bool letGoOf(std::vector<FacetBase*>& held, const FacetBase* facet) {
  for (auto it = held.begin(); facet && it != held.end(); ++it) {
    if ((*it)->object == facet->object) {
      FacetBase* entry = *it;
      held.erase(it);
      entry->letGo();
      return true;
    }
  }
  return false;
}

void letGoOfAll(std::vector<FacetBase*>& held) {
  std::vector<FacetBase*> entries;
  entries.swap(held);
  for (FacetBase* facet : entries) facet->letGo();
}

void FacetBase::letGo() {
  if (refs == 0) {
    world().problem("a reference held by the fakes on " + object->name() + " was already gone");
    return;
  }
  --refs;
  if (!object->gone && object->references() == 0) {
    object->gone = true;
    object->dropHeldReferences();
  }
}

FakeObject::FakeObject(FakeState& state, const char* objectKind)
    : world(state), id(state.nextId++), kind(objectKind) {}

ULONG FakeObject::references() const {
  ULONG total = 0;
  for (const auto& facet : facets) total += facet->refs;
  return total;
}

void FakeObject::registerFacet(FacetBase* facet) { world.facetsByPointer[facet->pointer()] = facet; }

std::string FakeObject::name() const {
  std::string text = "#" + std::to_string(id) + " " + kind;
  if (!role.empty()) text += " (" + role + ")";
  return text;
}

HRESULT FakeObject::queryInterface(FacetBase& from, const IID& iid, void** out) {
  FakeCall& call = from.record("QueryInterface");
  call.guid = iid;
  if (!out) return call.result = E_POINTER;
  *out = nullptr;
  if (FAILED(call.result)) return call.result;
  FacetBase* facet = sameGuid(iid, IID_IUnknown) ? &from : facetFor(iid);
  if (!facet) return call.result = E_NOINTERFACE;
  facet->hold();
  *out = facet->pointer();
  call.made = id;
  return call.result;
}

ULONG FakeObject::addRef(FacetBase& facet) {
  if (facet.refs == 0) {
    world.problem(std::string(facet.interfaceName) + "::AddRef on a released interface of " +
                  name());
  }
  return ++facet.refs;
}

ULONG FakeObject::release(FacetBase& facet) {
  ++world.releases;
  if (facet.refs == 0) {
    world.problem(std::string(facet.interfaceName) + "::Release on a released interface of " +
                  name());
    return 0;
  }
  facet.letGo();
  return facet.refs;
}

// ---- The shared state --------------------------------------------------

FakeState::~FakeState() {
  // Device contexts handed out and never given back.
  for (auto& object : objects) {
    if (auto* surface = dynamic_cast<FakeSurface*>(object.get())) surface->releaseDc();
  }
}

FakeCall& FakeState::record(FacetBase* facet, const char* method, std::vector<DWORD> args) {
  FakeCall call;
  const std::string bare = method;
  call.method = facet ? std::string(facet->interfaceName) + "::" + bare : bare;
  call.object = facet ? facet->object->id : 0;
  call.args = std::move(args);
  if (facet && facet->refs == 0) {
    problem(call.method + " called on a released interface of " + facet->object->name());
  }

  ++callsLogged;
  if (failingCall != 0 && callsLogged == failingCall) {
    call.result = failingResult;
    failingCall = 0;
  } else {
    for (const std::string& key : {call.method, bare}) {
      auto queued = scripted.find(key);
      if (queued != scripted.end() && !queued->second.empty()) {
        call.result = queued->second.front();
        queued->second.pop_front();
        break;
      }
    }
  }
  calls.push_back(std::move(call));
  return calls.back();
}

FacetBase* FakeState::find(const void* pointer, const char* usedBy) {
  if (!pointer) return nullptr;
  auto known = facetsByPointer.find(pointer);
  if (known == facetsByPointer.end()) {
    problem(std::string(usedBy) + " was given an object that is not a fake");
    return nullptr;
  }
  if (known->second->refs == 0) {
    problem(std::string(usedBy) + " was given a released interface of " +
            known->second->object->name());
  }
  return known->second;
}

DWORD FakeState::idOf(const void* pointer) {
  if (!pointer) return 0;
  auto known = facetsByPointer.find(pointer);
  return known == facetsByPointer.end() ? 0xFFFFFFFF : known->second->object->id;
}

const FakeDeviceInfo* FakeState::deviceInfo(const GUID& guid) const {
  for (const auto& device : script.devices) {
    if (sameGuid(device.guid, guid)) return &device;
  }
  return nullptr;
}

const FakeMaterial* FakeState::materialByHandle(DWORD handle, int deviceId) const {
  for (const auto& object : objects) {
    auto* material = dynamic_cast<const FakeMaterial*>(object.get());
    if (material && !material->gone && material->handleOn(deviceId) == handle) return material;
  }
  return nullptr;
}

bool sameGuid(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof(GUID)) == 0; }

std::string guidName(const GUID& guid) {
  static const struct {
    const GUID* guid;
    const char* name;
  } known[] = {
      {&IID_IUnknown, "IID_IUnknown"},
      {&IID_IDirectDraw, "IID_IDirectDraw"},
      {&IID_IDirectDraw2, "IID_IDirectDraw2"},
      {&IID_IDirectDraw4, "IID_IDirectDraw4"},
      {&IID_IDirectDrawSurface, "IID_IDirectDrawSurface"},
      {&IID_IDirectDrawSurface3, "IID_IDirectDrawSurface3"},
      {&IID_IDirectDrawSurface4, "IID_IDirectDrawSurface4"},
      {&IID_IDirect3D2, "IID_IDirect3D2"},
      {&IID_IDirect3D3, "IID_IDirect3D3"},
      {&IID_IDirect3DHALDevice, "IID_IDirect3DHALDevice"},
      {&IID_IDirect3DRGBDevice, "IID_IDirect3DRGBDevice"},
      {&IID_IDirect3DRampDevice, "IID_IDirect3DRampDevice"},
      {&IID_IDirect3DMMXDevice, "IID_IDirect3DMMXDevice"},
  };
  for (const auto& entry : known) {
    if (sameGuid(*entry.guid, guid)) return entry.name;
  }
  char text[40];
  std::snprintf(text, sizeof(text), "{%08lX-%04X-%04X-...}", static_cast<unsigned long>(guid.Data1),
                guid.Data2, guid.Data3);
  return text;
}

// ---- Calls -------------------------------------------------------------

DWORD FakeDrawState::renderState(D3DRENDERSTATETYPE state, DWORD otherwise) const {
  auto found = renderStates.find(state);
  return found == renderStates.end() ? otherwise : found->second;
}

std::string FakeCall::text() const {
  std::string line = method + "(";
  for (size_t i = 0; i < args.size(); ++i) {
    if (i) line += ", ";
    line += std::to_string(args[i]);
  }
  static const GUID none{};
  if (!sameGuid(guid, none)) line += (args.empty() ? "" : ", ") + guidName(guid);
  char tail[24];
  std::snprintf(tail, sizeof(tail), ") = 0x%08lX", static_cast<unsigned long>(result));
  return line + tail;
}

// ---- The machine -------------------------------------------------------

namespace {

D3DDEVICEDESC describedDevice(D3DCOLORMODEL colourModel, DWORD devCaps, DWORD zBufferDepths) {
  D3DDEVICEDESC desc{};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = D3DDD_COLORMODEL | D3DDD_DEVCAPS | D3DDD_DEVICEZBUFFERBITDEPTH;
  desc.dcmColorModel = colourModel;
  desc.dwDevCaps = devCaps;
  desc.dwDeviceRenderBitDepth = DDBD_16 | DDBD_24 | DDBD_32;
  desc.dwDeviceZBufferBitDepth = zBufferDepths;
  return desc;
}

D3DDEVICEDESC emptyDevice() {
  D3DDEVICEDESC desc{};
  desc.dwSize = sizeof(desc);
  return desc;
}

}  // namespace

FakeDeviceInfo FakeDeviceInfo::hal(DWORD devCaps, DWORD zBufferDepths) {
  return {IID_IDirect3DHALDevice, "Fake hardware device", "Direct3D HAL",
          describedDevice(D3DCOLOR_RGB, devCaps, zBufferDepths), emptyDevice()};
}

FakeDeviceInfo FakeDeviceInfo::rgb(DWORD devCaps, DWORD zBufferDepths) {
  FakeDeviceInfo device = softwareDevice(IID_IDirect3DRGBDevice, devCaps);
  device.software.dwDeviceZBufferBitDepth = zBufferDepths;
  return device;
}

FakeDeviceInfo FakeDeviceInfo::softwareDevice(const GUID& guid, DWORD devCaps) {
  return {guid, "Fake software device", "Direct3D HEL", emptyDevice(),
          describedDevice(D3DCOLOR_RGB, devCaps, DDBD_16 | DDBD_24 | DDBD_32)};
}

DDPIXELFORMAT fakeZBufferFormat(DWORD bits, DWORD extraFlags) {
  DDPIXELFORMAT format{};
  format.dwSize = sizeof(format);
  format.dwFlags = DDPF_ZBUFFER | extraFlags;
  format.dwZBufferBitDepth = bits;
  format.dwZBitMask = bits >= 32 ? 0xFFFFFFFF : (1u << bits) - 1;
  return format;
}

DDPIXELFORMAT fakeRgbFormat(DWORD bits, DWORD extraFlags) {
  DDPIXELFORMAT format{};
  format.dwSize = sizeof(format);
  format.dwFlags = DDPF_RGB | extraFlags;
  format.dwRGBBitCount = bits;
  const bool alpha = extraFlags & DDPF_ALPHAPIXELS;
  if (bits == 15 || (bits == 16 && alpha)) {
    format.dwRBitMask = 0x7C00;
    format.dwGBitMask = 0x03E0;
    format.dwBBitMask = 0x001F;
    if (bits == 16) format.dwRGBAlphaBitMask = 0x8000;
  } else if (bits == 16) {
    format.dwRBitMask = 0xF800;
    format.dwGBitMask = 0x07E0;
    format.dwBBitMask = 0x001F;
  } else if (bits >= 24) {
    format.dwRBitMask = 0xFF0000;
    format.dwGBitMask = 0x00FF00;
    format.dwBBitMask = 0x0000FF;
  }
  return format;
}

// ---- FakeDirectX -------------------------------------------------------

FakeDirectX::FakeDirectX(PresentWay way)
    : state(std::make_unique<FakeState>(*this)),
      previousCreate(directDrawCreate),
      previousWay(presentWay),
      previousFakes(currentFakes) {
  // A new machine: nothing has been enumerated on it yet.
  resetDeviceEnumeration();
  devices = {FakeDeviceInfo::rgb(), FakeDeviceInfo::hal()};
  zBufferFormats = {fakeZBufferFormat(16, DDPF_STENCILBUFFER), fakeZBufferFormat(16)};
  textureFormats = {fakeRgbFormat(8, DDPF_PALETTEINDEXED8), fakeRgbFormat(16, DDPF_ALPHAPIXELS),
                    fakeRgbFormat(16), fakeRgbFormat(32)};
  currentFakes = state.get();
  directDrawCreate = fakeDirectDrawCreate;
  presentWay = way;
}

FakeDirectX::~FakeDirectX() {
  transcribe();
  directDrawCreate = previousCreate;
  presentWay = previousWay;
  currentFakes = previousFakes;
}

void FakeDirectX::script(const std::string& method, std::vector<HRESULT> results) {
  auto& queue = state->scripted[method];
  queue.insert(queue.end(), results.begin(), results.end());
}

void FakeDirectX::failCall(size_t number, HRESULT result) {
  state->failingCall = state->callsLogged + number;
  state->failingResult = result;
}

void FakeDirectX::loseSurface(const std::string& role) {
  for (auto& object : state->objects) {
    auto* surface = dynamic_cast<FakeSurface*>(object.get());
    if (surface && !surface->gone && surface->role == role) surface->lost = true;
  }
}

const std::deque<FakeCall>& FakeDirectX::calls() const { return state->calls; }

namespace {

bool methodMatches(const std::string& logged, const std::string& wanted) {
  if (wanted.find("::") != std::string::npos) return logged == wanted;
  const size_t separator = logged.rfind("::");
  const std::string bare = separator == std::string::npos ? logged : logged.substr(separator + 2);
  return bare == wanted;
}

}  // namespace

std::vector<FakeCall> FakeDirectX::callsTo(const std::string& method) const {
  std::vector<FakeCall> found;
  for (const auto& call : state->calls) {
    if (methodMatches(call.method, method)) found.push_back(call);
  }
  return found;
}

size_t FakeDirectX::count(const std::string& method) const {
  size_t found = 0;
  for (const auto& call : state->calls) found += methodMatches(call.method, method);
  return found;
}

std::vector<std::string> FakeDirectX::methods() const {
  std::vector<std::string> names;
  for (const auto& call : state->calls) names.push_back(call.method);
  return names;
}

std::string FakeDirectX::log() const {
  std::string text;
  for (const auto& call : state->calls) text += call.text() + "\n";
  return text;
}

void FakeDirectX::clearCalls() {
  transcribe();
  state->calls.clear();
}

namespace {

// A record's bytes in hexadecimal: exact, whatever its fields are.
template <class Record>
void appendBytes(std::string& line, const char* name, const Record* records, size_t count) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(records);
  line += std::string(" ") + name + "=";
  char digits[3];
  for (size_t i = 0; i < count * sizeof(Record); ++i) {
    std::snprintf(digits, sizeof(digits), "%02x", bytes[i]);
    line += digits;
  }
}

template <class Map>
void appendStates(std::string& line, const char* name, const Map& states) {
  line += std::string(" ") + name + "=";
  for (const auto& [state, value] : states) {
    line += std::to_string(state) + ":" + std::to_string(value) + ",";
  }
}

}  // namespace

void FakeDirectX::transcribe() const {
  const char* path = std::getenv("PLIM_FAKE_TRANSCRIPT");
  if (path == nullptr || state->calls.empty()) return;
  std::FILE* file = std::fopen(path, "a");
  if (file == nullptr) return;
  for (const FakeCall& call : state->calls) {
    std::string line = call.text() + " #" + std::to_string(call.object) + " made #" +
                       std::to_string(call.made);
    appendBytes(line, "matrix", &call.matrix, 1);
    appendBytes(line, "material", &call.material, 1);
    appendBytes(line, "light", &call.light, 1);
    appendBytes(line, "viewport", &call.viewport, 1);
    // Window handles differ from run to run; whether one was passed does not.
    line += call.window != nullptr ? " window=set" : " window=none";
    appendBytes(line, "destination", &call.destination, call.hasDestination ? 1 : 0);
    appendBytes(line, "source", &call.source, call.hasSource ? 1 : 0);
    appendBytes(line, "handle", &call.handle, 1);
    appendBytes(line, "rects", call.rects.data(), call.rects.size());
    appendBytes(line, "vertices", call.vertices.data(), call.vertices.size());
    appendBytes(line, "indices", call.indices.data(), call.indices.size());
    appendBytes(line, "world", &call.state.world, 1);
    appendBytes(line, "view", &call.state.view, 1);
    appendBytes(line, "projection", &call.state.projection, 1);
    appendBytes(line, "drawMaterial", &call.state.material, 1);
    appendStates(line, "renderStates", call.state.renderStates);
    appendStates(line, "lightStates", call.state.lightStates);
    appendBytes(line, "lights", call.state.lights.data(), call.state.lights.size());
    std::fprintf(file, "%s\n", line.c_str());
  }
  std::fprintf(file, "--\n");
  std::fclose(file);
}

ULONG FakeDirectX::references() const {
  ULONG total = 0;
  for (const auto& object : state->objects) total += object->references();
  return total;
}

std::string FakeDirectX::referenceReport() const {
  std::string text;
  for (const auto& object : state->objects) {
    for (const auto& facet : object->facets) {
      if (facet->refs) {
        text += object->name() + " " + facet->interfaceName + ": " + std::to_string(facet->refs) +
                "\n";
      }
    }
  }
  return text;
}

size_t FakeDirectX::releases() const { return state->releases; }

size_t FakeDirectX::objectsMade() const { return state->objects.size(); }

const std::vector<std::string>& FakeDirectX::problems() const { return state->problems; }

// ---- TestWindow --------------------------------------------------------

namespace {

const char* testWindowClass() {
  static const char* const name = [] {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = "PlimTestWindow";
    RegisterClassA(&windowClass);
    return "PlimTestWindow";
  }();
  return name;
}

}  // namespace

TestWindow::TestWindow(int x, int y, int width, int height, bool visible) {
  // A visible window stays above any other test's windows, so that what it
  // shows can be read back from the screen.
  handle = CreateWindowExA(visible ? WS_EX_TOPMOST : 0, testWindowClass(), "Plim test",
                           WS_POPUP | (visible ? WS_VISIBLE : 0),
                           x, y, width, height, nullptr, nullptr, GetModuleHandleA(nullptr),
                           nullptr);
}

TestWindow::~TestWindow() {
  if (handle) DestroyWindow(handle);
}

void TestWindow::place(int x, int y, int width, int height) {
  SetWindowPos(handle, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}
