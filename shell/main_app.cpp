#include "shell/main_app.h"

BEGIN_MESSAGE_MAP(CMainApp, CWinApp)
  ON_COMMAND(ID_HELP, CWinApp::OnHelp)
END_MESSAGE_MAP()

BOOL CMainApp::InitInstance() {
  AfxEnableControlContainer();
  Enable3dControls();
  dialog = new CMainDlg(nullptr);
  m_pMainWnd = dialog;
  if (!dialog->Create(MAKEINTRESOURCE(IDD_MAIN), nullptr)) {
    delete dialog;
    dialog = nullptr;
    m_pMainWnd = nullptr;
    return FALSE;
  }
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
