// The application: one global CMainApp, which opens the main dialog as the
// program's main window and draws a frame whenever the message queue is
// empty, so the animation runs continuously.
#pragma once

#include "framework/afxwin.h"
#include "shell/main_dlg.h"

class CMainApp : public CWinApp {
 public:
  CMainApp() : CWinApp(nullptr) {}

  // The main dialog, owned; also the application's main window.
  CMainDlg* dialog = nullptr;

  // Opens the main dialog. Without it the program has nothing to show and
  // nothing the user could close: start-up fails and the program ends.
  BOOL InitInstance() override;
  BOOL OnIdle(LONG lCount) override;
  int ExitInstance() override;

  DECLARE_MESSAGE_MAP()
};
