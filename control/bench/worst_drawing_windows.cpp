// The device alone drawing the calls of a heaviest world's frame
// (device/bench/device_frame.h).
#include "control/bench/worst_drawing.h"

#include "device/bench/device_frame.h"

namespace {

// The render frame of the dialog as it opens (under Wine's default fonts).
constexpr int FRAME_WIDTH = 368;
constexpr int FRAME_HEIGHT = 375;
constexpr double MEASURED_SECONDS = 1.0;

}  // namespace

double drawingMilliseconds(int points, int cubes, bool fieldLines) {
  DeviceFrameScene scene;
  scene.width = FRAME_WIDTH;
  scene.height = FRAME_HEIGHT;
  scene.points = points;
  scene.placedPoints = points;
  scene.cubes = cubes;
  scene.fieldLines = fieldLines;
  DeviceFrames frames(scene);
  if (!frames.started()) return -1.0;
  const DeviceFrameRate rate = frames.draw(MEASURED_SECONDS);
  return rate.framesPerSecond > 0 ? 1000.0 / rate.framesPerSecond : -1.0;
}
