// Identifiers of the program's resources and of the main dialog's controls.
// The resource script includes this file, so it holds #defines only.
#pragma once

// The main dialog's controls.
#include "control/control_ids.h"

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_MAIN 102
#define IDR_MAINFRAME 128

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// The About item of the system menu. System commands of the program's own
// keep the low four bits clear, as the system's own commands do.
#define IDM_ABOUTBOX 0x0010
