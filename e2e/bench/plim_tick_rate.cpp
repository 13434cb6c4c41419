// Idle ticks per second of the real plim.exe beside the frames per second of
// the device alone drawing the same calls into a window of the same size, in
// one run on one display. The program is driven from outside; a probe library
// in it counts the frames it composes (e2e/driver/frame_probe.h), one per
// idle tick. Measured for the default world (1600 points, 44 NPCs) and ten
// times it (16000 points, 440 NPCs), "Field" off and on: while the cloud is
// sampled (a batch and a frame per tick) and while idle after the cloud is
// complete (a frame per tick, the animation users watch most of the time).
// The device alone (device/bench/device_frame.h) draws the calls of each of
// those frames into a window of the program's render-frame size, its camera
// on the program's orbit from where the program's stood.
//
// The processors are shared with whatever else runs, so the two are measured
// in short alternating rounds, the program stopped while the device draws,
// and each figure is the best of its rounds: the round least disturbed by
// other work. Prints figures; nothing is asserted. Runs in the Wine desktop
// it is started in.
#include "control/frame_composition.h"
#include "device/bench/device_frame.h"
#include "e2e/driver/plim_driver.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr DWORD GENERATION_TIMEOUT_MS = 600000;
constexpr int ROUNDS = 8;
constexpr DWORD ROUND_MS = 500;
// A round cut shorter than this by the end of a generation counts too few
// frames to tell a rate.
constexpr double SHORTEST_ROUND_SECONDS = 0.15;
// Captions are read this often while a cloud is sampled: seldom enough not
// to slow the program, often enough to see the generation end.
constexpr DWORD CAPTION_POLL_MS = 20;
// The frames right after a rebuild, a toggle or a pause are left out.
constexpr DWORD SETTLE_MS = 200;
// The Wine desktop the measurement runs in.
constexpr int DESKTOP_WIDTH = 1024;
constexpr int DESKTOP_HEIGHT = 768;
// A side is quiet when it uses less than this share of a processor.
constexpr double QUIET_SHARE = 0.05;
constexpr DWORD QUIET_CHECK_MS = 50;
constexpr DWORD QUIET_TIMEOUT_MS = 3000;

struct World {
  const char* name;
  int points;
  int npcs;
};

constexpr World WORLDS[] = {{"default", 1600, 44}, {"ten times", 16000, 440}};

// The rounds of one case: the program's rate and the device's in each.
struct Rounds {
  std::vector<double> program;
  std::vector<double> device;
};

double best(const std::vector<double>& values) {
  return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

bool waitForCloud(const PlimDriver& plim) {
  const double start = secondsNow();
  while (!plim.generationOver()) {
    if ((secondsNow() - start) * 1000 > GENERATION_TIMEOUT_MS) return false;
    Sleep(CAPTION_POLL_MS);
  }
  return true;
}

// Direct3D's command thread (Wine's) spins for a moment after the thread it
// serves stops drawing, and would take a processor from the side measured
// next: waits until the side has gone quiet.
template <typename Seconds>
void waitUntilQuiet(Seconds processorSeconds) {
  const double start = secondsNow();
  double used = processorSeconds();
  while ((secondsNow() - start) * 1000 < QUIET_TIMEOUT_MS) {
    Sleep(QUIET_CHECK_MS);
    const double nowUsed = processorSeconds();
    const bool quiet = nowUsed - used < QUIET_SHARE * QUIET_CHECK_MS / 1000;
    used = nowUsed;
    if (quiet) return;
  }
}

// Rebuilds the world (cancelling a running generation first) and replaces
// its NPCs.
void rebuild(const PlimDriver& plim, const World& world) {
  if (!plim.generationOver()) plim.click(IDC_REGENERATE);
  plim.setText(IDC_NUMVERTS, std::to_string(world.points));
  plim.click(IDC_REGENERATE);
  plim.setText(IDC_NPC, std::to_string(world.npcs));
  plim.click(IDC_NEW);
}

// One round: the program's frames for ROUND_MS (while generating, only as
// long as the generation runs), then the device's for as long, the program
// stopped meanwhile.
void round(const PlimDriver& plim, DeviceFrames& device, bool generating, Rounds& rounds) {
  Sleep(SETTLE_MS);
  const long firstFrames = plim.framesComposed();
  const double start = secondsNow();
  long lastFrames = firstFrames;
  double last = start;
  if (generating) {
    while ((secondsNow() - start) * 1000 < ROUND_MS) {
      Sleep(CAPTION_POLL_MS);
      const long frames = plim.framesComposed();
      const double at = secondsNow();
      if (plim.generationOver()) break;
      lastFrames = frames;
      last = at;
    }
  } else {
    Sleep(ROUND_MS);
    lastFrames = plim.framesComposed();
    last = secondsNow();
  }
  if (last - start < SHORTEST_ROUND_SECONDS) return;
  const double program = (lastFrames - firstFrames) / (last - start);
  // The device's camera starts where the program's stood: the program's
  // animation time is its frame count times the step, the camera orbiting.
  plim.pause();
  waitUntilQuiet([&] { return plim.processorSeconds(); });
  const double alone = device.draw(last - start, FRAME_TIME_STEP * firstFrames).framesPerSecond;
  waitUntilQuiet([] { return processorSeconds(GetCurrentProcess()); });
  plim.resume();
  rounds.program.push_back(program);
  rounds.device.push_back(alone);
}

// Runs the rounds with the device's window for the scene open; false when
// the device does not start.
template <typename Work>
bool measure(const PlimDriver& plim, const DeviceFrameScene& scene, Work rounds) {
  plim.pause();  // the program waits while the device's scene is made
  DeviceFrames device(scene);
  plim.resume();
  if (!device.started()) {
    std::printf("the device did not start\n");
    return false;
  }
  rounds(device);
  return true;
}

void report(const World& world, bool field, const char* state, const Rounds& rounds) {
  const double program = best(rounds.program);
  const double device = best(rounds.device);
  std::printf("%-10s %6d %5d %5s %-11s %8.1f %8.1f %8.2f\n", world.name, world.points,
              world.npcs + 1, field ? "on" : "off", state, program, device,
              device > 0 ? program / device : 0);
}

}  // namespace

int main() {
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  PlimDriver plim;
  const double launched = secondsNow();
  if (!plim.start()) {
    std::printf("cannot start %s\n", defaultProgramPath().c_str());
    return 1;
  }
  if (!plim.countFrames()) return 1;
  // Frames are counted from the dialog's showing on: a frame drawn before
  // that is missed, and the time may be one frame late.
  if (!waitUntil([&] { return plim.framesComposed() > 0; }, PlimDriver::START_TIMEOUT_MS)) {
    std::printf("the program drew no frame\n");
    return 1;
  }
  std::printf("first frame drawn %.0f ms after plim.exe was started\n",
              (secondsNow() - launched) * 1000);
  // The program's window at the top left, the device's at the bottom right:
  // neither covers the other.
  plim.move(0, 0);
  RECT frame{};
  GetClientRect(GetDlgItem(plim.dialog(), IDC_FRAME), &frame);
  DeviceFrameScene scene;
  scene.width = frame.right - frame.left;
  scene.height = frame.bottom - frame.top;
  scene.left = DESKTOP_WIDTH - scene.width;
  scene.top = DESKTOP_HEIGHT - scene.height;
  if (!plim.waitForGenerationEnd(GENERATION_TIMEOUT_MS)) {
    std::printf("the first cloud was not complete in time\n");
    return 1;
  }

  std::printf("plim.exe ticks/s beside the device alone drawing the same calls, render frame "
              "%d x %d; best of %d rounds of %lu ms\n",
              scene.width, scene.height, ROUNDS, ROUND_MS);
  std::printf("%-10s %6s %5s %5s %-11s %8s %8s %8s\n", "world", "points", "cubes", "Field",
              "state", "plim.exe", "device", "ratio");
  for (const World& world : WORLDS) {
    scene.points = world.points;
    scene.cubes = world.npcs + 1;
    for (const bool field : {false, true}) {
      scene.fieldLines = field;
      plim.setChecked(IDC_FIELD, field);
      // While a cloud is sampled the program draws the copy made at the
      // build, in which only the first batch is placed.
      scene.placedPoints = GENERATION_BATCH;
      Rounds generating;
      if (!measure(plim, scene, [&](DeviceFrames& device) {
            for (int i = 0; i < ROUNDS; ++i) {
              rebuild(plim, world);
              round(plim, device, true, generating);
            }
          })) {
        return 1;
      }
      report(world, field, "generating", generating);

      // The cloud is completed with "Field" off, which samples faster.
      plim.setChecked(IDC_FIELD, false);
      if (!waitForCloud(plim)) {
        std::printf("the %s cloud was not complete in time\n", world.name);
        return 1;
      }
      plim.setChecked(IDC_FIELD, field);
      scene.placedPoints = world.points;
      Rounds idle;
      if (!measure(plim, scene, [&](DeviceFrames& device) {
            for (int i = 0; i < ROUNDS; ++i) round(plim, device, false, idle);
          })) {
        return 1;
      }
      report(world, field, "idle", idle);
    }
  }
  if (!plim.close()) {
    std::printf("the program did not close\n");
    return 1;
  }
  return 0;
}
