// How the RenderDevice's frames reach the render window, decided in one
// place: by a blit to the primary surface, clipped to the window by a window
// clipper, with the cooperative level on the window; or, on Wine, by a GDI
// copy into the window with neither (see PresentWay). Also following the
// window when it moves.
#include "device/generations.h"

PresentWay presentWay = PresentWay::DETECT;

namespace {

template <class Surface>
void restoreIfLost(Surface* surface) {
  if (surface && surface->IsLost() == DDERR_SURFACELOST) surface->Restore();
}

// Copies the back buffer into the window through GDI; both device contexts
// are given back at once.
template <class Surface>
HRESULT copyThroughGdi(Surface* backBuffer, HWND window, const RECT& area) {
  HDC surfaceDC = nullptr;
  HRESULT hr = backBuffer->GetDC(&surfaceDC);
  if (FAILED(hr)) return hr;
  HDC windowDC = GetDC(window);
  if (!windowDC) {
    backBuffer->ReleaseDC(surfaceDC);
    return E_FAIL;
  }
  const BOOL copied = BitBlt(windowDC, 0, 0, area.right - area.left, area.bottom - area.top,
                             surfaceDC, area.left, area.top, SRCCOPY);
  const DWORD error = copied ? ERROR_SUCCESS : GetLastError();
  ReleaseDC(window, windowDC);
  backBuffer->ReleaseDC(surfaceDC);
  if (copied) return hr;
  return error != ERROR_SUCCESS ? HRESULT_FROM_WIN32(error) : E_FAIL;
}

}  // namespace

bool runningOnWine() {
  static const bool onWine = [] {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
  }();
  return onWine;
}

void RenderDevice::choosePresentation() {
  presentByGdi = presentWay == PresentWay::GDI_COPY ||
                 (presentWay == PresentWay::DETECT && runningOnWine());
}

HRESULT RenderDevice::setCooperativeLevel() {
  // Under GDI presentation the window stays out of DirectDraw's hands.
  HWND cooperativeWindow = presentByGdi ? nullptr : window;
  return onPath(*this, E_FAIL, [&](auto path) {
    return path.directDraw->SetCooperativeLevel(cooperativeWindow, DDSCL_NORMAL);
  });
}

HRESULT RenderDevice::createClipper() {
  if (!useDx6 && !useDx5) return E_FAIL;
  // GDI presentation draws through the window's own device context, which
  // clips; a window clipper on the primary is not wanted there.
  if (presentByGdi) return S_OK;
  return onPath(*this, E_FAIL, [&](auto path) {
    IDirectDrawClipper* clipper = nullptr;
    const HRESULT hr = path.directDraw->CreateClipper(0, &clipper, nullptr);
    if (FAILED(hr)) return hr;
    clipper->SetHWnd(0, window);
    path.createdPrimary->SetClipper(clipper);
    // The primary surface holds the clipper from here on.
    clipper->Release();
    return hr;
  });
}

HRESULT RenderDevice::copyToWindow() {
  return onPath(*this, S_OK, [&](auto path) {
    if (presentByGdi) return copyThroughGdi(path.backBuffer, window, clientRect);
    return path.primary->Blt(&screenRect, path.backBuffer, &clientRect, DDBLT_WAIT, nullptr);
  });
}

// Any of the device's surfaces may have lost its memory (a mode change, a
// locked screen); restoring only the primary would leave the window black.
void RenderDevice::restoreLostSurfaces() {
  onPath(*this, S_OK, [](auto path) {
    restoreIfLost(path.primary);
    restoreIfLost(path.backBuffer);
    restoreIfLost(path.zBuffer);
    return S_OK;
  });
}

HRESULT RenderDevice::present() {
  if (!ready) return S_OK;
  if (useDx6 && !primary4) return E_FAIL;
  if (useDx5 && !primary3) return E_FAIL;
  if (!useDx6 && !useDx5) return S_OK;
  HRESULT hr = copyToWindow();
  if (hr == DDERR_SURFACELOST) {
    restoreLostSurfaces();
    hr = copyToWindow();
  }
  return hr;
}

void RenderDevice::windowMoved() {
  if (!ready || !window) return;
  // The render window is a borderless child control: its window rectangle
  // is its client area on the screen.
  RECT windowRect{};
  if (GetWindowRect(window, &windowRect)) moveScreenRect(windowRect.left, windowRect.top);
}

void RenderDevice::moveScreenRect(int x, int y) {
  if (!ready) return;
  SetRect(&screenRect, x, y, x + (screenRect.right - screenRect.left),
          y + (screenRect.bottom - screenRect.top));
}
