#include "MSlider.h"
#include "GlyphFaces.h"

#include <algorithm>
#include <cwchar>

#include "ControlRegistry.h"
#include "MObject.h"
#include "Manager.h"

namespace WEXA {

WEXA_REGISTER_CONTROL(MSlider, new MSlider(a.owner, a.id, a.rect, a.visible, a.enabled));

namespace {

const int kTextWidth = 60;
const Gdiplus::ARGB kTrackColor = 0xFF1E1E1E;

}  // namespace

MSlider::MSlider(MObject* owner, UINT id, CRect rect, int visible, int enabled)
    : MControlFont(owner, id, rect, L"", visible, enabled, 1),
      m_nState(0),
      m_nPos(0),
      m_nMin(0),
      m_nMax(10),
      m_nThumbWidth(16),
      m_nThumbHeight(16),
      m_nScale(1),
      m_bShowText(1),
      m_rcThumb(0, 0, 0, 0)
{
    SetTextColor(Gdiplus::Color(0xFF050505));
    m_uAlignment = 1;
    SetProgress(0);
    SetControlRect(rect);
}

MSlider::~MSlider() {}

void MSlider::Repaint(int erase)
{
    if (m_bVisible && m_pParent) m_pParent->OnControlUpdate(m_rcControl, erase, this);
}

int MSlider::GetTrackLength() const
{
    return m_rcControl.Width() - m_nThumbWidth - (m_bShowText ? kTextWidth : 0);
}

int MSlider::ThumbOffset(int position) const
{
    const int L = GetTrackLength();
    const int range = m_nMax - m_nMin;
    if (L <= 0 || range <= 0) return 0;
    const long long g = static_cast<long long>(L) * (position - m_nMin) / range;
    return static_cast<int>(std::max<long long>(0, std::min<long long>(g, L)));
}

void MSlider::PlaceThumb()
{
    const int g = ThumbOffset(m_nPos);
    m_rcThumb = CRect(m_rcControl.left + g, m_rcControl.top, m_rcControl.left + g + m_nThumbWidth,
                      m_rcControl.top + m_nThumbHeight);
}

void MSlider::SetControlRect(CRect rect)
{
    if (m_nMax <= 0) return;
    m_rcControl = rect;
    PlaceThumb();
}

int MSlider::SetProgress(int value)
{
    if (value > m_nMax) value = m_nMax;
    if (value < 0 || value == m_nPos) return m_nPos;
    m_nPos = value;
    SetControlRect(m_rcControl);
    Repaint(1);
    return m_nPos;
}

int MSlider::MoveThumbPos(CPoint point)
{
    const int L = GetTrackLength();
    if (L <= 0 || m_nMax < m_nMin) return m_nPos;
    long long v = m_nMin + (static_cast<long long>(point.x - m_rcControl.left) *
                            (static_cast<long long>(m_nMax) - m_nMin + 1)) /
                               L;
    v = std::max<long long>(m_nMin, std::min<long long>(v, m_nMax));
    if (v == m_nPos) return m_nPos;
    m_nPos = static_cast<int>(v);
    PlaceThumb();
    Repaint(1);
    SendMessageW(8, static_cast<UINT_PTR>(m_nPos), 0);
    return m_nPos;
}

int MSlider::OnControlLButtonDown(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    const int before = m_nState;
    if (m_rcThumb.PtInRect(point)) {
        m_nState = 2;
        MoveThumbPos(point);
    } else {
        MoveThumbPos(point);
        if (m_rcThumb.PtInRect(point)) m_nState = 2;
    }
    if (m_nState == before) return 0;
    Repaint(0);
    return 1;
}

int MSlider::OnControlMouseMove(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    if (m_nState == 2) {
        MoveThumbPos(point);
        return 1;
    }
    const int before = m_nState;
    if (!m_bPressed) m_nState = (m_rcControl.PtInRect(point) && m_rcThumb.PtInRect(point)) ? 1 : 0;
    if (m_nState == before && m_bUpdate) return 0;
    SetUpdate(0, 0);
    Repaint(0);
    return 1;
}

int MSlider::OnControlLButtonUp(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    const int before = m_nState;
    m_nState = m_rcThumb.PtInRect(point) ? 1 : 0;
    SendMessageW(2, 0, 0);
    if (m_nState == before) return 0;
    Repaint(0);
    return 1;
}

int MSlider::OnControlScroll(int, UINT down, CPoint)
{
    int v = down == 1 ? m_nPos - 1 : m_nPos + 1;
    v = std::max(m_nMin, std::min(v, m_nMax));
    if (v != m_nPos) {
        SetProgress(v);
        SendMessageW(2, 0, 0);
    }
    return 1;
}

CString MSlider::GetValueText() const
{
    CString text;
    const wchar_t* title = m_strTitle;
    if (m_nMax == 100) {
        text.Format(L"%s%d%%", title, m_nPos);
    } else if (m_nMax <= 20) {
        text.Format(L"%s%d", title, m_nPos);
    } else {
        const float scaled = static_cast<float>(static_cast<int>(m_nPos * 100.0f));
        text.Format(L"%s%d%%", title, static_cast<int>(scaled / static_cast<float>(m_nMax)));
    }
    return text;
}

void MSlider::DrawControl(HDC& dc, CRect)
{
    const int W = m_rcControl.Width(), H = m_rcControl.Height();
    if (W <= 0 || H <= 0) return;
    if (!m_bUpdate || !m_hMemDC) {
        UpdateMemDC(dc, W, H);
        if (!m_hMemDC) return;
        ::BitBlt(m_hMemDC, 0, 0, W, H, dc, m_rcControl.left, m_rcControl.top, SRCCOPY);
        Gdiplus::Graphics g(m_hMemDC);
        g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
        if (m_nMin < m_nMax) {
            Gdiplus::SolidBrush track{Gdiplus::Color(kTrackColor)};
            g.FillRectangle(&track, 3, 7, m_bShowText ? W - 66 : W - 6, 3);
            const int gpos = ThumbOffset(m_nPos);
            Gdiplus::SolidBrush selected(Manager::GetDownColor());
            g.FillRectangle(&selected, 3, 7, gpos + 10, 3);
            g.FillEllipse(&selected, gpos, 0, m_nThumbWidth, m_nThumbHeight);
        }
        if (m_bShowText) {
            Gdiplus::FontFamily* family = GetFontFamily(m_strFontFace);
            if (family) {
                Gdiplus::Font font(family, static_cast<Gdiplus::REAL>(m_nFontWidth), m_fontStyle,
                                   Gdiplus::UnitPixel);
                Gdiplus::StringFormat format;
                format.SetAlignment(Gdiplus::StringAlignmentCenter);
                format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
                format.SetFormatFlags(0x1800);
                g.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
                Gdiplus::SolidBrush brush(m_clrText);
                CString text = GetValueText();
                Gdiplus::RectF layout(static_cast<Gdiplus::REAL>(W - kTextWidth), 0.0f,
                                      static_cast<Gdiplus::REAL>(kTextWidth), 20.0f);
                GlyphFaces::DrawString(g, text, text.GetLength(), &font, layout, &format, &brush);
            }
        }
    }
    ::BitBlt(dc, m_rcControl.left, m_rcControl.top, W, H, m_hMemDC, 0, 0, SRCCOPY);
}

}  // namespace WEXA
