#pragma once
// The three colour pickers of the LCD page, on the library's HSL model
// (ColorModel.h):
//   LCDPalette   a hue bar with nine lightness swatches below it;
//   LCDPalette2  a hue slider with a marker picture;
//   LCDPalette3  a strip from white through the chosen hue to dark, picked by
//                clicking.
// The page stacks LCDPalette2 over LCDPalette3: a hue chosen on the slider is
// handed to the strip with SetSelectColor, a click on the strip gives the
// drawing colour.
//
// Events to the owner: 2 (0, 0) when a choice is finished; LCDPalette3 also
// 27 (0, 0) while the pointer is dragged over it. The owner then reads
// GetSelectColor (COLORREF). Colours the palettes compute or fill with never
// come out pure black: 0x000000 becomes 0x000001.
//
// The marker picture of LCDPalette2 and LCDPalette3 is the control's image
// (SetImage). UI thread only.
#include <windows.h>

#include <vector>

#include "CRect.h"
#include "MControlFont.h"
#include "WexaExport.h"
#include "WexaGdiplus.h"

namespace WEXA {

class WEXA_API LCDPalette : public MControlFont
{
public:
    LCDPalette(MObject* owner, UINT id, CRect rect, int visible);
    ~LCDPalette() override;

    void DrawControl(HDC& dc, CRect clip) override;
    LONG OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override;
    void SetControlRect(CRect rect) override;
    void SetControlEnabled(int enabled) override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;
    int OnControlScroll(int step, UINT down, CPoint point) override;
    int SetImage(const wchar_t* skinFileName, int frames) override;

    // Stores the colour and repaints; the marker and the swatch stay, so the
    // next drawing pass replaces it with the colour they show.
    void SetSelectColor(COLORREF color);
    COLORREF GetSelectColor() const { return m_selectColor; }
    int GetHuePos() const { return m_huePos; }
    int GetSwatch() const { return m_swatch; }
    // The lightness (in 0 .. 200) of swatch k, 0 .. 8.
    static int SwatchLightness(int k);

    COLORREF m_selectColor;
    int m_huePos;
    int m_swatch;
    CRect m_barRect;
    CRect m_swatchRect;
    bool m_dragging;

private:
    void DrawRoundRectange(Gdiplus::Graphics& g, CRect rect, COLORREF color);
    void UpdateSelectColor();
    void SetHueFromPointer(int x);
    void Repaint();
};

class WEXA_API LCDPalette2 : public MControlFont
{
public:
    LCDPalette2(MObject* owner, UINT id, CRect rect, int visible);
    ~LCDPalette2() override;

    void DrawControl(HDC& dc, CRect clip) override;
    LONG OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override;
    void SetControlRect(CRect rect) override;
    void SetControlEnabled(int enabled) override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;
    int OnControlScroll(int step, UINT down, CPoint point) override;
    int SetImage(const wchar_t* skinFileName, int frames) override;

    void SetSelectColor(COLORREF color);
    COLORREF GetSelectColor() const { return m_selectColor & 0xFFFFFF; }
    int GetHuePos() const { return m_huePos; }
    void SetHuePos(int pos);

    DWORD m_selectColor;  // the top byte is 0xFF
    int m_huePos;         // pixels from the control's left edge
    CRect m_barRect;
    bool m_dragging;

private:
    void UpdateSelectColor();
    void SetHueFromPointer(int x);
    void Repaint();
};

class WEXA_API LCDPalette3 : public MControlFont
{
public:
    enum { GRADIENT_WIDTH = 400, GRADIENT_HEIGHT = 360, SHOWN_COLUMNS = 160 };

    LCDPalette3(MObject* owner, UINT id, CRect rect, int visible);
    ~LCDPalette3() override;

    void InitControl(PaintManager* manager) override;
    void DrawControl(HDC& dc, CRect clip) override;
    LONG OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override;
    void SetControlRect(CRect rect) override;
    void SetControlEnabled(int enabled) override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;
    int OnControlScroll(int step, UINT down, CPoint point) override;
    int SetImage(const wchar_t* skinFileName, int frames) override;

    // Takes the hue and saturation of the colour; the marker goes to (0, 0).
    void SetSelectColor(COLORREF color);
    COLORREF GetSelectColor() const { return m_selectColor; }
    void SetPalletHeight(int height);
    int GetPalletHeight() const { return m_palletHeight; }
    // The colour the strip shows at a point relative to the control's
    // top-left corner, computed from the gradient; 0x000001 for black.
    COLORREF ColorAt(int x, int y) const;
    int GetHue() const { return m_hue; }
    int GetSaturation() const { return m_saturation; }
    CPoint GetMarkerPoint() const { return m_markerPoint; }

    HDC m_gradientDC;
    HBITMAP m_gradientBitmap;  // 32-bit top-down DIB section
    HGDIOBJ m_oldGradientBitmap;
    BITMAP m_bitmapInfo;
    unsigned char* m_gradientBits;  // the DIB section's pixels
    COLORREF m_selectColor;
    int m_hue;
    int m_saturation;
    int m_palletHeight;
    CPoint m_markerPoint;

private:
    void UpdateBarData();
    bool EnsureGradient(HDC compatible);
    void FreeGradient();
    void Repaint();
};

}  // namespace WEXA
