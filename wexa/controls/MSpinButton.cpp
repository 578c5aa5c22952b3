#include "MSpinButton.h"
#include "GlyphFaces.h"

#include <climits>
#include <cstdlib>

#include "ControlRegistry.h"
#include "MRender.h"

namespace WEXA {

WEXA_REGISTER_CONTROL(MSpinButton, new MSpinButton(a.owner, a.id, a.rect, a.visible, a.enabled));

namespace {

const UINT kValueChanged = 28;

MControlFont* AsFontControl(MControl* control)
{
    return dynamic_cast<MControlFont*>(control);
}

}  // namespace

MSpinButton::MSpinButton(MObject* owner, UINT id, CRect rect, int visible, int)
    : MPanel(owner, id, rect, visible),
      m_nState(0),
      m_nValue(0),
      m_nMin(1),
      m_nMax(100),
      m_nLimitLength(3),
      m_pUpButton(nullptr),
      m_pDownButton(nullptr)
{
    SetTextColor(Gdiplus::Color(0xFE050505));
}

MSpinButton::~MSpinButton() {}

void MSpinButton::Repaint(int erase)
{
    if (m_pParent) m_pParent->OnControlUpdate(m_rcControl, erase, this);
}

void MSpinButton::InitControl(PaintManager* manager)
{
    MPanel::InitControl(manager);
    if (!m_pUpButton) {
        m_pUpButton = CreateControl(L"CImageButton", UP_BUTTON_ID, CRect(0, 0, 0, 0), L"", 1, 1);
        if (MControlFont* up = AsFontControl(m_pUpButton)) up->SetImage(L"img_spin_up.png", 4);
    }
    if (!m_pDownButton) {
        m_pDownButton =
            CreateControl(L"CImageButton", DOWN_BUTTON_ID, CRect(0, 0, 0, 0), L"", 1, 1);
        if (MControlFont* down = AsFontControl(m_pDownButton))
            down->SetImage(L"img_spin_down.png", 4);
    }
    SetControlRect(m_rcControl);
}

void MSpinButton::SetControlRect(CRect rect)
{
    MPanel::SetControlRect(rect);
    const int mid = rect.top + (rect.bottom - rect.top) / 2;
    if (MControlFont* up = AsFontControl(m_pUpButton)) {
        CSize size = up->GetImageSize();
        up->SetControlRect(CRect(rect.right - size.cx - 4, mid - size.cy, rect.right - 4, mid));
    }
    if (MControlFont* down = AsFontControl(m_pDownButton)) {
        CSize size = down->GetImageSize();
        down->SetControlRect(CRect(rect.right - size.cx - 4, mid, rect.right - 4, mid + size.cy));
    }
}

void MSpinButton::SetCurValue(int value)
{
    if (value == m_nValue) return;
    m_nValue = value;
    if (m_bVisible) Repaint(1);
}

void MSpinButton::ChangedByUser(int before)
{
    if (m_nValue != before && m_bVisible) Repaint(1);
    SendMessageW(kValueChanged, 0, 0);
}

int MSpinButton::Step(int delta)
{
    const int before = m_nValue;
    long long v = static_cast<long long>(m_nValue) + delta;
    if (delta > 0 && v > m_nMax) v = m_nMin;
    if (delta < 0 && v < m_nMin) v = m_nMax;
    m_nValue = static_cast<int>(v);
    ChangedByUser(before);
    return 1;
}

void MSpinButton::CalcValue(int digit)
{
    const int before = m_nValue;
    CString text;
    text.Format(L"%d%d", m_nValue, digit);
    if (text.GetLength() > m_nLimitLength) {
        m_nValue = digit;
    } else {
        // A negative value followed by a digit, or a long limit, may not fit an int.
        long long v = _wtoi64(text);
        if (v > INT_MAX) v = INT_MAX;
        if (v < INT_MIN) v = INT_MIN;
        m_nValue = static_cast<int>(v);
    }
    if (m_nValue > m_nMax)
        m_nValue = m_nMin;
    else if (m_nValue < m_nMin)
        m_nValue = m_nMax;
    ChangedByUser(before);
}

LONG MSpinButton::OnMessage(UINT id, UINT code, UINT_PTR, LONG_PTR)
{
    if (code != 2) return 0;
    if (id == UP_BUTTON_ID) return Step(1);
    if (id == DOWN_BUTTON_ID) return Step(-1);
    return 0;
}

int MSpinButton::OnControlKeyDown(UINT key, UINT, UINT)
{
    if (!m_bFocused) return 0;
    switch (key) {
        case VK_BACK: {
            const int before = m_nValue;
            if (m_nValue > 9) {
                CString text;
                text.Format(L"%d", m_nValue);
                text = text.Left(text.GetLength() - 1);
                m_nValue = _wtoi(text);
            } else {
                m_nValue = 0;
            }
            if (m_nValue != before) {
                if (m_bVisible) Repaint(1);
                SendMessageW(kValueChanged, 0, 0);
            }
            return 1;
        }
        case VK_LEFT:
        case VK_RIGHT: return 1;
        case VK_UP:
        case VK_ADD: return Step(1);
        case VK_DOWN:
        case VK_SUBTRACT: return Step(-1);
        default: break;
    }
    if (key >= '0' && key <= '9') {
        CalcValue(static_cast<int>(key - '0'));
        return 1;
    }
    if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) {
        CalcValue(static_cast<int>(key - VK_NUMPAD0));
        return 1;
    }
    return 0;
}

int MSpinButton::OnControlMouseMove(UINT, CPoint point)
{
    if (!m_bEnabled || m_nState == 2) return 0;
    const int before = m_nState;
    m_nState = m_rcControl.PtInRect(point) ? 1 : 0;
    if (m_nState == before) return 0;
    Repaint(0);
    return 1;
}

int MSpinButton::OnControlLButtonDown(UINT, CPoint point)
{
    if (!m_bEnabled || !m_rcControl.PtInRect(point)) return 0;
    const int before = m_nState;
    m_nState = 2;
    if (m_nState == before) return 0;
    Repaint(0);
    return 1;
}

int MSpinButton::OnControlLButtonUp(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    const int before = m_nState;
    m_nState = m_rcControl.PtInRect(point) ? 1 : 0;
    if (m_nState == before) return 0;
    Repaint(0);
    return 1;
}

void MSpinButton::SetControlEnabled(int enabled)
{
    if (m_pUpButton) m_pUpButton->SetControlEnabled(enabled);
    if (m_pDownButton) m_pDownButton->SetControlEnabled(enabled);
    if (enabled == m_bEnabled) return;
    m_bEnabled = enabled;
    m_nState = enabled ? 0 : 3;
    Repaint(0);
}

int MSpinButton::SetControlFocus(int focus)
{
    if (!m_bEnabled) return 0;
    if ((focus != 0) == (m_bFocused != 0)) return 1;
    m_bFocused = focus ? 1 : 0;
    Repaint(1);
    return 1;
}

void MSpinButton::DrawControl(HDC& dc, CRect)
{
    const int W = m_rcControl.Width(), H = m_rcControl.Height();
    if (W <= 0 || H <= 0) return;
    if (!m_bUpdate || !m_hMemDC) {
        UpdateMemDC(dc, W * 4, H);
        if (!m_hMemDC) return;
        m_strTitle.Format(L"%d", m_nValue);
        Gdiplus::Graphics g(m_hMemDC);
        g.SetTextRenderingHint(m_textRenderingHint);
        g.SetSmoothingMode(m_smoothingMode);
        Gdiplus::FontFamily* family = GetFontFamily(m_strFontFace);
        Gdiplus::StringFormat format;
        format.SetAlignment(Gdiplus::StringAlignmentNear);
        format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
        format.SetFormatFlags(0x1800);
        for (int i = 0; i < 4; ++i) {
            const int x0 = i * W;
            ::BitBlt(m_hMemDC, x0, 0, W, H, dc, m_rcControl.left, m_rcControl.top, SRCCOPY);
            if (m_pImage)
                MRender::DrawImageFrame(g, m_pImage, CRect(x0, 0, x0 + W, H), i * m_nFrameWidth, 0,
                                        m_nFrameWidth, m_nImageHeight, 6);
            if (m_bFocused) {
                Gdiplus::SolidBrush focus(Gdiplus::Color(0xFE3399FF));
                g.FillRectangle(&focus, x0 + 5, H / 2 - 7, W - 28, 14);
            }
            if (family) {
                Gdiplus::Font font(family, static_cast<Gdiplus::REAL>(m_nFontWidth), m_fontStyle,
                                   Gdiplus::UnitPixel);
                Gdiplus::SolidBrush brush(i < 3 ? m_clrText : Gdiplus::Color(0xFF808080));
                Gdiplus::RectF layout(static_cast<Gdiplus::REAL>(x0 + 4), 0.0f,
                                      static_cast<Gdiplus::REAL>(W - 18),
                                      static_cast<Gdiplus::REAL>(H));
                GlyphFaces::DrawString(g, m_strTitle, m_strTitle.GetLength(), &font, layout,
                                       &format, &brush);
            }
        }
    }
    const int state = m_nState >= 0 && m_nState <= 3 ? m_nState : 0;
    ::BitBlt(dc, m_rcControl.left, m_rcControl.top, W, H, m_hMemDC, state * W, 0, SRCCOPY);
}

}  // namespace WEXA
