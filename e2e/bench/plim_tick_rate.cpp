// Idle ticks per second of the real plim.exe, measured from outside with the
// driver while the program samples its point cloud: every tick places one
// batch and draws one frame, and the Regenerate button counts the batches
// down, so the ticks between the first countdown seen and the return to
// "Regenerate" over the time between them is the tick rate. Measured for the
// default world, with "Field" on and with "Stuff" on (each a rebuild of the
// default world with the toggle set), a few generations each. Prints figures;
// nothing is asserted. Runs in the Wine desktop that it is started in.
#include "e2e/driver/plim_driver.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr DWORD GENERATION_TIMEOUT_MS = 120000;
constexpr int GENERATIONS_PER_CASE = 3;
constexpr int GENERATION_BATCH = 10;

struct Generation {
  int ticks = 0;
  double seconds = 0;
  double rate() const { return seconds > 0 ? ticks / seconds : 0; }
};

double now() {
  LARGE_INTEGER counter;
  LARGE_INTEGER frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return double(counter.QuadPart) / double(frequency.QuadPart);
}

// Times a generation from the first countdown caption seen ("cancel N":
// N + 1 points, so (N + 1) / 10 ticks, remain) to the caption "Regenerate".
bool timeGeneration(const PlimDriver& plim, Generation& generation) {
  int remaining = -1;
  double start = 0;
  const bool seen = waitUntil(
      [&] {
        char rest = 0;
        const std::string caption = plim.text(IDC_REGENERATE);
        if (std::sscanf(caption.c_str(), "cancel %d%c", &remaining, &rest) != 1) return false;
        start = now();
        return true;
      },
      GENERATION_TIMEOUT_MS);
  if (!seen) return false;
  if (!waitUntil([&] { return plim.text(IDC_REGENERATE) == "Regenerate"; },
                 GENERATION_TIMEOUT_MS)) {
    return false;
  }
  generation.seconds = now() - start;
  generation.ticks = (remaining + 1) / GENERATION_BATCH;
  return true;
}

void report(const char* name, std::vector<Generation> generations) {
  std::sort(generations.begin(), generations.end(),
            [](const Generation& a, const Generation& b) { return a.rate() < b.rate(); });
  std::printf("%-28s median %6.1f ticks/s (", name, generations[generations.size() / 2].rate());
  for (size_t i = 0; i < generations.size(); ++i) {
    std::printf("%s%d ticks in %.3f s", i ? ", " : "", generations[i].ticks,
                generations[i].seconds);
  }
  std::printf(")\n");
}

// Rebuilds the world from the edits (the program is idle) and times it.
bool timeRebuilds(const PlimDriver& plim, const char* name) {
  std::vector<Generation> generations(GENERATIONS_PER_CASE);
  for (Generation& generation : generations) {
    plim.click(IDC_REGENERATE);
    if (!timeGeneration(plim, generation)) return false;
  }
  report(name, generations);
  return true;
}

}  // namespace

int main() {
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  std::printf("plim.exe idle ticks per second while the default cloud of 1600 points is "
              "sampled (10 points and one frame per tick)\n");
  PlimDriver plim;
  const double launched = now();
  if (!plim.start()) {
    std::printf("cannot start %s\n", defaultProgramPath().c_str());
    return 1;
  }
  const double shown = now();
  Generation first;
  if (!timeGeneration(plim, first)) {
    std::printf("the first generation did not end\n");
    return 1;
  }
  std::printf("start-up: dialog shown after %.3f s, cloud complete after %.3f s\n",
              shown - launched, now() - launched);
  report("default world (first run)", {first});

  if (!timeRebuilds(plim, "default world (rebuilt)")) return 1;
  plim.setChecked(IDC_FIELD, true);
  if (!timeRebuilds(plim, "\"Field\" on")) return 1;
  plim.setChecked(IDC_FIELD, false);
  plim.setChecked(IDC_STUFF, true);
  if (!timeRebuilds(plim, "\"Stuff\" on")) return 1;
  plim.setChecked(IDC_STUFF, false);

  if (!plim.close()) {
    std::printf("the program did not close\n");
    return 1;
  }
  return 0;
}
