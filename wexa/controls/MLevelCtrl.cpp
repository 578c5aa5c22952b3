#include "MLevelCtrl.h"

#include <algorithm>

#include "ControlRegistry.h"
#include "MRender.h"
#include "Manager.h"
#include "PaintManager.h"
#include "controls/ControlPaint.h"

namespace WEXA {

WEXA_REGISTER_CONTROL(MLevelCtrl, new MLevelCtrl(a.owner, a.id, a.rect, a.visible, a.enabled));
WEXA_REGISTER_CONTROL(MProgress, new MProgress(a.owner, a.id, a.rect, a.visible, a.enabled));

// ---- MLevelCtrl ----

MLevelCtrl::MLevelCtrl(MObject* owner, UINT id, CRect rect, int visible, int enabled)
    : MControlFont(owner, id, rect, L"", visible, enabled, 1),
      m_nLevel(0),
      m_nMin(0),
      m_nMax(15),
      m_nSegmentHeight(12),
      m_bShowLabel(1)
{}

MLevelCtrl::~MLevelCtrl() {}

void MLevelCtrl::SetLevelValue(int value)
{
    // A range with the maximum below the minimum holds no level but the minimum.
    const int v = std::max(std::min(value, m_nMax), m_nMin);
    if (v == m_nLevel) return;
    m_nLevel = v;
    paint::Repaint(this, 1);
}

void MLevelCtrl::SetRangeValue(int minimum, int maximum)
{
    m_nMin = minimum;
    m_nMax = maximum;
}

int MLevelCtrl::GetSegmentCount() const
{
    return m_nMax >= m_nMin ? m_nMax - m_nMin + 1 : 0;
}

CRect MLevelCtrl::GetSegmentRect(int k) const
{
    const int n = GetSegmentCount();
    if (n <= 0 || k < 0 || k >= n) return CRect(0, 0, 0, 0);
    const int s = (m_rcControl.Width() - 5 * n) / n;
    return CRect(k * (s + 5), 0, k * (s + 5) + s, m_nSegmentHeight);
}

void MLevelCtrl::DrawControl(HDC& dc, CRect)
{
    if (!m_bUpdate || !m_hMemDC) {
        if (!paint::BeginFrames(this, dc, 1)) return;
        Gdiplus::Graphics g(m_hMemDC);
        const int n = GetSegmentCount();
        Gdiplus::SolidBrush track(Gdiplus::Color(0xFEA0A0A0));
        Gdiplus::SolidBrush fill(Gdiplus::Color(0xFEFFE100));
        for (int k = 0; k < n; ++k) {
            CRect r = GetSegmentRect(k);
            if (r.IsRectEmpty()) continue;
            g.FillRectangle(&track, r.left, r.top, r.Width(), r.Height());
            if (m_nMin + k <= m_nLevel)
                g.FillRectangle(&fill, r.left + 1, r.top + 1, r.Width() - 2, r.Height() - 2);
        }
        if (m_bShowLabel) {
            // The label shows the level itself.
            CString label;
            label.Format(L"%s%d%s", m_strTitle.GetString(), m_nLevel, m_nMax == 100 ? L"%" : L"");
            paint::ControlFont font(this);
            g.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
            const int h = m_rcControl.Height();
            paint::DrawText(g, font.get(), label,
                            Gdiplus::RectF(0.0f, static_cast<float>(m_nSegmentHeight),
                                           static_cast<float>(m_rcControl.Width()),
                                           static_cast<float>(h - m_nSegmentHeight)),
                            m_clrText.GetValue(), Gdiplus::StringAlignmentCenter,
                            Gdiplus::StringAlignmentCenter);
        }
    }
    paint::ShowFrame(this, dc, 0);
}

int MLevelCtrl::OnControlLButtonUp(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    if (!m_rcControl.PtInRect(point)) return 1;
    const CPoint local(point.x - m_rcControl.left, point.y - m_rcControl.top);
    const int n = GetSegmentCount();
    for (int k = 0; k < n; ++k) {
        if (!GetSegmentRect(k).PtInRect(local)) continue;
        const int level = m_nMin + k;
        if (level != m_nLevel) {
            m_nLevel = level;
            SendMessageW(2, static_cast<UINT_PTR>(level), 0);
            paint::Repaint(this, 1);
        }
        break;
    }
    return 1;
}

// ---- MProgress ----

MProgress::MProgress(MObject* owner, UINT id, CRect rect, int visible, int enabled)
    : MControlFont(owner, id, rect, L"", visible, enabled, 1),
      m_nPos(0),
      m_nMax(100),
      m_nTick(0),
      m_nTicksPerStep(3),
      m_nImageMargin(12),
      m_bShowText(0),
      m_nBarHeight(14),
      m_clrLine(0x64050505),
      m_clrFill(0xFFFF3A32),
      m_pBackImage(nullptr),
      m_pForeImage(nullptr),
      m_nBackWidth(0),
      m_nBackHeight(0),
      m_nForeWidth(0),
      m_nForeHeight(0)
{
    SetTextColor(Gdiplus::Color(0xFF808080));
    m_uAlignment = DT_CENTER;
    m_uVAlignment = DT_VCENTER;
    m_nFrameCount = 2;
}

MProgress::~MProgress() {}

void MProgress::Repaint()
{
    paint::Repaint(this, 1);
}

int MProgress::SetProgress(int value)
{
    if (!m_bEnabled) return m_nPos;
    if (value > m_nMax) value = m_nMax;
    if (value < 0) return m_nPos;
    if (value != m_nPos) {
        m_nPos = value;
        Repaint();
    }
    return m_nPos;
}

int MProgress::SetRun(int run, int pos)
{
    if (!m_bEnabled) return m_bRunning;
    bool changed = (m_bRunning != run);
    m_bRunning = run;
    if (pos >= 0 && pos <= m_nMax && pos != m_nPos) {
        m_nPos = pos;
        changed = true;
    }
    if (changed) Repaint();
    return m_bRunning;
}

static bool TakeImage(ImgResInfo* info, Gdiplus::Image*& image, int& w, int& h)
{
    if (!info || !info->pImage) return false;
    image = info->pImage;
    w = info->nWidth;
    h = info->nHeight;
    return true;
}

bool MProgress::SetBackGroundImage(CString file)
{
    if (!m_pManager) return false;
    if (!TakeImage(m_pManager->AddImgResInfo(file, 1), m_pBackImage, m_nBackWidth, m_nBackHeight))
        return false;
    Repaint();
    return true;
}

bool MProgress::SetForeGroundImage(CString file)
{
    if (!m_pManager) return false;
    if (!TakeImage(m_pManager->AddImgResInfo(file, 1), m_pForeImage, m_nForeWidth, m_nForeHeight))
        return false;
    Repaint();
    return true;
}

bool MProgress::SetBackGroundImage(UINT id)
{
    if (!m_pManager) return false;
    if (!TakeImage(m_pManager->AddImgResInfo(id, L"PNG", 1, 1), m_pBackImage, m_nBackWidth,
                   m_nBackHeight))
        return false;
    Repaint();
    return true;
}

bool MProgress::SetForeGroundImage(UINT id)
{
    if (!m_pManager) return false;
    if (!TakeImage(m_pManager->AddImgResInfo(id, L"PNG", 1, 1), m_pForeImage, m_nForeWidth,
                   m_nForeHeight))
        return false;
    Repaint();
    return true;
}

int MProgress::FillWidth(int width) const
{
    // A maximum that is not positive has no scale: nothing is filled.
    if (m_nMax <= 0) return 0;
    return static_cast<int>(static_cast<long long>(width) * m_nPos / m_nMax);
}

void MProgress::DrawControl(HDC& dc, CRect)
{
    if (!m_bUpdate || !m_hMemDC) {
        if (!paint::BeginFrames(this, dc, 1)) return;
        const int W = m_rcControl.Width(), H = m_rcControl.Height();
        const int f = FillWidth(W);
        const bool fill = m_nPos > 0 && f > 0;
        Gdiplus::Graphics g(m_hMemDC);
        if (m_pForeImage) {
            if (m_pBackImage)
                MRender::DrawImageFrameMID(g, m_pBackImage, CRect(0, 0, W, H), 0, 0, m_nBackWidth,
                                           m_nBackHeight, m_nImageMargin, 0, m_nImageMargin, 0);
            if (fill) {
                if (f < m_nImageMargin)
                    g.DrawImage(m_pForeImage, Gdiplus::Rect(0, 0, f, H), 0, 0, f, m_nForeHeight,
                                Gdiplus::UnitPixel);
                else
                    MRender::DrawImageFrameMID(g, m_pForeImage, CRect(0, 0, f, H), 0, 0,
                                               m_nForeWidth, m_nForeHeight, m_nImageMargin, 0,
                                               m_nImageMargin, 0);
            }
        } else if (m_pImage) {
            MRender::DrawImageFrame(g, m_pImage, CRect(0, 0, W, m_nBarHeight), 0, 0, m_nFrameWidth,
                                    m_nImageHeight, 2);
            if (fill)
                MRender::DrawImageFrame(g, m_pImage, CRect(0, 0, f, m_nBarHeight), m_nFrameWidth, 0,
                                        m_nFrameWidth, m_nImageHeight, 2);
        } else {
            Gdiplus::Pen line{Gdiplus::Color(m_clrLine)};
            g.DrawLine(&line, 1, H - 2, W, H - 2);
            if (fill) {
                Gdiplus::SolidBrush brush{Gdiplus::Color(m_clrFill)};
                g.FillRectangle(&brush, 0, H - 3, f, 3);
            }
        }
        if (m_bShowText) {
            CString label;
            label.Format(L"%s%d%s", m_strTitle.GetString(), m_nPos, m_nMax == 100 ? L"%" : L"");
            paint::ControlFont font(this);
            g.SetTextRenderingHint(m_textRenderingHint);
            paint::DrawText(g, font.get(), label,
                            Gdiplus::RectF(static_cast<float>((W - 60) / 2), 0.0f, 60.0f, 20.0f),
                            m_clrText.GetValue(), Gdiplus::StringAlignmentCenter,
                            Gdiplus::StringAlignmentCenter);
        }
    }
    paint::ShowFrame(this, dc, 0);
}

int MProgress::OnControlTimer()
{
    if (!m_bRunning || !m_bVisible) return 0;
    if (++m_nTick < m_nTicksPerStep) return 0;
    m_nTick = 0;
    ++m_nPos;
    if (m_nPos >= m_nMax) m_nPos = 0;
    Repaint();
    return 1;
}

}  // namespace WEXA
