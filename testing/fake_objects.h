// Inside the fakes: the objects behind the fake interfaces and the state they
// share. Every fake object has one facet per interface it hands out, each
// with its own reference count, as DirectDraw counts per interface; an object
// is gone when no facet holds a reference, and then gives back the references
// it held on others. Objects stay in memory until the FakeDirectX goes, so a
// call through a released interface is caught and reported instead of
// crashing.
#pragma once

#include "testing/fake_directx.h"

#include <cstring>
#include <utility>

struct FakeObject;
struct FakeState;

struct FacetBase {
  FakeObject* object = nullptr;
  const char* interfaceName = "";
  ULONG refs = 0;

  virtual ~FacetBase() = default;
  // The interface pointer as handed out.
  virtual void* pointer() = 0;

  FakeState& world() const;
  // Logs a call on this interface and settles its scripted result.
  FakeCall& record(const char* method, std::vector<DWORD> args = {});
  // A call the fakes do not implement: logged, reported, E_NOTIMPL.
  HRESULT unexpected(const char* method);
  // Takes or gives back a reference without logging a call.
  void hold();
  void letGo();
};

// The references the fakes hold on others: one in a holder, or a list of
// them. Each gives back what it held; the list form takes out the entry for
// `facet`'s object and says whether there was one.
void letGoOf(FacetBase*& held);
bool letGoOf(std::vector<FacetBase*>& held, const FacetBase* facet);
void letGoOfAll(std::vector<FacetBase*>& held);

template <class Interface>
struct Facet : Interface, FacetBase {
  void* pointer() override { return static_cast<Interface*>(this); }
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
};

struct FakeObject {
  FakeState& world;
  int id;
  const char* kind;
  std::string role;
  std::vector<std::unique_ptr<FacetBase>> facets;
  bool gone = false;

  FakeObject(FakeState& state, const char* objectKind);
  virtual ~FakeObject() = default;

  ULONG references() const;
  // The facet for an interface this object offers, made on first use; null
  // when it does not offer it.
  virtual FacetBase* facetFor(const IID& iid) = 0;
  // Gives back what the object holds on others, once it is gone.
  virtual void dropHeldReferences() {}

  template <class F>
  F* facet() {
    for (auto& existing : facets) {
      if (std::strcmp(existing->interfaceName, F::NAME) == 0) return static_cast<F*>(existing.get());
    }
    auto made = std::make_unique<F>();
    F* facetPointer = made.get();
    made->object = this;
    made->interfaceName = F::NAME;
    facets.push_back(std::move(made));
    registerFacet(facetPointer);
    return facetPointer;
  }
  // A new reference on the facet F, written to `out`.
  template <class F, class Interface>
  HRESULT handOut(Interface** out) {
    F* given = facet<F>();
    given->hold();
    *out = given;
    return S_OK;
  }

  HRESULT queryInterface(FacetBase& from, const IID& iid, void** out);
  ULONG addRef(FacetBase& facet);
  ULONG release(FacetBase& facet);
  std::string name() const;  // "#3 surface (back buffer)"

 private:
  void registerFacet(FacetBase* facet);
};

struct FakeDirectDrawObject : FakeObject {
  bool cooperativeLevelSet = false;
  explicit FakeDirectDrawObject(FakeState& state) : FakeObject(state, "DirectDraw") {}
  FacetBase* facetFor(const IID& iid) override;
};

struct FakeSurface : FakeObject {
  bool fromDirectDraw4 = false;
  DWORD caps = 0;
  DWORD width = 0;
  DWORD height = 0;
  DWORD zBufferBits = 0;
  DDPIXELFORMAT format{};
  bool lost = false;
  FacetBase* clipper = nullptr;
  std::vector<FacetBase*> attached;
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ previousBitmap = nullptr;

  explicit FakeSurface(FakeState& state) : FakeObject(state, "surface") {}
  FacetBase* facetFor(const IID& iid) override;
  void dropHeldReferences() override;
  bool hasZBuffer() const;
  void releaseDc();  // the device context handed out by GetDC
};

struct FakeClipper : FakeObject {
  HWND window = nullptr;
  explicit FakeClipper(FakeState& state) : FakeObject(state, "clipper") {}
  FacetBase* facetFor(const IID& iid) override;
};

struct FakeViewport;

struct FakeD3DDevice : FakeObject {
  int generation;  // 2: IDirect3DDevice2, 3: IDirect3DDevice3
  FacetBase* target = nullptr;
  std::vector<FacetBase*> viewports;
  FacetBase* currentViewport = nullptr;
  bool inScene = false;
  D3DMATRIX worldMatrix{};
  D3DMATRIX viewMatrix{};
  D3DMATRIX projectionMatrix{};
  std::map<DWORD, DWORD> renderStates;
  std::map<DWORD, DWORD> lightStates;

  FakeD3DDevice(FakeState& state, int interfaceGeneration);
  FacetBase* facetFor(const IID& iid) override;
  void dropHeldReferences() override;
  D3DMATRIX* transform(DWORD state);
  FakeDrawState drawState() const;
  bool renderTargetHasZBuffer() const;
};

struct FakeViewport : FakeObject {
  int generation;
  D3DVIEWPORT2 data{};
  std::vector<FacetBase*> lights;
  FakeD3DDevice* device = nullptr;
  FakeViewport(FakeState& state, int interfaceGeneration)
      : FakeObject(state, "viewport"), generation(interfaceGeneration) {}
  FacetBase* facetFor(const IID& iid) override;
  void dropHeldReferences() override;
};

struct FakeLight : FakeObject {
  D3DLIGHT2 data{};
  explicit FakeLight(FakeState& state) : FakeObject(state, "light") {}
  FacetBase* facetFor(const IID& iid) override;
};

struct FakeMaterial : FakeObject {
  int generation;
  D3DMATERIAL data{};
  FakeMaterial(FakeState& state, int interfaceGeneration)
      : FakeObject(state, "material"), generation(interfaceGeneration) {}
  FacetBase* facetFor(const IID& iid) override;
  // The handle that selects this material on one device; as with real
  // Direct3D, another device knows nothing of it.
  DWORD handleOn(int deviceId) const;
};

// The Direct3D facets of the DirectDraw object (fake_direct3d.cpp).
FacetBase* direct3DFacetFor(FakeDirectDrawObject& directDraw, const IID& iid);

struct FakeState {
  FakeDirectX& script;
  std::deque<FakeCall> calls;
  std::vector<std::unique_ptr<FakeObject>> objects;
  std::map<const void*, FacetBase*> facetsByPointer;
  std::map<std::string, std::deque<HRESULT>> scripted;
  size_t callsLogged = 0;
  size_t failingCall = 0;
  HRESULT failingResult = S_OK;
  std::vector<std::string> problems;
  size_t releases = 0;
  int nextId = 1;

  explicit FakeState(FakeDirectX& owner) : script(owner) {}
  ~FakeState();

  template <class Object, class... Arguments>
  Object& make(Arguments&&... arguments) {
    auto made = std::make_unique<Object>(*this, std::forward<Arguments>(arguments)...);
    Object& object = *made;
    objects.push_back(std::move(made));
    return object;
  }
  // Answers a creation call: unless its scripted result is a failure, a new
  // Object handed out through its facet F to `out`.
  template <class Object, class F, class Interface, class... Arguments>
  HRESULT create(FakeCall& call, Interface** out, Arguments... arguments) {
    *out = nullptr;
    if (FAILED(call.result)) return call.result;
    auto& made = make<Object>(arguments...);
    made.template handOut<F>(out);
    call.made = made.id;
    return call.result;
  }

  FakeCall& record(FacetBase* facet, const char* method, std::vector<DWORD> args);
  // The facet behind an interface pointer passed as an argument; null for
  // null. An unknown or released pointer is reported.
  FacetBase* find(const void* pointer, const char* usedBy);
  DWORD idOf(const void* pointer);
  void problem(const std::string& what) { problems.push_back(what); }
  const FakeDeviceInfo* deviceInfo(const GUID& guid) const;
  // The live material a handle given for this device stands for.
  const FakeMaterial* materialByHandle(DWORD handle, int deviceId) const;
};

std::string guidName(const GUID& guid);
bool sameGuid(const GUID& a, const GUID& b);

template <class Interface>
STDMETHODIMP Facet<Interface>::QueryInterface(REFIID iid, void** out) {
  return object->queryInterface(*this, iid, out);
}

template <class Interface>
STDMETHODIMP_(ULONG) Facet<Interface>::AddRef() {
  return object->addRef(*this);
}

template <class Interface>
STDMETHODIMP_(ULONG) Facet<Interface>::Release() {
  return object->release(*this);
}

// A method the fakes leave unimplemented.
#define FAKE_UNEXPECTED(method, parameters) \
  STDMETHODIMP method parameters override { return this->unexpected(#method); }
