// The program's one application object, which the framework's entry point
// runs.
#include "shell/main_app.h"

CMainApp theApp;
