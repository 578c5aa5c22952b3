#include <gtest/gtest.h>
#include <cstdio>
#include "WexaGdiplus.h"
TEST(Probe, GdiplusOnDib)
{
    ULONG_PTR token; Gdiplus::GdiplusStartupInput in; Gdiplus::GdiplusStartup(&token, &in, nullptr);
    BITMAPINFO bi = {}; bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER); bi.bmiHeader.biWidth = 4; bi.bmiHeader.biHeight = 4;
    bi.bmiHeader.biPlanes = 1; bi.bmiHeader.biBitCount = 32;
    void* bits; HDC screen = GetDC(nullptr); HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0); SelectObject(mem, bmp);
    UINT32* p = (UINT32*)bits;
    {
        Gdiplus::Graphics g(mem);
        Gdiplus::SolidBrush b(Gdiplus::Color(0xFE, 0xFC, 0xFC, 0xFC)); g.FillRectangle(&b, 0, 0, 4, 2);
        Gdiplus::SolidBrush c(Gdiplus::Color(0x80, 0xFF, 0x00, 0x00)); g.FillRectangle(&c, 0, 2, 2, 2);
    }
    GdiFlush();
    printf("fe fill: %08x  half red on empty: %08x  untouched: %08x\n", p[12], p[0], p[3]);
    RECT r = {3, 0, 4, 4}; HBRUSH br = CreateSolidBrush(RGB(0, 255, 0)); FillRect(mem, &r, br);
    GdiFlush();
    printf("gdi fill: %08x %08x\n", p[3], p[15]);
    {
        Gdiplus::Graphics g(mem);
        Gdiplus::SolidBrush c(Gdiplus::Color(0x80, 0x00, 0x00, 0xFF)); g.FillRectangle(&c, 0, 0, 4, 4);
    }
    GdiFlush();
    printf("half blue over fe: %08x over gdi: %08x\n", p[12], p[15]);
    Gdiplus::GdiplusShutdown(token);
}
