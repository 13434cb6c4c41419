// Identifiers of the program's resources and of the main dialog's controls.
// The resource script includes this file, so it holds #defines only.
#pragma once

// The controls that the control logic and the frame composition reach.
#include "control/control_ids.h"

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_MAIN 102
#define IDR_MAINFRAME 128

#define IDC_FRAME 1000
#define IDC_TEX 1003
#define IDC_WIRE 1004
#define IDC_POINT 1005
#define IDC_NEW 1018

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// The About item of the system menu. System commands of the program's own
// keep the low four bits clear, as the system's own commands do.
#define IDM_ABOUTBOX 0x0010
