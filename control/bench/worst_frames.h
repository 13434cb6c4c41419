// Whole frames of a heaviest world as the program composes them: the agents'
// steps (field work within their allowance) and the drawing of the cloud and
// of every cube where the agents stand, on the machine's DirectDraw in a
// window of the render frame's size as the dialog opens. The build chooses
// the file: the native build has no device.
#pragma once

#include "control/simulation_control.h"

// The longest of the given number of frames of the control's world, in
// milliseconds; negative where there is no device to draw with.
double longestFrameMilliseconds(SimulationControl& control, int frames);
