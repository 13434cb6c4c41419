// The application object and the message loop. A program defines exactly one
// global object of a class derived from CWinApp; the entry point finds it,
// runs its InitInstance and then its message loop, which calls OnIdle while
// the queue is empty and ends with ExitInstance when WM_QUIT arrives.
#pragma once

#include "framework/message_map.h"
#include "framework/wnd.h"

#include <windows.h>

// The command of the Help key and of Help buttons.
#define ID_HELP 0xE146

class COccManager;

class CWinApp : public CCmdTarget {
public:
  // The application object registers itself as the one AfxGetApp returns.
  explicit CWinApp(LPCTSTR lpszAppName = nullptr);
  ~CWinApp() override;

  LPCTSTR m_pszAppName;
  HINSTANCE m_hInstance = nullptr;
  LPTSTR m_lpCmdLine = nullptr;
  int m_nCmdShow = SW_SHOWNORMAL;
  // The window whose destruction ends the program; set by InitInstance.
  CWnd* m_pMainWnd = nullptr;
  // The message the loop took last; after the loop, the WM_QUIT message.
  MSG m_msgCur{};

  // Start-up; returning FALSE ends the program at once.
  virtual BOOL InitInstance();
  // The message loop. While the queue is empty it calls OnIdle with a count
  // that starts at 0 and rises by one each call, for as long as OnIdle
  // returns TRUE; after that it waits for a message. Every message handled
  // starts the count at 0 again. On WM_QUIT it returns ExitInstance().
  virtual int Run();
  // Idle-time work: count 0 asks for more idle time; from count 1 on the
  // temporary objects of the last messages are deleted and no more is asked.
  virtual BOOL OnIdle(LONG lCount);
  // Returns the exit code carried by WM_QUIT.
  virtual int ExitInstance();
  // Offers a message to the objects of its window and of the windows above
  // it, innermost first; TRUE when one of them handled it.
  virtual BOOL PreTranslateMessage(MSG* pMsg);
  // Takes one message, waiting if need be, and dispatches it; FALSE on WM_QUIT.
  BOOL PumpMessage();

  // Icon nIDResource of the module that holds it, or null.
  HICON LoadIcon(UINT nIDResource) const;

  // Controls draw themselves in 3-D on every system the program runs on, so
  // there is nothing to load; returns TRUE.
  BOOL Enable3dControls();

  // The Help command. The program ships no help file, so it shows nothing.
  afx_msg void OnHelp();

  DECLARE_MESSAGE_MAP()
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
// The module that holds the program's resources.
HINSTANCE AfxGetResourceHandle();
// The module that holds resource lpszName of type lpszType.
HINSTANCE AfxFindResourceHandle(LPCTSTR lpszName, LPCTSTR lpszType);
// The program hosts no embedded controls of other component models, so this
// needs no container manager and does nothing.
void AfxEnableControlContainer(COccManager* pOccManager = nullptr);

// The body of the program's entry point: runs the global application object.
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPTSTR lpCmdLine, int nCmdShow);
