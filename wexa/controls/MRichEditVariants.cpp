// The variants of MRichEdit: MEditEx (single line, centred), CLogonEdit (icon
// and floating label) and CSpinButton (numeric field with step buttons).
#include <algorithm>
#include <climits>
#include <cwchar>

#include "CTxtWinHost.h"
#include "GlyphFaces.h"
#include "ControlRegistry.h"
#include "MRichEdit.h"
#include "MRender.h"
#include "PaintManager.h"

namespace WEXA {

WEXA_REGISTER_CONTROL(MEditEx, new MEditEx(a.owner, a.id, a.rect, a.title, a.visible, a.enabled));
WEXA_REGISTER_CONTROL(CSpinButton, new CSpinButton(a.owner, a.id, a.rect, a.visible, a.enabled));

namespace {

const DWORD kSingleLineStyle = WS_HSCROLL | ES_AUTOHSCROLL;        // 0x00100080
const DWORD kSpinStyle = WS_HSCROLL | ES_NUMBER | ES_AUTOHSCROLL;  // 0x00102080
const UINT kUpButtonId = 30;
const UINT kDownButtonId = 31;
// The strip at the right kept free of the face and the text for the buttons.
const int kSpinButtonGap = 15;

// Characters "%d" gives for the value.
int DecimalWidth(int value)
{
    wchar_t text[16];
    return swprintf(text, 16, L"%d", value);
}

}  // namespace

// ---- MEditEx ----

MEditEx::MEditEx(MObject* owner, UINT id, CRect rect, const wchar_t* placeholder, int visible,
                 int enabled)
    : MRichEdit(owner, id, rect, placeholder, visible, enabled)
{
    m_dwWinStyle = kSingleLineStyle;
}

MEditEx::~MEditEx() = default;

const wchar_t* MEditEx::GetClassNameW() const
{
    return L"MEditEx";
}

void MEditEx::SetControlRect(CRect rect)
{
    m_rcControl = rect;
    if (!m_pTwh) return;
    const int pad = std::max(rect.Height() / 2 - 8, 0);
    m_rcTextPadding.top = pad;
    m_rcTextPadding.bottom = pad;
    CRect area(rect.left + m_rcTextPadding.left, rect.top + m_rcTextPadding.top,
               rect.right - m_rcTextPadding.right, rect.bottom - m_rcTextPadding.bottom);
    const int thickness = m_nScrollThickness;
    if (IsMultiLine() && m_pScrollVertical && m_pScrollVertical->m_bVisible) {
        m_pScrollVertical->SetControlRect(
            CRect(area.right - thickness, area.top, area.right, area.bottom));
        area.right -= thickness;
    }
    if ((m_dwWinStyle & (WS_HSCROLL | ES_AUTOHSCROLL)) && m_pScrollHorizontal)
        m_pScrollHorizontal->SetControlRect(
            CRect(area.left, area.bottom - thickness, area.right, area.bottom));
    ApplyTextArea(area);
}

void MEditEx::DrawControl(HDC& dc, CRect clip)
{
    DrawFace(dc, m_rcControl.Width(), true, true);
    DrawServices(dc, clip);
}

// ---- CLogonEdit ----

CLogonEdit::CLogonEdit(MObject* owner, UINT id, CRect rect, const wchar_t* placeholder, int visible,
                       int enabled)
    : MRichEdit(owner, id, rect, placeholder, visible, enabled)
{
    m_dwWinStyle = kSingleLineStyle;
    m_nFontWidth = 16;
    m_rcTextPadding = RECT{50, 16, 5, 5};
}

CLogonEdit::~CLogonEdit() = default;

const wchar_t* CLogonEdit::GetClassNameW() const
{
    return L"CLogonEdit";
}

void CLogonEdit::SetControlRect(CRect rect)
{
    m_rcControl = rect;
    if (!m_pTwh) return;
    m_rcTextPadding.top = 14;
    m_rcTextPadding.bottom = 5;
    CRect area(rect.left + m_rcTextPadding.left, rect.top + m_rcTextPadding.top,
               rect.right - m_rcTextPadding.right, rect.bottom - m_rcTextPadding.bottom);
    const int thickness = m_nScrollThickness;
    if ((m_dwWinStyle & (WS_HSCROLL | ES_AUTOHSCROLL)) && m_pScrollHorizontal)
        m_pScrollHorizontal->SetControlRect(
            CRect(area.left, area.bottom - thickness, area.right, area.bottom));
    ApplyTextArea(area);
}

int CLogonEdit::OnControlMouseMove(UINT, CPoint)
{
    return 0;
}

void CLogonEdit::DrawControl(HDC& dc, CRect clip)
{
    const int w = m_rcControl.Width();
    const int h = m_rcControl.Height();
    if (w <= 0 || h <= 0) return;
    if (!m_bUpdate || !m_hMemDC) {
        UpdateMemDC(dc, w, h);
        if (!m_hMemDC) return;
        ::BitBlt(m_hMemDC, 0, 0, w, h, dc, m_rcControl.left, m_rcControl.top, SRCCOPY);
        Gdiplus::Graphics g(m_hMemDC);
        if (m_pIconImage)
            g.DrawImage(m_pIconImage, Gdiplus::Rect(5, 16, m_nIconWidth, m_nIconHeight), 0, 0,
                        m_nIconWidth, m_nIconHeight, Gdiplus::UnitPixel);
        Gdiplus::SolidBrush line(Gdiplus::Color(0xFE898989));
        g.FillRectangle(&line, 0, h - 1, w, 1);
        if (!m_strTipInfo.IsEmpty()) {
            g.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
            g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
            Gdiplus::FontFamily* family = GetFontFamily(m_strFontFace);
            Gdiplus::FontFamily fallback(L"Arial");
            const bool label = !m_strTitle.IsEmpty();
            Gdiplus::Font font(family ? family : &fallback, label ? 9.0f : 14.0f, m_fontStyle,
                               Gdiplus::UnitPixel);
            Gdiplus::StringFormat format;
            format.SetAlignment(Gdiplus::StringAlignmentNear);
            format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
            format.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap |
                                  Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
            Gdiplus::SolidBrush grey(Gdiplus::Color(0xFE898989));
            Gdiplus::RectF box;
            if (label) {
                box = Gdiplus::RectF(2.0f, 0.0f, static_cast<Gdiplus::REAL>(w - 60), 16.0f);
            } else {
                const int paddedHeight = h - m_rcTextPadding.top - m_rcTextPadding.bottom;
                const int top = m_rcTextPadding.top + (paddedHeight - 16) / 2 + 1;
                box = Gdiplus::RectF(static_cast<Gdiplus::REAL>(m_rcTextPadding.left),
                                     static_cast<Gdiplus::REAL>(top),
                                     static_cast<Gdiplus::REAL>(w - 60), 16.0f);
            }
            GlyphFaces::DrawString(g, m_strTipInfo, -1, &font, box, &format, &grey);
        }
    }
    ::BitBlt(dc, m_rcControl.left, m_rcControl.top, w, h, m_hMemDC, 0, 0, SRCCOPY);
    DrawServices(dc, clip);
}

// ---- CSpinButton ----

CSpinButton::CSpinButton(MObject* owner, UINT id, CRect rect, int visible, int enabled)
    : MRichEdit(owner, id, rect, L"", visible, enabled),
      m_nCurValue(0),
      m_bSettingValue(0),
      m_nMinValue(0),
      m_nMaxValue(100),
      m_pUpButton(nullptr),
      m_pDownButton(nullptr),
      m_nButtonStrip(kSpinButtonGap)
{
    MControlFont::SetTextColor(Gdiplus::Color(0xFE050505));
    m_dwWinStyle = kSpinStyle;
    // The field shows its value from the start.
    m_strTitle = L"0";
    m_nLimitText = std::max(DecimalWidth(m_nMinValue), DecimalWidth(m_nMaxValue));
}

CSpinButton::~CSpinButton()
{
    // The buttons go with the other children.
    m_pUpButton = nullptr;
    m_pDownButton = nullptr;
}

const wchar_t* CSpinButton::GetClassNameW() const
{
    return L"CSpinButton";
}

void CSpinButton::InitControl(PaintManager* manager)
{
    if (m_bInited) return;
    MRichEdit::InitControl(manager);
    m_pUpButton = CreateControl(L"CImageButton", kUpButtonId, CRect(), L"", 1, 1);
    m_pDownButton = CreateControl(L"CImageButton", kDownButtonId, CRect(), L"", 1, 1);
    if (auto* up = dynamic_cast<MControlFont*>(m_pUpButton)) up->SetImage(L"img_spin_up.png", 4);
    if (auto* down = dynamic_cast<MControlFont*>(m_pDownButton))
        down->SetImage(L"img_spin_down.png", 4);
    SetControlRect(m_rcControl);
}

void CSpinButton::SetControlRect(CRect rect)
{
    m_rcControl = rect;
    const int right = rect.right;
    const int mid = (rect.top + rect.bottom) / 2;
    int widest = 0;
    if (auto* up = dynamic_cast<MControlFont*>(m_pUpButton)) {
        const CSize size = up->GetImageSize();
        up->SetControlRect(CRect(right - size.cx - 4, mid - size.cy - 1, right - 4, mid - 1));
        widest = std::max(widest, static_cast<int>(size.cx));
    }
    if (auto* down = dynamic_cast<MControlFont*>(m_pDownButton)) {
        const CSize size = down->GetImageSize();
        down->SetControlRect(CRect(right - size.cx - 4, mid + 1, right - 4, mid + 1 + size.cy));
        widest = std::max(widest, static_cast<int>(size.cx));
    }
    // Buttons wider than the strip would lie over the face's edge: the face
    // and the text then end 2 px before the buttons.
    m_nButtonStrip = std::max(kSpinButtonGap, widest + 4 + 2);
    if (!m_pTwh) return;
    const int pad = std::max(rect.Height() / 2 - 8, 0);
    m_rcTextPadding.top = pad;
    m_rcTextPadding.bottom = pad;
    CRect area(rect.left + m_rcTextPadding.left, rect.top + m_rcTextPadding.top,
               rect.right - m_rcTextPadding.right - m_nButtonStrip,
               rect.bottom - m_rcTextPadding.bottom);
    ApplyTextArea(area);
}

void CSpinButton::DrawControl(HDC& dc, CRect clip)
{
    DrawFace(dc, std::max(m_rcControl.Width() - m_nButtonStrip, 0), false, false);
    DrawServices(dc, clip);
}

LONG CSpinButton::OnMessage(UINT id, UINT code, UINT_PTR, LONG_PTR)
{
    if (code != 2 || (id != kUpButtonId && id != kDownButtonId)) return 0;
    int value = m_nCurValue;
    if (id == kUpButtonId)
        value = value >= m_nMaxValue ? m_nMinValue : value + 1;
    else
        value = value <= m_nMinValue ? m_nMaxValue : value - 1;
    SetCurValue(value);
    SendMessageW(28, 0, 0);
    return 1;
}

void CSpinButton::SetControlEnabled(int enabled)
{
    m_bEnabled = enabled;
    for (MControl* button : {m_pUpButton, m_pDownButton}) {
        if (!button || button->m_bEnabled == enabled) continue;
        button->SetControlEnabled(enabled);
        if (button->m_bVisible) OnControlUpdate(button->m_rcControl, 1, button);
    }
}

int CSpinButton::ParseClamped(const wchar_t* text, int minValue, int maxValue)
{
    long long value = 0;
    for (const wchar_t* p = text; p && *p >= L'0' && *p <= L'9'; ++p) {
        value = value * 10 + (*p - L'0');
        // Past every int: the clamp below gives the maximum anyway.
        if (value > INT_MAX) value = static_cast<long long>(INT_MAX) + 1;
    }
    if (value < minValue) value = minValue;
    if (value > maxValue) value = maxValue;
    return static_cast<int>(value);
}

void CSpinButton::OnTxNotify(DWORD code, void*)
{
    if (code != EN_CHANGE || m_bSettingValue) return;
    const CString live = GetControlTitle();
    const int value = ParseClamped(live, m_nMinValue, m_nMaxValue);
    if (value != m_nCurValue) {
        SetCurValue(value);
        return;
    }
    // The same value typed differently (leading zeros, past the range while
    // the value already sits at that end): show the value itself.
    wchar_t text[16];
    swprintf(text, 16, L"%d", value);
    if (wcscmp(live, text) != 0 && !live.IsEmpty()) {
        m_strTitle = text;
        m_bSettingValue = 1;
        MRichEdit::SetControlTitle(text);
        m_bSettingValue = 0;
        Repaint(0);
    }
}

void CSpinButton::SetCurValue(int value)
{
    if (value == m_nCurValue) return;
    m_nCurValue = value;
    wchar_t text[16];
    swprintf(text, 16, L"%d", value);
    m_strTitle = text;
    ClearGDIFont();
    // The text the field writes itself is not read back as typed input.
    m_bSettingValue = 1;
    MRichEdit::SetControlTitle(text);
    m_bSettingValue = 0;
    Repaint(0);
}

void CSpinButton::SetRange(int minValue, int maxValue)
{
    m_nMinValue = minValue;
    m_nMaxValue = maxValue;
    SetLimitText(std::max(DecimalWidth(minValue), DecimalWidth(maxValue)));
}

}  // namespace WEXA
