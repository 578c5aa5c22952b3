#include "CTextButton.h"

#include <algorithm>

#include "ControlRegistry.h"
#include "controls/ButtonPaint.h"
#include "controls/PushRules.h"

namespace WEXA {

WEXA_REGISTER_CONTROL(CTextButton,
                      new CTextButton(a.owner, a.id, a.rect, a.title, a.visible, a.enabled));
WEXA_REGISTER_CONTROL(UpgradeButton,
                      new UpgradeButton(a.owner, a.id, a.rect, a.title, a.visible, a.enabled));
WEXA_REGISTER_CONTROL(DownloadButton,
                      new DownloadButton(a.owner, a.id, a.rect, a.title, a.visible, a.enabled));

using buttonpaint::Repaint;

namespace {

const Gdiplus::Color kGreyText(0xFF808080);

Gdiplus::RectF FrameRect(int i, int w, int h, float d)
{
    return Gdiplus::RectF(i * w + d, d, static_cast<float>(w), static_cast<float>(h));
}

}  // namespace

// ---- CTextButton ----

CTextButton::CTextButton(MObject* owner, UINT id, CRect rect, const wchar_t* title, int visible,
                         int enabled)
    : MControlFont(owner, id, rect, title, visible, enabled, 1),
      m_clrHover(0xFF4977E5),
      m_clrDown(0xFF4977E5),
      m_clrDisabled(0xFF808080),
      m_nState(enabled ? 0 : 3)
{}

CTextButton::~CTextButton() = default;

void CTextButton::SetTextButtonColor(Gdiplus::Color normal, Gdiplus::Color hover,
                                     Gdiplus::Color down, Gdiplus::Color disabled)
{
    SetTextColor(normal);
    m_clrHover = hover;
    m_clrDown = down;
    m_clrDisabled = disabled;
    Repaint(this, 1);
}

void CTextButton::SetControlEnabled(int enabled)
{
    pushrules::Enable(this, enabled);
}

int CTextButton::OnControlMouseMove(UINT, CPoint point)
{
    return pushrules::Move(this, point);
}

int CTextButton::OnControlLButtonDown(UINT, CPoint point)
{
    return pushrules::Press(this, point);
}

int CTextButton::OnControlLButtonUp(UINT, CPoint point)
{
    return pushrules::Release(this, point, true, [this] { SendMessageW(2, 0, 0); });
}

void CTextButton::DrawControl(HDC& dc, CRect)
{
    const int w = m_rcControl.Width();
    const int h = m_rcControl.Height();
    if (w <= 0 || h <= 0) return;
    if (buttonpaint::NeedsRender(this, 4)) {
        if (!buttonpaint::BeginStrip(this, dc, 4)) return;
        Gdiplus::Graphics g(m_hMemDC);
        const Gdiplus::Color colors[4] = {m_clrText, m_clrHover, m_clrDown, m_clrDisabled};
        for (int i = 0; i < 4; ++i) {
            // The pressed text moves one pixel down only.
            Gdiplus::RectF layout(static_cast<float>(i * w), i == 2 ? 1.0f : 0.0f,
                                  static_cast<float>(w), static_cast<float>(h));
            buttonpaint::DrawButtonText(
                g, this, m_strTitle, layout, colors[i], buttonpaint::TextAlign::Centre, false,
                Gdiplus::TextRenderingHintClearTypeGridFit, static_cast<float>(m_nFontWidth));
        }
    }
    buttonpaint::CopyFrame(this, dc, m_nState);
}

// ---- UpgradeButton ----

UpgradeButton::UpgradeButton(MObject* owner, UINT id, CRect rect, const wchar_t* title, int visible,
                             int enabled)
    : MControlFont(owner, id, rect, title, visible, enabled, 1),
      m_nState(enabled ? 0 : 3),
      m_nFrameSize(8),
      m_nUpgradeStatus(0)
{
    m_uAlignment = 1;
}

UpgradeButton::~UpgradeButton() = default;

void UpgradeButton::SetUpgradeStatus(int status)
{
    if (status == m_nUpgradeStatus) return;
    m_nUpgradeStatus = status;
    Repaint(this, 1);
}

void UpgradeButton::SetControlEnabled(int enabled)
{
    pushrules::Enable(this, enabled);
}

int UpgradeButton::OnControlMouseMove(UINT, CPoint point)
{
    return pushrules::Move(this, point);
}

int UpgradeButton::OnControlLButtonDown(UINT, CPoint point)
{
    return pushrules::Press(this, point);
}

int UpgradeButton::OnControlLButtonUp(UINT, CPoint point)
{
    return pushrules::Release(this, point, false, [this] { SendMessageW(2, 0, 0); });
}

int UpgradeButton::OnControlKeyDown(UINT, UINT, UINT)
{
    return 0;
}

void UpgradeButton::DrawControl(HDC& dc, CRect)
{
    const int w = m_rcControl.Width();
    const int h = m_rcControl.Height();
    if (w <= 0 || h <= 0) return;
    if (buttonpaint::NeedsRender(this, 4)) {
        if (!buttonpaint::BeginStrip(this, dc, 4)) return;
        Gdiplus::Graphics g(m_hMemDC);
        for (int i = 0; i < 4; ++i) {
            const int frame = i < m_nFrameCount ? i : 0;
            if (m_pImage && m_nFrameWidth == w && m_nImageHeight == h)
                g.DrawImage(m_pImage, Gdiplus::Rect(i * w, 0, w, h), frame * w, 0, w, h,
                            Gdiplus::UnitPixel);
            else
                buttonpaint::DrawFaceFrame(g, this, frame, CRect(i * w, 0, i * w + w, h),
                                           m_nFrameSize);
            buttonpaint::DrawButtonText(
                g, this, m_strTitle, FrameRect(i, w, h, i == 2 ? 1.0f : 0.0f),
                i == 3 ? kGreyText : m_clrText, buttonpaint::TextAlign::Centre, false);
            if (!m_nUpgradeStatus) continue;
            g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
            Gdiplus::SolidBrush red(Gdiplus::Color(0xFFFF0000));
            g.FillEllipse(&red, i * w + w - 16, 0, 16, 16);
            buttonpaint::DrawButtonText(
                g, this, L"1",
                Gdiplus::RectF(static_cast<float>(i * w + w - 15), 1.0f, 16.0f, 16.0f), m_clrText,
                buttonpaint::TextAlign::Centre, false, m_textRenderingHint, 8.0f);
        }
    }
    buttonpaint::CopyFrame(this, dc, m_nState);
}

// ---- DownloadButton ----

DownloadButton::DownloadButton(MObject* owner, UINT id, CRect rect, const wchar_t* title,
                               int visible, int enabled)
    : MControlFont(owner, id, rect, title, visible, enabled, 1),
      m_nState(enabled ? 0 : 3),
      m_nFrameSize(8),
      m_pIconImage(nullptr),
      m_nIconWidth(0),
      m_nIconHeight(0),
      m_nIconFrames(4),
      m_rcText{0, 0, 0, 0},
      m_nProgress(0)
{
    m_uAlignment = 1;
}

DownloadButton::~DownloadButton()
{
    delete m_pIconImage;
    m_pIconImage = nullptr;
}

void DownloadButton::SetDownloadProcess(int percent)
{
    if (percent == m_nProgress) return;
    m_nProgress = percent;
    Repaint(this, 1);
}

int DownloadButton::SetIconImage(const wchar_t* file, int frames)
{
    frames = std::max(frames, 1);
    delete m_pIconImage;
    m_pIconImage = buttonpaint::LoadSkinImage(file);
    if (!m_pIconImage) {
        m_nIconWidth = m_nIconHeight = 0;
        return 0;
    }
    m_nIconWidth = static_cast<int>(m_pIconImage->GetWidth()) / frames;
    m_nIconHeight = static_cast<int>(m_pIconImage->GetHeight());
    m_nIconFrames = frames;
    return 1;
}

void DownloadButton::SetControlEnabled(int enabled)
{
    pushrules::Enable(this, enabled);
}

int DownloadButton::OnControlMouseMove(UINT, CPoint point)
{
    return pushrules::Move(this, point);
}

int DownloadButton::OnControlLButtonDown(UINT, CPoint point)
{
    return pushrules::Press(this, point);
}

int DownloadButton::OnControlLButtonUp(UINT, CPoint point)
{
    return pushrules::Release(this, point, false, [this] { SendMessageW(2, 0, 0); });
}

int DownloadButton::OnControlKeyDown(UINT, UINT, UINT)
{
    return 0;
}

void DownloadButton::DrawControl(HDC& dc, CRect)
{
    const int w = m_rcControl.Width();
    const int h = m_rcControl.Height();
    if (w <= 0 || h <= 0) return;
    if (m_nProgress > 0) {
        if (buttonpaint::NeedsRender(this, 1)) {
            if (!buttonpaint::BeginStrip(this, dc, 1)) return;
            Gdiplus::Graphics g(m_hMemDC);
            buttonpaint::DrawFaceFrame(g, this, 0, CRect(0, 0, w, h), m_nFrameSize);
            const int fill = w * m_nProgress / 100;
            if (fill > 0)
                buttonpaint::DrawFaceFrame(g, this, m_nFrameCount > 1 ? 1 : 0, CRect(0, 0, fill, h),
                                           m_nFrameSize);
            CString percent;
            percent.Format(L"%d%%", m_nProgress);
            buttonpaint::DrawButtonText(g, this, percent, FrameRect(0, w, h, 0.0f), m_clrText,
                                        buttonpaint::TextAlign::Centre, false);
        }
        buttonpaint::CopyFrame(this, dc, 0);
        return;
    }
    if (buttonpaint::NeedsRender(this, 4)) {
        if (!buttonpaint::BeginStrip(this, dc, 4)) return;
        Gdiplus::Graphics g(m_hMemDC);
        for (int i = 0; i < 4; ++i) {
            buttonpaint::DrawFaceFrame(g, this, i < m_nFrameCount ? i : 0,
                                       CRect(i * w, 0, i * w + w, h), m_nFrameSize);
            buttonpaint::DrawButtonText(
                g, this, m_strTitle, FrameRect(i, w, h, i == 2 ? 1.0f : 0.0f),
                i == 3 ? kGreyText : m_clrText, buttonpaint::TextAlign::Centre, false);
        }
    }
    buttonpaint::CopyFrame(this, dc, m_nState);
}

}  // namespace WEXA
