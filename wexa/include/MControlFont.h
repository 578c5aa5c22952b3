#pragma once
// MControlFont: the control base for everything that shows text or an image
// strip. It adds to MControl a title, a font (face, pixel size, GDI+ style bits
// 1 bold, 2 italic, 4 underline, 8 strikeout), the text colour with its brush,
// alignment, rendering quality and the image strip whose state frames lie side
// by side (frame k starts at x = k * frame width).
//
// Defaults come from Manager at construction time (font face and size, text
// colour): later changes of the library defaults do not reach existing controls.
// The image belongs to the engine's image cache, never to the control.
// UI thread only, like the rest of the control base.
#include <windows.h>

#include "CRect.h"
#include "CString.h"
#include "MControl.h"
#include "WexaExport.h"
#include "WexaGdiplus.h"

namespace WEXA {

class WEXA_API MControlFont : public MControl
{
public:
    // A null title gives "".
    MControlFont(MObject* owner, UINT id, CRect rect, const wchar_t* title, int visible,
                 int enabled, int mouseResponse);
    ~MControlFont() override;

    // ---- virtual operations added after MControl's, in slot order ----
    // Stores the face; no repaint.
    virtual void SetTextFont(CString face);
    // Replaces the text brush by one of the new colour; no repaint.
    virtual void SetTextColor(Gdiplus::Color color);
    // Image strip from a resource of the main program (frames below 1 count as 1).
    // 0 without an engine or when the image does not load (the old strip stays).
    virtual int SetImage(UINT resourceId, CString resourceType, int frames);
    // Image strip from a skin file (skin folder + name); same results.
    virtual int SetImage(const wchar_t* skinFileName, int frames);
    // Stores the title (null: "").
    virtual void SetControlTitle(const wchar_t* title);
    virtual CString GetControlTitle();

    // ---- title ----
    // Drops the cached GDI font, stores the title and repaints when visible.
    void SetTitle(const wchar_t* title);
    CString GetTitle();

    // ---- alignment (repaint only when something changed) ----
    // horizontal: 0 left, 1 centre, 2 right; vertical: 0 top, 4 centre, 8 bottom.
    void SetAlignment(UINT horizontal);
    void SetVAlignment(UINT vertical);
    void SetAlignment(UINT horizontal, UINT vertical);
    void GetAlignment(UINT& horizontal, UINT& vertical) const;

    // ---- font ----
    // Stores face (null: ""), size and style; no repaint; the GDI font stays.
    void SetFont(const wchar_t* face, int size, Gdiplus::FontStyle style);
    CString GetTextFont() const { return m_strFontFace; }
    void SetFontWidth(int size) { m_nFontWidth = size; }
    int GetFontWidth() const { return m_nFontWidth; }
    void SetFontStyle(Gdiplus::FontStyle style) { m_fontStyle = style; }
    Gdiplus::FontStyle GetFontStyle() const { return m_fontStyle; }
    void SetTextRenderingHint(Gdiplus::TextRenderingHint hint) { m_textRenderingHint = hint; }

    // The family to draw text with, from the engine's private fonts. The
    // control owns it and releases it on the next call or when destroyed; null
    // without an engine or when the engine has no such family.
    Gdiplus::FontFamily* GetFontFamily(const wchar_t* face);

    // A GDI font of the library face at the control's size and style, created
    // once and cached (until the title changes or ClearGDIFont).
    HFONT GetGDIFont();
    void ClearGDIFont();

    // ---- image strip ----
    // Stores the frame count (below 1 counts as 1); no repaint.
    void SetImageCount(int frames);
    CSize GetImageSize() const { return CSize(m_nFrameWidth, m_nImageHeight); }
    const wchar_t* GetImagePath() const { return m_strImagePath; }

    // ---- data ----
    CString m_strTitle;
    CString m_strFontFace;
    CString m_strImagePath;
    int m_nFontWidth;  // text size in pixels
    Gdiplus::Color m_clrText;
    Gdiplus::SolidBrush* m_pTextBrush;  // owned; null when GDI+ could not make one
    Gdiplus::FontStyle m_fontStyle;
    Gdiplus::FontFamily* m_pFontFamily;  // owned; last result of GetFontFamily
    UINT m_uAlignment;                   // DT_LEFT / DT_CENTER / DT_RIGHT
    UINT m_uVAlignment;                  // DT_TOP / DT_VCENTER / DT_BOTTOM
    Gdiplus::TextRenderingHint m_textRenderingHint;
    Gdiplus::SmoothingMode m_smoothingMode;
    HFONT m_hGDIFont;          // owned
    Gdiplus::Image* m_pImage;  // belongs to the engine's image cache
    int m_nFrameWidth;
    int m_nImageHeight;
    int m_nFrameCount;

private:
    void RepaintIfVisible();
};

}  // namespace WEXA
