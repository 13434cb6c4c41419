#include "device/bench/device_frame.h"

#include "device/render_device.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

namespace {

constexpr int WARM_UP_FRAMES = 30;

// The scene the program shows with its default parameters: six nodes of
// mass 3 and power 2 on a ring of radius 10 in the x-y plane, and the cloud
// on the band 0.25 +- 0.01 of their field, sampled in the cube of half-size
// 20, with normals towards rising field.
constexpr int BLOB_NODES = 6;
constexpr double BLOB_RING_RADIUS = 10.0;
constexpr double BLOB_MASS = 3.0;
constexpr double BLOB_LEVEL = 0.25;
constexpr double BLOB_RANGE = 0.01;
constexpr double SAMPLING_HALF_SIZE = 20.0;
constexpr double PI = 3.14159265358979;

// The agents' cubes and the normal lines, as the program sizes them.
constexpr float PLAYER_SCALE = 1.0f;
constexpr float NPC_SCALE = 0.3f;
constexpr float FIELD_LINE_LENGTH = 1.6f;
constexpr float LIT_SPECULAR_POWER = 12.0f;

// The orbit camera and the circling light, as functions of the animation
// time, which advances by FRAME_TIME_STEP per frame.
constexpr double FRAME_TIME_STEP = 0.003;
constexpr double ORBIT_TURN_RATE = 0.8;
constexpr double ORBIT_MEAN_DISTANCE = 34.0;
constexpr double ORBIT_SWING = 30.0;
constexpr double ORBIT_SWING_RATE = 0.3121;
constexpr double LIGHT_REACH = 15.0;
constexpr double LIGHT_TURN_RATE = 0.3;

HWND makeWindow(const DeviceFrameScene& shape) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "PlimDeviceFrame";
  RegisterClassA(&windowClass);
  return CreateWindowExA(0, windowClass.lpszClassName, "Plim device frame",
                         WS_POPUP | WS_VISIBLE, shape.left, shape.top, shape.width,
                         shape.height, nullptr, nullptr, windowClass.hInstance, nullptr);
}

void pumpMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

D3DMATRIX placement(const D3DVERTEX& at, float scale) {
  D3DMATRIX matrix{};
  matrix._11 = matrix._22 = matrix._33 = scale;
  matrix._44 = 1.0f;
  matrix._41 = at.x;
  matrix._42 = at.y;
  matrix._43 = at.z;
  return matrix;
}

D3DVERTEX vertex(double x, double y, double z, double nx, double ny, double nz) {
  D3DVERTEX v{};
  v.x = float(x);
  v.y = float(y);
  v.z = float(z);
  v.nx = float(nx);
  v.ny = float(ny);
  v.nz = float(nz);
  return v;
}

// The view from the orbit camera at animation time t: the eye on a circle
// in the x-z plane whose radius swings between 4 and 64, looking at the
// origin with y up (a left-handed look-at).
D3DMATRIX orbitView(double t) {
  const double angle = ORBIT_TURN_RATE * t;
  const double distance = ORBIT_MEAN_DISTANCE + ORBIT_SWING * std::sin(ORBIT_SWING_RATE * t);
  const double eye[3] = {distance * std::sin(angle), 0.0, distance * std::cos(angle)};
  const double d[3] = {-eye[0] / distance, 0.0, -eye[2] / distance};  // towards the origin
  const double r[3] = {d[2], 0.0, -d[0]};                               // up x d
  D3DMATRIX view{};
  view._11 = float(r[0]);
  view._21 = float(r[1]);
  view._31 = float(r[2]);
  view._22 = 1.0f;
  view._13 = float(d[0]);
  view._23 = float(d[1]);
  view._33 = float(d[2]);
  view._41 = float(-(r[0] * eye[0] + r[2] * eye[2]));
  view._43 = float(-(d[0] * eye[0] + d[2] * eye[2]));
  view._44 = 1.0f;
  return view;
}

// The agents' cube: eight corners at +-1 whose normals point out through
// them, twelve triangles.
struct Cube {
  std::vector<D3DVERTEX> vertices;
  std::vector<WORD> indices = {0, 1, 2, 2, 3, 0, 7, 6, 4, 4, 6, 5, 0, 4, 1, 1, 4, 5,
                               7, 3, 2, 2, 6, 7, 0, 3, 7, 7, 4, 0, 1, 5, 2, 2, 5, 6};
  Cube() {
    const double corners[8][3] = {{-1, -1, -1}, {1, -1, -1}, {1, -1, 1}, {-1, -1, 1},
                                  {-1, 1, -1},  {1, 1, -1},  {1, 1, 1},  {-1, 1, 1}};
    for (const auto& c : corners) vertices.push_back(vertex(c[0], c[1], c[2], c[0], c[1], c[2]));
  }
};

D3DMATERIAL lit(float r, float g, float b) {
  D3DMATERIAL m{};
  m.dwSize = sizeof(m);
  m.dcvDiffuse.r = r;
  m.dcvDiffuse.g = g;
  m.dcvDiffuse.b = b;
  m.dvPower = LIT_SPECULAR_POWER;
  return m;
}

D3DMATERIAL glowing(float r, float g, float b) {
  D3DMATERIAL m{};
  m.dwSize = sizeof(m);
  m.dcvEmissive.r = r;
  m.dcvEmissive.g = g;
  m.dcvEmissive.b = b;
  m.dvPower = LIT_SPECULAR_POWER;
  return m;
}

// The blob's field at p and its gradient, which points towards the nodes.
double blobField(const double p[3], double gradient[3]) {
  double field = 0;
  gradient[0] = gradient[1] = gradient[2] = 0;
  for (int i = 0; i < BLOB_NODES; ++i) {
    const double angle = 2 * PI * i / BLOB_NODES;
    const double offset[3] = {p[0] - BLOB_RING_RADIUS * std::cos(angle),
                              p[1] - BLOB_RING_RADIUS * std::sin(angle), p[2]};
    const double squared = offset[0] * offset[0] + offset[1] * offset[1] + offset[2] * offset[2];
    field += BLOB_MASS / squared;
    for (int axis = 0; axis < 3; ++axis) {
      gradient[axis] -= 2 * BLOB_MASS * offset[axis] / (squared * squared);
    }
  }
  return field;
}

// Points on the blob's band by rejection sampling, with their unit normals,
// then points at the origin without normals up to the given count.
std::vector<D3DVERTEX> blobCloud(int placed, int points) {
  std::vector<D3DVERTEX> cloud;
  unsigned state = 1;
  auto draw = [&state] {
    state = state * 1103515245u + 12345u;
    return ((state >> 8) % 10000) / 5000.0 - 1.0;
  };
  while (int(cloud.size()) < placed) {
    const double p[3] = {SAMPLING_HALF_SIZE * draw(), SAMPLING_HALF_SIZE * draw(),
                         SAMPLING_HALF_SIZE * draw()};
    double g[3];
    if (std::fabs(blobField(p, g) - BLOB_LEVEL) > BLOB_RANGE) continue;
    const double length = std::sqrt(g[0] * g[0] + g[1] * g[1] + g[2] * g[2]);
    cloud.push_back(vertex(p[0], p[1], p[2], g[0] / length, g[1] / length, g[2] / length));
  }
  cloud.resize(std::max(points, placed), vertex(0, 0, 0, 0, 0, 0));
  return cloud;
}

struct Scene {
  DeviceFrameScene shape;
  std::vector<D3DVERTEX> cloud;
  std::vector<D3DMATRIX> cubePlaces;
  Cube cube;
  D3DMATRIX identity = placement(vertex(0, 0, 0, 0, 0, 0), 1.0f);

  explicit Scene(const DeviceFrameScene& s)
      : shape(s), cloud(blobCloud(s.placedPoints, s.points)) {
    // The player first, then the NPCs, each on a point of the blob.
    const std::vector<D3DVERTEX> places = blobCloud(s.cubes, s.cubes);
    for (int i = 0; i < shape.cubes; ++i) {
      const D3DVERTEX& on = places[i];
      cubePlaces.push_back(placement(on, i == 0 ? PLAYER_SCALE : NPC_SCALE));
    }
  }
};

// One node as the scene renderer draws it: save the world transform, set the
// node's, its material, fill and cull, draw, restore.
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

void drawFrame(RenderDevice& device, Scene& scene, double t) {
  D3DLIGHT2 light{};
  light.dwSize = sizeof(light);
  light.dltType = D3DLIGHT_DIRECTIONAL;
  light.dcvColor.r = light.dcvColor.g = light.dcvColor.b = 1.0f;
  light.dvDirection.y = float(LIGHT_REACH * std::sin(LIGHT_TURN_RATE * t));
  light.dvDirection.z = float(LIGHT_REACH * std::cos(LIGHT_TURN_RATE * t));
  light.dwFlags = D3DLIGHT_ACTIVE;
  device.setLight(1, light);

  device.view = orbitView(t);
  device.clear();
  device.beginScene();
  device.applyViewProjection();

  // The surface: points unlit in their colour, or lit field lines, both
  // under the point fill mode of the surface node.
  const D3DMATERIAL surfaceLook = glowing(1, 1, 1);
  drawNode(device, scene.identity, surfaceLook, D3DFILL_POINT, D3DCULL_NONE, [&] {
    if (!scene.shape.fieldLines) {
      device.drawPrimitive(D3DPT_POINTLIST, D3DFVF_VERTEX, scene.cloud.data(),
                           DWORD(scene.cloud.size()), D3DDP_DONOTLIGHT);
      return;
    }
    device.updateMaterial(lit(1, 1, 1));
    for (const D3DVERTEX& point : scene.cloud) {
      D3DVERTEX line[2] = {vertex(point.x, point.y, point.z, 0, 0, 1),
                           vertex(point.x + FIELD_LINE_LENGTH * point.nx,
                                  point.y + FIELD_LINE_LENGTH * point.ny,
                                  point.z + FIELD_LINE_LENGTH * point.nz, 0, 0, 0)};
      device.drawPrimitive(D3DPT_LINELIST, D3DFVF_VERTEX, line, 2, 0);
    }
  });

  // The cubes solid and lit ("tex").
  for (int i = 0; i < scene.shape.cubes; ++i) {
    const D3DMATERIAL look = lit(float(i % 3 == 0), float(i % 3 == 1), float(i % 3 == 2));
    drawNode(device, scene.cubePlaces[i], look, D3DFILL_SOLID, D3DCULL_CCW, [&] {
      device.drawIndexedPrimitive(D3DPT_TRIANGLELIST, D3DFVF_VERTEX, scene.cube.vertices.data(),
                                  DWORD(scene.cube.vertices.size()), scene.cube.indices.data(),
                                  DWORD(scene.cube.indices.size()), 0);
    });
  }

  device.endScene();
  device.present();
}

}  // namespace

struct DeviceFrames::State {
  HWND window = nullptr;
  RenderDevice device;
  Scene scene;
  bool started = false;
  bool warm = false;

  explicit State(const DeviceFrameScene& shape) : scene(shape) {}
};

DeviceFrames::DeviceFrames(const DeviceFrameScene& shape)
    : state(std::make_unique<State>(shape)) {
  state->window = makeWindow(shape);
  pumpMessages();
  RenderDevice& device = state->device;
  device.attachWindow(state->window);
  device.requireDrawPrimitive = true;
  if (FAILED(device.startUp())) return;
  state->started = true;
  device.resetMatrices();
  device.applyViewProjection();
  device.createMaterial(lit(1, 1, 1));
  device.setRenderState(D3DRENDERSTATE_SPECULARENABLE, TRUE);
}

DeviceFrames::~DeviceFrames() {
  state->device.tearDown();
  DestroyWindow(state->window);
}

bool DeviceFrames::started() const { return state->started; }

DeviceFrameRate DeviceFrames::draw(double seconds, double startTime) {
  DeviceFrameRate rate;
  if (!state->started) return rate;
  if (!state->warm) {
    for (int frame = 0; frame < WARM_UP_FRAMES; ++frame) {
      drawFrame(state->device, state->scene, startTime);
    }
    state->warm = true;
  }
  using Clock = std::chrono::steady_clock;
  const Clock::time_point start = Clock::now();
  double elapsed = 0;
  for (; elapsed < seconds; ++rate.frames) {
    drawFrame(state->device, state->scene, startTime + FRAME_TIME_STEP * rate.frames);
    pumpMessages();
    elapsed = std::chrono::duration<double>(Clock::now() - start).count();
  }
  rate.framesPerSecond = rate.frames / elapsed;
  return rate;
}
