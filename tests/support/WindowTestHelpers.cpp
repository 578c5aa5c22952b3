#include "WindowTestHelpers.h"

#include <cstdio>

namespace testutil {

MemoryCanvas::MemoryCanvas(int width, int height) : width_(width), height_(height)
{
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<uint32_t*>(bits);
    old_ = SelectObject(dc_, bitmap_);
}

MemoryCanvas::~MemoryCanvas()
{
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
}

void MemoryCanvas::Fill(uint32_t argb)
{
    GdiFlush();
    for (int i = 0; i < width_ * height_; ++i) bits_[i] = argb;
}

PixelBuffer MemoryCanvas::Read() const
{
    GdiFlush();
    PixelBuffer buf;
    buf.width = width_;
    buf.height = height_;
    buf.pixels.assign(bits_, bits_ + size_t(width_) * height_);
    return buf;
}

PixelBuffer CaptureClient(HWND hwnd)
{
    RECT rc;
    GetClientRect(hwnd, &rc);
    MemoryCanvas canvas(rc.right - rc.left, rc.bottom - rc.top);
    HDC wdc = GetDC(hwnd);
    BitBlt(canvas.dc(), 0, 0, canvas.width(), canvas.height(), wdc, 0, 0, SRCCOPY);
    ReleaseDC(hwnd, wdc);
    return canvas.Read();
}

void PumpPending()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool SaveBmp(const PixelBuffer& buf, const wchar_t* path)
{
    int rowBytes = (buf.width * 3 + 3) & ~3;
    BITMAPFILEHEADER fh = {};
    BITMAPINFOHEADER ih = {};
    ih.biSize = sizeof(ih);
    ih.biWidth = buf.width;
    ih.biHeight = buf.height;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    ih.biSizeImage = DWORD(rowBytes) * buf.height;
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(fh) + sizeof(ih);
    fh.bfSize = fh.bfOffBits + ih.biSizeImage;
    FILE* f = _wfopen(path, L"wb");
    if (!f) return false;
    fwrite(&fh, sizeof(fh), 1, f);
    fwrite(&ih, sizeof(ih), 1, f);
    std::vector<unsigned char> row(rowBytes, 0);
    for (int y = buf.height - 1; y >= 0; --y) {
        for (int x = 0; x < buf.width; ++x) {
            uint32_t p = buf.At(x, y);
            row[x * 3 + 0] = p & 0xFF;
            row[x * 3 + 1] = (p >> 8) & 0xFF;
            row[x * 3 + 2] = (p >> 16) & 0xFF;
        }
        fwrite(row.data(), 1, row.size(), f);
    }
    return fclose(f) == 0;
}

}  // namespace testutil
