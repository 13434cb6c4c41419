#include "control/frame_composition.h"

#include "control/control_ids.h"

#include <cmath>
#include <memory>
#include <new>

namespace {

// The light: white, directional, its position and direction circling with
// the animation time t. The direction is handed over unnormalised.
D3DLIGHT2 sceneLight(double t) {
  D3DLIGHT2 light{};
  light.dwSize = sizeof(D3DLIGHT2);
  light.dltType = D3DLIGHT_DIRECTIONAL;
  light.dcvColor.r = 1.0f;
  light.dcvColor.g = 1.0f;
  light.dcvColor.b = 1.0f;
  light.dcvColor.a = 0.0f;
  light.dvPosition.x = stored(15.0 * std::sin(3.0 * t));
  light.dvPosition.y = stored(15.0 * std::cos(1.1 * t));
  light.dvPosition.z = stored(1.0 + 15.0 * std::cos(3.0 * t));
  light.dvDirection.x = 0.0f;
  light.dvDirection.y = stored(15.0 * std::sin(0.3 * t));
  light.dvDirection.z = stored(15.0 * std::cos(0.3 * t));
  light.dwFlags = D3DLIGHT_ACTIVE;
  return light;
}

// One of the three ornament cubes at animation time t: its place (also the
// axis it is turned about), turn, size and colours.
struct Ornament {
  Vector3 position;
  float angle;
  Vector3 scaling;
  ColorRgb diffuse;
  ColorRgb emissive;
};

float size(double angle) { return stored(std::sin(angle) + 1.2); }
float diffuseShade(double angle) { return stored((std::sin(angle) + 1.0) * 0.5); }
float glow(double angle) { return stored((std::sin(angle) + 1.0) * 0.1); }

Ornament ornament(int which, double t) {
  switch (which) {
    case 0:
      return {{stored(2 * std::sin(1.3 * t)), stored(2 * std::cos(t)), 0.0f},
              1.3f,
              {size(0.2 * t), size(0.27 * t), size(0.32 * t)},
              {diffuseShade(t), diffuseShade(1.1 * t), diffuseShade(1.3 * t)},
              {glow(0.9 * t), glow(1.1 * t - 1), glow(1.2 * t)}};
    case 1:
      return {{stored(3 * std::sin(t)), stored(3 * std::cos(t)), 0.0f},
              0.7f,
              {size(0.32 * t), size(0.17 * t), size(0.12 * t)},
              {diffuseShade(t + 1), diffuseShade(1.2 * t), diffuseShade(1.1 * t)},
              {glow(t), glow(1.1 * t), glow(1.3 * t)}};
    default:
      return {{stored(3 * std::sin(0.7 * t)), 0.0f, stored(3 * std::cos(-t))},
              2.0f,
              {size(0.132 * t), size(0.417 * t), size(0.112 * t)},
              {diffuseShade(2.9 * t), diffuseShade(1.1 * t - 1), diffuseShade(1.2 * t)},
              {glow(t + 1), glow(1.2 * t), glow(1.1 * t)}};
  }
}

constexpr int ORNAMENT_COUNT = 3;

}  // namespace

void FrameComposition::start(SceneWindow renderWindow) {
  renderer.attach(&device, renderWindow);
  control.buildDefaultWorld();
}

void FrameComposition::idleTick() {
  control.generationTick();
  if (device.ready) composeFrame();
}

void FrameComposition::composeFrame() {
  if (!control.world || !control.surface) return;
  BlobWorld& world = *control.world;
  MeshNode& surface = *control.surface;
  ControlPanel& panel = *control.panel;

  device.setLight(SCENE_LIGHT_SLOT, sceneLight(control.elapsedTime));
  placeCamera();
  renderer.beginFrame();
  if (panel.isChecked(IDC_STUFF)) drawOrnaments();

  // The camera of this frame was placed from the player before this step.
  world.stepAgents();

  surface.scaling = DEFAULT_SCALING;
  const bool field = panel.isChecked(IDC_FIELD);
  surface.drawSurface = !field;
  surface.normalLength = field ? FIELD_LINE_LENGTH : 0.0f;
  renderer.drawNode(surface);

  renderer.drawNode(*world.player->mesh);
  for (int i = 0; i < world.npcCount; ++i) renderer.drawNode(*world.npcs[i]->mesh);
  renderer.endFrame();
}

void FrameComposition::placeCamera() {
  const BlobWorld& world = *control.world;
  if (!control.panel->isChecked(IDC_POV)) {
    // Orbit the origin on a radius that swings between 4 and 64.
    control.elapsedTime = stored(double(control.elapsedTime) + FRAME_TIME_STEP);
    const double t = control.elapsedTime;
    const double a = 0.8 * t;
    const double d = 34.0 + 30.0 * std::sin(0.3121 * t);
    renderer.eye.set(stored(d * std::sin(a)), 0.0f, stored(d * std::cos(a)));
    renderer.lookAt.set(0.0f, 0.0f, 0.0f);
    renderer.up.set(0.0f, 1.0f, 0.0f);
    return;
  }
  // Ride behind the player, time standing still; up is the direction the
  // field pushes away from the nodes.
  const Agent& player = *world.player;
  const Vector3 target = player.mesh->position;
  Vector3 heading = player.velocity;
  normalize(heading);
  const Vector3 eye{stored(target.x - double(POV_DISTANCE) * heading.x),
                    stored(target.y - double(POV_DISTANCE) * heading.y),
                    stored(target.z - double(POV_DISTANCE) * heading.z)};

  Vector3 up;
  for (int i = 0; i < world.nodeCount; ++i) world.nodes[i].addFieldVector(target, up);
  normalize(up);

  renderer.eye = eye;
  renderer.lookAt = target;
  renderer.up = up;
}

void FrameComposition::drawOrnaments() {
  // One node serves the three ornaments and lives for this frame only.
  std::unique_ptr<MeshNode> node(new (std::nothrow) MeshNode);
  if (node == nullptr) return;
  node->makeUnitCube();
  node->fillBuffers();
  const double t = control.elapsedTime;
  for (int which = 0; which < ORNAMENT_COUNT; ++which) {
    const Ornament o = ornament(which, t);
    node->position = o.position;
    node->scaling = o.scaling;
    node->setOrientation(o.position, o.angle);
    node->diffuseColor = o.diffuse;
    node->emissiveColor = o.emissive;
    renderer.drawNode(*node);
  }
  node->reset();
}
