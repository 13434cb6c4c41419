// Builds the default world and runs exactly one generation tick: the program
// that callgrind counts the instructions of one tick with,
//   valgrind --tool=callgrind --toggle-collect='SimulationControl::generationTick()' one_tick
#include "control/bench/silent_panel.h"
#include "control/simulation_control.h"

#include <cstdio>

int main() {
  SilentPanel panel;
  SimulationControl control;
  control.panel = &panel;
  control.buildDefaultWorld();
  control.generationTick();
  std::printf("one tick: cursor %d of %d\n", control.genCursor, control.surface->pointCount);
  return 0;
}
