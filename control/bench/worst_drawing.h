// What the device takes to draw a frame of a heaviest world: its whole cloud
// (as one point list, or with "Field" as one line call per point) and the
// player's and every NPC's cube, in a window of the render frame's size as
// the dialog opens. The build chooses the file: the Windows build draws on
// the machine's DirectDraw, the native build has no device.
#pragma once

// Milliseconds a frame takes, on average over a second of frames; negative
// where there is no device to draw with.
double drawingMilliseconds(int points, int cubes, bool fieldLines);
