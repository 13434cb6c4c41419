// The longest idle ticks of the heaviest worlds the edits accept: for each
// worst case (control/bench/worst_cases.h) it types the edits, presses
// "Regenerate" and "New" like a user, then runs the field work of idle ticks
// as the program's idle loop does: a generation batch and a frame of agent
// steps. It prints, per case, the longest of the two presses, the median and
// the longest tick of field work with the field terms the longest evaluated
// and the points placed; then, apart from the field work, the longest of a
// few whole frames composed on the machine's device (the frame's agent steps
// and the drawing of the world where it stands; the Windows build only: the
// native build has no device). At the end, the longest tick of field work of
// all. Prints figures; nothing is asserted.
//   build/native/bench/worst_ticks [ticks per case]
#include "control/bench/worst_cases.h"
#include "control/bench/worst_frames.h"
#include "control/control_ids.h"
#include "control/simulation_control.h"
#include "testing/fake_panel.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int DEFAULT_TICKS_PER_CASE = 100;
constexpr int FRAMES_PER_CASE = 10;

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

template <typename Work>
double timed(Work work) {
  const Clock::time_point start = Clock::now();
  work();
  return millisecondsSince(start);
}

struct CaseFigures {
  double longestPress = 0;
  double longestTick = 0;
  double medianTick = 0;
  long long longestTickTerms = 0;
  int pointsPlaced = 0;
  double longestFrame = 0;
};

CaseFigures run(const WorstCase& worst, int ticks) {
  FakePanel panel;
  SimulationControl control;
  control.panel = &panel;
  control.buildDefaultWorld();
  control.OnRegenerate();  // cancels the default generation
  for (int i = 0; i < PARAMETER_COUNT; ++i) panel.edits[PARAMETER_EDITS[i]] = worst.edits[i];

  CaseFigures figures;
  figures.longestPress = timed([&] { control.OnRegenerate(); });
  panel.edits[IDC_NPC] = worst.edits[NPC_EDIT];
  figures.longestPress = std::max(figures.longestPress, timed([&] { control.OnNew(); }));
  std::vector<double> tickTimes;
  for (int tick = 0; tick < ticks; ++tick) {
    const long long termsBefore = control.world->termsEvaluated;
    const double milliseconds = timed([&] {
      control.generationTick();
      control.world->stepAgents();
    });
    if (milliseconds > figures.longestTick) {
      figures.longestTick = milliseconds;
      figures.longestTickTerms = control.world->termsEvaluated - termsBefore;
    }
    tickTimes.push_back(milliseconds);
  }
  std::nth_element(tickTimes.begin(), tickTimes.begin() + ticks / 2, tickTimes.end());
  figures.medianTick = tickTimes[ticks / 2];
  figures.pointsPlaced = control.genCursor;
  panel.checks[IDC_FIELD] = worst.field;
  figures.longestFrame = longestFrameMilliseconds(control, FRAMES_PER_CASE);
  return figures;
}

}  // namespace

int main(int argc, char** argv) {
  const int ticks = argc > 1 ? std::max(1, std::atoi(argv[1])) : DEFAULT_TICKS_PER_CASE;
  std::printf("worst idle ticks: field work (generation batch + agent steps), %d ticks per case;"
              " whole frames (agent steps + drawing), %d per case\n",
              ticks, FRAMES_PER_CASE);
  std::printf("%-22s %9s %10s %11s %14s %7s %11s\n", "case", "press ms", "median ms",
              "longest ms", "terms longest", "points", "frame ms");
  double longest = 0;
  const char* longestCase = "";
  for (const WorstCase& worst : WORST_CASES) {
    const CaseFigures figures = run(worst, ticks);
    std::printf("%-22s %9.1f %10.1f %11.1f %14lld %7d ", worst.name, figures.longestPress,
                figures.medianTick, figures.longestTick, figures.longestTickTerms,
                figures.pointsPlaced);
    if (figures.longestFrame < 0) {
      std::printf("%11s\n", "-");
    } else {
      std::printf("%11.1f\n", figures.longestFrame);
    }
    if (figures.longestTick > longest) {
      longest = figures.longestTick;
      longestCase = worst.name;
    }
  }
  std::printf("longest tick of field work: %.1f ms (%s)\n", longest, longestCase);
  return 0;
}
