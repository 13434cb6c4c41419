// Dialogs built from templates in the program's resources: modeless through
// Create, modal through DoModal. The dialog's own window procedure is the
// dialog manager's; the CDialog object sees every message after
// WM_INITDIALOG through its message map first, binds its control members in
// DoDataExchange, and answers the OK and Cancel commands.
#pragma once

#include "framework/wnd.h"

// The context of one data exchange: the dialog whose controls are reached
// and the direction.
class CDataExchange {
public:
  CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
      : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

  BOOL m_bSaveAndValidate;  // TRUE: controls to members; FALSE: members to controls
  CWnd* m_pDlgWnd;
};

// Binds rControl to the dialog's control nIDC, so that its messages go
// through rControl and its operations act on that control. A member already
// bound stays as it is; a control bound to two members is a programmer's error.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

class CDialog : public CWnd {
public:
  CDialog() = default;
  explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
  explicit CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd = nullptr);

  // Creates the dialog as a modeless window; OnInitDialog has run when it
  // returns. Without a parent the application's main window, if any, owns it.
  BOOL Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
  BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
  // Runs the dialog modally and returns the result given to EndDialog, or -1
  // when the dialog cannot be created.
  virtual INT_PTR DoModal();
  void EndDialog(int nResult);

  // Runs DoDataExchange in the given direction.
  BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

  // Runs UpdateData(FALSE); returns TRUE so that the dialog manager puts the
  // focus on the first control.
  virtual BOOL OnInitDialog();

  BOOL PreTranslateMessage(MSG* pMsg) override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  BOOL OnCmdMsg(UINT nID, int nCode) override;

protected:
  virtual void DoDataExchange(CDataExchange* pDX);
  // Enter: UpdateData(TRUE), then EndDialog(IDOK).
  virtual void OnOK();
  // Escape, the close box and the system menu's Close: EndDialog(IDCANCEL).
  virtual void OnCancel();

  LPCTSTR m_lpszTemplateName = nullptr;
  CWnd* m_pParentWnd = nullptr;

  DECLARE_MESSAGE_MAP()

private:
  HWND OwnerWindow(CWnd* pParentWnd) const;
};
