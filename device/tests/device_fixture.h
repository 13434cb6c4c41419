// The device's test fixtures: a device on scripted fakes in a hidden 400 x 300
// render window at (100, 80), torn down and checked for leftovers after each
// test; and the records the tests compare.
#pragma once

#include "device/render_device.h"
#include "testing/fake_machine.h"

#include <gtest/gtest.h>

#include <cstring>
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

inline D3DMATRIX identityMatrix() {
  D3DMATRIX matrix{};
  matrix._11 = matrix._22 = matrix._33 = matrix._44 = 1.0f;
  return matrix;
}

inline D3DMATRIX translationMatrix(float x, float y, float z) {
  D3DMATRIX matrix = identityMatrix();
  matrix._41 = x;
  matrix._42 = y;
  matrix._43 = z;
  return matrix;
}

inline bool sameMatrix(const D3DMATRIX& a, const D3DMATRIX& b) {
  return std::memcmp(&a, &b, sizeof(D3DMATRIX)) == 0;
}

inline bool sameGuids(const GUID& a, const GUID& b) {
  return std::memcmp(&a, &b, sizeof(GUID)) == 0;
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
