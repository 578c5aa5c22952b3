#include "MShadow.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <vector>

#include "MRender.h"
#include "Manager.h"
#include "framework/GdiOwners.h"
#include "framework/WindowUtil.h"

namespace WEXA {

namespace {

const wchar_t kShadowClass[] = L"ShadowWnd";
bool g_classRegistered = false;

// A horizontal run [left, right) of one row; empty when left >= right.
struct Span
{
    int left;
    int right;
};

bool Empty(const Span& s)
{
    return s.left >= s.right;
}

std::atomic<bool> g_hitTestRows{false};

// The outer run of each row 0..height-1 of a region, clipped to [0, width):
// from the first to past the last pixel of the row inside it; empty rows keep
// `empty`. Read from the region's rectangles, in time proportional to them.
void RegionRows(HRGN region, int width, int height, std::vector<Span>& rows, Span empty)
{
    const DWORD bytes = ::GetRegionData(region, 0, nullptr);
    if (bytes == 0) return;
    std::vector<BYTE> buffer(bytes);
    auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
    if (::GetRegionData(region, bytes, data) == 0) return;
    const auto* rects = reinterpret_cast<const RECT*>(data->Buffer);
    for (DWORD i = 0; i < data->rdh.nCount; ++i) {
        const RECT& r = rects[i];
        const int left = std::max<int>(r.left, 0);
        const int right = std::min<int>(r.right, width);
        if (left >= right) continue;
        const int top = std::max<int>(r.top, 0), bottom = std::min<int>(r.bottom, height);
        for (int j = top; j < bottom; ++j) {
            Span& row = rows[j];
            if (row.left == empty.left && row.right == empty.right) {
                row = Span{left, right};
            } else {
                row.left = std::min(row.left, left);
                row.right = std::max(row.right, right);
            }
        }
    }
}

// The same rows found by testing every pixel (the reference for the above).
void RegionRowsByHitTest(HRGN region, int width, int height, std::vector<Span>& rows)
{
    for (int j = 0; j < height; ++j) {
        int left = 0;
        while (left < width && !::PtInRegion(region, left, j)) ++left;
        if (left == width) continue;
        int right = width - 1;
        while (right > left && !::PtInRegion(region, right, j)) --right;
        rows[j] = Span{left, right + 1};
    }
}

}  // namespace

void MShadow::SetHitTestRows(bool hitTest)
{
    g_hitTestRows = hitTest;
}

MShadow::MShadow()
    : m_pManager(nullptr),
      m_hWnd(nullptr),
      m_OriParentProc(nullptr),
      m_Status(0),
      m_bIsImageMode(0),
      m_bShow(0),
      m_bDisabled(0),
      m_pImage(nullptr),
      m_nImageWidth(0),
      m_nImageHeight(0),
      m_nDarkness(150),
      m_nSharpness(5),
      m_nSize(0),
      m_nxOffset(5),
      m_nyOffset(5),
      m_WndSize(0),
      m_bUpdate(0),
      m_Color(0),
      m_uShadowImageRes(0),
      m_rcShadowCorner(0, 0, 0, 0)
{}

MShadow::~MShadow()
{
    ReleaseImage();
    // A shadow that goes before its parent must not stay in the map, or the
    // parent's next message would reach a dead object.
    auto& map = GetShadowMap();
    for (auto it = map.begin(); it != map.end(); ++it) {
        if (it->second == this) {
            HWND parent = it->first;
            if (::IsWindow(parent) && m_OriParentProc &&
                reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(parent, GWLP_WNDPROC)) ==
                    &MShadow::ParentProc) {
                ::SetWindowLongPtrW(parent, GWLP_WNDPROC,
                                    reinterpret_cast<LONG_PTR>(m_OriParentProc));
            }
            map.erase(it);
            break;
        }
    }
    if (IsLiveWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
}

std::map<HWND, MShadow*>& MShadow::GetShadowMap()
{
    static std::map<HWND, MShadow*> map;
    return map;
}

int MShadow::Initialize(HINSTANCE instance, bool force)
{
    if (g_classRegistered && !force) return 0;
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kShadowClass;
    ::RegisterClassExW(&wc);
    g_classRegistered = true;
    return 1;
}

void MShadow::StatusFromParent(HWND parent)
{
    LONG_PTR style = ::GetWindowLongPtrW(parent, GWL_STYLE);
    m_Status = SS_ENABLED;
    if (style & WS_VISIBLE) {
        m_Status |= SS_PARENTVISIBLE;
        if (!(style & (WS_MINIMIZE | WS_MAXIMIZE))) m_Status |= SS_VISABLE;
    }
}

void MShadow::Create(HWND parent)
{
    if (!m_bShow || !IsLiveWindow(parent)) return;

    auto& map = GetShadowMap();
    WNDPROC previous = nullptr;
    auto found = map.find(parent);
    if (found != map.end() && found->second != this) {
        // A second shadow for the same window takes the place of the first one,
        // keeping the window procedure that the first one replaced.
        previous = found->second->m_OriParentProc;
        found->second->m_OriParentProc = nullptr;
    } else if (found != map.end()) {
        previous = m_OriParentProc;
    }
    map[parent] = this;

    LONG_PTR parentStyle = ::GetWindowLongPtrW(parent, GWL_STYLE);
    DWORD style =
        WS_POPUP | WS_BORDER | WS_SYSMENU | (static_cast<DWORD>(parentStyle) & WS_DLGFRAME);
    if (IsLiveWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
    m_hWnd =
        ::CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT, kShadowClass, nullptr, style,
                          CW_USEDEFAULT, 0, 0, 0, parent, nullptr, Manager::GetInstance(), nullptr);

    StatusFromParent(parent);
    if (m_Status & SS_VISABLE) {
        ::ShowWindow(m_hWnd, SW_SHOWNA);
        Update(parent);
    }

    if (previous) {
        m_OriParentProc = previous;
    } else {
        m_OriParentProc = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(
            parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MShadow::ParentProc)));
    }
}

void MShadow::DisableShadow(int disable)
{
    m_bDisabled = disable;
    if (!IsLiveWindow(m_hWnd)) return;
    if (disable) {
        ::ShowWindow(m_hWnd, SW_HIDE);
        return;
    }
    HWND parent = ::GetWindow(m_hWnd, GW_OWNER);
    if (!parent) return;
    StatusFromParent(parent);
    if (m_Status & SS_VISABLE) {
        ::ShowWindow(m_hWnd, SW_SHOWNA);
        Update(parent);
    }
}

void MShadow::RebuildIfShown()
{
    if (IsLiveWindow(m_hWnd) && (m_Status & SS_VISABLE)) Update(::GetWindow(m_hWnd, GW_OWNER));
}

int MShadow::SetSize(int size)
{
    if (size < -35 || size > 35) return 0;
    m_nSize = static_cast<signed char>(size);
    RebuildIfShown();
    return 1;
}

int MShadow::SetSharpness(unsigned sharpness)
{
    if (sharpness > 35) return 0;
    m_nSharpness = static_cast<unsigned char>(sharpness);
    RebuildIfShown();
    return 1;
}

int MShadow::SetDarkness(unsigned darkness)
{
    if (darkness > 255) return 0;
    m_nDarkness = static_cast<unsigned char>(darkness);
    RebuildIfShown();
    return 1;
}

int MShadow::SetPosition(int x, int y)
{
    if (x < -35 || x > 35 || y < -35 || y > 35) return 0;
    m_nxOffset = static_cast<signed char>(x);
    m_nyOffset = static_cast<signed char>(y);
    RebuildIfShown();
    return 1;
}

int MShadow::SetColor(COLORREF color)
{
    m_Color = color;
    RebuildIfShown();
    return 1;
}

int MShadow::SetShadowCorner(CRect corner)
{
    if (corner.left < 0 || corner.top < 0 || corner.right < 0 || corner.bottom < 0) return 0;
    m_rcShadowCorner = corner;
    RebuildIfShown();
    return 1;
}

void MShadow::ReleaseImage()
{
    delete m_pImage;
    m_pImage = nullptr;
}

bool MShadow::EnsureImage()
{
    if (m_pImage) return true;
    if (!m_sShadowImage.IsEmpty()) {
        CString path = GetSkinsPath() + m_sShadowImage;
        m_pImage = MRender::LoadImageFromFile(path);
    } else if (m_uShadowImageRes != 0) {
        m_pImage =
            MRender::LoadImageFromIDResource(m_uShadowImageRes, L"PNG", Manager::GetInstance());
        if (m_pImage && m_pImage->GetLastStatus() != Gdiplus::Ok) ReleaseImage();
    }
    if (m_pImage) {
        m_nImageWidth = static_cast<int>(m_pImage->GetWidth());
        m_nImageHeight = static_cast<int>(m_pImage->GetHeight());
    }
    return m_pImage != nullptr;
}

int MShadow::SetImage(CString file)
{
    if (file.IsEmpty()) return 0;
    ReleaseImage();
    m_bIsImageMode = 1;
    m_sShadowImage = file;
    m_uShadowImageRes = 0;
    m_nImageWidth = m_nImageHeight = 0;
    EnsureImage();
    RebuildIfShown();
    return 1;
}

int MShadow::SetImage(UINT resourceId)
{
    ReleaseImage();
    m_bIsImageMode = 1;
    m_sShadowImage.Empty();
    m_uShadowImageRes = resourceId;
    m_nImageWidth = m_nImageHeight = 0;
    EnsureImage();
    RebuildIfShown();
    return 0;
}

int MShadow::CopyShadow(MShadow* target)
{
    if (!target) return 0;
    if (m_bIsImageMode) {
        target->SetImage(m_sShadowImage);
        target->SetShadowCorner(m_rcShadowCorner);
        target->SetSize(m_nSize);
    } else {
        target->SetSize(m_nSize);
        target->SetSharpness(m_nSharpness);
        target->SetDarkness(m_nDarkness);
        target->SetColor(m_Color);
        target->SetPosition(m_nxOffset, m_nyOffset);
    }
    target->m_bShow = m_bShow;
    return 1;
}

COLORREF MShadow::PreMultiply(COLORREF color, UINT alpha)
{
    if (alpha > 255) alpha = 255;
    DWORD b0 = (color & 0xFF) * alpha / 255;
    DWORD b1 = ((color >> 8) & 0xFF) * alpha / 255;
    DWORD b2 = ((color >> 16) & 0xFF) * alpha / 255;
    return b0 | (b1 << 8) | (b2 << 16);
}

CRect MShadow::ShadowRect(const RECT& p) const
{
    int w = p.right - p.left, h = p.bottom - p.top;
    if (m_bIsImageMode) {
        const CRect& c = m_rcShadowCorner;
        return CRect(p.left - c.left, p.top - c.top, p.left - c.left + w + c.left + c.right,
                     p.top - c.top + h + c.top + c.bottom);
    }
    int s = m_nSize;
    int x = p.left + m_nxOffset - s, y = p.top + m_nyOffset - s;
    return CRect(x, y, x + w + 2 * s, y + h + 2 * s);
}

void MShadow::MoveToParent(HWND parent)
{
    if (!IsLiveWindow(m_hWnd)) return;
    RECT pr;
    if (!::GetWindowRect(parent, &pr)) return;
    CRect r = ShadowRect(pr);
    ::SetWindowPos(m_hWnd, parent, r.left, r.top, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
}

void MShadow::Update(HWND parent)
{
    if (!m_bShow || !(m_Status & SS_VISABLE)) return;
    if (!IsLiveWindow(m_hWnd) || !parent) return;
    if (m_bIsImageMode) {
        if (m_sShadowImage.IsEmpty() && m_uShadowImageRes == 0) return;
    } else if (m_nSize <= 0) {
        // No computed shadow without a positive size: a negative size would
        // make the picture smaller than the window it surrounds.
        return;
    }

    RECT pr;
    if (!::GetWindowRect(parent, &pr)) return;
    CRect r = ShadowRect(pr);
    int w = r.Width(), h = r.Height();
    if (w <= 0 || h <= 0) return;

    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = w;
    bmi.bmiHeader.biHeight = h;  // bottom-up
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    bmi.bmiHeader.biSizeImage = static_cast<DWORD>(w) * h * 4;
    void* bits = nullptr;
    gdi::Bitmap bitmap(::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0));
    gdi::MemoryDC mem(nullptr);
    if (!bitmap || !bits || !mem) return;
    gdi::Selection select(mem, bitmap);

    if (m_bIsImageMode) {
        if (EnsureImage()) {
            Gdiplus::Graphics g(mem);
            MRender::DrawImageFrameMID(g, m_pImage, CRect(0, 0, w, h), 0, 0, m_nImageWidth,
                                       m_nImageHeight, m_rcShadowCorner.left, m_rcShadowCorner.top,
                                       m_rcShadowCorner.right, m_rcShadowCorner.bottom);
        }
    } else {
        memset(bits, 0, static_cast<size_t>(w) * h * 4);
        MakeShadow(static_cast<UINT32*>(bits), parent, &pr);
    }
    ::GdiFlush();

    ::SetWindowPos(m_hWnd, nullptr, r.left, r.top, w, h,
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    POINT dst = {r.left, r.top};
    SIZE size = {w, h};
    POINT src = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ::UpdateLayeredWindow(m_hWnd, nullptr, &dst, &size, mem, &src, 0, &blend, ULW_ALPHA);
}

void MShadow::MakeShadow(UINT32* pixels, HWND parent, RECT* parentRect)
{
    const int S = m_nSize;
    if (!pixels || !parentRect || S <= 0) return;
    const int W = parentRect->right - parentRect->left;
    const int H = parentRect->bottom - parentRect->top;
    if (W <= 0 || H <= 0) return;
    const int s = m_nSharpness;
    const int D = m_nDarkness;
    const int dx = m_nxOffset, dy = m_nyOffset;
    const int Wd = W + 2 * S, Hd = H + 2 * S;
    // The colour is a COLORREF (red in the low byte); a pixel of the DIB holds
    // red in bits 16-23 and blue in the low byte.
    const COLORREF colour = RGB(GetBValue(m_Color), GetGValue(m_Color), GetRValue(m_Color));

    auto at = [&](int x, int k) -> UINT32& {
        return pixels[static_cast<size_t>(Hd - 1 - k) * Wd + x];
    };

    // 1. Spans of the parent's window region, per row.
    std::vector<Span> parentSpans(H, Span{W, 0});
    std::vector<Span> spans(Hd, Span{W, 0});
    {
        gdi::Region region(::CreateRectRgn(0, 0, 0, 0));
        if (!parent || ::GetWindowRgn(parent, region) == ERROR) ::SetRectRgn(region, 0, 0, 0, 0);
        if (g_hitTestRows)
            RegionRowsByHitTest(region, W, H, parentSpans);
        else
            RegionRows(region, W, H, parentSpans, Span{W, 0});
    }
    for (int j = 0; j < H; ++j)
        if (!Empty(parentSpans[j]))
            spans[j + S] = Span{parentSpans[j].left + S, parentSpans[j].right + S};

    // 2. Erosion by sharpness - size.
    for (int step = 0; step < s - S; ++step) {
        std::vector<Span> next(Hd);
        for (int k = 0; k < Hd; ++k) {
            Span up = k > 0 ? spans[k - 1] : Span{W, 0};
            Span down = k + 1 < Hd ? spans[k + 1] : Span{W, 0};
            // Rows outside the bitmap, like empty rows, count as empty; an empty
            // neighbour (W, 0) makes the row empty as well.
            int l = std::max({spans[k].left, up.left, down.left}) + 1;
            int r = std::min({spans[k].right, up.right, down.right}) - 1;
            next[k] = Span{l, r};
        }
        spans.swap(next);
    }

    // 3. Kernel.
    const int R = std::max(S, s);
    const int Rin = std::max(S - s, 0);
    const int side = 2 * R + 1;
    std::vector<UINT32> kernel(static_cast<size_t>(side) * side, 0);
    for (int y = -R; y <= R; ++y) {
        for (int x = -R; x <= R; ++x) {
            double d = std::sqrt(static_cast<double>(x * x + y * y));
            int a = 0;
            if (d < Rin)
                a = D;
            else if (d <= R)
                // The small bias keeps exact values (whole distances) from
                // truncating one below through rounding of the division.
                a = static_cast<int>((1.0 - (d - Rin) / (s + 1)) * D + 1e-9);
            if (a < 0) a = 0;
            if (a > 255) a = 255;
            kernel[static_cast<size_t>(y + R) * side + (x + R)] =
                (static_cast<UINT32>(a) << 24) | PreMultiply(colour, static_cast<UINT>(a));
        }
    }
    auto stamp = [&](int cx, int cy) {
        for (int y = -R; y <= R; ++y) {
            int ty = cy + y;
            if (ty < 0 || ty >= Hd) continue;
            for (int x = -R; x <= R; ++x) {
                int tx = cx + x;
                if (tx < 0 || tx >= Wd) continue;
                UINT32 v = kernel[static_cast<size_t>(y + R) * side + (x + R)];
                UINT32& p = at(tx, ty);
                if (v > p) p = v;
            }
        }
    };

    // 4. Soft edge along the span borders.
    for (int k = R; k <= Hd - R - 1; ++k) {
        const Span& sp = spans[k];
        if (Empty(sp)) continue;
        const Span& up = spans[k - 1];
        const Span& down = spans[k + 1];
        int stop = std::min(sp.right, std::max(up.left, down.left) + 1);
        for (int x = sp.left; x < stop; ++x) stamp(x, k);
        int start = std::max(stop, std::min(up.right, down.right) - 1);
        for (int x = start; x < sp.right; ++x) stamp(x, k);
    }

    // 5. Solid interior, cut out under the parent.
    const UINT32 full = (static_cast<UINT32>(D) << 24) | PreMultiply(colour, static_cast<UINT>(D));
    auto fill = [&](int k, int from, int to, UINT32 value) {
        from = std::max(from, 0);
        to = std::min(to, Wd);
        for (int x = from; x < to; ++x) at(x, k) = value;
    };
    int kFirst = std::min(R, std::max(S - dy, 0));
    int kEnd = std::max(Hd - R, std::min(H + 2 * S, H + S - dy));
    kFirst = std::max(kFirst, 0);
    kEnd = std::min(kEnd, Hd);
    for (int k = kFirst; k < kEnd; ++k) {
        const Span& sp = spans[k];
        int j = k + dy - S;
        if (j < 0 || j >= H) {
            if (!Empty(sp)) fill(k, sp.left, sp.right, full);
            continue;
        }
        int pl = parentSpans[j].left + S - dx;
        int pr = parentSpans[j].right + S - dx;
        if (!Empty(sp)) fill(k, sp.left, std::min(pl, sp.right), full);
        fill(k, std::max(pl, 0), std::min(pr, Wd), 0);
        if (!Empty(sp)) fill(k, std::max(sp.left, pr), sp.right, full);
    }
}

LRESULT CALLBACK MShadow::ParentProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    auto& map = GetShadowMap();
    auto found = map.find(hwnd);
    if (found == map.end()) return ::DefWindowProcW(hwnd, msg, wparam, lparam);
    MShadow* self = found->second;
    WNDPROC previous = self->m_OriParentProc;

    if (!self->m_bDisabled) {
        switch (msg) {
            case WM_DESTROY:
                if (IsLiveWindow(self->m_hWnd)) ::DestroyWindow(self->m_hWnd);
                self->m_hWnd = nullptr;
                break;
            case WM_MOVE:
                if (self->m_Status & SS_VISABLE) self->MoveToParent(hwnd);
                break;
            case WM_SIZE:
                if (self->m_Status & SS_ENABLED) {
                    if (wparam == SIZE_MINIMIZED || wparam == SIZE_MAXIMIZED) {
                        if (self->m_hWnd) ::ShowWindow(self->m_hWnd, SW_HIDE);
                        self->m_Status &= ~SS_VISABLE;
                    } else if (self->m_Status & SS_PARENTVISIBLE) {
                        bool grew = LOWORD(lparam) > LOWORD(self->m_WndSize) ||
                                    HIWORD(lparam) > HIWORD(self->m_WndSize);
                        // Show first, so that a shadow coming back from a minimised or
                        // maximised parent gets its picture rebuilt as well.
                        if (!(self->m_Status & SS_VISABLE)) {
                            if (self->m_hWnd) ::ShowWindow(self->m_hWnd, SW_SHOWNA);
                            self->m_Status |= SS_VISABLE;
                        }
                        if (grew)
                            self->m_bUpdate = 1;
                        else
                            self->Update(hwnd);
                    }
                    self->m_WndSize = lparam;
                }
                break;
            case WM_PAINT:
                if (self->m_bUpdate) {
                    self->Update(hwnd);
                    self->m_bUpdate = 0;
                }
                break;
            case WM_SHOWWINDOW:
                if (self->m_Status & SS_ENABLED) {
                    if (wparam && !(self->m_Status & SS_PARENTVISIBLE)) {
                        self->m_bUpdate = 1;
                        if (self->m_hWnd) ::ShowWindow(self->m_hWnd, SW_SHOWNA);
                        self->m_Status |= SS_VISABLE | SS_PARENTVISIBLE;
                    } else if (!wparam) {
                        if (self->m_hWnd) ::ShowWindow(self->m_hWnd, SW_HIDE);
                        self->m_Status &= ~(SS_VISABLE | SS_PARENTVISIBLE);
                    }
                }
                break;
            case WM_ACTIVATEAPP:
            case WM_NCACTIVATE:
                if (IsLiveWindow(self->m_hWnd))
                    ::SetWindowPos(self->m_hWnd, hwnd, 0, 0, 0, 0,
                                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
                break;
            case WM_WINDOWPOSCHANGED: self->MoveToParent(hwnd); break;
            case WM_EXITSIZEMOVE:
                if (self->m_Status & SS_VISABLE) self->Update(hwnd);
                break;
            default: break;
        }
    }

    if (msg == WM_NCDESTROY) {
        // The window is gone: forget it, and let its image go while GDI+ runs.
        map.erase(hwnd);
        self->m_hWnd = nullptr;
        self->m_Status = 0;
        self->m_OriParentProc = nullptr;
        self->ReleaseImage();
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    }
    if (!previous) return ::DefWindowProcW(hwnd, msg, wparam, lparam);
    return ::CallWindowProcW(previous, hwnd, msg, wparam, lparam);
}

}  // namespace WEXA
