// The application: one global CMainApp, which opens the main dialog as the
// program's main window and draws a frame whenever the message queue is
// empty, so the animation runs continuously.
#include "framework/afxwin.h"
#include "shell/main_dlg.h"

class CMainApp : public CWinApp {
 public:
  CMainApp() : CWinApp(nullptr) {}

  // The main dialog, owned; also the application's main window.
  CMainDlg* dialog = nullptr;

  BOOL InitInstance() override;
  BOOL OnIdle(LONG lCount) override;
  int ExitInstance() override;

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CMainApp, CWinApp)
  ON_COMMAND(ID_HELP, CWinApp::OnHelp)
END_MESSAGE_MAP()

CMainApp theApp;

BOOL CMainApp::InitInstance() {
  AfxEnableControlContainer();
  Enable3dControls();
  dialog = new CMainDlg(nullptr);
  m_pMainWnd = dialog;
  // A dialog that cannot be created leaves nothing to draw, and the program
  // ends when the user has no window: nothing here can report it.
  dialog->Create(MAKEINTRESOURCE(IDD_MAIN), nullptr);
  dialog->ShowWindow(SW_SHOWNORMAL);
  return TRUE;
}

BOOL CMainApp::OnIdle(LONG lCount) {
  if (dialog != nullptr) dialog->idleTick();
  CWinApp::OnIdle(lCount);
  // Always ask for more idle time: each idle call is one batch and one frame.
  return TRUE;
}

int CMainApp::ExitInstance() {
  if (dialog != nullptr) {
    delete dialog;
    dialog = nullptr;
  }
  return CWinApp::ExitInstance();
}
