#include "DPIControl.h"
#include "GlyphFaces.h"

#include <cstdio>

#include "CCheckButton.h"
#include "CColorButton.h"
#include "MRender.h"
#include "controls/GroupReset.h"
#include "keyboard/PickerCommon.h"

namespace WEXA {

DPIControl::DPIControl(MObject* owner, UINT id, CRect rect, int visible)
    : MPanel(owner, id, rect, visible),
      m_strGroupName(L"DPIControl"),
      m_pCheck(nullptr),
      m_pColor(nullptr),
      m_nCheck(0),
      m_nDPIValue(500),
      m_crColor(0x0000FF)
{}

DPIControl::~DPIControl() = default;

void DPIControl::InitControl(PaintManager* manager)
{
    MPanel::InitControl(manager);
    if (!m_pCheck) {
        m_pCheck = dynamic_cast<CCheckButton*>(
            CreateControl(L"CCheckButton", CHECK_ID, CRect(), L"", 1, 1));
        if (m_pCheck) {
            m_pCheck->SetImage(L"btn_checkbox.png", 8);
            m_pCheck->SetCheck(1);
        }
    }
    if (!m_pColor) {
        m_pColor = dynamic_cast<CColorButton*>(
            CreateControl(L"CColorButton", COLOR_ID, CRect(), L"", 1, 1));
        if (m_pColor) {
            m_pColor->SetImage(L"btn_checkbox.png", 4);
            m_pColor->SetCheck(1);
        }
    }
    SetControlRect(m_rcControl);
}

void DPIControl::SetControlRect(CRect rect)
{
    m_rcControl = rect;
    struct Place
    {
        MControl* button;
        CRect rect;
    } places[] = {
        {m_pCheck, CRect(rect.left, rect.top + 30, rect.left + 24, rect.bottom)},
        {m_pColor, CRect(rect.right - 20, rect.top + 35, rect.right, rect.bottom - 5)},
    };
    for (const Place& p : places) {
        if (!p.button) continue;
        CRect both;
        both.UnionRect(&p.button->m_rcControl, &p.rect);
        p.button->SetControlRect(p.rect);
        if (p.button->m_bVisible) OnControlUpdate(both, 1, p.button);
    }
}

void DPIControl::RepaintKeepingLook()
{
    // Both looks are rendered at once; a change of the check only shows the other.
    if (m_bVisible && m_pParent) m_pParent->OnControlUpdate(m_rcControl, 0, this);
}

void DPIControl::SetDPIValue(int value)
{
    if (value == m_nDPIValue) return;
    m_nDPIValue = value;
    picker::Repaint(this);
}

void DPIControl::SetColor(unsigned long color)
{
    m_crColor = static_cast<COLORREF>(color);
    if (m_pColor && m_pColor->GetColor() != m_crColor) {
        m_pColor->SetColor(m_crColor);
        if (m_pColor->m_bVisible) OnControlUpdate(m_pColor->m_rcControl, 1, m_pColor);
    }
}

int DPIControl::SetCheck(int check)
{
    if (check != m_nCheck) {
        m_nCheck = check;
        RepaintKeepingLook();
    }
    return 1;
}

int DPIControl::ResetGroupCheck()
{
    return groupreset::ResetGroup(this, false, [](DPIControl* other) {
        if (other->m_nCheck) {
            other->m_nCheck = 0;
            other->RepaintKeepingLook();
        }
    });
}

LONG DPIControl::OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    if (!m_pParent) return 0;
    if (id == CHECK_ID) m_pParent->OnBaseMessage(m_nID, code, 0, 1);
    if (id == COLOR_ID) m_pParent->OnBaseMessage(m_nID, code, 0, 2);
    return m_pParent->OnBaseMessage(id, code, wparam, lparam);
}

int DPIControl::OnControlMouseMove(UINT, CPoint)
{
    return 0;
}

int DPIControl::OnControlLButtonDown(UINT, CPoint point)
{
    if (m_bEnabled && m_rcControl.PtInRect(point)) {
        m_nCheck = 1;
        ResetGroupCheck();
        RepaintKeepingLook();
    }
    return 0;
}

int DPIControl::OnControlLButtonUp(UINT, CPoint)
{
    return 0;
}

void DPIControl::DrawControl(HDC& dc, CRect)
{
    const int w = m_rcControl.Width(), h = m_rcControl.Height();
    if (w <= 0 || h <= 0) return;
    if (!m_bUpdate || !m_hMemDC) {
        UpdateMemDC(dc, 2 * w, h);
        if (!m_hMemDC) return;
        Gdiplus::Graphics g(m_hMemDC);
        g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
        g.SetTextRenderingHint(m_textRenderingHint);
        Gdiplus::FontFamily* family = m_strTitle.IsEmpty() ? nullptr : GetFontFamily(m_strFontFace);
        Gdiplus::Font* font =
            family ? new Gdiplus::Font(family, static_cast<Gdiplus::REAL>(m_nFontWidth - 2),
                                       m_fontStyle, Gdiplus::UnitPixel)
                   : nullptr;
        Gdiplus::StringFormat format;
        format.SetAlignment(Gdiplus::StringAlignmentCenter);
        format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
        format.SetFormatFlags(0x1800);
        Gdiplus::SolidBrush plain(m_clrText);
        Gdiplus::SolidBrush checked{Gdiplus::Color(kCheckedValueColor)};
        wchar_t value[32];
        std::swprintf(value, 32, L"%d", m_nDPIValue);
        for (int i = 0; i < 2; ++i) {
            const int x = i * w;
            ::BitBlt(m_hMemDC, x, 0, w, h, dc, m_rcControl.left, m_rcControl.top, SRCCOPY);
            if (m_pImage && m_nFrameWidth > 0)
                MRender::DrawImageFrame(g, m_pImage, CRect(x + 22, 35, x + w - 22, h - 5),
                                        i * m_nFrameWidth, 0, m_nFrameWidth, m_nImageHeight, 4);
            if (font) {
                GlyphFaces::DrawString(g, m_strTitle, m_strTitle.GetLength(), font,
                                       Gdiplus::RectF(static_cast<Gdiplus::REAL>(x), 10.0f,
                                                      static_cast<Gdiplus::REAL>(w), 20.0f),
                                       &format, &plain);
                GlyphFaces::DrawString(g, value, -1, font,
                                       Gdiplus::RectF(static_cast<Gdiplus::REAL>(x + 22), 35.0f,
                                                      static_cast<Gdiplus::REAL>(w - 44), 20.0f),
                                       &format, i ? &checked : &plain);
            }
        }
        delete font;
    }
    ::BitBlt(dc, m_rcControl.left, m_rcControl.top, w, h, m_hMemDC, m_nCheck ? w : 0, 0, SRCCOPY);
}

}  // namespace WEXA
