#include "framework/dialog.h"

#include "framework/app.h"

#include <cassert>

namespace {

// The dialog procedure of every CDialog. It binds the object to its window
// when WM_INITDIALOG arrives and sends that message on through the object;
// every later message reaches the object before the dialog manager, so this
// procedure has nothing more to do.
INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_INITDIALOG || CWnd::FromHandlePermanent(hWnd)) return FALSE;
  CDialog* dialog = reinterpret_cast<CDialog*>(lParam);
  if (!dialog->SubclassWindow(hWnd)) return FALSE;
  return FrameworkWindowProc(hWnd, message, wParam, lParam);
}

}  // namespace

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
  if (rControl.m_hWnd) return;
  const HWND control = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, nIDC);
  assert(control && "the dialog template has a control with this id");
  rControl.SubclassWindow(control);
}

BEGIN_MESSAGE_MAP(CDialog, CWnd)
  ON_COMMAND(IDOK, OnOK)
  ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_lpszTemplateName(MAKEINTRESOURCE(nIDTemplate)), m_pParentWnd(pParentWnd) {}

CDialog::CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd)
    : m_lpszTemplateName(lpszTemplateName), m_pParentWnd(pParentWnd) {}

HWND CDialog::OwnerWindow(CWnd* pParentWnd) const {
  if (pParentWnd) return pParentWnd->m_hWnd;
  CWnd* mainWindow = AfxGetMainWnd();
  return mainWindow && mainWindow != this ? mainWindow->m_hWnd : nullptr;
}

BOOL CDialog::Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd) {
  m_lpszTemplateName = lpszTemplateName;
  m_pParentWnd = pParentWnd;
  const HWND hWnd = ::CreateDialogParam(AfxFindResourceHandle(lpszTemplateName, RT_DIALOG),
                                        lpszTemplateName, OwnerWindow(pParentWnd), &DialogProc,
                                        reinterpret_cast<LPARAM>(this));
  return hWnd != nullptr;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
  return Create(MAKEINTRESOURCE(nIDTemplate), pParentWnd);
}

INT_PTR CDialog::DoModal() {
  return ::DialogBoxParam(AfxFindResourceHandle(m_lpszTemplateName, RT_DIALOG),
                          m_lpszTemplateName, OwnerWindow(m_pParentWnd), &DialogProc,
                          reinterpret_cast<LPARAM>(this));
}

void CDialog::EndDialog(int nResult) {
  ::EndDialog(m_hWnd, nResult);
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
  CDataExchange exchange(this, bSaveAndValidate);
  DoDataExchange(&exchange);
  return TRUE;
}

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::OnOK() {
  if (UpdateData(TRUE)) EndDialog(IDOK);
}

void CDialog::OnCancel() {
  EndDialog(IDCANCEL);
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
  // Keystrokes for the dialog or its controls go to the dialog manager, which
  // moves the focus on Tab and turns Enter and Escape into IDOK and IDCANCEL.
  if (pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST) return FALSE;
  if (pMsg->hwnd != m_hWnd && !::IsChild(m_hWnd, pMsg->hwnd)) return FALSE;
  return ::IsDialogMessage(m_hWnd, pMsg);
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) return OnInitDialog();
  return CWnd::WindowProc(message, wParam, lParam);
}

BOOL CDialog::OnCmdMsg(UINT nID, int nCode) {
  if (CWnd::OnCmdMsg(nID, nCode)) return TRUE;
  // Application commands (ids from 0x8000 below the system commands) that the
  // dialog does not handle go on to the application object.
  const UINT FIRST_COMMAND_ID = 0x8000;
  const UINT FIRST_SYSTEM_COMMAND_ID = 0xF000;
  if (nCode != CN_COMMAND || nID < FIRST_COMMAND_ID || nID >= FIRST_SYSTEM_COMMAND_ID) return FALSE;
  CWinApp* app = AfxGetApp();
  return app && app->OnCmdMsg(nID, nCode);
}
