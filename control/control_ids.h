// Identifiers of the main dialog's controls: the resource script lays them
// out, the control logic and the frame composition reach some of them
// through the control panel, and the page names its elements after them
// (control/controls.h). Plain #defines, because the resource script includes
// this file too.
#pragma once

#define IDC_FRAME 1000
#define IDC_TEX 1003
#define IDC_WIRE 1004
#define IDC_POINT 1005
#define IDC_STUFF 1006
#define IDC_NUMVERTS 1007
#define IDC_NODES 1008
#define IDC_RAD 1009
#define IDC_MASS 1010
#define IDC_POW 1011
#define IDC_REGENERATE 1012
#define IDC_LEVEL 1013
#define IDC_RNGE 1014
#define IDC_POV 1015
#define IDC_FIELD 1016
#define IDC_NPC 1017
#define IDC_NEW 1018
