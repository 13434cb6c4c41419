// Window objects: a CWnd is bound to one window and receives that window's
// messages through its message map; what the map does not handle goes on to
// the window's own procedure. Also the small wrappers the dialogs use:
// controls, menus and paint device contexts.
#pragma once

#include "framework/cstring.h"
#include "framework/message_map.h"

#include <windows.h>

class CMenu;

// A rectangle with its size at hand.
class CRect : public RECT {
public:
  CRect() : RECT{0, 0, 0, 0} {}
  CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  operator LPRECT() { return this; }
  operator LPCRECT() const { return this; }
};

// The window procedure of every window bound to a CWnd: hands the message to
// the object's WindowProc and remembers it for Default().
LRESULT CALLBACK FrameworkWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

class CWnd : public CCmdTarget {
public:
  CWnd() = default;
  // Destroys the window if the object is still bound to one.
  ~CWnd() override;

  HWND m_hWnd = nullptr;

  operator HWND() const { return m_hWnd; }
  HWND GetSafeHwnd() const { return m_hWnd; }

  // The object bound to hWnd, or null when hWnd has none.
  static CWnd* FromHandlePermanent(HWND hWnd);

  // Binds the object to an existing window and routes the window's messages
  // through the object's message map. Binding an object twice, or a window
  // that already has an object, is a programmer's error: nothing is bound
  // and the result is FALSE.
  BOOL SubclassWindow(HWND hWnd);
  // Gives the window its own procedure back and unbinds the object.
  HWND UnsubclassWindow();
  BOOL DestroyWindow();

  BOOL ShowWindow(int nCmdShow);
  BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
  void SetWindowText(LPCTSTR lpszString);
  int GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const;
  void GetWindowText(CString& rString) const;
  int GetWindowTextLength() const;
  // The window's system menu, or null when it has none. The CMenu is a
  // temporary object that lives until the application's next idle time.
  CMenu* GetSystemMenu(BOOL bRevert) const;
  void GetClientRect(LPRECT lpRect) const;
  void GetWindowRect(LPRECT lpRect) const;
  BOOL IsIconic() const;
  // Sets the window's big (bBigIcon TRUE) or small icon; returns the previous one.
  HICON SetIcon(HICON hIcon, BOOL bBigIcon);
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

  // Sees each message of the application's loop before it is dispatched;
  // returns TRUE when it has handled the message.
  virtual BOOL PreTranslateMessage(MSG* pMsg);
  // Handles one message: the message map first, then DefWindowProc.
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);

protected:
  // Gives the message being handled its default processing: the window's own
  // procedure, as if the object had no handler for it. A handler may call it
  // first and then do more.
  LRESULT Default();
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // Called after the window is gone and the object unbound.
  virtual void PostNcDestroy() {}

  // Handlers that a derived class's map may name as Base::Handler; each gives
  // its message default processing.
  afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
  afx_msg void OnPaint();
  afx_msg HCURSOR OnQueryDragIcon();
  afx_msg void OnMove(int x, int y);
  afx_msg void OnSize(UINT nType, int cx, int cy);

  DECLARE_MESSAGE_MAP()

private:
  friend LRESULT CALLBACK FrameworkWindowProc(HWND, UINT, WPARAM, LPARAM);
  void OnNcDestroyed();

  WNDPROC m_pfnSuper = nullptr;
};

class CEdit : public CWnd {};

class CStatic : public CWnd {};

class CButton : public CWnd {
public:
  // BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE.
  int GetCheck() const;
  void SetCheck(int nCheck);
};

// A menu handle seen as an object. The objects handed out by FromHandle are
// temporary: they are deleted at the application's next idle time.
class CMenu {
public:
  CMenu() = default;
  CMenu(const CMenu&) = delete;
  CMenu& operator=(const CMenu&) = delete;

  HMENU m_hMenu = nullptr;

  operator HMENU() const { return m_hMenu; }
  HMENU GetSafeHmenu() const { return m_hMenu; }

  static CMenu* FromHandle(HMENU hMenu);
  static void DeleteTempMap();

  BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, LPCTSTR lpszNewItem = nullptr);
};

// A device context handle seen as an object.
class CDC {
public:
  CDC() = default;
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;

  HDC m_hDC = nullptr;

  operator HDC() const { return m_hDC; }
  HDC GetSafeHdc() const { return m_hDC; }
  BOOL DrawIcon(int x, int y, HICON hIcon);
};

// The device context of a WM_PAINT handler: BeginPaint on construction,
// EndPaint on destruction.
class CPaintDC : public CDC {
public:
  explicit CPaintDC(CWnd* pWnd);
  ~CPaintDC();

  PAINTSTRUCT m_ps;

private:
  HWND m_hWnd;
};
