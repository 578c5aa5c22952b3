#include "TipWindow.h"

#include "MRender.h"
#include "Manager.h"
#include "framework/GdiOwners.h"
#include "framework/WindowUtil.h"

namespace WEXA {
namespace tipwindow {

namespace {
const UINT kFontResource = 106;
}

void LoadEmbeddedFont(Gdiplus::FontFamily*& family, Gdiplus::PrivateFontCollection*& collection)
{
    delete family;
    family = nullptr;
    delete collection;
    collection = nullptr;
    HMODULE module = GetLibraryInstance();
    HRSRC info = ::FindResourceW(module, MAKEINTRESOURCEW(kFontResource), L"ttf");
    if (!info) return;
    HGLOBAL data = ::LoadResource(module, info);
    const void* bytes = data ? ::LockResource(data) : nullptr;
    DWORD size = ::SizeofResource(module, info);
    if (!bytes || size == 0) return;
    gdi::Owned<Gdiplus::PrivateFontCollection> fonts(new Gdiplus::PrivateFontCollection());
    if (fonts->AddMemoryFont(bytes, static_cast<INT>(size)) != Gdiplus::Ok ||
        fonts->GetFamilyCount() <= 0)
        return;
    gdi::Owned<Gdiplus::FontFamily> first(new Gdiplus::FontFamily());
    INT found = 0;
    if (fonts->GetFamilies(1, first.get(), &found) != Gdiplus::Ok || found < 1) return;
    family = first.release();
    collection = fonts.release();
}

int LoadSkinImage(CString file, Gdiplus::Image*& image, int& width, int& height)
{
    delete image;
    image = nullptr;
    width = height = 0;
    gdi::Owned<Gdiplus::Image> loaded(MRender::LoadImageFromFile(GetSkinsPath() + file));
    if (!loaded || loaded->GetLastStatus() != Gdiplus::Ok || loaded->GetWidth() == 0) return 0;
    image = loaded.release();
    width = static_cast<int>(image->GetWidth());
    height = static_cast<int>(image->GetHeight());
    return 1;
}

int LoadResImage(UINT resId, CString type, Gdiplus::Image*& image, int& width, int& height)
{
    delete image;
    image = nullptr;
    width = height = 0;
    gdi::Owned<Gdiplus::Image> loaded(
        MRender::LoadImageFromIDResource(resId, type, Manager::GetInstance()));
    if (!loaded || loaded->GetLastStatus() != Gdiplus::Ok || loaded->GetWidth() == 0) return 0;
    image = loaded.release();
    width = static_cast<int>(image->GetWidth());
    height = static_cast<int>(image->GetHeight());
    return 1;
}

void SetupRoundRegion(HWND hwnd, int corner)
{
    if (!IsLiveWindow(hwnd)) return;
    RECT rc;
    ::GetWindowRect(hwnd, &rc);
    gdi::Region region(
        ::CreateRoundRectRgn(0, 0, rc.right - rc.left + 1, rc.bottom - rc.top + 1, corner, corner));
    // The window takes the region when it is set.
    if (region && ::SetWindowRgn(hwnd, region, TRUE)) region.release();
}

void ApplyToolWindowStyles(HWND hwnd)
{
    if (!hwnd) return;
    DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(hwnd, GWL_STYLE));
    ::SetWindowLongPtrW(hwnd, GWL_STYLE, static_cast<LONG_PTR>((style & 0xFF3BFFFF) | 0x06000008));
    ::SetWindowLongPtrW(hwnd, GWL_EXSTYLE, WS_EX_TOOLWINDOW);
}

void ShowWithoutActivation(HWND hwnd)
{
    if (!hwnd || !::IsWindow(hwnd) || ::IsWindowVisible(hwnd)) return;
    ::ShowWindow(hwnd, SW_SHOWNOACTIVATE);
}

HFONT CreateLibraryGdiFont(int height)
{
    LOGFONTW lf = {};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    CString face = Manager::GetFontName();
    lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
    lf.lfCharSet = 1;
    lf.lfHeight = height;
    return ::CreateFontIndirectW(&lf);
}

void CopyToWindow(HWND hwnd, HDC source, int width, int height)
{
    gdi::WindowDC dc(hwnd);
    if (!dc) return;
    ::BitBlt(dc, 0, 0, width, height, source, 0, 0, SRCCOPY);
}

}  // namespace tipwindow
}  // namespace WEXA
