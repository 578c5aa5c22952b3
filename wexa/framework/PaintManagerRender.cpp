// PaintManager: the paint handler (double buffer, layered presentation),
// the background image, off-screen renders of one control, and the drop-shadow
// settings forwarded to the engine's shadow.
#include <cstring>
#include <vector>

#include "MControl.h"
#include "MRender.h"
#include "MShadow.h"
#include "Manager.h"
#include "PaintManager.h"
#include "PaintObservers.h"
#include "framework/GdiOwners.h"
#include "framework/PaintManagerInternal.h"
#include "framework/WindowUtil.h"

namespace WEXA {

namespace {

PaintSurfaceObserver g_surfaceObserver = nullptr;

Gdiplus::Color FromColorRef(COLORREF c, BYTE alpha)
{
    return Gdiplus::Color(alpha, GetRValue(c), GetGValue(c), GetBValue(c));
}

// The DIB's pixel of row y counted from the top (bottom-up storage).
inline UINT32* Row(UINT32* bits, int w, int h, int y)
{
    return bits + static_cast<size_t>(h - 1 - y) * w;
}

}  // namespace

void SetPaintSurfaceObserver(PaintSurfaceObserver observer)
{
    g_surfaceObserver = observer;
}

int PaintManager::OnPaint()
{
    HWND hwnd = m_hWndPaint;
    if (!IsLiveWindow(hwnd)) return 0;
    // Repaint requests other threads made since the last paint.
    FlushRepaintRequests();
    if (::IsIconic(hwnd)) {
        // Nothing is drawn for a minimised window, but its update region is
        // validated: otherwise WM_PAINT would come back at once, for ever,
        // while the program runs minimised.
        PAINTSTRUCT ps;
        ::BeginPaint(hwnd, &ps);
        ::EndPaint(hwnd, &ps);
        return 1;
    }
    RECT updateRaw;
    if (!::GetUpdateRect(hwnd, &updateRaw, FALSE)) return 0;
    CRect update(updateRaw);

    RECT clientRaw;
    ::GetClientRect(hwnd, &clientRaw);
    CRect client(clientRaw);
    const int w = client.Width(), h = client.Height();

    PAINTSTRUCT ps;
    HDC paintDC = ::BeginPaint(hwnd, &ps);
    if (w <= 0 || h <= 0) {
        ::EndPaint(hwnd, &ps);
        return 1;
    }
    gdi::WindowDC windowDC(hwnd);
    if (!PrepareSurface(windowDC, w, h)) {
        ::EndPaint(hwnd, &ps);
        return 1;
    }
    HDC mem = m_hSurfaceDC;
    UINT32* bits = m_pSurfaceBits;
    int saved = ::SaveDC(mem);

    CRect area;  // the update rectangle inside the client area
    area.IntersectRect(&update, &client);

    // The background over the whole surface, as on a new clear one: what the
    // last paint left there is gone, and the controls below draw on the same
    // pixels as ever.
    PaintSurfaceBackground();

    CRect clip = m_bLayered ? client : update;
    HDC target = mem;
    DrawControl(target, clip);
    DrawCaret(mem, clip);

    if (m_bLayered) {
        ::GdiFlush();
        for (int y = area.top; y < area.bottom; ++y) {
            UINT32* row = Row(bits, w, h, y);
            for (int x = area.left; x < area.right; ++x) {
                UINT32 p = row[x];
                if ((p & 0xFF000000) == 0 && (p & 0x00FFFFFF) != 0) row[x] = p | 0xFF000000;
            }
        }
    }

    DrawOverlay(*this, mem);
    ::RestoreDC(mem, saved);
    ::GdiFlush();

    if (g_surfaceObserver) g_surfaceObserver(this, bits, w, h);

    if (m_bLayered) {
        LONG_PTR ex = ::GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
        if (!(ex & WS_EX_LAYERED)) ::SetWindowLongPtrW(hwnd, GWL_EXSTYLE, ex | WS_EX_LAYERED);
        SIZE size = {w, h};
        POINT src = {0, 0};
        BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        ::UpdateLayeredWindow(hwnd, windowDC, nullptr, &size, mem, &src, 0, &blend, ULW_ALPHA);
    } else {
        ::BitBlt(paintDC, update.left, update.top, update.Width(), update.Height(), mem,
                 update.left, update.top, SRCCOPY);
    }
    ::EndPaint(hwnd, &ps);
    return 1;
}

bool PaintManager::BackgroundInputs::operator==(const BackgroundInputs& o) const
{
    return width == o.width && height == o.height && inner == o.inner && frame == o.frame &&
           image == o.image && imageLoads == o.imageLoads && imageWidth == o.imageWidth &&
           imageHeight == o.imageHeight && mode == o.mode && corner == o.corner;
}

bool PaintManager::PrepareSurface(HDC reference, int w, int h)
{
    if (m_hSurface && w == m_nSurfaceWidth && h == m_nSurfaceHeight) return true;
    FreeSurface();
    void* rawBits = nullptr;
    gdi::Bitmap dib(MRender::CreateARGB32Bitmap(reference, w, h, &rawBits));
    if (!dib || !rawBits) return false;
    HDC dc = ::CreateCompatibleDC(reference);
    if (!dc) return false;
    m_hSurfaceOld = ::SelectObject(dc, dib);
    m_hSurfaceDC = dc;
    m_hSurface = dib.release();
    m_pSurfaceBits = static_cast<UINT32*>(rawBits);
    m_nSurfaceWidth = w;
    m_nSurfaceHeight = h;
    return true;
}

void PaintManager::FreeSurface()
{
    if (m_hSurfaceDC) {
        if (m_hSurfaceOld) ::SelectObject(m_hSurfaceDC, m_hSurfaceOld);
        ::DeleteDC(m_hSurfaceDC);
    }
    if (m_hSurface) ::DeleteObject(m_hSurface);
    m_hSurfaceDC = nullptr;
    m_hSurface = nullptr;
    m_hSurfaceOld = nullptr;
    m_pSurfaceBits = nullptr;
    m_nSurfaceWidth = m_nSurfaceHeight = 0;
    if (m_hBackground) ::DeleteObject(m_hBackground);
    m_hBackground = nullptr;
    m_pBackgroundBits = nullptr;
    m_bBackgroundValid = false;
}

void PaintManager::PaintSurfaceBackground()
{
    const int w = m_nSurfaceWidth, h = m_nSurfaceHeight;
    const size_t count = static_cast<size_t>(w) * static_cast<size_t>(h);
    const BackgroundInputs inputs = {w,
                                     h,
                                     m_crInner,
                                     m_crFrame,
                                     m_pBkImage,
                                     m_uBackImageLoads,
                                     m_nBkImageWidth,
                                     m_nBkImageHeight,
                                     m_backMode,
                                     m_nBackCorner};
    const size_t bytes = count * sizeof(UINT32);
    ::GdiFlush();
    if (!m_bBackgroundValid || !(m_backgroundInputs == inputs)) {
        // Drawn once on a clear DIB of the surface's size and kept: every
        // paint starts from a copy of it.
        if (!m_hBackground) {
            void* raw = nullptr;
            m_hBackground = MRender::CreateARGB32Bitmap(m_hSurfaceDC, w, h, &raw);
            m_pBackgroundBits = static_cast<UINT32*>(raw);
            if (!m_hBackground || !m_pBackgroundBits) {
                if (m_hBackground) ::DeleteObject(m_hBackground);
                m_hBackground = nullptr;
                m_pBackgroundBits = nullptr;
                memset(m_pSurfaceBits, 0, bytes);
                return;
            }
        } else {
            memset(m_pBackgroundBits, 0, bytes);
        }
        gdi::MemoryDC dc(m_hSurfaceDC);
        gdi::Selection select(dc, m_hBackground);
        {
            Gdiplus::Graphics g(dc.get());
            const CRect client(0, 0, w, h);
            if (m_pBkImage) {
                DrawBackImage(g, client);
            } else {
                // Copied, not blended: the inner colour replaces the frame
                // colour, so every pixel carries the background's own alpha.
                g.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
                Gdiplus::SolidBrush frame(FromColorRef(m_crFrame, 0xFE));
                g.FillRectangle(&frame, 0, 0, w, h);
                Gdiplus::SolidBrush inner(FromColorRef(m_crInner, 0xFE));
                g.FillRectangle(&inner, 1, 1, w - 2, h - 2);
            }
        }
        ::GdiFlush();
        m_backgroundInputs = inputs;
        m_bBackgroundValid = true;
    }
    memcpy(m_pSurfaceBits, m_pBackgroundBits, bytes);
}

void PaintManager::DrawBackImage(Gdiplus::Graphics& graphics, CRect client)
{
    if (!m_pBkImage) return;
    if (m_backMode == 0) {
        graphics.DrawImage(m_pBkImage, 0, 0, m_nBkImageWidth, m_nBkImageHeight);
    } else if (m_backMode == 1) {
        MRender::DrawImageFrame(graphics, m_pBkImage, client, 0, 0, m_nBkImageWidth,
                                m_nBkImageHeight, m_nBackCorner);
    }
}

namespace {

// A 32-bit bottom-up DIB section of w x h in its own memory DC.
HBITMAP MakeDib(HDC reference, int w, int h)
{
    if (w <= 0 || h <= 0) return nullptr;
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = w;
    bmi.bmiHeader.biHeight = h;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    return ::CreateDIBSection(reference, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
}

// Renders the control into a compatible bitmap of canvasW x canvasH (window
// coordinates) and copies (srcX, srcY, w, h) of it into a new DIB.
HBITMAP RenderControl(HDC reference, MControl* control, int canvasW, int canvasH, CRect drawClip,
                      int srcX, int srcY, int w, int h, DWORD tint)
{
    if (canvasW <= 0 || canvasH <= 0) return nullptr;
    gdi::MemoryDC canvasDC(reference);
    gdi::Bitmap canvas(::CreateCompatibleBitmap(reference, canvasW, canvasH));
    gdi::Selection selectCanvas(canvasDC, canvas);
    HDC drawDC = canvasDC;
    control->Draw(drawDC, drawClip);

    HBITMAP dib = MakeDib(reference, w, h);
    if (dib) {
        gdi::MemoryDC dibDC(reference);
        gdi::Selection selectDib(dibDC, dib);
        ::BitBlt(dibDC, 0, 0, w, h, canvasDC, srcX, srcY, SRCCOPY);
        if (tint > 0xFFFFFF) MRender::DrawColor(dibDC, CRect(0, 0, w, h), tint);
    }
    ::GdiFlush();
    return dib;
}

}  // namespace

HBITMAP PaintManager::GenerateBitmap(MControl* control, const CRect& rect, COLORREF tint)
{
    if (!control) return nullptr;
    gdi::WindowDC screen(nullptr);
    HDC reference = m_hDcPaint ? m_hDcPaint : screen.get();
    return RenderControl(reference, control, rect.right, rect.bottom, rect, rect.left, rect.top,
                         rect.Width(), rect.Height(), tint);
}

HBITMAP PaintManager::GetDropBitmap(MControl* control, const CRect& rect, COLORREF)
{
    if (!control) return nullptr;
    CRect own = control->GetRect();
    gdi::WindowDC screen(nullptr);
    HDC reference = m_hDcPaint ? m_hDcPaint : screen.get();
    return RenderControl(reference, control, own.right, own.bottom, own, own.left + rect.left,
                         own.top + rect.top, rect.Width(), rect.Height(), 0);
}

// ---- drop shadow ----

void MShadow::Create(PaintManager* manager)
{
    if (!manager) return;
    m_pManager = manager;
    Create(manager->GetPaintWnd());
}

void PaintManager::CreateShadow(int show, bool flag)
{
    MShadow::Initialize(Manager::GetInstance(), flag);
    m_shadow.ShowShadow(show);
    m_shadow.Create(this);
}

int PaintManager::SetSize(int size)
{
    return m_shadow.SetSize(size);
}
int PaintManager::SetSharpness(unsigned sharpness)
{
    return m_shadow.SetSharpness(sharpness);
}
int PaintManager::SetDarkness(unsigned darkness)
{
    return m_shadow.SetDarkness(darkness);
}
int PaintManager::SetPosition(int x, int y)
{
    return m_shadow.SetPosition(x, y);
}
int PaintManager::SetShadowColor(COLORREF color)
{
    return m_shadow.SetColor(color);
}

void PaintManager::SetShadowImage(const wchar_t* skinFileName, CRect insets)
{
    if (skinFileName) m_shadow.SetImage(CString(skinFileName));
    if (insets.left >= 0 && insets.top >= 0 && insets.right >= 0 && insets.bottom >= 0)
        m_shadow.SetShadowCorner(insets);
}

void PaintManager::SetShadowImage(UINT resourceId, CRect insets)
{
    m_shadow.SetImage(resourceId);
    if (insets.left >= 0 && insets.top >= 0 && insets.right >= 0 && insets.bottom >= 0)
        m_shadow.SetShadowCorner(insets);
}

void PaintManager::SetShadowShow(int show)
{
    m_shadow.ShowShadow(show);
}
void PaintManager::DisableShadow(int disable)
{
    m_shadow.DisableShadow(disable);
}

}  // namespace WEXA
