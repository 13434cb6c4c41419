#include "framework/app.h"

#include <cassert>
#include <cstdlib>

namespace {

CWinApp* theApplication = nullptr;

}  // namespace

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
END_MESSAGE_MAP()

CWinApp::CWinApp(LPCTSTR lpszAppName) : m_pszAppName(lpszAppName) {
  assert(!theApplication && "a program has one application object");
  theApplication = this;
}

CWinApp::~CWinApp() {
  if (theApplication == this) theApplication = nullptr;
}

BOOL CWinApp::InitInstance() {
  return TRUE;
}

int CWinApp::Run() {
  bool idle = true;
  LONG idleCount = 0;
  for (;;) {
    while (idle && !::PeekMessage(&m_msgCur, nullptr, 0, 0, PM_NOREMOVE)) {
      if (!OnIdle(idleCount++)) idle = false;
    }
    do {
      if (!PumpMessage()) return ExitInstance();
      idle = true;
      idleCount = 0;
    } while (::PeekMessage(&m_msgCur, nullptr, 0, 0, PM_NOREMOVE));
  }
}

BOOL CWinApp::PumpMessage() {
  if (!::GetMessage(&m_msgCur, nullptr, 0, 0)) return FALSE;
  if (!PreTranslateMessage(&m_msgCur)) {
    ::TranslateMessage(&m_msgCur);
    ::DispatchMessage(&m_msgCur);
  }
  return TRUE;
}

BOOL CWinApp::PreTranslateMessage(MSG* pMsg) {
  HWND hWnd = pMsg->hwnd;
  while (hWnd) {
    CWnd* wnd = CWnd::FromHandlePermanent(hWnd);
    if (wnd && wnd->PreTranslateMessage(pMsg)) return TRUE;
    const bool child = (::GetWindowLongPtr(hWnd, GWL_STYLE) & WS_CHILD) != 0;
    hWnd = child ? ::GetParent(hWnd) : nullptr;
  }
  return FALSE;
}

BOOL CWinApp::OnIdle(LONG lCount) {
  if (lCount <= 0) return TRUE;
  CMenu::DeleteTempMap();
  return FALSE;
}

int CWinApp::ExitInstance() {
  return static_cast<int>(m_msgCur.wParam);
}

HICON CWinApp::LoadIcon(UINT nIDResource) const {
  const LPCTSTR name = MAKEINTRESOURCE(nIDResource);
  return ::LoadIcon(AfxFindResourceHandle(name, RT_GROUP_ICON), name);
}

BOOL CWinApp::Enable3dControls() {
  return TRUE;
}

void CWinApp::OnHelp() {}

CWinApp* AfxGetApp() {
  return theApplication;
}

CWnd* AfxGetMainWnd() {
  return theApplication ? theApplication->m_pMainWnd : nullptr;
}

HINSTANCE AfxGetInstanceHandle() {
  if (theApplication && theApplication->m_hInstance) return theApplication->m_hInstance;
  return ::GetModuleHandle(nullptr);
}

HINSTANCE AfxGetResourceHandle() {
  return AfxGetInstanceHandle();
}

HINSTANCE AfxFindResourceHandle(LPCTSTR, LPCTSTR) {
  // All resources are linked into the program itself.
  return AfxGetResourceHandle();
}

void AfxEnableControlContainer(COccManager*) {}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE, LPTSTR lpCmdLine, int nCmdShow) {
  CWinApp* app = AfxGetApp();
  assert(app && "the program defines a global application object");
  if (!app) return -1;
  app->m_hInstance = hInstance;
  app->m_lpCmdLine = lpCmdLine;
  app->m_nCmdShow = nCmdShow;
  if (!app->InitInstance()) {
    if (app->m_pMainWnd) app->m_pMainWnd->DestroyWindow();
    // A program that could not start has failed, also when its ExitInstance,
    // with no message loop behind it, reports the loop's 0.
    const int code = app->ExitInstance();
    return code != 0 ? code : EXIT_FAILURE;
  }
  return app->Run();
}
