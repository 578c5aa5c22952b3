#pragma once
// Wexa's drawing and image toolbox: static functions only.
//
// Colours come in two forms: COLORREF (0x00BBGGRR) for GDI calls and ARGB
// (0xAARRGGBB, the GDI+ form) where alpha matters. Images returned by the
// loading functions belong to the caller, who deletes them.
#include <windows.h>

#include "CRect.h"
#include "CString.h"
#include "WexaExport.h"
#include "WexaGdiplus.h"

namespace WEXA {

class WEXA_API MRender
{
public:
    // ---- image loading (new objects owned by the caller, or null) ----
    // The file stays open as long as the image lives.
    static Gdiplus::Image* LoadImageFromFile(const wchar_t* path);
    // An in-memory copy of width x height (the image's own size when both are 0);
    // the file is released at once.
    static Gdiplus::Image* LoadImageFromFileEx(const wchar_t* path, int width, int height);
    // The image of a module resource (numeric id, type name). Null when the
    // resource is missing; an undecodable resource gives an image whose
    // GetLastStatus() reports the failure.
    static Gdiplus::Image* LoadImageFromIDResource(UINT id, const wchar_t* type, HMODULE module);
    // The icon the shell associates with the file; null when the file does not exist.
    static HICON LoadIconFromFile(const wchar_t* path);

    // ---- memory surfaces ----
    // A 32-bit bottom-up DIB section (all zero); the pixels through bits.
    static HBITMAP CreateARGB32Bitmap(HDC dc, int width, int height, void** bits);
    static HDC CreateCompatibleDC(HDC dc);
    static HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
    static BOOL BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY);
    static BOOL BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY,
                       DWORD rop);
    // Writes the bitmap as a 24-bit BMP file, whatever its own depth.
    // 1 when the file was written, 0 otherwise (no file is left behind then).
    static int SaveBitmapToFile(HBITMAP bitmap, const wchar_t* path);

    // ---- fills and frames ----
    // Opaque fill by an empty ExtTextOut; the DC's background colour stays changed.
    static void FillSolidRect(HDC& dc, CRect rect, COLORREF color);
    static void FillSolidRect(HDC dc, int x, int y, int width, int height, COLORREF color);
    // GDI+ fill honouring the alpha; nothing for alpha 0.
    static void DrawColor(HDC dc, CRect rect, Gdiplus::ARGB color);
    // Linear gradient start (top/left) to end (bottom/right) at the mean alpha.
    static void DrawGradient(HDC dc, CRect rect, Gdiplus::ARGB start, Gdiplus::ARGB end,
                             BOOL vertical, int bands);
    // Nine-slice drawing of the source cell (x, y, width, height) with square
    // corners of corner x corner pixels; parts with no area are skipped.
    static void DrawImageFrame(Gdiplus::Graphics& g, Gdiplus::Image* image, CRect target, int x,
                               int y, int width, int height, int corner);
    static void DrawImageFrameMID(Gdiplus::Graphics& g, Gdiplus::Image* image, CRect target, int x,
                                  int y, int width, int height, int left, int top, int right,
                                  int bottom);
    // Does nothing.
    static void DrawRectangle(HDC dc, CRect rect, int a, int b, int c);
    // A colour whose red, green and blue are all 0 gets blue 1 (never pure black).
    static void CheckAlphaColor(Gdiplus::ARGB& color);

    // ---- rounded rectangles ----
    // Radii width / roundness / 2 and height / roundness / 2 (the smaller of the
    // two when they differ by more than 10); filled first when fill is set.
    static void DrawRoundRectange(Gdiplus::Graphics& g, float x, float y, float width, float height,
                                  float roundness, Gdiplus::ARGB penColor, float penWidth,
                                  BOOL fill, Gdiplus::ARGB fillColor);
    // Filled rounded rectangle, then its border.
    static void DrawRoundRectange(Gdiplus::Graphics& g, float x, float y, float width, float height,
                                  float radius, Gdiplus::ARGB borderColor, float borderWidth,
                                  Gdiplus::ARGB fillColor);
    // Filled rounded rectangle without a border.
    static void DrawRoundRectange(Gdiplus::Graphics& g, float x, float y, float width, float height,
                                  float radius, Gdiplus::ARGB fillColor);

    // ---- text ----
    // GDI text on a transparent background; the text colour and font are restored.
    static void DrawTextW(HDC dc, CRect& rect, const wchar_t* text, COLORREF color, HFONT font,
                          UINT format);
    // Size of the text's outline in the font, in whole pixels.
    static Gdiplus::Size GetTextBounds(const Gdiplus::Font* font,
                                       const Gdiplus::StringFormat* format, const wchar_t* text);
    // The same, laid out in lines no wider than layoutWidth.
    static Gdiplus::Size GetTextBounds(const Gdiplus::Font* font,
                                       const Gdiplus::StringFormat* format, int layoutWidth,
                                       const wchar_t* text);
    // One line, near alignment, trailing spaces measured.
    static Gdiplus::Size GetTextBounds(const Gdiplus::Font* font, const wchar_t* text);
    // Offset of an inner box in an outer one: hAlign 1 (DT_CENTER) centres,
    // 2 (DT_RIGHT) right-aligns, else left; vAlign 4 (DT_VCENTER) centres,
    // 8 (DT_BOTTOM) bottom-aligns, else top.
    static CPoint GetOriginPoint(int outerWidth, int outerHeight, int innerWidth, int innerHeight,
                                 int hAlign, int vAlign);
    // Position in the rectangle: (left + x offset, top + y offset + 2).
    static CPoint GetOriginPoint(CRect outer, int innerWidth, int innerHeight, int hAlign,
                                 int vAlign);

    // ---- transitions (AlphaBlend with constant alpha) ----
    // Row by row from transparency startPct (first row) to endPct; returns the
    // alpha of the last row (255 for an empty rectangle).
    static int DrawVerticalTransition(HDC& dst, HDC& src, CRect dstRect, CRect srcRect,
                                      int startPct, int endPct);
    // Column by column likewise.
    static int DrawHorizontalTransition(HDC& dst, HDC& src, CRect dstRect, CRect srcRect,
                                        int startPct, int endPct);
    // Radial fade of the bottom-right corner square of corner x corner pixels.
    static void DrawRightBottomTransition(HDC& dst, HDC& src, CRect rect, int corner, UINT unused);
};

}  // namespace WEXA
