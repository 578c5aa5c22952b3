#include "MRender.h"

#include <shellapi.h>

#include <cmath>
#include <vector>

#include "framework/GdiOwners.h"

namespace WEXA {

namespace {

using Gdiplus::ARGB;

typedef BOOL(WINAPI* AlphaBlendFn)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
typedef BOOL(WINAPI* GradientFillFn)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

HBITMAP CreateDib32(HDC dc, int width, int height, void** bits)
{
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (bits) *bits = bitmap ? pixels : nullptr;
    return bitmap;
}

// AlphaBlend for systems whose msimg32 lacks it: per-pixel source alpha times the
// constant alpha, written with a zero alpha byte.
BOOL WINAPI AlphaBlendFallback(HDC dst, int dx, int dy, int dw, int dh, HDC src, int sx, int sy,
                               int sw, int sh, BLENDFUNCTION blend)
{
    if (dw <= 0 || dh <= 0) return 0;
    gdi::MemoryDC mem(dst);
    if (!mem) return 0;
    void* srcBits = nullptr;
    void* dstBits = nullptr;
    gdi::Bitmap srcDib(CreateDib32(mem, dw, dh, &srcBits));
    gdi::Bitmap dstDib(CreateDib32(mem, dw, dh, &dstBits));
    if (!srcDib || !dstDib || !srcBits || !dstBits) return 0;
    gdi::Selection select(mem, srcDib);
    ::SetStretchBltMode(mem, COLORONCOLOR);
    ::StretchBlt(mem, 0, 0, dw, dh, src, sx, sy, sw, sh, SRCCOPY);
    select.Select(dstDib);
    ::BitBlt(mem, 0, 0, dw, dh, dst, dx, dy, SRCCOPY);
    ::GdiFlush();
    auto* s = static_cast<BYTE*>(srcBits);
    auto* d = static_cast<BYTE*>(dstBits);
    for (int i = 0; i < dw * dh; ++i, s += 4, d += 4) {
        double weight = s[3] * blend.SourceConstantAlpha / 255.0 / 255.0;
        for (int c = 0; c < 3; ++c) d[c] = static_cast<BYTE>(d[c] * (1.0 - weight) + s[c] * weight);
        d[3] = 0;
    }
    ::BitBlt(dst, dx, dy, dw, dh, mem, 0, 0, SRCCOPY);
    return 1;
}

struct BlendEntryPoints
{
    AlphaBlendFn alphaBlend = nullptr;
    GradientFillFn gradientFill = nullptr;
};

const BlendEntryPoints& EntryPoints()
{
    static const BlendEntryPoints points = [] {
        BlendEntryPoints p;
        HMODULE module = ::GetModuleHandleW(L"msimg32.dll");
        // Nothing of ours imports it directly, so it may not be loaded yet.
        if (!module) module = ::LoadLibraryW(L"msimg32.dll");
        if (module) {
            p.alphaBlend = reinterpret_cast<AlphaBlendFn>(::GetProcAddress(module, "AlphaBlend"));
            p.gradientFill =
                reinterpret_cast<GradientFillFn>(::GetProcAddress(module, "GradientFill"));
        }
        if (!p.alphaBlend) p.alphaBlend = &AlphaBlendFallback;
        return p;
    }();
    return points;
}

BOOL Blend(HDC dst, int dx, int dy, int dw, int dh, HDC src, int sx, int sy, int sw, int sh,
           BYTE alpha, bool perPixel)
{
    BLENDFUNCTION bf = {AC_SRC_OVER, 0, alpha, static_cast<BYTE>(perPixel ? AC_SRC_ALPHA : 0)};
    return EntryPoints().alphaBlend(dst, dx, dy, dw, dh, src, sx, sy, sw, sh, bf);
}

BYTE ChannelA(ARGB c)
{
    return static_cast<BYTE>(c >> 24);
}
BYTE ChannelR(ARGB c)
{
    return static_cast<BYTE>(c >> 16);
}
BYTE ChannelG(ARGB c)
{
    return static_cast<BYTE>(c >> 8);
}
BYTE ChannelB(ARGB c)
{
    return static_cast<BYTE>(c);
}

// Solid bands in place of GradientFill; band 0 carries the end colour.
void DrawGradientBands(HDC dc, const RECT& rc, ARGB start, ARGB end, bool vertical, int hint)
{
    int shift = hint < 4 ? 1 : hint < 8 ? 2 : hint < 16 ? 3 : hint < 32 ? 4 : hint < 64 ? 5 : 6;
    int count = 1 << shift;
    int height = rc.bottom - rc.top;
    int width = rc.right - rc.left;
    for (int t = 0; t < count; ++t) {
        int r = (ChannelR(start) * t + ChannelR(end) * (count - t)) >> shift;
        int g = (ChannelG(start) * t + ChannelG(end) * (count - t)) >> shift;
        int b = (ChannelB(start) * t + ChannelB(end) * (count - t)) >> shift;
        RECT band = rc;
        if (vertical) {
            band.top = rc.bottom - (height * (t + 1)) / count;
            band.bottom = rc.bottom - (height * t) / count;
        } else {
            band.left = rc.right - (width * (t + 1)) / count;
            band.right = rc.right - (width * t) / count;
        }
        if (band.right <= band.left || band.bottom <= band.top) continue;
        HBRUSH brush = ::CreateSolidBrush(RGB(r, g, b));
        ::FillRect(dc, &band, brush);
        ::DeleteObject(brush);
    }
}

void DrawPart(Gdiplus::Graphics& g, Gdiplus::Image* image, int dx, int dy, int dw, int dh, int sx,
              int sy, int sw, int sh)
{
    // A part with no area (a target smaller than its borders) is not drawn: a
    // negative size would mirror the image across the neighbouring parts.
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
    if (dw == sw && dh == sh) {
        g.DrawImage(image, Gdiplus::Rect(dx, dy, dw, dh), sx, sy, sw, sh, Gdiplus::UnitPixel);
        return;
    }
    // A stretched part is filled with the part as a texture, mirrored at its
    // edges. Drawn as a stretched image, its first row and column come out
    // empty on some GDI+ implementations and blended with transparency on
    // others, which shows as a line of the background along every seam of a
    // stretched panel; a filled rectangle covers exactly its pixels, and the
    // mirroring keeps the filter on the part's own pixels.
    Gdiplus::TextureBrush brush(image, Gdiplus::WrapModeTileFlipXY, Gdiplus::Rect(sx, sy, sw, sh));
    if (brush.GetLastStatus() != Gdiplus::Ok) {
        g.DrawImage(image, Gdiplus::Rect(dx, dy, dw, dh), sx, sy, sw, sh, Gdiplus::UnitPixel);
        return;
    }
    brush.TranslateTransform(static_cast<Gdiplus::REAL>(dx), static_cast<Gdiplus::REAL>(dy));
    brush.ScaleTransform(static_cast<Gdiplus::REAL>(dw) / static_cast<Gdiplus::REAL>(sw),
                         static_cast<Gdiplus::REAL>(dh) / static_cast<Gdiplus::REAL>(sh));
    g.FillRectangle(&brush, dx, dy, dw, dh);
}

void AddRoundPath(Gdiplus::GraphicsPath& path, float x, float y, float w, float h, float rx,
                  float ry)
{
    if (!(rx > 0.0f) || !(ry > 0.0f)) {
        path.AddRectangle(Gdiplus::RectF(x, y, w, h));
        return;
    }
    path.AddLine(x + rx, y, x + w - rx, y);
    path.AddArc(x + w - 2 * rx, y, 2 * rx, 2 * ry, 270.0f, 90.0f);
    path.AddLine(x + w, y + ry, x + w, y + h - ry);
    path.AddArc(x + w - 2 * rx, y + h - 2 * ry, 2 * rx, 2 * ry, 0.0f, 90.0f);
    path.AddLine(x + w - rx, y + h, x + rx, y + h);
    path.AddArc(x, y + h - 2 * ry, 2 * rx, 2 * ry, 90.0f, 90.0f);
    path.AddLine(x, y + h - ry, x, y + ry);
    path.AddArc(x, y, 2 * rx, 2 * ry, 180.0f, 90.0f);
    path.CloseFigure();
}

void DrawRoundPath(Gdiplus::Graphics& g, float x, float y, float w, float h, float rx, float ry,
                   bool outline, ARGB penColor, float penWidth, bool fill, ARGB fillColor)
{
    Gdiplus::GraphicsPath path;
    AddRoundPath(path, x, y, w, h, rx, ry);
    if (fill) {
        Gdiplus::SolidBrush brush{Gdiplus::Color(fillColor)};
        g.FillPath(&brush, &path);
    }
    if (outline) {
        Gdiplus::Pen pen(Gdiplus::Color(penColor), penWidth);
        g.DrawPath(&pen, &path);
    }
}

// The size of the path outline of the text, and the font's line height.
bool MeasurePath(const Gdiplus::Font* font, const Gdiplus::StringFormat* format, float layoutWidth,
                 const wchar_t* text, Gdiplus::RectF* bounds, float* lineHeight)
{
    if (!font || !text) return false;
    Gdiplus::FontFamily family;
    if (font->GetFamily(&family) != Gdiplus::Ok) return false;
    float size = font->GetSize();
    switch (font->GetUnit()) {
        case Gdiplus::UnitPoint: size = size * 96.0f / 72.0f; break;
        case Gdiplus::UnitInch: size = size * 96.0f; break;
        case Gdiplus::UnitDocument: size = size * 96.0f / 300.0f; break;
        case Gdiplus::UnitMillimeter: size = size * 96.0f / 25.4f; break;
        default: break;
    }
    Gdiplus::GraphicsPath path;
    Gdiplus::RectF layout(0.0f, 0.0f, layoutWidth, 0.0f);
    Gdiplus::StringFormat defaultFormat;  // a null format means the default layout
    path.AddString(text, -1, &family, font->GetStyle(), size, layout,
                   format ? format : &defaultFormat);
    path.GetBounds(bounds);
    *lineHeight = font->GetHeight(0.0f);
    return true;
}

bool HasFraction(float v)
{
    return std::floor(v) != v;
}

}  // namespace

// ---- image loading ----

namespace {

// A stream over a file's bytes read into memory at once, which keeps the file
// open (others may read it, not change or delete it) for as long as the
// stream lives, as a stream on the file would. The decoders read it far
// faster than the file itself.
class FileCopyStream : public IStream
{
public:
    // Null when the file cannot be opened or read.
    static IStream* Open(const wchar_t* path)
    {
        HANDLE file = ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return nullptr;
        IStream* memory = nullptr;
        LARGE_INTEGER size = {};
        if (::GetFileSizeEx(file, &size) && size.QuadPart > 0 &&
            size.QuadPart <= 512 * 1024 * 1024) {
            const DWORD bytes = static_cast<DWORD>(size.QuadPart);
            HGLOBAL block = ::GlobalAlloc(GMEM_FIXED, bytes);
            DWORD done = 0;
            // A fixed block's handle is its address; the stream frees it.
            if (block && ::ReadFile(file, block, bytes, &done, nullptr) && done == bytes &&
                SUCCEEDED(::CreateStreamOnHGlobal(block, TRUE, &memory)) && memory) {
                block = nullptr;
            }
            if (block) ::GlobalFree(block);
        }
        if (!memory) {
            ::CloseHandle(file);
            return nullptr;
        }
        return new FileCopyStream(file, memory);
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_ISequentialStream || iid == IID_IStream) {
            *out = static_cast<IStream*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ::InterlockedIncrement(&refs_); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = ::InterlockedDecrement(&refs_);
        if (left == 0) delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE Read(void* data, ULONG size, ULONG* done) override
    {
        return memory_->Read(data, size, done);
    }
    HRESULT STDMETHODCALLTYPE Write(const void*, ULONG, ULONG*) override
    {
        return STG_E_ACCESSDENIED;
    }
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin,
                                   ULARGE_INTEGER* position) override
    {
        return memory_->Seek(move, origin, position);
    }
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return STG_E_ACCESSDENIED; }
    HRESULT STDMETHODCALLTYPE CopyTo(IStream* target, ULARGE_INTEGER size, ULARGE_INTEGER* read,
                                     ULARGE_INTEGER* written) override
    {
        return memory_->CopyTo(target, size, read, written);
    }
    HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Revert() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override
    {
        return STG_E_INVALIDFUNCTION;
    }
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override
    {
        return STG_E_INVALIDFUNCTION;
    }
    HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD flags) override
    {
        return memory_->Stat(stat, flags);
    }
    HRESULT STDMETHODCALLTYPE Clone(IStream** out) override
    {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }

private:
    FileCopyStream(HANDLE file, IStream* memory) : file_(file), memory_(memory) {}
    virtual ~FileCopyStream()
    {
        memory_->Release();
        ::CloseHandle(file_);
    }

    LONG refs_ = 1;
    HANDLE file_;
    IStream* memory_;
};

}  // namespace

Gdiplus::Image* MRender::LoadImageFromFile(const wchar_t* path)
{
    if (!path || !*path) return nullptr;
    IStream* stream = FileCopyStream::Open(path);
    if (!stream) return nullptr;
    // The image holds the stream (and so the file) for as long as it may read it.
    auto* image = new Gdiplus::Image(stream);
    stream->Release();
    if (image->GetLastStatus() != Gdiplus::Ok || image->GetWidth() == 0) {
        delete image;
        return nullptr;
    }
    return image;
}

Gdiplus::Image* MRender::LoadImageFromFileEx(const wchar_t* path, int width, int height)
{
    if (width < 0 || height < 0) return nullptr;
    Gdiplus::Image* source = LoadImageFromFile(path);
    if (!source) return nullptr;
    if (width == 0 && height == 0) {
        width = static_cast<int>(source->GetWidth());
        height = static_cast<int>(source->GetHeight());
    }
    Gdiplus::Bitmap* copy = nullptr;
    if (width > 0 && height > 0) {
        copy = new Gdiplus::Bitmap(width, height, PixelFormat32bppARGB);
        if (copy->GetLastStatus() == Gdiplus::Ok) {
            Gdiplus::Graphics g(copy);
            g.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
            g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
            bool sameSize = width == static_cast<int>(source->GetWidth()) &&
                            height == static_cast<int>(source->GetHeight());
            g.SetInterpolationMode(sameSize ? Gdiplus::InterpolationModeNearestNeighbor
                                            : Gdiplus::InterpolationModeHighQualityBicubic);
            Gdiplus::ImageAttributes attributes;
            attributes.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
            g.DrawImage(source, Gdiplus::Rect(0, 0, width, height), 0, 0,
                        static_cast<int>(source->GetWidth()), static_cast<int>(source->GetHeight()),
                        Gdiplus::UnitPixel, &attributes);
            if (g.GetLastStatus() != Gdiplus::Ok) {
                delete copy;
                copy = nullptr;
            }
        } else {
            delete copy;
            copy = nullptr;
        }
    }
    delete source;
    return copy;
}

Gdiplus::Image* MRender::LoadImageFromIDResource(UINT id, const wchar_t* type, HMODULE module)
{
    if (!type) return nullptr;
    HRSRC info = ::FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (!info) return nullptr;
    DWORD size = ::SizeofResource(module, info);
    HGLOBAL resource = ::LoadResource(module, info);
    const void* data = resource ? ::LockResource(resource) : nullptr;
    if (!data || size == 0) return nullptr;
    HGLOBAL block = ::GlobalAlloc(GMEM_FIXED, size);
    if (!block) return nullptr;
    memcpy(block, data, size);  // a fixed block's handle is its address
    IStream* stream = nullptr;
    // The stream frees the block when its last reference goes; the image holds
    // one for as long as it may read the data.
    if (FAILED(::CreateStreamOnHGlobal(block, TRUE, &stream)) || !stream) {
        ::GlobalFree(block);
        return nullptr;
    }
    auto* image = new Gdiplus::Image(stream);
    stream->Release();
    return image;
}

HICON MRender::LoadIconFromFile(const wchar_t* path)
{
    if (!path || !*path || ::GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES) return nullptr;
    wchar_t buffer[MAX_PATH] = {};
    lstrcpynW(buffer, path, MAX_PATH);
    WORD index = 0;
    return ::ExtractAssociatedIconW(::GetModuleHandleW(nullptr), buffer, &index);
}

// ---- memory surfaces ----

HBITMAP MRender::CreateARGB32Bitmap(HDC dc, int width, int height, void** bits)
{
    if (bits) *bits = nullptr;
    if (width <= 0 || height <= 0) return nullptr;
    return CreateDib32(dc, width, height, bits);
}

HDC MRender::CreateCompatibleDC(HDC dc)
{
    return ::CreateCompatibleDC(dc);
}

HBITMAP MRender::CreateCompatibleBitmap(HDC dc, int width, int height)
{
    return ::CreateCompatibleBitmap(dc, width, height);
}

BOOL MRender::BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY)
{
    return ::BitBlt(dst, x, y, width, height, src, srcX, srcY, SRCCOPY);
}

BOOL MRender::BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY,
                     DWORD rop)
{
    return ::BitBlt(dst, x, y, width, height, src, srcX, srcY, rop);
}

int MRender::SaveBitmapToFile(HBITMAP bitmap, const wchar_t* path)
{
    if (!bitmap || !path || !*path) return 0;
    BITMAP info = {};
    if (!::GetObjectW(bitmap, sizeof(info), &info) || info.bmWidth <= 0 || info.bmHeight == 0)
        return 0;
    const int width = info.bmWidth;
    const int height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    // Always 24 bits per pixel: no colour table is needed, and every viewer opens it.
    const WORD bits = 24;
    const DWORD rowSize = ((bits * static_cast<DWORD>(width) + 31) / 32) * 4;
    const DWORD dataSize = rowSize * static_cast<DWORD>(height);

    std::vector<BYTE> block(sizeof(BITMAPINFOHEADER) + dataSize);
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(block.data());
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = width;
    header->biHeight = height;
    header->biPlanes = 1;
    header->biBitCount = bits;
    header->biCompression = BI_RGB;

    HDC screen = ::GetDC(nullptr);
    HPALETTE oldPalette =
        ::SelectPalette(screen, static_cast<HPALETTE>(::GetStockObject(DEFAULT_PALETTE)), FALSE);
    ::RealizePalette(screen);
    int lines = ::GetDIBits(screen, bitmap, 0, static_cast<UINT>(height),
                            block.data() + sizeof(BITMAPINFOHEADER),
                            reinterpret_cast<BITMAPINFO*>(header), DIB_RGB_COLORS);
    if (oldPalette) ::SelectPalette(screen, oldPalette, FALSE);
    ::ReleaseDC(nullptr, screen);
    if (lines != height) return 0;
    // GetDIBits may fill in the image size; the file keeps it 0 as for any BI_RGB bitmap.
    header->biSizeImage = 0;
    header->biXPelsPerMeter = header->biYPelsPerMeter = 0;
    header->biClrUsed = header->biClrImportant = 0;

    HANDLE file = ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    BITMAPFILEHEADER fileHeader = {};
    fileHeader.bfType = 0x4D42;
    fileHeader.bfSize = dataSize + sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    fileHeader.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    DWORD written = 0;
    bool ok = ::WriteFile(file, &fileHeader, sizeof(fileHeader), &written, nullptr) &&
              written == sizeof(fileHeader);
    ok = ok &&
         ::WriteFile(file, block.data(), static_cast<DWORD>(block.size()), &written, nullptr) &&
         written == block.size();
    ::CloseHandle(file);
    if (!ok) {
        ::DeleteFileW(path);
        return 0;
    }
    return 1;
}

// ---- fills and frames ----

void MRender::FillSolidRect(HDC& dc, CRect rect, COLORREF color)
{
    ::SetBkColor(dc, color);
    RECT rc = rect;
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
}

void MRender::FillSolidRect(HDC dc, int x, int y, int width, int height, COLORREF color)
{
    FillSolidRect(dc, CRect(x, y, x + width, y + height), color);
}

void MRender::DrawColor(HDC dc, CRect rect, ARGB color)
{
    if (color < 0x01000000) return;
    Gdiplus::Graphics g(dc);
    Gdiplus::SolidBrush brush{Gdiplus::Color(color)};
    g.FillRectangle(&brush, static_cast<INT>(rect.left), static_cast<INT>(rect.top),
                    static_cast<INT>(rect.right - rect.left),
                    static_cast<INT>(rect.bottom - rect.top));
}

void MRender::DrawGradient(HDC dc, CRect rect, ARGB start, ARGB end, BOOL vertical, int bands)
{
    const BlendEntryPoints& points = EntryPoints();
    int alpha = (ChannelA(start) + ChannelA(end)) / 2;
    if (alpha == 0) return;
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return;

    // Below full opacity the gradient is drawn off-screen and blended.
    const bool blended = alpha < 255;
    gdi::MemoryDC mem;
    gdi::Bitmap bitmap;
    if (blended) {
        if (mem.Create(dc)) bitmap.reset(::CreateCompatibleBitmap(dc, width, height));
        if (!bitmap) return;
    }
    gdi::Selection select(mem, bitmap);
    HDC target = blended ? mem.get() : dc;
    RECT area = rect;
    if (blended) area = {0, 0, width, height};

    if (points.gradientFill) {
        TRIVERTEX v[2] = {};
        v[0].x = area.left;
        v[0].y = area.top;
        v[0].Red = static_cast<COLOR16>(ChannelR(start) << 8);
        v[0].Green = static_cast<COLOR16>(ChannelG(start) << 8);
        v[0].Blue = static_cast<COLOR16>(ChannelB(start) << 8);
        v[0].Alpha = 0xFF00;
        v[1].x = area.right;
        v[1].y = area.bottom;
        v[1].Red = static_cast<COLOR16>(ChannelR(end) << 8);
        v[1].Green = static_cast<COLOR16>(ChannelG(end) << 8);
        v[1].Blue = static_cast<COLOR16>(ChannelB(end) << 8);
        v[1].Alpha = 0xFF00;
        GRADIENT_RECT mesh = {0, 1};
        points.gradientFill(target, v, 2, &mesh, 1,
                            vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
    } else {
        DrawGradientBands(target, area, start, end, vertical != FALSE, bands);
    }

    if (blended)
        Blend(dc, rect.left, rect.top, width, height, mem, 0, 0, width, height,
              static_cast<BYTE>(alpha), true);
}

void MRender::DrawImageFrame(Gdiplus::Graphics& g, Gdiplus::Image* image, CRect target, int x,
                             int y, int width, int height, int corner)
{
    DrawImageFrameMID(g, image, target, x, y, width, height, corner, corner, corner, corner);
}

void MRender::DrawImageFrameMID(Gdiplus::Graphics& g, Gdiplus::Image* image, CRect target, int x,
                                int y, int width, int height, int l, int t, int r, int b)
{
    if (!image) return;
    const int L = target.left, T = target.top, R = target.right, B = target.bottom;
    const int w = width, h = height;
    DrawPart(g, image, L, T, l, t, x, y, l, t);                              // top-left
    DrawPart(g, image, L, T + t, l, B - T - t - b, x, y + t, l, h - t - b);  // left edge
    DrawPart(g, image, L, B - b, l, b, x, y + h - b, l, b);                  // bottom-left
    DrawPart(g, image, L + l, T, R - L - l - r, t, x + l, y, w - l - r, t);  // top edge
    DrawPart(g, image, R - r, T, r, t, x + w - r, y, r, t);                  // top-right
    DrawPart(g, image, R - r, T + t, r, B - T - t - b, x + w - r, y + t, r,
             h - t - b);                                                 // right edge
    DrawPart(g, image, R - r, B - b, r, b, x + w - r, y + h - b, r, b);  // bottom-right
    DrawPart(g, image, L + l, B - b, R - L - l - r, b, x + l, y + h - b, w - l - r,
             b);  // bottom edge
    DrawPart(g, image, L + l, T + t, R - L - l - r, B - T - t - b, x + l, y + t, w - l - r,
             h - t - b);  // centre
}

void MRender::DrawRectangle(HDC, CRect, int, int, int) {}

void MRender::CheckAlphaColor(ARGB& color)
{
    if ((color & 0x00FFFFFF) == 0) color += 1;
}

// ---- rounded rectangles ----

void MRender::DrawRoundRectange(Gdiplus::Graphics& g, float x, float y, float width, float height,
                                float roundness, ARGB penColor, float penWidth, BOOL fill,
                                ARGB fillColor)
{
    float rx = 0.0f, ry = 0.0f;
    if (roundness > 0.0f) {
        rx = width / roundness * 0.5f;
        ry = height / roundness * 0.5f;
        if (std::fabs(rx - ry) > 10.0f) rx = ry = std::min(rx, ry);
    }
    DrawRoundPath(g, x, y, width, height, rx, ry, true, penColor, penWidth, fill != FALSE,
                  fillColor);
}

void MRender::DrawRoundRectange(Gdiplus::Graphics& g, float x, float y, float width, float height,
                                float radius, ARGB borderColor, float borderWidth, ARGB fillColor)
{
    DrawRoundPath(g, x, y, width, height, radius, radius, true, borderColor, borderWidth, true,
                  fillColor);
}

void MRender::DrawRoundRectange(Gdiplus::Graphics& g, float x, float y, float width, float height,
                                float radius, ARGB fillColor)
{
    DrawRoundPath(g, x, y, width, height, radius, radius, false, 0, 0.0f, true, fillColor);
}

// ---- text ----

void MRender::DrawTextW(HDC dc, CRect& rect, const wchar_t* text, COLORREF color, HFONT font,
                        UINT format)
{
    if (!text) return;
    ::SetBkMode(dc, TRANSPARENT);
    COLORREF oldColor = ::SetTextColor(dc, color);
    HGDIOBJ oldFont = font ? ::SelectObject(dc, font) : nullptr;
    RECT rc = rect;
    ::DrawTextW(dc, text, -1, &rc, format);
    if (format & DT_CALCRECT) rect = CRect(rc);
    ::SetTextColor(dc, oldColor);
    if (oldFont) ::SelectObject(dc, oldFont);
}

Gdiplus::Size MRender::GetTextBounds(const Gdiplus::Font* font, const Gdiplus::StringFormat* format,
                                     const wchar_t* text)
{
    Gdiplus::RectF bounds;
    float h = 0.0f;
    if (!MeasurePath(font, format, 0.0f, text, &bounds, &h)) return Gdiplus::Size(0, 0);
    int width = static_cast<int>(std::ceil(bounds.Width));
    int height = HasFraction(h) ? static_cast<int>(h + 4.0f) : static_cast<int>(h) + 1;
    return Gdiplus::Size(width, height);
}

Gdiplus::Size MRender::GetTextBounds(const Gdiplus::Font* font, const Gdiplus::StringFormat* format,
                                     int layoutWidth, const wchar_t* text)
{
    Gdiplus::RectF bounds;
    float h = 0.0f;
    if (!MeasurePath(font, format, static_cast<float>(layoutWidth), text, &bounds, &h))
        return Gdiplus::Size(0, 0);
    int width = static_cast<int>(std::ceil(bounds.Width));
    int l1 = HasFraction(h) ? static_cast<int>(h + 2.0f) : static_cast<int>(h + 1.0f);
    float bh = bounds.Height;
    int l2 = HasFraction(bh) ? static_cast<int>(bh + 2.0f) : static_cast<int>(bh + 1.0f);
    int height = l2 > l1 ? l2 + 5 : l1 + 1;
    return Gdiplus::Size(width, height);
}

Gdiplus::Size MRender::GetTextBounds(const Gdiplus::Font* font, const wchar_t* text)
{
    Gdiplus::StringFormat format;
    format.SetAlignment(Gdiplus::StringAlignmentNear);
    format.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap |
                          Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
    return GetTextBounds(font, &format, text);
}

CPoint MRender::GetOriginPoint(int outerWidth, int outerHeight, int innerWidth, int innerHeight,
                               int hAlign, int vAlign)
{
    int x = hAlign == DT_CENTER  ? (outerWidth - innerWidth) / 2
            : hAlign == DT_RIGHT ? outerWidth - innerWidth
                                 : 0;
    int y = vAlign == DT_VCENTER  ? (outerHeight - innerHeight) / 2
            : vAlign == DT_BOTTOM ? outerHeight - innerHeight
                                  : 0;
    return CPoint(x, y);
}

CPoint MRender::GetOriginPoint(CRect outer, int innerWidth, int innerHeight, int hAlign, int vAlign)
{
    CPoint offset = GetOriginPoint(outer.right - outer.left, outer.bottom - outer.top, innerWidth,
                                   innerHeight, hAlign, vAlign);
    return CPoint(outer.left + offset.x, outer.top + offset.y + 2);
}

// ---- transitions ----

namespace {

int TransitionAlpha(int startPct, int endPct, int i, int n, int* startAlpha)
{
    int s = 255 * (100 - startPct) / 100;
    int e = 255 * (100 - endPct) / 100;
    if (startAlpha) *startAlpha = s;
    double a = s + static_cast<double>(i) * (e - s) / n;
    int alpha = static_cast<int>(a);
    return alpha < 0 ? 0 : alpha > 255 ? 255 : alpha;
}

}  // namespace

int MRender::DrawVerticalTransition(HDC& dst, HDC& src, CRect dstRect, CRect srcRect, int startPct,
                                    int endPct)
{
    int n = dstRect.bottom - dstRect.top;
    int width = dstRect.right - dstRect.left;
    int srcWidth = srcRect.right - srcRect.left;
    int alpha = 255;
    for (int i = 0; i < n; ++i) {
        alpha = TransitionAlpha(startPct, endPct, i, n, nullptr);
        Blend(dst, dstRect.left, dstRect.top + i, width, 1, src, srcRect.left, srcRect.top + i,
              srcWidth, 1, static_cast<BYTE>(alpha), false);
    }
    return alpha;
}

int MRender::DrawHorizontalTransition(HDC& dst, HDC& src, CRect dstRect, CRect srcRect,
                                      int startPct, int endPct)
{
    int n = dstRect.right - dstRect.left;
    int height = dstRect.bottom - dstRect.top;
    int srcHeight = srcRect.bottom - srcRect.top;
    int alpha = 255;
    for (int i = 0; i < n; ++i) {
        alpha = TransitionAlpha(startPct, endPct, i, n, nullptr);
        Blend(dst, dstRect.left + i, dstRect.top, 1, height, src, srcRect.left + i, srcRect.top, 1,
              srcHeight, static_cast<BYTE>(alpha), false);
    }
    return alpha;
}

void MRender::DrawRightBottomTransition(HDC& dst, HDC& src, CRect rect, int corner, UINT)
{
    int n = corner;
    if (n <= 0) return;
    int baseX = rect.right - rect.left - n;
    int baseY = rect.bottom - rect.top - n;
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            double distance =
                std::min(static_cast<double>(n), std::sqrt(static_cast<double>(i * i + j * j)));
            int alpha = static_cast<int>(255.0 - 255.0 / n * distance);
            if (alpha < 0) alpha = 0;
            Blend(dst, baseX + i, baseY + j, 1, 1, src, baseX + i, baseY + j, 1, 1,
                  static_cast<BYTE>(alpha), false);
        }
    }
}

}  // namespace WEXA
