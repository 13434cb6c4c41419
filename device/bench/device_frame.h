// The device alone drawing the calls of Plim's frames: the reference that
// the whole program's tick rate is held against. A frame is the calls the
// scene renderer makes for the program's scene: the light, the clear and the
// orbit camera's view, the surface cloud as one point list (or, with
// "Field", one two-vertex line call per point), the player's cube and the
// NPCs' cubes, each node with its transform, material and states, then the
// end of the scene and the present, into a window of the program's
// render-frame size. The cloud lies on the default blob and the camera and
// the light follow the program's animation time, so that what is drawn
// covers the frame as the program's does.
#pragma once

#include <memory>

struct DeviceFrameScene {
  int left = 0;    // render window on the screen, pixels
  int top = 0;
  int width = 0;
  int height = 0;
  int points = 0;  // surface cloud
  // Points of the cloud placed on the blob; the others lie at the origin
  // with no normal, as the program draws a cloud it is still sampling.
  int placedPoints = 0;
  int cubes = 0;   // the player's and the NPCs'
  bool fieldLines = false;
};

struct DeviceFrameRate {
  int frames = 0;
  double framesPerSecond = 0;
};

// A window of the scene's size with a started device and the scene's
// geometry, drawing frames on demand, so that a measurement can alternate
// with another one in short rounds.
class DeviceFrames {
 public:
  explicit DeviceFrames(const DeviceFrameScene& scene);
  ~DeviceFrames();
  DeviceFrames(const DeviceFrames&) = delete;
  DeviceFrames& operator=(const DeviceFrames&) = delete;

  // False when the device could not start; nothing is drawn then.
  bool started() const;
  // Draws frames for the given time, the animation starting at startTime
  // and advancing as the program's does, and returns the rate; the first
  // call draws a few frames of warm-up first.
  DeviceFrameRate draw(double seconds, double startTime = 0);

 private:
  struct State;
  std::unique_ptr<State> state;
};
