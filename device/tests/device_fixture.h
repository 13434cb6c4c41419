// The device's test fixtures: a device on scripted fakes in a hidden 400 x 300
// render window at (100, 80), torn down and checked for leftovers after each
// test; and the records the tests compare.
#pragma once

#include "device/render_device.h"
#include "testing/fake_machine.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>

class DeviceTest : public ::testing::Test, public FakeMachine {
 protected:
  explicit DeviceTest(PresentWay way = PresentWay::PRIMARY_BLT) : FakeMachine(way) {}
  void TearDown() override { expectAllReleased(); }
};

// The same on the GDI presentation.
class GdiDeviceTest : public DeviceTest {
 protected:
  GdiDeviceTest() : DeviceTest(PresentWay::GDI_COPY) {}
};

// The same on each DirectX generation in turn: DirectX 6 when the parameter
// is true, DirectX 5 (no IDirectDraw4) when it is false. A test file derives
// a suite of its own and instantiates it with EACH_GENERATION.
class EachGeneration : public DeviceTest, public ::testing::WithParamInterface<bool> {
 protected:
  EachGeneration() { fakes.offerDirectDraw4 = GetParam(); }
  static bool directX6() { return GetParam(); }
};

inline std::string generationName(const ::testing::TestParamInfo<bool>& info) {
  return info.param ? "DirectX6" : "DirectX5";
}

#define EACH_GENERATION(suite) \
  INSTANTIATE_TEST_SUITE_P(Generation, suite, ::testing::Bool(), generationName)

// Records (matrices, GUIDs, lights, materials) compared byte for byte, as
// the device copies them.
template <class Record>
bool same(const Record& a, const Record& b) {
  return std::memcmp(&a, &b, sizeof(Record)) == 0;
}

// Rectangles compare and print whole.
inline bool operator==(const RECT& a, const RECT& b) { return same(a, b); }
inline void PrintTo(const RECT& rect, std::ostream* out) {
  *out << "{" << rect.left << ", " << rect.top << ", " << rect.right << ", " << rect.bottom << "}";
}

inline D3DMATRIX translationMatrix(float x, float y, float z) {
  D3DMATRIX matrix = identityMatrix();
  matrix._41 = x;
  matrix._42 = y;
  matrix._43 = z;
  return matrix;
}

inline D3DLIGHT2 directionalLight(float r, float g, float b, float x, float y, float z) {
  D3DLIGHT2 light{};
  light.dwSize = sizeof(light);
  light.dltType = D3DLIGHT_DIRECTIONAL;
  light.dcvColor.r = r;
  light.dcvColor.g = g;
  light.dcvColor.b = b;
  light.dvDirection.x = x;
  light.dvDirection.y = y;
  light.dvDirection.z = z;
  light.dwFlags = D3DLIGHT_ACTIVE;
  return light;
}

inline D3DMATERIAL diffuseMaterial(float r, float g, float b) {
  D3DMATERIAL material{};
  material.dwSize = sizeof(material);
  material.dcvDiffuse.r = r;
  material.dcvDiffuse.g = g;
  material.dcvDiffuse.b = b;
  return material;
}

// Draws one point in a scene and gives back the state it was drawn with.
inline FakeDrawState drawOnePoint(RenderDevice& device, const FakeDirectX& fakes,
                                  DWORD flags = 0) {
  EXPECT_EQ(device.beginScene(), S_OK);
  D3DVERTEX vertex{};
  EXPECT_EQ(device.drawPrimitive(D3DPT_POINTLIST, D3DFVF_VERTEX, &vertex, 1, flags), S_OK);
  EXPECT_EQ(device.endScene(), S_OK);
  return fakes.callsTo("DrawPrimitive").back().state;
}

// A device that is not ready answers every frame operation without reaching
// DirectX.
inline void expectNothingReachesDirectX(RenderDevice& device, const FakeDirectX& fakes) {
  D3DVERTEX vertex{};
  WORD index = 0;
  D3DMATRIX matrix = identityMatrix();
  EXPECT_EQ(device.clear(), S_OK);
  EXPECT_EQ(device.present(), S_OK);
  EXPECT_EQ(device.beginScene(), E_FAIL);
  EXPECT_EQ(device.endScene(), E_FAIL);
  EXPECT_EQ(device.setRenderState(D3DRENDERSTATE_FILLMODE, D3DFILL_SOLID), E_FAIL);
  EXPECT_EQ(device.setLightState(D3DLIGHTSTATE_AMBIENT, 0), E_FAIL);
  EXPECT_EQ(device.setTransform(D3DTRANSFORMSTATE_WORLD, &matrix), E_FAIL);
  EXPECT_EQ(device.getTransform(D3DTRANSFORMSTATE_WORLD, &matrix), E_FAIL);
  EXPECT_EQ(device.drawPrimitive(D3DPT_POINTLIST, D3DFVF_VERTEX, &vertex, 1, 0), E_FAIL);
  EXPECT_EQ(device.drawIndexedPrimitive(D3DPT_POINTLIST, D3DFVF_VERTEX, &vertex, 1, &index, 1, 0),
            E_FAIL);
  EXPECT_EQ(device.setLight(1, directionalLight(1, 1, 1, 0, 0, 1)), E_FAIL);
  EXPECT_EQ(device.createMaterial(diffuseMaterial(1, 1, 1)), E_FAIL);
  EXPECT_EQ(device.updateMaterial(diffuseMaterial(1, 1, 1)), E_FAIL);
  EXPECT_EQ(device.resize(), S_OK);
  EXPECT_TRUE(fakes.calls().empty()) << fakes.log();
}
