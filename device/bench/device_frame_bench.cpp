// Frames per second of the RenderDevice alone, drawing the calls of a Plim
// frame (device/bench/device_frame.h) for the default world (1600 points,
// the player and 44 NPCs) and for ten times it (16000 points, the player and
// 440 NPCs), the cloud as points and as field lines. The frame is the
// program's render frame at the dialog's first size unless a size is given;
// with counts it draws only that cloud (points and lines) and that many cubes:
//   device_frame_bench.exe [width height [points cubes]]
// scripts/tick-rate holds these figures against the program's own.
#include "device/bench/device_frame.h"

#include <cstdio>
#include <cstdlib>
#include <initializer_list>

namespace {

// The render frame of the dialog as it opens (under Wine's default fonts).
constexpr int FRAME_WIDTH = 368;
constexpr int FRAME_HEIGHT = 375;
// The default world's cloud and NPCs; the player's cube comes with them.
constexpr int DEFAULT_POINTS = 1600;
constexpr int DEFAULT_NPCS = 44;
constexpr double MEASURED_SECONDS = 3.0;

}  // namespace

int main(int argc, char** argv) {
  DeviceFrameScene scene;
  scene.width = argc > 2 ? std::atoi(argv[1]) : FRAME_WIDTH;
  scene.height = argc > 2 ? std::atoi(argv[2]) : FRAME_HEIGHT;
  std::printf("device frame benchmark, %d x %d render window\n", scene.width, scene.height);
  const bool counted = argc > 4;
  for (const int scale : {1, 10}) {
    scene.points = counted ? std::atoi(argv[3]) : DEFAULT_POINTS * scale;
    scene.cubes = counted ? std::atoi(argv[4]) : 1 + DEFAULT_NPCS * scale;
    if (counted && scale > 1) break;
    scene.placedPoints = scene.points;
    for (const bool lines : {false, true}) {
      scene.fieldLines = lines;
      DeviceFrames frames(scene);
      if (!frames.started()) {
        std::printf("the device did not start\n");
        return 1;
      }
      const DeviceFrameRate rate = frames.draw(MEASURED_SECONDS);
      std::printf("%6d %s + %4d cubes: %8.1f frames/s (%d frames)\n", scene.points,
                  lines ? "line calls" : "point list", scene.cubes, rate.framesPerSecond,
                  rate.frames);
    }
  }
  return 0;
}
