#include "BatteryCtrl.h"
#include "GlyphFaces.h"

#include <cstdio>

#include "ControlRegistry.h"
#include "MRender.h"
#include "keyboard/PickerCommon.h"

namespace WEXA {

WEXA_REGISTER_CONTROL(BatteryCtrl, new BatteryCtrl(a.owner, a.id, a.rect, a.visible, a.enabled));

BatteryCtrl::BatteryCtrl(MObject* owner, UINT id, CRect rect, int visible, int enabled)
    : MControlFont(owner, id, rect, L"", visible, enabled, 1),
      m_nLevel(0),
      m_nCharging(0),
      m_pIcon(nullptr),
      m_nIconWidth(0),
      m_nIconHeight(0),
      m_pExtra{nullptr, nullptr},
      m_nExtraWidth{0, 0},
      m_nExtraHeight{0, 0},
      m_bShowBattery(0)
{
    m_nFontWidth = 14;
}

BatteryCtrl::~BatteryCtrl()
{
    delete m_pIcon;
    delete m_pExtra[0];
    delete m_pExtra[1];
}

void BatteryCtrl::InitControl(PaintManager*)
{
    AddMTimer();
}

int BatteryCtrl::SetImage(const wchar_t* skinFileName, int frames)
{
    delete m_pIcon;
    m_pIcon = nullptr;
    m_nIconWidth = m_nIconHeight = 0;
    int width = 0, height = 0;
    m_pIcon = picker::LoadSkinImage(skinFileName ? skinFileName : L"", false, width, height);
    if (!m_pIcon) return 0;
    if (frames < 1) frames = 1;
    m_nIconWidth = static_cast<int>(static_cast<unsigned>(width) / static_cast<unsigned>(frames));
    m_nIconHeight = height;
    return 1;
}

void BatteryCtrl::SetBatteryInfo(int level, int charging)
{
    if (level == m_nLevel && charging == m_nCharging) return;
    m_nLevel = level;
    m_nCharging = charging;
    picker::Repaint(this);
}

int BatteryCtrl::SetBatteryIcon(const wchar_t* first, const wchar_t* second)
{
    const wchar_t* names[2] = {first, second};
    for (int i = 0; i < 2; ++i) {
        delete m_pExtra[i];
        m_pExtra[i] = picker::LoadSkinImage(names[i] ? names[i] : L"", false, m_nExtraWidth[i],
                                            m_nExtraHeight[i]);
    }
    return 1;
}

int BatteryCtrl::SteppedLevel(int level)
{
    if (level <= 30) return 25;
    if (level <= 60) return 50;
    if (level <= 80) return 75;
    if (level <= 95) return 90;
    return level;
}

int BatteryCtrl::GetShownFrame() const
{
    if (m_nLevel == 0) return -1;  // no battery
    if (m_nCharging == 1) return 3;
    if (m_nLevel < 20) return 0;
    if (m_nLevel < 75) return 1;
    return 2;
}

void BatteryCtrl::DrawControl(HDC& dc, CRect)
{
    const int W = m_rcControl.Width(), H = m_rcControl.Height();
    if (W <= 0 || H <= 0) return;
    if (!m_bUpdate || !m_hMemDC) {
        UpdateMemDC(dc, W, H);
        if (!m_hMemDC) return;
        ::BitBlt(m_hMemDC, 0, 0, W, H, dc, m_rcControl.left, m_rcControl.top, SRCCOPY);
        m_strTitle = L"";
        if (m_nLevel == 0) {
            // No battery (or none known yet): no badge at all.
            ::BitBlt(dc, m_rcControl.left, m_rcControl.top, W, H, m_hMemDC, 0, 0, SRCCOPY);
            return;
        }
        Gdiplus::Graphics g(m_hMemDC);
        g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
        MRender::DrawRoundRectange(g, 1.0f, 1.0f, static_cast<float>(W - 2),
                                   static_cast<float>(H - 2), 12.0f, kBoxColor);
        if (m_pIcon && m_nIconWidth > 0)
            g.DrawImage(m_pIcon, Gdiplus::Rect(15, 5, m_nIconWidth, m_nIconHeight),
                        GetShownFrame() * m_nIconWidth, 0, m_nIconWidth, m_nIconHeight,
                        Gdiplus::UnitPixel);
        const int level = m_nLevel;
        if (level != 0) {
            wchar_t text[32];
            std::swprintf(text, 32, L"%d%%", SteppedLevel(level));
            m_strTitle = text;
            g.SetTextRenderingHint(m_textRenderingHint);
            Gdiplus::FontFamily* family = GetFontFamily(m_strFontFace);
            if (family) {
                Gdiplus::Font font(family, static_cast<Gdiplus::REAL>(m_nFontWidth), m_fontStyle,
                                   Gdiplus::UnitPixel);
                Gdiplus::StringFormat format;
                format.SetAlignment(Gdiplus::StringAlignmentNear);
                format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
                format.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap);
                Gdiplus::SolidBrush brush(m_clrText);
                GlyphFaces::DrawString(
                    g, m_strTitle, m_strTitle.GetLength(), &font,
                    Gdiplus::RectF(40.0f, 0.0f, 50.0f, static_cast<Gdiplus::REAL>(H)), &format,
                    &brush);
            }
        }
    }
    ::BitBlt(dc, m_rcControl.left, m_rcControl.top, W, H, m_hMemDC, 0, 0, SRCCOPY);
}

}  // namespace WEXA
