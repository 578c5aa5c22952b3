#include "CColorPalette.h"

#include "CColorButton.h"
#include "ColorModel.h"
#include "ControlRegistry.h"
#include "MEdit.h"
#include "MPalette.h"
#include "MSpinButton.h"
#include "MText.h"
#include "controls/ControlPaint.h"

namespace WEXA {

WEXA_REGISTER_CONTROL(CColorPalette, new CColorPalette(a.owner, a.id, a.rect, a.visible));
WEXA_REGISTER_CONTROL(CColorSelect, new CColorSelect(a.owner, a.id, a.rect, a.visible));

namespace {
const COLORREF kPresets[8] = {0x001B55, 0x23A2F9, 0x31FEFE, 0x29FF4C,
                              0xFEFF50, 0xFC1517, 0x7F007C, 0xFC00F7};
const COLORREF kSelectColors[7] = {0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF,
                                   0xFF00FF, 0xFFFF00, 0xFFFFFF};
const wchar_t* const kLabels[4] = {L"R", L"G", L"B", L"#"};

void Move(MControl* child, CRect rect)
{
    if (!child) return;
    const CRect old = child->m_rcControl;
    child->SetControlRect(rect);
    if (child->m_bVisible && child->m_pParent) {
        CRect both;
        both.UnionRect(&old, &rect);
        child->m_pParent->OnControlUpdate(both, 1, child);
    }
}
}  // namespace

// ---- CColorPalette ----

CColorPalette::CColorPalette(MObject* owner, UINT id, CRect rect, int visible)
    : MPanel(owner, id, rect, visible),
      m_pPalette(nullptr),
      m_pSelected(nullptr),
      m_pPresets(),
      m_pSpins(),
      m_pHex(nullptr),
      m_pLabels()
{}

CColorPalette::~CColorPalette() {}

void CColorPalette::Place(CRect r, bool create)
{
    const int L = r.left, T = r.top, B = r.bottom;
    for (int k = 0; k < 8; ++k) {
        const CRect rect(L + 25 * k, T + 5, L + 25 * k + 20, T + 25);
        if (create) {
            m_pPresets[k] = dynamic_cast<CColorButton*>(
                CreateControl(L"CColorButton", 631 + k, rect, L"", 1, 1));
            if (m_pPresets[k]) {
                m_pPresets[k]->SetColor(kPresets[k]);
                m_pPresets[k]->SetGroupName(L"clr_palette_group");
            }
        } else {
            Move(m_pPresets[k], rect);
        }
    }
    const CRect field(L, T + 27, L + 233, B - 4);
    if (create) {
        m_pPalette = dynamic_cast<MPalette*>(CreateControl(L"MPalette", 620, field, L"", 1, 1));
        if (m_pPalette) {
            m_pPalette->SetPalletHeight(B - T - 33);
            m_pPalette->SetControlRect(field);
            m_pPalette->SetThumbImage(L"img_palette_thumb.png");
        }
    } else {
        if (m_pPalette) m_pPalette->SetPalletHeight(B - T - 33);
        Move(m_pPalette, field);
    }
    const CRect big(L + 235, T + 5, L + 320, T + 57);
    if (create) {
        m_pSelected =
            dynamic_cast<CColorButton*>(CreateControl(L"CColorButton", 622, big, L"", 1, 1));
        if (m_pSelected) {
            m_pSelected->SetColor(0x00E1FF);
            m_pSelected->SetGroupName(L"clr_sel_group");
            m_pSelected->SetCheck(1);
        }
    } else {
        Move(m_pSelected, big);
    }
    for (int k = 0; k < 4; ++k) {
        const CRect rect(L + 235, T + 62 + 28 * k, L + 255, T + 86 + 28 * k);
        if (create) {
            m_pLabels[k] =
                dynamic_cast<MText*>(CreateArea(L"MText", 650 + k, rect, kLabels[k], 1, 1));
            if (m_pLabels[k]) {
                m_pLabels[k]->SetTextColor(Gdiplus::Color(0xFE050505));
                m_pLabels[k]->SetAlignment(2);
            }
        } else {
            Move(m_pLabels[k], rect);
        }
    }
    for (int k = 0; k < 3; ++k) {
        const CRect rect(L + 260, T + 62 + 28 * k, L + 320, T + 86 + 28 * k);
        if (create) {
            m_pSpins[k] =
                dynamic_cast<MSpinButton*>(CreateControl(L"MSpinButton", 654 + k, rect, L"", 1, 1));
            if (m_pSpins[k]) {
                m_pSpins[k]->SetRange(0, 255);
                m_pSpins[k]->SetCurValue(255);
            }
        } else {
            Move(m_pSpins[k], rect);
        }
    }
    const CRect hex(L + 260, T + 146, L + 320, T + 170);
    if (create) {
        m_pHex = dynamic_cast<MEdit*>(CreateControl(L"MEdit", 657, hex, L"", 1, 1));
        if (m_pHex) {
            m_pHex->SetFontWidth(12);
            m_pHex->SetEditBKColor(0xDADADA);
            m_pHex->SetLimitText(6);
            SetHexText(GetSelectColor());
        }
    } else {
        Move(m_pHex, hex);
    }
}

void CColorPalette::InitControl(PaintManager* manager)
{
    MPanel::InitControl(manager);
    if (m_pPalette) return;
    Place(m_rcControl, true);
}

void CColorPalette::SetControlRect(CRect rect)
{
    m_rcControl = rect;
    Place(rect, false);
    paint::Repaint(this, 1);
}

void CColorPalette::DrawControl(HDC& dc, CRect)
{
    if (!m_bUpdate || !m_hMemDC) {
        if (!paint::BeginFrames(this, dc, 1)) return;
    }
    paint::ShowFrame(this, dc, 0);
}

COLORREF CColorPalette::GetSelectColor()
{
    return m_pPalette ? m_pPalette->GetSelectColor() : 0;
}

void CColorPalette::SetSelectColor(COLORREF color)
{
    if (m_pPalette) m_pPalette->SetSelectColor(color);
}

int CColorPalette::SetThumbImage(const wchar_t* name)
{
    return m_pPalette ? m_pPalette->SetThumbImage(name) : 0;
}

int CColorPalette::SetImage(const wchar_t* name, int frames)
{
    for (MSpinButton* spin : m_pSpins)
        if (spin) spin->SetImage(name, frames);
    if (m_pHex) m_pHex->SetImage(name, frames);
    return 1;
}

void CColorPalette::SetTextColor(Gdiplus::Color color)
{
    MPanel::SetTextColor(color);
    for (MText* label : m_pLabels)
        if (label) label->SetTextColor(color);
    for (MSpinButton* spin : m_pSpins)
        if (spin) spin->SetTextColor(color);
    if (m_pHex) m_pHex->SetTextColor(color);
}

void CColorPalette::SetControlEnabled(int enabled)
{
    m_bEnabled = enabled;
    MControl* children[] = {m_pPalette, m_pSpins[0], m_pSpins[1], m_pSpins[2], m_pHex, m_pSelected};
    for (MControl* child : children)
        if (child && child->m_bEnabled != enabled) child->SetControlEnabled(enabled);
    for (CColorButton* preset : m_pPresets)
        if (preset && preset->m_bEnabled != enabled) preset->SetControlEnabled(enabled);
}

void CColorPalette::UpdateControlEx(int erase)
{
    if (m_pParent) m_pParent->OnControlUpdate(m_rcControl, erase, this);
    CAutoLock lock(m_childLock);
    for (MControl* child : m_controls)
        if (child) OnControlUpdate(child->m_rcControl, erase, child);
}

int CColorPalette::OnControlMouseMove(UINT, CPoint)
{
    return m_bEnabled;
}
int CColorPalette::OnControlLButtonDown(UINT, CPoint)
{
    return m_bEnabled;
}
int CColorPalette::OnControlLButtonUp(UINT, CPoint)
{
    return m_bEnabled;
}
int CColorPalette::OnControlScroll(int, UINT, CPoint)
{
    return 1;
}

void CColorPalette::SetSpins(COLORREF color)
{
    const int bytes[3] = {GetRValue(color), GetGValue(color), GetBValue(color)};
    for (int k = 0; k < 3; ++k)
        if (m_pSpins[k] && m_pSpins[k]->GetCurValue() != bytes[k])
            m_pSpins[k]->SetCurValue(bytes[k]);
}

void CColorPalette::SetHexText(COLORREF color)
{
    if (!m_pHex) return;
    CString text;
    text.Format(L"%02x%02x%02x", GetRValue(color), GetGValue(color), GetBValue(color));
    text.MakeUpper();
    m_pHex->SetEditText(text);
    m_pHex->UpdateControl(1, 0);
}

LONG CColorPalette::ApplyColor(COLORREF color)
{
    if (m_pSelected && m_pSelected->GetCheck() && m_pSelected->GetColor() != color)
        m_pSelected->SetColor(color);
    return m_pParent ? m_pParent->OnBaseMessage(m_nID, 27, 0, static_cast<LONG_PTR>(color)) : 0;
}

LONG CColorPalette::OnMessage(UINT sender, UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    auto passOn = [&]() -> LONG {
        return m_pParent ? m_pParent->OnBaseMessage(sender, code, wparam, lparam) : 0;
    };
    if (sender == 620 && code == 27) {
        const COLORREF color = GetSelectColor();
        SetSpins(color);
        SetHexText(color);
        ApplyColor(color);
        return 1;
    }
    if (sender >= 654 && sender <= 656 && code == 28) {
        COLORREF color = 0;
        for (int k = 0; k < 3; ++k)
            if (m_pSpins[k])
                color |= static_cast<COLORREF>(m_pSpins[k]->GetCurValue() & 0xFF) << (8 * k);
        SetSelectColor(color);
        SetHexText(color);
        ApplyColor(color);
        return passOn();
    }
    if (sender == 622 && code == 1 && m_pSelected) {
        const COLORREF color = m_pSelected->GetColor();
        SetSpins(color);
        SetSelectColor(color);
        SetHexText(color);
        ApplyColor(color);
        return passOn();
    }
    if (sender >= 631 && sender <= 638 && code == 1) {
        for (CColorButton* preset : m_pPresets) {
            if (!preset || !preset->GetCheck()) continue;
            const COLORREF color = preset->GetColor();
            if (color) {
                SetSpins(color);
                SetSelectColor(color);
                SetHexText(color);
                ApplyColor(color);
            }
            break;
        }
        return passOn();
    }
    if (sender == 657 && code == 26 && m_pHex) {
        COLORREF color = 0;
        if (!ParseHexColor(m_pHex->GetEditText(), color)) return 0;
        SetSpins(color);
        SetSelectColor(color);
        ApplyColor(color);
        return passOn();
    }
    return passOn();
}

// ---- CColorSelect ----

CColorSelect::CColorSelect(MObject* owner, UINT id, CRect rect, int visible)
    : MPanel(owner, id, rect, visible),
      m_pSwatches()
{}

CColorSelect::~CColorSelect() {}

void CColorSelect::InitControl(PaintManager* manager)
{
    MPanel::InitControl(manager);
    if (m_pSwatches[0]) return;
    const int L = m_rcControl.left, T = m_rcControl.top;
    for (int k = 0; k < 7; ++k) {
        m_pSwatches[k] = dynamic_cast<CColorButton*>(
            CreateControl(L"CColorButton", 631 + k,
                          CRect(L, T + 5 + 25 * k, L + 20, T + 25 + 25 * k), L"", 1, 1));
        if (!m_pSwatches[k]) continue;
        m_pSwatches[k]->SetColor(kSelectColors[k]);
        m_pSwatches[k]->SetGroupName(L"clr_palette_group");
        if (k == 6) m_pSwatches[k]->SetVisibleBorder(true);
    }
}

void CColorSelect::SetControlRect(CRect rect)
{
    m_rcControl = rect;
    for (int k = 0; k < 7; ++k)
        Move(m_pSwatches[k],
             CRect(rect.left, rect.top + 5 + 25 * k, rect.left + 20, rect.top + 25 + 25 * k));
    paint::Repaint(this, 1);
}

void CColorSelect::DrawControl(HDC& dc, CRect)
{
    if (!m_bUpdate || !m_hMemDC) {
        if (!paint::BeginFrames(this, dc, 1)) return;
    }
    paint::ShowFrame(this, dc, 0);
}

void CColorSelect::SetControlEnabled(int enabled)
{
    m_bEnabled = enabled;
    for (CColorButton* swatch : m_pSwatches)
        if (swatch && swatch->m_bEnabled != enabled) swatch->SetControlEnabled(enabled);
}

int CColorSelect::OnControlMouseMove(UINT, CPoint)
{
    return m_bEnabled;
}
int CColorSelect::OnControlLButtonDown(UINT, CPoint)
{
    return m_bEnabled;
}
int CColorSelect::OnControlLButtonUp(UINT, CPoint)
{
    return m_bEnabled;
}
int CColorSelect::OnControlScroll(int, UINT, CPoint)
{
    return 1;
}

void CColorSelect::SetColorIndex(int index)
{
    if (index >= 0 && index <= 6) {
        if (m_pSwatches[index]) m_pSwatches[index]->SetCheck(1);
    } else if (index == -1) {
        for (CColorButton* swatch : m_pSwatches)
            if (swatch) swatch->SetCheck(0);
    }
}

LONG CColorSelect::OnMessage(UINT sender, UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    if (code == 1 && sender >= 631 && sender <= 638) {
        for (int k = 0; k < 7; ++k) {
            if (!m_pSwatches[k] || !m_pSwatches[k]->GetCheck()) continue;
            const COLORREF color = m_pSwatches[k]->GetColor();
            if (color && m_pParent)
                m_pParent->OnBaseMessage(m_nID, 27, static_cast<UINT_PTR>(k),
                                         static_cast<LONG_PTR>(color));
            break;
        }
    }
    return m_pParent ? m_pParent->OnBaseMessage(sender, code, wparam, lparam) : 0;
}

}  // namespace WEXA
