#include "framework/afxwin.h"
#include "framework/tests/test_windows.h"

#include <cstdarg>
#include <cstdio>

namespace {

// A dialog whose handlers write down each call with its arguments.
class RecordingDialog : public CDialog {
public:
  RecordingDialog() : CDialog(IDD_TEST) {}

  Calls calls;
  bool forwardSysCommands = false;
  HCURSOR dragIcon = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));

protected:
  void record(const char* format, ...) {
    char line[100];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(line, sizeof line, format, arguments);
    va_end(arguments);
    calls.push_back(line);
  }

  afx_msg void OnSysCommand(UINT nID, LPARAM lParam) {
    record("syscommand %X %ld", nID, static_cast<long>(lParam));
    if (!forwardSysCommands) return;
    // A message of its own first: Default() must still mean the system command.
    SetWindowText("before default");
    Default();
  }
  afx_msg HCURSOR OnQueryDragIcon() {
    record("querydragicon");
    return dragIcon;
  }
  afx_msg void OnMove(int x, int y) { record("move %d %d", x, y); }
  afx_msg void OnSize(UINT nType, int cx, int cy) { record("size %u %d %d", nType, cx, cy); }
  afx_msg void OnGo() { record("go"); }
  afx_msg void OnTestCommand() { record("command"); }
  void OnOK() override { record("ok"); }
  void OnCancel() override { record("cancel"); }

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(RecordingDialog, CDialog)
  ON_WM_SYSCOMMAND()
  ON_WM_QUERYDRAGICON()
  ON_WM_MOVE()
  ON_WM_SIZE()
  ON_BN_CLICKED(IDC_GO, OnGo)
  ON_COMMAND(ID_TEST_COMMAND, OnTestCommand)
END_MESSAGE_MAP()

// Replaces one handler of its base and adds a command; the rest of its
// messages go on to the base's map.
class DerivedDialog : public RecordingDialog {
protected:
  afx_msg void OnSize(UINT nType, int cx, int cy) {
    record("derived size %u %d %d", nType, cx, cy);
  }
  afx_msg void OnFirstChanged() { record("first changed"); }

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DerivedDialog, RecordingDialog)
  ON_WM_SIZE()
  ON_COMMAND(IDC_FIRST, OnFirstChanged)
END_MESSAGE_MAP()

using MessageMap = MadeDialog<RecordingDialog>;
using DerivedMessageMap = MadeDialog<DerivedDialog>;

TEST_F(MessageMap, HandsEachHandlerItsArgumentsUnpacked) {
  dialog.SendMessage(WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(300, 200));
  // Sizes are unsigned, positions signed.
  dialog.SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(40000, 1));
  dialog.SendMessage(WM_MOVE, 0, MAKELPARAM(-5, -20));
  dialog.SendMessage(WM_SYSCOMMAND, SC_KEYMENU, 0x1234);
  const LRESULT icon = dialog.SendMessage(WM_QUERYDRAGICON);

  EXPECT_EQ(dialog.calls, (Calls{"size 2 300 200", "size 0 40000 1", "move -5 -20",
                                 "syscommand F100 4660", "querydragicon"}));
  EXPECT_EQ(icon, reinterpret_cast<LRESULT>(dialog.dragIcon));
}

TEST_F(MessageMap, SendsCommandsToTheHandlerOfTheirIdAndCode) {
  const HWND go = ::GetDlgItem(dialog, IDC_GO);

  ::SendMessageA(go, BM_CLICK, 0, 0);
  // Another notification from the same button is no click.
  dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_GO, BN_SETFOCUS), reinterpret_cast<LPARAM>(go));
  // From a menu, then from an accelerator (code 1, no control).
  dialog.SendMessage(WM_COMMAND, MAKEWPARAM(ID_TEST_COMMAND, 0), 0);
  dialog.SendMessage(WM_COMMAND, MAKEWPARAM(ID_TEST_COMMAND, 1), 0);
  dialog.SendMessage(WM_COMMAND, MAKEWPARAM(ID_TEST_COMMAND + 1, 0), 0);

  EXPECT_EQ(dialog.calls, (Calls{"go", "command", "command"}));
}

TEST_F(DerivedMessageMap, ChainsToTheBaseClassMaps) {
  dialog.SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(10, 20));
  dialog.SendMessage(WM_MOVE, 0, MAKELPARAM(1, 2));
  dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_FIRST, 0), 0);
  dialog.SendMessage(WM_COMMAND, MAKEWPARAM(ID_TEST_COMMAND, 0), 0);
  // IDOK and IDCANCEL are in CDialog's map, two classes up.
  dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
  dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);

  EXPECT_EQ(dialog.calls, (Calls{"derived size 0 10 20", "move 1 2", "first changed", "command",
                                 "ok", "cancel"}));
}

TEST_F(MessageMap, GivesUnmappedMessagesTheirDefaultProcessing) {
  dialog.SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("New caption"));
  char caption[32] = "";
  ::GetWindowTextA(dialog, caption, sizeof caption);
  EXPECT_STREQ(caption, "New caption");
  EXPECT_TRUE(dialog.calls.empty());
}

TEST_F(MessageMap, DefaultInsideAHandlerProcessesTheMessageBeingHandled) {
  // Swallowed by the handler: the close command has no effect.
  dialog.SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
  handleMessages(app);
  EXPECT_EQ(dialog.calls, (Calls{"syscommand F060 0"}));

  // Passed on: the dialog manager turns Close into the Cancel command.
  dialog.calls.clear();
  dialog.forwardSysCommands = true;
  dialog.SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
  handleMessages(app);
  EXPECT_EQ(dialog.calls, (Calls{"syscommand F060 0", "cancel"}));
}

}  // namespace
