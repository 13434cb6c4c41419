// Frames per second of the RenderDevice alone, for a frame the size of the
// default scene: the light set, a clear, a 1600-point list, 45 indexed
// 12-triangle cubes each with its transform, material and states, the end of
// the scene and the present, into a 420 x 460 render window. The second
// figure replaces the point list by 1600 two-vertex line calls, as the scene
// draws its field lines. The program makes its own window and prints figures.
#include "device/render_device.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int WIDTH = 420;
constexpr int HEIGHT = 460;
constexpr int CLOUD_POINTS = 1600;
constexpr int CUBES = 45;
constexpr int WARM_UP_FRAMES = 30;
constexpr double MEASURED_SECONDS = 3.0;
constexpr float SCENE_DEPTH = 30.0f;

HWND makeWindow() {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "PlimDeviceBench";
  RegisterClassA(&windowClass);
  return CreateWindowExA(0, windowClass.lpszClassName, "Plim device bench", WS_POPUP | WS_VISIBLE,
                         0, 0, WIDTH, HEIGHT, nullptr, nullptr, windowClass.hInstance, nullptr);
}

void pumpMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

D3DMATRIX translation(float x, float y, float z) {
  D3DMATRIX matrix{};
  matrix._11 = matrix._22 = matrix._33 = matrix._44 = 1.0f;
  matrix._41 = x;
  matrix._42 = y;
  matrix._43 = z;
  return matrix;
}

D3DVERTEX vertex(float x, float y, float z, float nx, float ny, float nz) {
  D3DVERTEX v{};
  v.x = x;
  v.y = y;
  v.z = z;
  v.nx = nx;
  v.ny = ny;
  v.nz = nz;
  return v;
}

// A unit cube: four vertices per face for flat normals, two triangles a face.
struct Cube {
  std::vector<D3DVERTEX> vertices;
  std::vector<WORD> indices;
  Cube() {
    const float faces[6][3] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    for (const auto& n : faces) {
      // Two axes across the face.
      const float u[3] = {n[1] + n[2], n[2] + n[0], n[0] + n[1]};
      const float v[3] = {n[1] * u[2] - n[2] * u[1], n[2] * u[0] - n[0] * u[2],
                          n[0] * u[1] - n[1] * u[0]};
      const WORD first = WORD(vertices.size());
      for (const auto& corner : {std::pair<float, float>{-1, -1}, {1, -1}, {1, 1}, {-1, 1}}) {
        vertices.push_back(vertex(0.5f * (n[0] + corner.first * u[0] + corner.second * v[0]),
                                  0.5f * (n[1] + corner.first * u[1] + corner.second * v[1]),
                                  0.5f * (n[2] + corner.first * u[2] + corner.second * v[2]),
                                  n[0], n[1], n[2]));
      }
      for (WORD i : {0, 1, 2, 0, 2, 3}) indices.push_back(WORD(first + i));
    }
  }
};

D3DMATERIAL material(float r, float g, float b) {
  D3DMATERIAL m{};
  m.dwSize = sizeof(m);
  m.dcvDiffuse.r = r;
  m.dcvDiffuse.g = g;
  m.dcvDiffuse.b = b;
  m.dcvSpecular.r = m.dcvSpecular.g = m.dcvSpecular.b = 1.0f;
  m.dvPower = 12.0f;
  return m;
}

struct Scene {
  std::vector<D3DVERTEX> cloud;
  std::vector<D3DMATRIX> cubePlaces;
  Cube cube;
  D3DMATRIX cloudPlace = translation(0, 0, SCENE_DEPTH);

  Scene() {
    // Points spread over a sphere of radius 8, normals outwards.
    for (int i = 0; i < CLOUD_POINTS; ++i) {
      const double height = 1.0 - 2.0 * (i + 0.5) / CLOUD_POINTS;
      const double radius = std::sqrt(1.0 - height * height);
      const double angle = i * 2.39996;
      const float nx = float(radius * std::cos(angle));
      const float ny = float(height);
      const float nz = float(radius * std::sin(angle));
      cloud.push_back(vertex(8 * nx, 8 * ny, 8 * nz, nx, ny, nz));
    }
    for (int i = 0; i < CUBES; ++i) {
      const double angle = 2.0 * 3.14159265358979 * i / CUBES;
      cubePlaces.push_back(translation(float(10 * std::cos(angle)), float(3 * std::sin(3 * angle)),
                                       float(SCENE_DEPTH + 10 * std::sin(angle))));
    }
  }
};

// One node as the scene renderer draws it: save the world transform, set the
// node's, select its material, set fill and cull, draw, restore.
template <class Draw>
void drawNode(RenderDevice& device, D3DMATRIX& place, const D3DMATERIAL& look, DWORD fill,
              DWORD cull, Draw draw) {
  D3DMATRIX saved{};
  device.getTransform(D3DTRANSFORMSTATE_WORLD, &saved);
  device.setTransform(D3DTRANSFORMSTATE_WORLD, &place);
  device.updateMaterial(look);
  device.setRenderState(D3DRENDERSTATE_FILLMODE, fill);
  device.setRenderState(D3DRENDERSTATE_CULLMODE, cull);
  draw();
  device.setTransform(D3DTRANSFORMSTATE_WORLD, &saved);
}

void drawFrame(RenderDevice& device, Scene& scene, int frame, bool fieldLines) {
  D3DLIGHT2 light{};
  light.dwSize = sizeof(light);
  light.dltType = D3DLIGHT_DIRECTIONAL;
  light.dcvColor.r = light.dcvColor.g = light.dcvColor.b = 1.0f;
  light.dvDirection.x = float(std::cos(frame * 0.01));
  light.dvDirection.y = -0.5f;
  light.dvDirection.z = float(std::sin(frame * 0.01));
  light.dwFlags = D3DLIGHT_ACTIVE;
  device.setLight(1, light);

  device.clear();
  device.beginScene();
  device.applyViewProjection();

  const D3DMATERIAL surfaceLook = material(0.2f, 0.6f, 1.0f);
  drawNode(device, scene.cloudPlace, surfaceLook, D3DFILL_POINT, D3DCULL_NONE, [&] {
    if (!fieldLines) {
      device.drawPrimitive(D3DPT_POINTLIST, D3DFVF_VERTEX, scene.cloud.data(), CLOUD_POINTS,
                           D3DDP_DONOTLIGHT);
      return;
    }
    device.updateMaterial(surfaceLook);
    for (const D3DVERTEX& point : scene.cloud) {
      D3DVERTEX line[2] = {vertex(point.x, point.y, point.z, 0, 0, 1),
                           vertex(point.x + 1.6f * point.nx, point.y + 1.6f * point.ny,
                                  point.z + 1.6f * point.nz, 0, 0, 0)};
      device.drawPrimitive(D3DPT_LINELIST, D3DFVF_VERTEX, line, 2, 0);
    }
  });

  for (int i = 0; i < CUBES; ++i) {
    const D3DMATERIAL look = material(float(i % 3 == 0), float(i % 3 == 1), float(i % 3 == 2));
    drawNode(device, scene.cubePlaces[i], look, D3DFILL_SOLID, D3DCULL_CCW, [&] {
      device.drawIndexedPrimitive(D3DPT_TRIANGLELIST, D3DFVF_VERTEX, scene.cube.vertices.data(),
                                  DWORD(scene.cube.vertices.size()), scene.cube.indices.data(),
                                  DWORD(scene.cube.indices.size()), 0);
    });
  }

  device.endScene();
  device.present();
}

double framesPerSecond(RenderDevice& device, Scene& scene, bool fieldLines, int& frames) {
  for (int frame = 0; frame < WARM_UP_FRAMES; ++frame) drawFrame(device, scene, frame, fieldLines);
  using Clock = std::chrono::steady_clock;
  const Clock::time_point start = Clock::now();
  double seconds = 0;
  for (frames = 0; seconds < MEASURED_SECONDS; ++frames) {
    drawFrame(device, scene, frames, fieldLines);
    pumpMessages();
    seconds = std::chrono::duration<double>(Clock::now() - start).count();
  }
  return frames / seconds;
}

}  // namespace

int main() {
  HWND window = makeWindow();
  pumpMessages();
  RenderDevice device;
  device.attachWindow(window);
  device.requireDrawPrimitive = true;
  const HRESULT started = device.startUp();
  if (FAILED(started)) {
    std::printf("device start-up failed: 0x%08lX\n", static_cast<unsigned long>(started));
    return 1;
  }
  device.resetMatrices();
  device.applyViewProjection();
  device.createMaterial(material(1, 1, 1));
  device.setRenderState(D3DRENDERSTATE_SPECULARENABLE, TRUE);

  std::printf("device frame benchmark: %d x %d, %s device, %s, %s presentation\n", WIDTH, HEIGHT,
              device.useHardware ? "hardware" : "software",
              device.useZBuffer ? "z-buffer" : "no z-buffer",
              device.presentByGdi ? "GDI" : "primary blit");
  Scene scene;
  int frames = 0;
  double rate = framesPerSecond(device, scene, false, frames);
  std::printf("%d-point list + %d cubes:    %7.1f frames/s (%d frames)\n", CLOUD_POINTS, CUBES, rate,
              frames);
  rate = framesPerSecond(device, scene, true, frames);
  std::printf("%d line calls + %d cubes:    %7.1f frames/s (%d frames)\n", CLOUD_POINTS, CUBES, rate,
              frames);

  device.tearDown();
  DestroyWindow(window);
  return 0;
}
