// SceneRenderer: draws mesh nodes through the device the build links (the
// Direct3D RenderDevice for Windows; see scene_device.h). It sets the device
// up once (attach), turns its camera into the view matrix at the start of a
// frame, draws each node with its world transform, material, fill and cull
// states, its points or triangles and its normal lines, then its children,
// and closes the frame. It also holds the global fill mode that the "tex",
// "wire" and "point" buttons choose for the nodes that follow it.
#pragma once

#include "scene/mesh_node.h"
#include "scene/vector3.h"
#include "render/scene_device_seam.h"

// Specular power of the lit modes.
constexpr float LIT_SPECULAR_POWER = 12.0f;

// attach's results.
constexpr int ATTACHED = 0;
constexpr int NOTHING_TO_ATTACH = 1;

struct SceneRenderer {
  // The material of the node being drawn, rewritten and resubmitted for every
  // node and kept between nodes and frames.
  D3DMATERIAL material{};
  // Render mode of the nodes whose own mode is RENDER_MODE_GLOBAL.
  int globalFillMode = RENDER_MODE_TEXTURED;
  // When set, the global fill mode applies to every node; nothing sets it.
  bool forceGlobalMode = false;
  // The camera: where it is, what it looks at, which way is up (any length,
  // need not be perpendicular to the view).
  Vector3 eye;
  Vector3 lookAt;
  Vector3 up;
  SceneDevice* device = nullptr;  // not owned
  SceneWindow window = nullptr;

  SceneRenderer();

  // Starts the device on the window with the fixed projection, an identity
  // view, the renderer's material and specular highlights. Returns
  // NOTHING_TO_ATTACH when the device or the window is missing; otherwise
  // ATTACHED, whatever the device reported (a device that failed draws
  // nothing).
  int attach(SceneDevice* renderDevice, SceneWindow renderWindow);

  // The camera's view matrix, clear, begin the scene. A camera whose eye is
  // on its target, or that finds no up direction, keeps the last view.
  void beginFrame();
  // End the scene and show it in the window.
  void endFrame();

  // Draws the node and its children; the device's world transform is left
  // as it was found. Returns the result of restoring it.
  HRESULT drawNode(MeshNode& node);

 private:
  void writeMaterial(const MeshNode& node, int mode);
  void drawNormalLines(MeshNode& node);
};
