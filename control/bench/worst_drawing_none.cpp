// The native build has no device: nothing is drawn.
#include "control/bench/worst_drawing.h"

double drawingMilliseconds(int, int, bool) { return -1.0; }
