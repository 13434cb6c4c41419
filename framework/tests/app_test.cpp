#include "framework/afxwin.h"
#include "testing/framework_resources.h"
#include "framework/tests/test_windows.h"

#include <functional>

namespace {

// An application that notes each idle call, each thread message and its exit.
class IdleApp : public CWinApp {
public:
  Calls events;
  std::function<BOOL(LONG)> idle;

  BOOL OnIdle(LONG lCount) override {
    events.push_back("idle " + std::to_string(lCount));
    return idle(lCount);
  }
  BOOL PreTranslateMessage(MSG* pMsg) override {
    if (!pMsg->hwnd) events.push_back("message " + std::to_string(pMsg->message));
    return CWinApp::PreTranslateMessage(pMsg);
  }
  int ExitInstance() override {
    events.push_back("exit");
    return CWinApp::ExitInstance();
  }
  afx_msg void OnTestCommand() { events.push_back("command"); }

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(IdleApp, CWinApp)
  ON_COMMAND(ID_TEST_COMMAND, OnTestCommand)
END_MESSAGE_MAP()

using MessageLoop = WindowTest<IdleApp>;

TEST_F(MessageLoop, CallsOnIdleWithARisingCountAndRestartsItAfterAMessage) {
  int round = 0;
  app.idle = [&](LONG count) {
    if (round == 0 && count == 3) {
      ::PostThreadMessageA(::GetCurrentThreadId(), WM_APP, 0, 0);
      ++round;
    } else if (round == 1 && count == 2) {
      ::PostQuitMessage(7);
    } else if (count > 10) {
      ::PostQuitMessage(-1);  // the count never came back to 0
    }
    return TRUE;
  };

  EXPECT_EQ(app.Run(), 7);
  EXPECT_EQ(app.events,
            (Calls{"idle 0", "idle 1", "idle 2", "idle 3", "message " + std::to_string(WM_APP),
                   "idle 0", "idle 1", "idle 2", "exit"}));
  EXPECT_EQ(app.m_msgCur.message, static_cast<UINT>(WM_QUIT));
}

TEST_F(MessageLoop, WaitsForAMessageOnceOnIdleAsksForNoMore) {
  UINT_PTR timer = 0;
  int round = 0;
  app.idle = [&](LONG count) {
    const BOOL more = app.CWinApp::OnIdle(count);
    if (!more && round++ == 0) timer = ::SetTimer(nullptr, 0, 20, nullptr);
    if (!more && round > 1) {
      ::KillTimer(nullptr, timer);
      ::PostQuitMessage(3);
    }
    return more;
  };

  EXPECT_EQ(app.Run(), 3);
  EXPECT_EQ(app.events, (Calls{"idle 0", "idle 1", "message " + std::to_string(WM_TIMER), "idle 0",
                               "idle 1", "exit"}));
}

TEST_F(MessageLoop, ExitInstanceReturnsTheQuitCode) {
  ::PostQuitMessage(12);
  app.idle = [](LONG) { return TRUE; };
  EXPECT_EQ(app.Run(), 12);
  EXPECT_EQ(app.ExitInstance(), 12);
}

TEST_F(MessageLoop, CommandsADialogDoesNotHandleGoOnToTheApplication) {
  CDialog dialog(IDD_TEST);
  ASSERT_TRUE(dialog.Create(IDD_TEST));
  ::SendMessageA(dialog, WM_COMMAND, ID_TEST_COMMAND, 0);
  // Control ids are the dialog's own business.
  ::SendMessageA(dialog, WM_COMMAND, IDC_FIRST, 0);
  EXPECT_EQ(app.events, (Calls{"command"}));
  EXPECT_TRUE(dialog.OnCmdMsg(ID_TEST_COMMAND, CN_COMMAND));
  EXPECT_FALSE(dialog.OnCmdMsg(ID_TEST_COMMAND + 1, CN_COMMAND));
}

TEST(Application, IsTheOneObjectAfxGetAppReturns) {
  EXPECT_EQ(AfxGetApp(), nullptr);
  {
    CWinApp app;
    EXPECT_EQ(AfxGetApp(), &app);
    EXPECT_EQ(AfxGetMainWnd(), nullptr);
    EXPECT_EQ(AfxGetResourceHandle(), ::GetModuleHandleA(nullptr));
    EXPECT_EQ(AfxFindResourceHandle(MAKEINTRESOURCE(IDD_TEST), RT_DIALOG),
              ::GetModuleHandleA(nullptr));
  }
  EXPECT_EQ(AfxGetApp(), nullptr);
}

TEST(Application, LoadsIconsOfTheProgram) {
  CWinApp app;
  const HICON icon = app.LoadIcon(IDI_TEST);
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(app.LoadIcon(IDI_MISSING), nullptr);

  CDialog dialog(IDD_TEST);
  ASSERT_TRUE(dialog.Create(IDD_TEST));
  dialog.SetIcon(icon, TRUE);
  EXPECT_EQ(::SendMessageA(dialog, WM_GETICON, ICON_BIG, 0), reinterpret_cast<LRESULT>(icon));
  EXPECT_EQ(::SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0), 0);
}

}  // namespace

TEST(EntryPoint, AProgramWhoseStartFailsEndsAtOnceWithAFailureCode) {
  struct RefusingApp : CWinApp {
    int exits = 0;
    BOOL InitInstance() override { return FALSE; }
    int ExitInstance() override {
      ++exits;
      return CWinApp::ExitInstance();
    }
  } app;
  emptyQueue();
  EXPECT_NE(AfxWinMain(::GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOWNORMAL), 0);
  EXPECT_EQ(app.exits, 1);
}
