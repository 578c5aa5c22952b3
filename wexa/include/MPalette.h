#pragma once
// MPalette: the hue and lightness field with its saturation bar.
//
// The field shows every hue across and the lightness down at full
// saturation; the bar beside it shows the current hue and lightness at every
// saturation, with a thumb image to its right. The colour is held as H 0..360,
// S and L 0..200 and crosses the interface as COLORREF.
//
// Events to the owner: 27 with wparam = the new colour when a press changed
// the colour; 27 (0, 0) on every move while a press drags in the field or bar.
#include <windows.h>

#include <vector>

#include "MControlFont.h"
#include "WexaExport.h"

namespace WEXA {

class WEXA_API MPalette : public MControlFont
{
public:
    MPalette(MObject* owner, UINT id, CRect rect, int visible);
    ~MPalette() override;

    void InitControl(PaintManager* manager) override;
    void DrawControl(HDC& dc, CRect clip) override;
    LONG OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override;
    void SetControlRect(CRect rect) override;
    void SetControlEnabled(int enabled) override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;
    int OnControlScroll(int step, UINT down, CPoint point) override;

    COLORREF GetSelectColor();
    void SetSelectColor(COLORREF color);
    int SetThumbImage(const wchar_t* name);
    void SetPalletHeight(int height);
    int GetPalletHeight() const { return m_nPaletteHeight; }

    int GetH() const { return m_nH; }
    int GetS() const { return m_nS; }
    int GetL() const { return m_nL; }
    CPoint GetMarker() const { return CPoint(m_nMarkerX, m_nMarkerY); }
    CRect GetPaletteRect() const { return m_rcPalette; }
    CRect GetBarRect() const { return m_rcBar; }

    // ---- data ----
    HDC m_hPaletteDC;
    HBITMAP m_hPaletteBitmap;
    HBITMAP m_hOldPaletteBitmap;
    BITMAP m_bitmapInfo;
    std::vector<BYTE> m_pixels;
    Gdiplus::Image* m_pThumbImage;  // owned
    int m_nThumbWidth;
    int m_nThumbHeight;
    COLORREF m_crSelect;
    int m_nH;
    int m_nS;
    int m_nL;
    int m_nPaletteHeight;
    int m_nBarWidth;
    int m_nMarkerX;
    int m_nMarkerY;
    CRect m_rcPalette;
    CRect m_rcBar;
    CRect m_rcThumb;
    int m_bBarTracking;
    int m_bPaletteTracking;

private:
    void ComputeRects();
    void RenderField();
    void RenderBar();
    void WritePixel(int x, int y, COLORREF color);
    void FlushPixels();
    void PlaceMarker();
    // The field's columns left to right and its rows top to bottom, the
    // bottom edge included: the lightest row (L 200) is drawn on it.
    bool InField(CPoint point) const;
    // H and L from a point in the field; false when the field has no area.
    bool TrackField(CPoint point);
    bool TrackBar(CPoint point);
    void Repaint();
};

}  // namespace WEXA
