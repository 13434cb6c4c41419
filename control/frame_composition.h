// The frame composition: what one idle tick does, and the one operation that
// turns the dialog's state into a picture. A frame hands the circling light to
// the device, places the camera (orbiting the scene, or riding behind the
// player with "POV"), draws the ornaments ("Stuff"), steps the agents, draws
// the surface as points or as normal lines ("Field") and the cubes, and shows
// the frame. There is no clock: the animation advances by FRAME_TIME_STEP per
// frame.
#pragma once

#include "control/simulation_control.h"
#include "render/scene_renderer.h"

// Animation time added per frame while the camera orbits.
constexpr float FRAME_TIME_STEP = 0.003f;
// Light slot of the scene's one light.
constexpr int SCENE_LIGHT_SLOT = 1;
// Length of the normal lines that "Field" shows instead of the points.
constexpr float FIELD_LINE_LENGTH = 1.6f;
// How far behind the player the "POV" camera rides.
constexpr float POV_DISTANCE = 20.0f;

// The state a frame is composed from: the control logic's world, surface and
// time, the device and the renderer. The main dialog holds all three and
// composes its frames through this; it owns nothing.
struct FrameComposition {
  SimulationControl& control;
  SceneDevice& device;
  SceneRenderer& renderer;

  // As the dialog starts: the renderer attaches the device to the render
  // window, which starts it, then the default world is built. A device that
  // cannot start leaves everything else working: only no frame is drawn.
  void start(SceneWindow renderWindow);
  // One generation batch, then a frame while the device is ready.
  void idleTick();
  void composeFrame();

 private:
  void placeCamera();
  void drawOrnaments();
};
