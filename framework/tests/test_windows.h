// Helpers for the tests that run real windows.
#pragma once

#include "framework/afxwin.h"

// Empties this thread's queue without the application's loop, so that a
// test's loop starts empty: windows get their messages, a quit is dropped.
void emptyQueue();

// Handles every message waiting in this thread's queue through the
// application's loop step, as the running program would.
void handleMessages(CWinApp& app);

// A visible top-level window for tests that need painting. It is made once
// and never hidden or destroyed: on a display without a window manager that
// takes seconds.
HWND visibleHostWindow();
