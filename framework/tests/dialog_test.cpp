#include "framework/afxwin.h"
#include "framework/tests/test_windows.h"

namespace {

// The test dialog with a member bound to each control.
class BoundDialog : public CDialog {
public:
  BoundDialog() : CDialog(IDD_TEST) {}

  CEdit first;
  CEdit second;
  CButton check;
  CButton go;
  CStatic frame;
  Calls calls;

protected:
  void DoDataExchange(CDataExchange* pDX) override {
    calls.push_back(pDX->m_bSaveAndValidate ? "exchange save" : "exchange load");
    DDX_Control(pDX, IDC_FRAME, frame);
    DDX_Control(pDX, IDC_GO, go);
    DDX_Control(pDX, IDC_CHECK, check);
    DDX_Control(pDX, IDC_SECOND, second);
    DDX_Control(pDX, IDC_FIRST, first);
  }
  BOOL OnInitDialog() override {
    calls.push_back("init");
    CDialog::OnInitDialog();
    calls.push_back(first.m_hWnd ? "init bound" : "init unbound");
    return TRUE;
  }
  void OnOK() override { calls.push_back("ok"); }
  void OnCancel() override { calls.push_back("cancel"); }
};

using Dialog = WindowTest<>;

using MadeBoundDialog = MadeDialog<BoundDialog>;

TEST_F(MadeBoundDialog, CreateRunsOnInitDialogWhichBindsTheControls) {
  ASSERT_NE(dialog.m_hWnd, nullptr);
  EXPECT_EQ(dialog.calls, (Calls{"init", "exchange load", "init bound"}));
  EXPECT_EQ(dialog.first.m_hWnd, ::GetDlgItem(dialog, IDC_FIRST));
  EXPECT_EQ(dialog.second.m_hWnd, ::GetDlgItem(dialog, IDC_SECOND));
  EXPECT_EQ(dialog.check.m_hWnd, ::GetDlgItem(dialog, IDC_CHECK));
  EXPECT_EQ(dialog.go.m_hWnd, ::GetDlgItem(dialog, IDC_GO));
  EXPECT_EQ(dialog.frame.m_hWnd, ::GetDlgItem(dialog, IDC_FRAME));
  EXPECT_EQ(CWnd::FromHandlePermanent(dialog.first), &dialog.first);
  EXPECT_EQ(CWnd::FromHandlePermanent(dialog), &dialog);

  // Exchanging again keeps the bindings.
  const HWND first = dialog.first;
  EXPECT_TRUE(dialog.UpdateData(TRUE));
  EXPECT_EQ(dialog.calls.back(), "exchange save");
  EXPECT_EQ(dialog.first.m_hWnd, first);
}

TEST_F(MadeBoundDialog, BoundMembersReadAndWriteTheirControls) {
  dialog.first.SetWindowText("12.500");
  char text[100] = "";
  ::GetDlgItemTextA(dialog, IDC_FIRST, text, sizeof text);
  EXPECT_STREQ(text, "12.500");

  ::SetDlgItemTextA(dialog, IDC_SECOND, "1600");
  EXPECT_EQ(dialog.second.GetWindowText(text, sizeof text), 4);
  EXPECT_STREQ(text, "1600");
  EXPECT_EQ(dialog.second.GetWindowText(text, 3), 2);
  EXPECT_STREQ(text, "16");
  CString whole;
  dialog.second.GetWindowText(whole);
  EXPECT_EQ(whole, "1600");

  EXPECT_EQ(dialog.check.GetCheck(), BST_UNCHECKED);
  ::SendMessageA(dialog.check, BM_CLICK, 0, 0);
  EXPECT_EQ(dialog.check.GetCheck(), BST_CHECKED);
  dialog.check.SetCheck(BST_UNCHECKED);
  EXPECT_EQ(::IsDlgButtonChecked(dialog, IDC_CHECK), static_cast<UINT>(BST_UNCHECKED));
}

TEST_F(MadeBoundDialog, AControlBoundToAMemberIsNotBoundToAnother) {
  CEdit other;
  EXPECT_DEBUG_DEATH(other.SubclassWindow(dialog.first), "already bound to another object");
  EXPECT_EQ(other.m_hWnd, nullptr);
  EXPECT_EQ(CWnd::FromHandlePermanent(dialog.first), &dialog.first);
}

TEST_F(MadeBoundDialog, ADestroyedWindowUnbindsTheObjectWhichCanBeCreatedAgain) {
  ::DestroyWindow(dialog);
  EXPECT_EQ(dialog.m_hWnd, nullptr);
  EXPECT_EQ(dialog.first.m_hWnd, nullptr);

  dialog.calls.clear();
  ASSERT_TRUE(dialog.Create(IDD_TEST));
  EXPECT_EQ(dialog.calls, (Calls{"init", "exchange load", "init bound"}));
  EXPECT_EQ(dialog.first.m_hWnd, ::GetDlgItem(dialog, IDC_FIRST));
}

TEST_F(Dialog, DeletingTheObjectDestroysTheWindowAndItsControls) {
  auto* dialog = new BoundDialog;
  ASSERT_TRUE(dialog->Create(IDD_TEST));
  const HWND window = dialog->m_hWnd;
  const HWND first = dialog->first.m_hWnd;
  delete dialog;
  EXPECT_FALSE(::IsWindow(window));
  EXPECT_FALSE(::IsWindow(first));
  EXPECT_EQ(CWnd::FromHandlePermanent(window), nullptr);
  EXPECT_EQ(CWnd::FromHandlePermanent(first), nullptr);
}

TEST_F(Dialog, DestroyingTheMainWindowEndsTheMessageLoop) {
  auto* mainDialog = new BoundDialog;
  app.m_pMainWnd = mainDialog;
  ASSERT_TRUE(mainDialog->Create(IDD_TEST));
  // Another window, such as a closed About box, leaves the program running.
  {
    BoundDialog other;
    ASSERT_TRUE(other.Create(IDD_TEST));
  }
  EXPECT_EQ(app.m_pMainWnd, mainDialog);
  mainDialog->DestroyWindow();
  EXPECT_EQ(app.m_pMainWnd, nullptr);
  MSG message;
  ASSERT_TRUE(::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
  delete mainDialog;
}

// Keyboard: the application's loop hands keystrokes to the dialog manager.
class DialogKeyboard : public MadeBoundDialog {
protected:
  void press(UINT key) {
    ::PostMessageA(::GetFocus(), WM_KEYDOWN, key, 1);
    ::PostMessageA(::GetFocus(), WM_KEYUP, key, 0xC0000001);
    handleMessages(app);
  }
};

TEST_F(DialogKeyboard, TabMovesThroughTheControlsInTemplateOrder) {
  dialog.calls.clear();
  ASSERT_EQ(::GetFocus(), dialog.first.m_hWnd);
  for (HWND next : {HWND(dialog.second), HWND(dialog.check), HWND(dialog.go), HWND(dialog.first)}) {
    press(VK_TAB);
    EXPECT_EQ(::GetFocus(), next);
  }
  EXPECT_TRUE(dialog.calls.empty());
}

TEST_F(DialogKeyboard, EscapeReachesOnCancelAndEnterOnOK) {
  dialog.calls.clear();
  ::SetFocus(dialog.second);
  press(VK_ESCAPE);
  EXPECT_EQ(dialog.calls, (Calls{"cancel"}));
  ::SetFocus(dialog.second);
  press(VK_RETURN);
  EXPECT_EQ(dialog.calls, (Calls{"cancel", "ok"}));
}

// A modal dialog that a message posted during OnInitDialog closes, before the
// dialog is ever shown.
class ClosingDialog : public CDialog {
public:
  explicit ClosingDialog(UINT message, WPARAM wParam)
      : CDialog(IDD_MODAL), message(message), wParam(wParam) {}

  UINT message;
  WPARAM wParam;
  HWND owner = nullptr;
  Calls calls;

protected:
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    owner = ::GetWindow(m_hWnd, GW_OWNER);
    // Key messages go to the control with the focus, which is set after this.
    const HWND target = message == WM_KEYDOWN ? ::GetDlgItem(m_hWnd, IDC_FIRST) : m_hWnd;
    ::PostMessageA(target, message, wParam, 0);
    return TRUE;
  }
  afx_msg void OnAnswer() {
    calls.push_back("answer");
    EndDialog(42);
  }
  void OnOK() override {
    calls.push_back("ok");
    CDialog::OnOK();
  }
  void OnCancel() override {
    calls.push_back("cancel");
    CDialog::OnCancel();
  }

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ClosingDialog, CDialog)
  ON_COMMAND(ID_TEST_COMMAND, OnAnswer)
END_MESSAGE_MAP()

TEST_F(Dialog, DoModalReturnsTheResultGivenToEndDialog) {
  auto expectClosed = [](UINT message, WPARAM wParam, INT_PTR result, const char* call) {
    SCOPED_TRACE(call);
    ClosingDialog dialog(message, wParam);
    EXPECT_EQ(dialog.DoModal(), result);
    EXPECT_EQ(dialog.calls, (Calls{call}));
    EXPECT_EQ(dialog.m_hWnd, nullptr);
  };
  expectClosed(WM_COMMAND, IDOK, IDOK, "ok");
  expectClosed(WM_COMMAND, ID_TEST_COMMAND, 42, "answer");
  expectClosed(WM_KEYDOWN, VK_ESCAPE, IDCANCEL, "cancel");
}

TEST_F(Dialog, WithoutParentIsOwnedByTheMainWindow) {
  BoundDialog mainDialog;
  app.m_pMainWnd = &mainDialog;
  // The main window itself has no owner although it is the main window.
  ASSERT_TRUE(mainDialog.Create(IDD_TEST));
  EXPECT_EQ(::GetWindow(mainDialog, GW_OWNER), nullptr);

  BoundDialog modeless;
  ASSERT_TRUE(modeless.Create(IDD_TEST));
  EXPECT_EQ(::GetWindow(modeless, GW_OWNER), mainDialog.m_hWnd);

  ClosingDialog modal(WM_COMMAND, IDOK);
  EXPECT_EQ(modal.DoModal(), IDOK);
  EXPECT_EQ(modal.owner, mainDialog.m_hWnd);
  app.m_pMainWnd = nullptr;
}

}  // namespace
