// A RenderDevice on scripted fakes in a hidden 400 x 300 render window at
// (100, 80), for the device's tests. The device is declared after the fakes,
// so its destruction (a teardown) still reaches them.
#pragma once

#include "device/render_device.h"
#include "testing/fake_directx.h"

#include <gtest/gtest.h>

#include <cstring>

class DeviceTest : public ::testing::Test {
 protected:
  explicit DeviceTest(PresentWay way = PresentWay::PRIMARY_BLT) : fakes(way) {
  }

  void TearDown() override {
    device.tearDown();
    EXPECT_EQ(fakes.references(), 0u) << fakes.referenceReport();
    EXPECT_TRUE(fakes.problems().empty()) << ::testing::PrintToString(fakes.problems());
  }

  // What the scene renderer does before start-up.
  HRESULT start() {
    device.attachWindow(window.handle);
    device.requireDrawPrimitive = true;
    return device.startUp();
  }

  FakeDirectX fakes;
  TestWindow window{100, 80, 400, 300};
  RenderDevice device;
};

// The same on the GDI presentation.
class GdiDeviceTest : public DeviceTest {
 protected:
  GdiDeviceTest() : DeviceTest(PresentWay::GDI_COPY) {}
};

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
