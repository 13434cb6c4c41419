// A program started through the framework's own entry point. Its global
// application object runs the checks in ExitInstance, once the message loop
// has ended, and returns their result as the exit code.
#include "framework/afxwin.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

const int QUIT_CODE = 5;

class EntryApp : public CWinApp {
public:
  EntryApp() : CWinApp(nullptr) {}

  bool initialised = false;
  HINSTANCE instanceAtInit = nullptr;
  std::vector<LONG> idleCounts;
  int quitCode = -1;

  BOOL InitInstance() override {
    initialised = true;
    instanceAtInit = m_hInstance;
    AfxEnableControlContainer();
    Enable3dControls();
    return TRUE;
  }
  BOOL OnIdle(LONG lCount) override {
    CWinApp::OnIdle(lCount);
    idleCounts.push_back(lCount);
    if (lCount == 2) ::PostQuitMessage(QUIT_CODE);
    return TRUE;
  }
  int ExitInstance() override {
    quitCode = CWinApp::ExitInstance();
    testing::InitGoogleTest(&__argc, __argv);
    return RUN_ALL_TESTS();
  }

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(EntryApp, CWinApp)
  ON_COMMAND(ID_HELP, CWinApp::OnHelp)
END_MESSAGE_MAP()

EntryApp theApp;

TEST(EntryPoint, RunsTheGlobalApplicationThroughItsMessageLoop) {
  EXPECT_EQ(AfxGetApp(), &theApp);
  EXPECT_TRUE(theApp.initialised);
  EXPECT_EQ(theApp.instanceAtInit, ::GetModuleHandleA(nullptr));
  EXPECT_EQ(theApp.idleCounts, (std::vector<LONG>{0, 1, 2}));
  EXPECT_EQ(theApp.quitCode, QUIT_CODE);
}

TEST(EntryPoint, TheHelpCommandReachesTheApplication) {
  EXPECT_TRUE(theApp.OnCmdMsg(ID_HELP, CN_COMMAND));
}

}  // namespace
