#include "framework/wnd.h"

#include "framework/app.h"

#include <cassert>
#include <memory>
#include <unordered_map>

namespace {

// All windows live on the program's one user-interface thread, so the maps
// and the message being handled are plain statics.
std::unordered_map<HWND, CWnd*>& boundWindows() {
  static std::unordered_map<HWND, CWnd*> windows;
  return windows;
}

std::unordered_map<HMENU, std::unique_ptr<CMenu>>& temporaryMenus() {
  static std::unordered_map<HMENU, std::unique_ptr<CMenu>> menus;
  return menus;
}

// The message whose handler is running, for Default(). Handlers send messages
// of their own, so each dispatch saves the outer message and restores it.
struct CurrentMessage {
  HWND hWnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};
CurrentMessage currentMessage{};

}  // namespace

LRESULT CALLBACK FrameworkWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CWnd* wnd = CWnd::FromHandlePermanent(hWnd);
  if (!wnd) return ::DefWindowProc(hWnd, message, wParam, lParam);
  const CurrentMessage outer = currentMessage;
  currentMessage = {hWnd, message, wParam, lParam};
  const LRESULT result = wnd->WindowProc(message, wParam, lParam);
  if (message == WM_NCDESTROY) wnd->OnNcDestroyed();
  currentMessage = outer;
  return result;
}

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

CWnd::~CWnd() {
  if (m_hWnd) DestroyWindow();
  // A window that would not be destroyed must not keep a dangling object.
  if (m_hWnd) UnsubclassWindow();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
  const auto found = boundWindows().find(hWnd);
  return found == boundWindows().end() ? nullptr : found->second;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
  assert(!m_hWnd && "the object is already bound to a window");
  assert(!FromHandlePermanent(hWnd) && "the window is already bound to another object");
  if (m_hWnd || !::IsWindow(hWnd) || FromHandlePermanent(hWnd)) return FALSE;
  boundWindows()[hWnd] = this;
  m_hWnd = hWnd;
  m_pfnSuper = reinterpret_cast<WNDPROC>(::SetWindowLongPtr(
      hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FrameworkWindowProc)));
  return TRUE;
}

HWND CWnd::UnsubclassWindow() {
  const HWND hWnd = m_hWnd;
  if (!hWnd) return nullptr;
  // Only give the procedure back if nobody has subclassed the window after us.
  if (::GetWindowLongPtr(hWnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&FrameworkWindowProc))
    ::SetWindowLongPtr(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
  boundWindows().erase(hWnd);
  m_hWnd = nullptr;
  m_pfnSuper = nullptr;
  return hWnd;
}

void CWnd::OnNcDestroyed() {
  UnsubclassWindow();
  // Like a program whose main window is closed, the application then ends.
  CWinApp* app = AfxGetApp();
  if (app && app->m_pMainWnd == this) {
    app->m_pMainWnd = nullptr;
    ::PostQuitMessage(0);
  }
  PostNcDestroy();
}

BOOL CWnd::DestroyWindow() {
  return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE;
}

BOOL CWnd::ShowWindow(int nCmdShow) {
  return ::ShowWindow(m_hWnd, nCmdShow);
}

BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags) {
  return ::SetWindowPos(m_hWnd, pWndInsertAfter ? pWndInsertAfter->m_hWnd : nullptr, x, y, cx,
                        cy, nFlags);
}

void CWnd::SetWindowText(LPCTSTR lpszString) {
  ::SetWindowText(m_hWnd, lpszString);
}

int CWnd::GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const {
  return ::GetWindowText(m_hWnd, lpszStringBuf, nMaxCount);
}

void CWnd::GetWindowText(CString& rString) const {
  std::string buffer(static_cast<size_t>(GetWindowTextLength()) + 1, '\0');
  const int length = GetWindowText(&buffer[0], static_cast<int>(buffer.size()));
  buffer.resize(static_cast<size_t>(length > 0 ? length : 0));
  rString = buffer.c_str();
}

int CWnd::GetWindowTextLength() const {
  return ::GetWindowTextLength(m_hWnd);
}

CMenu* CWnd::GetSystemMenu(BOOL bRevert) const {
  return CMenu::FromHandle(::GetSystemMenu(m_hWnd, bRevert));
}

void CWnd::GetClientRect(LPRECT lpRect) const {
  ::GetClientRect(m_hWnd, lpRect);
}

void CWnd::GetWindowRect(LPRECT lpRect) const {
  ::GetWindowRect(m_hWnd, lpRect);
}

BOOL CWnd::IsIconic() const {
  return ::IsIconic(m_hWnd);
}

HICON CWnd::SetIcon(HICON hIcon, BOOL bBigIcon) {
  return reinterpret_cast<HICON>(::SendMessage(m_hWnd, WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL,
                                               reinterpret_cast<LPARAM>(hIcon)));
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::SendMessage(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::PostMessage(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PreTranslateMessage(MSG*) {
  return FALSE;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) {
    if (OnCommand(wParam, lParam)) return 0;
  } else if (const MessageMapEntry* entry = FindMessageEntry(message, 0, 0)) {
    return entry->dispatch(this, wParam, lParam);
  }
  return DefWindowProc(message, wParam, lParam);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  // Menus and accelerators send no control window; their commands all count
  // as plain commands, whatever the high word says.
  const int code = lParam ? HIWORD(wParam) : CN_COMMAND;
  return OnCmdMsg(LOWORD(wParam), code);
}

LRESULT CWnd::Default() {
  assert(currentMessage.hWnd == m_hWnd && "Default() is called from a handler of this window");
  return DefWindowProc(currentMessage.message, currentMessage.wParam, currentMessage.lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_pfnSuper) return ::CallWindowProc(m_pfnSuper, m_hWnd, message, wParam, lParam);
  return ::DefWindowProc(m_hWnd, message, wParam, lParam);
}

void CWnd::OnSysCommand(UINT, LPARAM) {
  Default();
}

void CWnd::OnPaint() {
  Default();
}

HCURSOR CWnd::OnQueryDragIcon() {
  return reinterpret_cast<HCURSOR>(Default());
}

void CWnd::OnMove(int, int) {
  Default();
}

void CWnd::OnSize(UINT, int, int) {
  Default();
}

int CButton::GetCheck() const {
  return static_cast<int>(::SendMessage(m_hWnd, BM_GETCHECK, 0, 0));
}

void CButton::SetCheck(int nCheck) {
  ::SendMessage(m_hWnd, BM_SETCHECK, static_cast<WPARAM>(nCheck), 0);
}

CMenu* CMenu::FromHandle(HMENU hMenu) {
  if (!hMenu) return nullptr;
  std::unique_ptr<CMenu>& menu = temporaryMenus()[hMenu];
  if (!menu) {
    menu = std::make_unique<CMenu>();
    menu->m_hMenu = hMenu;
  }
  return menu.get();
}

void CMenu::DeleteTempMap() {
  temporaryMenus().clear();
}

BOOL CMenu::AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, LPCTSTR lpszNewItem) {
  return ::AppendMenu(m_hMenu, nFlags, nIDNewItem, lpszNewItem);
}

BOOL CDC::DrawIcon(int x, int y, HICON hIcon) {
  return ::DrawIcon(m_hDC, x, y, hIcon);
}

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd->m_hWnd) {
  m_hDC = ::BeginPaint(m_hWnd, &m_ps);
}

CPaintDC::~CPaintDC() {
  ::EndPaint(m_hWnd, &m_ps);
}
