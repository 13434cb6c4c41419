// The window layer of the program in one include: the application object and
// its message loop, windows, dialogs, controls, menus, paint contexts,
// strings and message maps.
#pragma once

#include "framework/app.h"
#include "framework/cstring.h"
#include "framework/dialog.h"
#include "framework/message_map.h"
#include "framework/wnd.h"
