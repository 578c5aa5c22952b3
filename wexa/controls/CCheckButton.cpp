// Check boxes, radio buttons, key-layer buttons, select buttons and text check
// boxes: one set of state rules (the ...Rule templates below) with a kind per
// class.
#include "CCheckButton.h"

#include <type_traits>

#include "ControlRegistry.h"
#include "Manager.h"
#include "PaintManager.h"
#include "controls/ButtonPaint.h"
#include "controls/GroupReset.h"

namespace WEXA {

WEXA_REGISTER_CONTROL(CCheckButton,
                      new CCheckButton(a.owner, a.id, a.rect, a.title, a.visible, a.enabled));
WEXA_REGISTER_CONTROL(CRadioButton,
                      new CRadioButton(a.owner, a.id, a.rect, a.title, a.visible, a.enabled));
WEXA_REGISTER_CONTROL(KeyLayerButton,
                      new KeyLayerButton(a.owner, a.id, a.rect, a.title, a.visible, a.enabled));
WEXA_REGISTER_CONTROL(CSelectButton,
                      new CSelectButton(a.owner, a.id, a.rect, a.title, a.visible, a.enabled));
WEXA_REGISTER_CONTROL(TextCheckButton,
                      new TextCheckButton(a.owner, a.id, a.rect, a.title, a.visible, a.enabled));

using buttonpaint::Repaint;

namespace {

// Toggle: a click or Space flips the check state (check boxes).
// Radio:  a click or Space selects the button and clears its group.
// Select: as Radio with four looks; a selected button shows the pressed frame.
enum class Kind { Toggle, Radio, Select };

template <class T>
int Look(const T* b, int base, Kind kind)
{
    if (kind == Kind::Select) return b->m_nCheck ? 2 : base;
    return b->m_nCheck ? base + 4 : base;
}

template <class T>
int Changed(T* b, int old)
{
    if (b->m_nState == old) return 0;
    Repaint(b, 0);
    return 1;
}

template <class T>
void InitCheckFields(T* b, int frames)
{
    b->m_nState = 0;
    b->m_nCheck = 0;
    b->m_bPressing = 0;
    b->m_bKeyFlag = 0;
    b->m_bTabStop = 1;
    b->m_uVAlignment = DT_VCENTER;
    b->m_nFrameCount = frames;
}

template <class T>
int FocusRule(T* b, int focus)
{
    b->MControlFont::SetControlFocus(focus);
    if (!b->m_bVisible || !b->m_bEnabled) return 0;
    b->m_bKeyFlag = focus;
    Repaint(b, 1);
    return 1;
}

template <class T>
void EnableRule(T* b, int enabled, Kind kind)
{
    if (enabled == b->m_bEnabled) return;
    b->m_bEnabled = enabled;
    if (kind == Kind::Select)
        b->m_nState = enabled ? (b->m_nCheck ? 2 : 0) : 3;
    else
        b->m_nState = enabled ? Look(b, 0, kind) : Look(b, 3, kind);
    Repaint(b, 0);
}

template <class T>
int MoveRule(T* b, CPoint point, Kind kind)
{
    const int old = b->m_nState;
    if (b->m_bEnabled && !b->m_bPressing)
        b->m_nState = Look(b, b->m_rcControl.PtInRect(point) ? 1 : 0, kind);
    return Changed(b, old);
}

template <class T>
int PressRule(T* b, CPoint point, Kind kind)
{
    const int old = b->m_nState;
    if (b->m_bEnabled && b->m_rcControl.PtInRect(point)) {
        b->m_bPressing = 1;
        if (b->m_nCheck) {
            b->m_nState = kind == Kind::Select ? 2 : 6;
            b->m_bKeyFlag = 1;
        } else {
            b->m_nState = 2;
        }
    }
    return Changed(b, old);
}

template <class T, class Click>
int ReleaseRule(T* b, CPoint point, Kind kind, Click click)
{
    const int old = b->m_nState;
    if (b->m_bEnabled) {
        if (b->m_rcControl.PtInRect(point)) {
            if (b->m_bPressing) click();
            b->m_nState = Look(b, 1, kind);
        } else {
            b->m_nState = Look(b, 0, kind);
        }
    }
    b->m_bPressing = 0;
    return Changed(b, old);
}

// Space while the button holds the key flag.
template <class T>
bool IsActionKey(const T* b, UINT key, UINT modifiers)
{
    return b->m_bKeyFlag && key == VK_SPACE && modifiers == 0;
}

template <class T>
int SelectKeyRule(T* b, Kind kind)
{
    if (b->m_bEnabled) {
        const int oldCheck = b->m_nCheck;
        const int oldState = b->m_nState;
        b->m_nCheck = 1;
        b->m_nState = kind == Kind::Select ? 2 : 4;
        if (oldCheck != b->m_nCheck || oldState != b->m_nState) {
            b->ResetGroupCheck();
            Repaint(b, 0);
        }
    }
    b->SendMessageW(7, 0, b->m_nCheck);
    return 1;
}

template <class T>
int SetCheckRule(T* b, int check, Kind kind)
{
    if (!b->m_bEnabled) return b->m_nCheck;
    const bool changed = check != b->m_nCheck;
    b->m_nCheck = check;
    b->m_nState = check ? (kind == Kind::Select ? 2 : 4) : 0;
    if (changed) {
        if constexpr (!std::is_same<T, CCheckButton>::value &&
                      !std::is_same<T, TextCheckButton>::value)
            b->ResetGroupCheck();
        Repaint(b, 0);
    }
    return b->m_nCheck;
}

template <class T>
void SetControlCheckRule(T* b, int check, Kind kind)
{
    b->m_nCheck = check;
    b->m_nState = check ? (kind == Kind::Select ? 2 : 4) : 0;
    Repaint(b, 0);
}

template <class T>
int ResetRule(T* b, bool liveOnly)
{
    return groupreset::ResetGroup(b, liveOnly, [](T* other) {
        other->m_nCheck = 0;
        other->m_nState = 0;
        Repaint(other, 0);
    });
}

// Face changes take effect at the next paint; nothing is requested.
template <class T>
int TakeImage(T* b, ImgResInfo* info, int frames)
{
    if (!info) return 0;
    b->m_nFrameCount = frames;
    b->m_pImage = info->pImage;
    b->m_nFrameWidth = info->nWidth;
    b->m_nImageHeight = info->nHeight;
    b->m_bUpdate = 0;
    return 1;
}

template <class T>
int SetSkinImage(T* b, const wchar_t* file, int frames)
{
    if (!b->m_pManager || !file) return 0;
    frames = frames < 1 ? 1 : frames;
    return TakeImage(b, b->m_pManager->AddImgResInfo(file, frames), frames);
}

template <class T>
int SetResourceImage(T* b, UINT id, const CString& type, int frames)
{
    if (!b->m_pManager) return 0;
    frames = frames < 1 ? 1 : frames;
    return TakeImage(b, b->m_pManager->AddImgResInfo(id, type, frames, 1), frames);
}

// Face frame i at natural size at the frame's left edge, vertically centred.
void DrawBoxFace(Gdiplus::Graphics& g, MControlFont* b, int i, int w, int h)
{
    if (!b->m_pImage || b->m_nFrameWidth <= 0) return;
    const int fw = b->m_nFrameWidth;
    const int fh = b->m_nImageHeight;
    const int frame = i < b->m_nFrameCount ? i : 0;
    g.DrawImage(b->m_pImage, Gdiplus::Rect(i * w, (h - fh) / 2, fw, fh), frame * fw, 0, fw, fh,
                Gdiplus::UnitPixel);
}

// Renders frames looks with draw(g, i, w, h) and copies the look of state.
template <class Draw>
void RenderStrip(MControlFont* b, HDC& dc, int frames, int state, Draw draw)
{
    const int w = b->m_rcControl.Width();
    const int h = b->m_rcControl.Height();
    if (w <= 0 || h <= 0) return;
    if (buttonpaint::NeedsRender(b, frames)) {
        if (!buttonpaint::BeginStrip(b, dc, frames)) return;
        Gdiplus::Graphics g(b->m_hMemDC);
        for (int i = 0; i < frames; ++i) draw(g, i, w, h);
    }
    buttonpaint::CopyFrame(b, dc, state);
}

}  // namespace

// ---- CCheckButton ----

CCheckButton::CCheckButton(MObject* owner, UINT id, CRect rect, const wchar_t* title, int visible,
                           int enabled)
    : MControlFont(owner, id, rect, title, visible, enabled, 1)
{
    InitCheckFields(this, 8);
}

CCheckButton::~CCheckButton() = default;

int CCheckButton::SetControlFocus(int focus)
{
    return FocusRule(this, focus);
}

void CCheckButton::SetControlEnabled(int enabled)
{
    EnableRule(this, enabled, Kind::Toggle);
}

int CCheckButton::OnControlMouseMove(UINT, CPoint point)
{
    return MoveRule(this, point, Kind::Toggle);
}

int CCheckButton::OnControlLButtonDown(UINT, CPoint point)
{
    return PressRule(this, point, Kind::Toggle);
}

int CCheckButton::OnControlLButtonUp(UINT, CPoint point)
{
    return ReleaseRule(this, point, Kind::Toggle, [this] {
        m_nCheck = m_nCheck ? 0 : 1;
        SendMessageW(2, 0, 0);
    });
}

int CCheckButton::OnControlKeyDown(UINT key, UINT, UINT modifiers)
{
    if (!IsActionKey(this, key, modifiers)) return 0;
    SetCheck(m_nCheck ? 0 : 1);
    SendMessageW(7, 0, m_nCheck);
    return 1;
}

int CCheckButton::SetImage(UINT resourceId, CString resourceType, int frames)
{
    return SetResourceImage(this, resourceId, resourceType, frames);
}

int CCheckButton::SetImage(const wchar_t* skinFileName, int frames)
{
    return SetSkinImage(this, skinFileName, frames);
}

int CCheckButton::SetCheck(int check)
{
    return SetCheckRule(this, check, Kind::Toggle);
}

void CCheckButton::DrawControl(HDC& dc, CRect)
{
    RenderStrip(this, dc, 8, m_nState, [this](Gdiplus::Graphics& g, int i, int w, int h) {
        DrawBoxFace(g, this, i, w, h);
        const int fw = m_nFrameWidth;
        const float fh = static_cast<float>(m_nImageHeight);
        const Gdiplus::Color color = (i == 3 || i == 7) ? Gdiplus::Color(0xFE808080) : m_clrText;
        buttonpaint::DrawButtonText(
            g, this, m_strTitle,
            Gdiplus::RectF(static_cast<float>(i * w + fw + 8), (h - fh) / 2.0f,
                           static_cast<float>(w - fw - 8), fh),
            color, buttonpaint::TextAlign::Near, false);
    });
}

// ---- CRadioButton ----

CRadioButton::CRadioButton(MObject* owner, UINT id, CRect rect, const wchar_t* title, int visible,
                           int enabled)
    : MControlFont(owner, id, rect, title, visible, enabled, 1)
{
    InitCheckFields(this, 8);
}

CRadioButton::~CRadioButton() = default;

const wchar_t* CRadioButton::GetClassNameW() const
{
    return L"RadioButton";
}

int CRadioButton::SetControlFocus(int focus)
{
    return FocusRule(this, focus);
}

void CRadioButton::SetControlEnabled(int enabled)
{
    EnableRule(this, enabled, Kind::Radio);
}

int CRadioButton::OnControlMouseMove(UINT, CPoint point)
{
    return MoveRule(this, point, Kind::Radio);
}

int CRadioButton::OnControlLButtonDown(UINT, CPoint point)
{
    return PressRule(this, point, Kind::Radio);
}

int CRadioButton::OnControlLButtonUp(UINT, CPoint point)
{
    return ReleaseRule(this, point, Kind::Radio, [this] {
        m_nCheck = 1;
        ResetGroupCheck();
        SendMessageW(2, 0, 0);
    });
}

int CRadioButton::OnControlKeyDown(UINT key, UINT, UINT modifiers)
{
    if (!IsActionKey(this, key, modifiers)) return 0;
    return SelectKeyRule(this, Kind::Radio);
}

int CRadioButton::SetImage(UINT resourceId, CString resourceType, int frames)
{
    return SetResourceImage(this, resourceId, resourceType, frames);
}

int CRadioButton::SetImage(const wchar_t* skinFileName, int frames)
{
    return SetSkinImage(this, skinFileName, frames);
}

int CRadioButton::SetCheck(int check)
{
    return SetCheckRule(this, check, Kind::Radio);
}

void CRadioButton::SetControlCheck(int check)
{
    SetControlCheckRule(this, check, Kind::Radio);
}

int CRadioButton::ResetGroupCheck()
{
    return ResetRule(this, false);
}

void CRadioButton::DrawControl(HDC& dc, CRect)
{
    RenderStrip(this, dc, 8, m_nState, [this](Gdiplus::Graphics& g, int i, int w, int h) {
        DrawBoxFace(g, this, i, w, h);
        const int fw = m_nFrameWidth;
        const Gdiplus::Color color = (i == 3 || i == 7) ? Gdiplus::Color(0xFF808080) : m_clrText;
        buttonpaint::DrawButtonText(
            g, this, m_strTitle,
            Gdiplus::RectF(static_cast<float>(i * w + fw + 8), 0.0f, static_cast<float>(w - fw - 3),
                           static_cast<float>(h)),
            color, buttonpaint::TextAlign::Near, false);
    });
}

// ---- KeyLayerButton ----

KeyLayerButton::KeyLayerButton(MObject* owner, UINT id, CRect rect, const wchar_t* title,
                               int visible, int enabled)
    : MControlFont(owner, id, rect, title, visible, enabled, 1),
      m_strGroupName(L"KeyLayerButton")
{
    InitCheckFields(this, 8);
}

KeyLayerButton::~KeyLayerButton() = default;

const wchar_t* KeyLayerButton::GetClassNameW() const
{
    return L"KeyLayerButton";
}

int KeyLayerButton::SetControlFocus(int focus)
{
    return FocusRule(this, focus);
}

void KeyLayerButton::SetControlEnabled(int enabled)
{
    EnableRule(this, enabled, Kind::Radio);
}

int KeyLayerButton::OnControlMouseMove(UINT, CPoint point)
{
    return MoveRule(this, point, Kind::Radio);
}

int KeyLayerButton::OnControlLButtonDown(UINT, CPoint point)
{
    return PressRule(this, point, Kind::Radio);
}

int KeyLayerButton::OnControlLButtonUp(UINT, CPoint point)
{
    return ReleaseRule(this, point, Kind::Radio, [this] {
        m_nCheck = 1;
        ResetGroupCheck();
        SendMessageW(2, 0, 0);
    });
}

int KeyLayerButton::OnControlKeyDown(UINT key, UINT, UINT modifiers)
{
    if (!IsActionKey(this, key, modifiers)) return 0;
    return SelectKeyRule(this, Kind::Radio);
}

int KeyLayerButton::SetImage(UINT resourceId, CString resourceType, int frames)
{
    return SetResourceImage(this, resourceId, resourceType, frames);
}

int KeyLayerButton::SetImage(const wchar_t* skinFileName, int frames)
{
    return SetSkinImage(this, skinFileName, frames);
}

int KeyLayerButton::SetCheck(int check)
{
    return SetCheckRule(this, check, Kind::Radio);
}

void KeyLayerButton::SetControlCheck(int check)
{
    SetControlCheckRule(this, check, Kind::Radio);
}

int KeyLayerButton::ResetGroupCheck()
{
    return ResetRule(this, false);
}

void KeyLayerButton::DrawControl(HDC& dc, CRect)
{
    RenderStrip(this, dc, 8, m_nState, [this](Gdiplus::Graphics& g, int i, int w, int h) {
        Gdiplus::Color color(0xC8FFFFFF);
        if (i == 0)
            color = Gdiplus::Color(0xFFFFFFFF);
        else if (i == 4 || i == 5)
            color = Manager::m_select_color;
        buttonpaint::DrawButtonText(g, this, m_strTitle,
                                    Gdiplus::RectF(static_cast<float>(i * w), 0.0f,
                                                   static_cast<float>(w), static_cast<float>(h)),
                                    color, buttonpaint::TextAlign::Centre, false);
    });
}

// ---- CSelectButton ----

CSelectButton::CSelectButton(MObject* owner, UINT id, CRect rect, const wchar_t* title, int visible,
                             int enabled)
    : MControlFont(owner, id, rect, title, visible, enabled, 1)
{
    InitCheckFields(this, 4);
    SetTextColor(Gdiplus::Color(0xFEFFFFFF));
}

CSelectButton::~CSelectButton() = default;

const wchar_t* CSelectButton::GetClassNameW() const
{
    return L"CSelectButton";
}

int CSelectButton::SetControlFocus(int focus)
{
    return FocusRule(this, focus);
}

void CSelectButton::SetControlEnabled(int enabled)
{
    EnableRule(this, enabled, Kind::Select);
}

int CSelectButton::OnControlMouseMove(UINT, CPoint point)
{
    return MoveRule(this, point, Kind::Select);
}

int CSelectButton::OnControlLButtonDown(UINT, CPoint point)
{
    return PressRule(this, point, Kind::Select);
}

int CSelectButton::OnControlLButtonUp(UINT, CPoint point)
{
    return ReleaseRule(this, point, Kind::Select, [this] {
        m_nCheck = 1;
        ResetGroupCheck();
        SendMessageW(2, 0, 0);
    });
}

int CSelectButton::OnControlKeyDown(UINT key, UINT, UINT modifiers)
{
    if (!IsActionKey(this, key, modifiers)) return 0;
    return SelectKeyRule(this, Kind::Select);
}

int CSelectButton::SetImage(UINT resourceId, CString resourceType, int frames)
{
    return SetResourceImage(this, resourceId, resourceType, frames);
}

int CSelectButton::SetImage(const wchar_t* skinFileName, int frames)
{
    return SetSkinImage(this, skinFileName, frames);
}

int CSelectButton::SetCheck(int check)
{
    return SetCheckRule(this, check, Kind::Select);
}

void CSelectButton::SetControlCheck(int check)
{
    SetControlCheckRule(this, check, Kind::Select);
}

int CSelectButton::ResetGroupCheck()
{
    return ResetRule(this, true);
}

void CSelectButton::DrawControl(HDC& dc, CRect)
{
    RenderStrip(this, dc, 4, m_nState, [this](Gdiplus::Graphics& g, int i, int w, int h) {
        DrawBoxFace(g, this, i, w, h);
        buttonpaint::DrawButtonText(g, this, m_strTitle,
                                    Gdiplus::RectF(static_cast<float>(i * w), 0.0f,
                                                   static_cast<float>(w), static_cast<float>(h)),
                                    i == 3 ? Gdiplus::Color(0xFF808080) : m_clrText,
                                    buttonpaint::TextAlign::Centre, false);
    });
}

// ---- TextCheckButton ----

TextCheckButton::TextCheckButton(MObject* owner, UINT id, CRect rect, const wchar_t* title,
                                 int visible, int enabled)
    : MControlFont(owner, id, rect, title, visible, enabled, 1),
      m_clrHover(0xFEC95100),
      m_clrDown(0xFEC95100),
      m_clrDisabled(0xFE808080)
{
    InitCheckFields(this, 8);
    SetTextColor(Gdiplus::Color(0xFEFFFFFF));
}

TextCheckButton::~TextCheckButton() = default;

int TextCheckButton::SetControlFocus(int focus)
{
    return FocusRule(this, focus);
}

void TextCheckButton::SetControlEnabled(int enabled)
{
    EnableRule(this, enabled, Kind::Toggle);
}

int TextCheckButton::OnControlMouseMove(UINT, CPoint point)
{
    return MoveRule(this, point, Kind::Toggle);
}

int TextCheckButton::OnControlLButtonDown(UINT, CPoint point)
{
    return PressRule(this, point, Kind::Toggle);
}

int TextCheckButton::OnControlLButtonUp(UINT, CPoint point)
{
    return ReleaseRule(this, point, Kind::Toggle, [this] {
        m_nCheck = m_nCheck ? 0 : 1;
        SendMessageW(2, 0, 0);
    });
}

int TextCheckButton::OnControlKeyDown(UINT key, UINT, UINT modifiers)
{
    if (!IsActionKey(this, key, modifiers)) return 0;
    SetCheck(m_nCheck ? 0 : 1);
    SendMessageW(7, 0, m_nCheck);
    return 1;
}

int TextCheckButton::SetCheck(int check)
{
    return SetCheckRule(this, check, Kind::Toggle);
}

void TextCheckButton::SetTextButtonColor(Gdiplus::Color normal, Gdiplus::Color hover,
                                         Gdiplus::Color down, Gdiplus::Color disabled)
{
    SetTextColor(normal);
    m_clrHover = hover;
    m_clrDown = down;
    m_clrDisabled = disabled;
}

void TextCheckButton::DrawControl(HDC& dc, CRect)
{
    RenderStrip(this, dc, 8, m_nState, [this](Gdiplus::Graphics& g, int i, int w, int h) {
        DrawBoxFace(g, this, i, w, h);
        // normal, hover, down, disabled, then with the check: down, hover, normal, disabled
        const Gdiplus::Color colors[8] = {m_clrText, m_clrHover, m_clrDown, m_clrDisabled,
                                          m_clrDown, m_clrHover, m_clrText, m_clrDisabled};
        const float d = i == 2 ? 1.0f : 0.0f;
        buttonpaint::DrawButtonText(
            g, this, m_strTitle,
            Gdiplus::RectF(i * w + d, d, static_cast<float>(w), static_cast<float>(h)), colors[i],
            buttonpaint::TextAlign::Centre, false);
    });
}

}  // namespace WEXA
