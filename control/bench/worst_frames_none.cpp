// The native build has no device: no frame is composed.
#include "control/bench/worst_frames.h"

double longestFrameMilliseconds(SimulationControl&, int) { return -1.0; }
