#include "KeyboardCtrl.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "CKeyboardTips.h"
#include "ControlRegistry.h"
#include "MRender.h"
#include "Manager.h"
#include "PaintManager.h"

namespace WEXA {

WEXA_REGISTER_CONTROL(KeyboardCtrl, new KeyboardCtrl(a.owner, a.id, a.rect, a.visible));

namespace {

Gdiplus::ARGB Opaque(COLORREF c)
{
    return 0xFF000000u | (static_cast<Gdiplus::ARGB>(GetRValue(c)) << 16) |
           (static_cast<Gdiplus::ARGB>(GetGValue(c)) << 8) | GetBValue(c);
}

// Key labels: the control's face at 12 pixels.
std::unique_ptr<Gdiplus::Font> LabelFont(MControlFont* c)
{
    const Gdiplus::REAL size = 12.0f;
    if (Gdiplus::FontFamily* family = c->GetFontFamily(c->m_strFontFace))
        return std::unique_ptr<Gdiplus::Font>(
            new Gdiplus::Font(family, size, c->m_fontStyle, Gdiplus::UnitPixel));
    std::unique_ptr<Gdiplus::Font> font(
        new Gdiplus::Font(L"Arial", size, c->m_fontStyle, Gdiplus::UnitPixel));
    return font;
}

}  // namespace

KeyboardCtrl::KeyboardCtrl(MObject* owner, UINT id, CRect rect, int visible)
    : MPanel(owner, id, rect, visible),
      m_nCurKeyValue(0),
      m_bShowTips(false),
      m_nHover(-1),
      m_nPressed(-1),
      m_pKeyboardImage(nullptr),
      m_nMode(MODE_NONE),
      m_nOffsetX(6),
      m_nOffsetY(6),
      m_nPictureWidth(0),
      m_nPictureHeight(0),
      m_pStateImage{nullptr, nullptr, nullptr},
      m_nStateWidth{0, 0, 0},
      m_nStateHeight{0, 0, 0},
      m_bShowActuation(0),
      m_bFrameSelect(0),
      m_ptBandStart(0, 0),
      m_ptBandEnd(0, 0),
      m_bBandActive(0),
      m_crSelect(0x000000FF),
      m_keyboardColor(0xFFFFFFFF),
      m_pTextFormat(new Gdiplus::StringFormat()),
      m_pTips(nullptr)
{
    m_pTextFormat->SetAlignment(Gdiplus::StringAlignmentCenter);
    m_pTextFormat->SetLineAlignment(Gdiplus::StringAlignmentCenter);
}

KeyboardCtrl::~KeyboardCtrl()
{
    DestroyTips();
    ClearItem();
    for (Gdiplus::Image*& image : m_pStateImage) {
        delete image;
        image = nullptr;
    }
    {
        CAutoLock lock(m_keyLock);
        delete m_pKeyboardImage;
        m_pKeyboardImage = nullptr;
    }
    delete m_pTextFormat;
    m_pTextFormat = nullptr;
}

void KeyboardCtrl::DestroyTips()
{
    if (!m_pTips) return;
    HWND tips = m_pTips->GetSafeHwnd();
    if (tips && ::IsWindow(tips)) ::DestroyWindow(tips);
    delete m_pTips;
    m_pTips = nullptr;
}

void KeyboardCtrl::Repaint()
{
    if (m_bVisible && m_pParent) m_pParent->OnControlUpdate(m_rcControl, 1, this);
}

void KeyboardCtrl::InitControl(PaintManager* manager)
{
    MPanel::InitControl(manager);
    SetControlRect(m_rcControl);
}

void KeyboardCtrl::SetControlRect(CRect rect)
{
    m_rcControl = rect;
    if (!rect.IsRectEmpty() && m_nPictureWidth != 0 && m_nPictureHeight != 0) {
        m_nOffsetX = (rect.Width() - m_nPictureWidth) / 2;
        m_nOffsetY = 20;
    }
    Repaint();
}

LONG KeyboardCtrl::OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    return m_pParent ? m_pParent->OnBaseMessage(id, code, wparam, lparam) : 0;
}

int KeyboardCtrl::OnControlTimer()
{
    if (!m_bVisible) return 0;
    m_bRunning = 1;
    return 1;
}

int KeyboardCtrl::OnControlKeyDown(UINT key, UINT repeat, UINT flags)
{
    return MControl::OnControlKeyDown(key, repeat, flags);
}

// ---- picture ----

void KeyboardCtrl::SetKeyboardImage(const wchar_t* skinFileName)
{
    Gdiplus::Image* image = nullptr;
    if (skinFileName && *skinFileName)
        image = MRender::LoadImageFromFile(GetSkinsPath() + skinFileName);
    Gdiplus::Image* old = nullptr;
    {
        // The drawing holds the key lock while it draws the picture.
        CAutoLock lock(m_keyLock);
        old = m_pKeyboardImage;
        m_pKeyboardImage = image;
    }
    delete old;
}

void KeyboardCtrl::SetWidthAndHeight(int width, int height)
{
    m_nPictureWidth = width;
    m_nPictureHeight = height;
    if (!m_rcControl.IsRectEmpty()) {
        m_nOffsetX = 20;
        m_nOffsetY = 25;
    }
}

void KeyboardCtrl::SetKeyboardColor(COLORREF color)
{
    m_keyboardColor = Opaque(color);
}

void KeyboardCtrl::SetKeyboardCtrlMode(int mode)
{
    m_nMode = mode;
    Repaint();
}

CRect KeyboardCtrl::GetRealRect(CRect rect)
{
    rect.OffsetRect(m_nOffsetX, m_nOffsetY);
    return rect;
}

// ---- keys ----

int KeyboardCtrl::AddKeyItem(const wchar_t* name, const wchar_t* desc, int keyCode, CRect rect,
                             const wchar_t* iconFile, COLORREF color)
{
    KEY_INFO* key = new KEY_INFO;
    key->nKeyCode = keyCode;
    key->strName = name;
    key->strDesc = desc;
    key->rcKey = rect;
    key->crBkg = color;
    key->crKey = color;
    if (iconFile && *iconFile) {
        key->pIcon = MRender::LoadImageFromFile(GetSkinsPath() + iconFile);
        if (key->pIcon && key->pIcon->GetLastStatus() == Gdiplus::Ok) {
            key->nIconWidth = static_cast<int>(key->pIcon->GetWidth());
            key->nIconHeight = static_cast<int>(key->pIcon->GetHeight());
        }
    }
    CAutoLock lock(m_keyLock);
    key->nIndex = static_cast<int>(m_keys.size());
    m_keys.push_back(key);
    return static_cast<int>(m_keys.size()) - 1;
}

void KeyboardCtrl::ClearItem()
{
    CAutoLock lock(m_keyLock);
    for (KEY_INFO* key : m_keys) {
        delete key->pIcon;
        delete key;
    }
    m_keys.clear();
    m_nHover = -1;
    m_nPressed = -1;
}

std::vector<KEY_INFO*> KeyboardCtrl::GetKeyItems()
{
    return m_keys;
}

int KeyboardCtrl::GetKeyCount()
{
    CAutoLock lock(m_keyLock);
    return static_cast<int>(m_keys.size());
}

KEY_INFO* KeyboardCtrl::FindKey(int keyCode) const
{
    for (KEY_INFO* key : m_keys)
        if (key->nKeyCode == keyCode) return key;
    return nullptr;
}

void KeyboardCtrl::SetKeyItemInfo(int keyCode, const wchar_t* name, int value, const wchar_t* tip)
{
    CAutoLock lock(m_keyLock);
    if (KEY_INFO* key = FindKey(keyCode)) {
        key->strName = name;
        key->nValue = value;
        key->strTip1 = tip;
    }
}

void KeyboardCtrl::SetKeyDesc(int keyCode, const wchar_t* text)
{
    CAutoLock lock(m_keyLock);
    if (KEY_INFO* key = FindKey(keyCode)) {
        key->strName = text;
        key->strDesc = text;
    }
}

void KeyboardCtrl::SetKeyColor(int keyCode, COLORREF color)
{
    if (KEY_INFO* key = FindKey(keyCode)) key->crKey = color;
}

void KeyboardCtrl::SetKeyBkgColor(int keyCode, COLORREF color)
{
    if (KEY_INFO* key = FindKey(keyCode)) key->crBkg = color;
}

void KeyboardCtrl::SetKeyCheck(int keyCode, int check)
{
    CAutoLock lock(m_keyLock);
    if (KEY_INFO* key = FindKey(keyCode)) key->bCheck = check;
}

void KeyboardCtrl::SetTipKey(int keyCode, const wchar_t* text, const wchar_t* text5)
{
    CAutoLock lock(m_keyLock);
    if (KEY_INFO* key = FindKey(keyCode)) {
        key->strTip1 = text;
        key->strTip5 = text5;
    }
}

void KeyboardCtrl::ResetAllItemsColor(COLORREF color)
{
    {
        CAutoLock lock(m_keyLock);
        for (KEY_INFO* key : m_keys) key->crKey = color;
    }
    Repaint();
}

void KeyboardCtrl::SetLightModeColor(int mode, COLORREF color)
{
    if (mode != 0) return;
    {
        CAutoLock lock(m_keyLock);
        for (KEY_INFO* key : m_keys) {
            key->crBkg = color;
            key->crKey = color;
        }
    }
    Repaint();
}

void KeyboardCtrl::ResetAllItemCheck(int check)
{
    {
        CAutoLock lock(m_keyLock);
        for (KEY_INFO* key : m_keys) key->bCheck = check;
        m_nPressed = -1;
    }
    Repaint();
}

void KeyboardCtrl::ResetAllItemCheck()
{
    ResetAllItemCheck(0);
}

void KeyboardCtrl::ResetTipKey()
{
    CAutoLock lock(m_keyLock);
    for (KEY_INFO* key : m_keys) {
        key->strTip1.Empty();
        key->strTip5.Empty();
    }
}

int KeyboardCtrl::GetCheckItemCount()
{
    CAutoLock lock(m_keyLock);
    int count = 0;
    for (const KEY_INFO* key : m_keys)
        if (key->bCheck) ++count;
    return count;
}

void KeyboardCtrl::SetAllSelectColor(COLORREF color)
{
    m_crSelect = color;
    Repaint();
}

CRect KeyboardCtrl::DrawRect(const KEY_INFO* key) const
{
    CRect r(key->rcKey);
    r.OffsetRect(m_nOffsetX, m_nOffsetY);
    return r;
}

CRect KeyboardCtrl::HitRect(const KEY_INFO* key) const
{
    CRect r = DrawRect(key);
    r.OffsetRect(m_rcControl.left, m_rcControl.top);
    return r;
}

int KeyboardCtrl::FindKeyAt(CPoint point) const
{
    for (size_t i = 0; i < m_keys.size(); ++i)
        if (HitRect(m_keys[i]).PtInRect(point)) return static_cast<int>(i);
    return -1;
}

int KeyboardCtrl::GetKeyCodeByPoint(CPoint point)
{
    CAutoLock lock(m_keyLock);
    const int index = FindKeyAt(point);
    return index >= 0 ? m_keys[index]->nKeyCode : 0;
}

void KeyboardCtrl::LoadStateImage(int slot, const wchar_t* skinFileName, int frames)
{
    Gdiplus::Image* image = nullptr;
    if (skinFileName && *skinFileName)
        image = MRender::LoadImageFromFile(GetSkinsPath() + skinFileName);
    delete m_pStateImage[slot];
    m_pStateImage[slot] = image;
    m_nStateWidth[slot] = m_nStateHeight[slot] = 0;
    if (image && image->GetLastStatus() == Gdiplus::Ok) {
        m_nStateWidth[slot] = static_cast<int>(image->GetWidth()) / frames;
        m_nStateHeight[slot] = static_cast<int>(image->GetHeight());
    }
}

void KeyboardCtrl::SetKeyState1Image(const wchar_t* skinFileName)
{
    LoadStateImage(0, skinFileName, 3);
}

void KeyboardCtrl::SetKeyState2Image(const wchar_t* skinFileName)
{
    LoadStateImage(1, skinFileName, 3);
}

void KeyboardCtrl::SetKeyState3Image(const wchar_t* skinFileName)
{
    LoadStateImage(2, skinFileName, 2);
}

void KeyboardCtrl::SetShowActuation(int show)
{
    m_bShowActuation = show;
    Repaint();
}

// ---- drawing ----

void KeyboardCtrl::DrawControl(HDC& dc, CRect)
{
    const int w = m_rcControl.Width(), h = m_rcControl.Height();
    if (w <= 0 || h <= 0) return;
    if (!m_bUpdate || !m_hMemDC) {
        UpdateMemDC(dc, w, h);
        if (!m_hMemDC) return;
        ::BitBlt(m_hMemDC, 0, 0, w, h, dc, m_rcControl.left, m_rcControl.top, SRCCOPY);
        Gdiplus::Graphics g(m_hMemDC);
        g.SetTextRenderingHint(m_textRenderingHint);
        g.SetSmoothingMode(m_smoothingMode);
        // The picture and the records are drawn under the key lock: another
        // thread may swap the picture or refill the keys meanwhile.
        CAutoLock lock(m_keyLock);
        if (m_pKeyboardImage)
            g.DrawImage(m_pKeyboardImage, Gdiplus::Rect(0, 0, w, h), 0, 0,
                        static_cast<INT>(m_pKeyboardImage->GetWidth()),
                        static_cast<INT>(m_pKeyboardImage->GetHeight()), Gdiplus::UnitPixel);
        int width = w, height = h;
        switch (m_nMode) {
            case MODE_NONE: DrawNoneMode(g, width, height); break;
            case MODE_CUSTOM: DrawCustomMode(g, width, height); break;
            case MODE_LIGHT: DrawLightMode(g, w, h); break;
            case MODE_USER_LIGHT: DrawUserLightMode(g, w, h); break;
            default: break;
        }
    }
    ::BitBlt(dc, m_rcControl.left, m_rcControl.top, w, h, m_hMemDC, 0, 0, SRCCOPY);
}

void KeyboardCtrl::DrawKeyCaps(Gdiplus::Graphics& g, bool custom)
{
    std::unique_ptr<Gdiplus::Font> font = LabelFont(this);
    Gdiplus::SolidBrush text(m_clrText);
    Gdiplus::SolidBrush roundFill{Gdiplus::Color(0xFFF6F6F6)};
    Gdiplus::Pen roundEdge(Manager::m_select_color, 1.0f);
    CAutoLock lock(m_keyLock);
    for (size_t i = 0; i < m_keys.size(); ++i) {
        const KEY_INFO* key = m_keys[i];
        const CRect r = DrawRect(key);
        const bool marked = static_cast<int>(i) == m_nPressed || static_cast<int>(i) == m_nHover;
        const bool lit = custom && (marked || key->bCheck);
        if (key->nKeyCode == ROUND_KEY_CODE) {
            g.FillEllipse(&roundFill, r.left, r.top, r.Width(), r.Height());
            if (custom && marked) g.DrawEllipse(&roundEdge, r.left, r.top, r.Width(), r.Height());
        } else if (m_pImage && m_nFrameWidth > 0) {
            const int frame = lit ? 1 : 0;
            if (r.Width() <= 50)
                g.DrawImage(m_pImage, Gdiplus::Rect(r.left, r.top, r.Width(), r.Height()),
                            frame * m_nFrameWidth, 0, m_nFrameWidth, m_nImageHeight,
                            Gdiplus::UnitPixel);
            else
                MRender::DrawImageFrame(g, m_pImage, r, frame * m_nFrameWidth, 0, m_nFrameWidth,
                                        m_nImageHeight, 8);
        }
        const CString& label = custom ? key->strName : key->strDesc;
        if (!label.IsEmpty() && font)
            g.DrawString(label, label.GetLength(), font.get(),
                         Gdiplus::RectF(static_cast<Gdiplus::REAL>(r.left + 1),
                                        static_cast<Gdiplus::REAL>(r.top + 1),
                                        static_cast<Gdiplus::REAL>(r.Width()),
                                        static_cast<Gdiplus::REAL>(r.Height())),
                         m_pTextFormat, &text);
    }
}

void KeyboardCtrl::DrawNoneMode(Gdiplus::Graphics& g, int&, int&)
{
    DrawKeyCaps(g, false);
}

void KeyboardCtrl::DrawCustomMode(Gdiplus::Graphics& g, int&, int&)
{
    DrawKeyCaps(g, true);
}

void KeyboardCtrl::DrawLightMode(Gdiplus::Graphics& g, int, int)
{
    std::unique_ptr<Gdiplus::Font> font = LabelFont(this);
    Gdiplus::SolidBrush white{Gdiplus::Color(0xFFFFFFFF)};
    const Gdiplus::ARGB select = Manager::m_select_color.GetValue();
    CAutoLock lock(m_keyLock);
    for (const KEY_INFO* key : m_keys) {
        if (key->nKeyCode == ROUND_KEY_CODE) continue;
        const CRect r = DrawRect(key);
        const Gdiplus::ARGB fill = Opaque(key->crKey);
        const Gdiplus::ARGB edge = (m_bFrameSelect && key->bCheck) ? select : fill;
        MRender::DrawRoundRectange(g, static_cast<float>(r.left), static_cast<float>(r.top),
                                   static_cast<float>(r.Width()), static_cast<float>(r.Height()),
                                   12.0f, edge, 2.0f, TRUE, fill);
        if (!key->strDesc.IsEmpty() && font)
            g.DrawString(key->strDesc, key->strDesc.GetLength(), font.get(),
                         Gdiplus::RectF(static_cast<Gdiplus::REAL>(r.left + 1),
                                        static_cast<Gdiplus::REAL>(r.top + 1),
                                        static_cast<Gdiplus::REAL>(r.Width()),
                                        static_cast<Gdiplus::REAL>(r.Height())),
                         m_pTextFormat, &white);
    }
}

void KeyboardCtrl::DrawUserLightMode(Gdiplus::Graphics& g, int, int)
{
    CAutoLock lock(m_keyLock);
    for (const KEY_INFO* key : m_keys) {
        const CRect r = DrawRect(key);
        MRender::DrawRoundRectange(g, static_cast<float>(r.left), static_cast<float>(r.top),
                                   static_cast<float>(r.Width()), static_cast<float>(r.Height()),
                                   12.0f, Opaque(key->crKey), 2.0f, FALSE, 0);
    }
}

void KeyboardCtrl::DrawRoundRectange(Gdiplus::Graphics& g, int x, int y, int w, int h, int radius,
                                     Gdiplus::ARGB fill, int penWidth, Gdiplus::ARGB penColor)
{
    if (h < 12) h = 12;
    const int d = radius * 2;
    Gdiplus::GraphicsPath path;
    if (d > 0) {
        path.AddArc(x, y, d, d, 180, 90);
        path.AddArc(x + w - d, y, d, d, 270, 90);
        path.AddArc(x + w - d, y + h - d, d, d, 0, 90);
        path.AddArc(x, y + h - d, d, d, 90, 90);
        path.CloseFigure();
    } else {
        path.AddRectangle(Gdiplus::Rect(x, y, w, h));
    }
    Gdiplus::SolidBrush brush{Gdiplus::Color(fill)};
    g.FillPath(&brush, &path);
    if (penWidth != 0) {
        Gdiplus::Pen pen(Gdiplus::Color(penColor), static_cast<Gdiplus::REAL>(penWidth));
        g.DrawPath(&pen, &path);
    }
}

void KeyboardCtrl::CalFrameSelect()
{
    CRect band(std::min(m_ptBandStart.x, m_ptBandEnd.x), std::min(m_ptBandStart.y, m_ptBandEnd.y),
               std::max(m_ptBandStart.x, m_ptBandEnd.x), std::max(m_ptBandStart.y, m_ptBandEnd.y));
    if (band.Width() < 6 && band.Height() < 6) return;
    CAutoLock lock(m_keyLock);
    for (KEY_INFO* key : m_keys) {
        CRect hit = HitRect(key), meet;
        key->bCheck = meet.IntersectRect(&hit, &band) ? 1 : 0;
    }
}

// ---- pointer ----

int KeyboardCtrl::OnControlMouseMove(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    const int before = m_nHover;
    if (m_rcControl.PtInRect(point)) {
        if (m_nHover >= 0) {
            KEY_INFO* still = nullptr;
            CRect hit;
            {
                CAutoLock lock(m_keyLock);
                if (ValidIndex(m_nHover) && HitRect(m_keys[m_nHover]).PtInRect(point)) {
                    still = m_keys[m_nHover];
                    hit = HitRect(still);
                } else {
                    m_nHover = -1;
                }
            }
            if (still) {
                SetTips(still, hit, true);
                return 1;
            }
            SetTips(nullptr, CRect(), false);
        }
        CAutoLock lock(m_keyLock);
        m_nHover = FindKeyAt(point);
    } else {
        {
            CAutoLock lock(m_keyLock);
            m_nHover = -1;
        }
        SetTips(nullptr, CRect(), false);
    }
    if (m_nHover != before && !m_bRunning) {
        Repaint();
        return 1;
    }
    return 0;
}

void KeyboardCtrl::DragMove(CPoint point)
{
    if (!m_bEnabled) return;
    const int before = m_nHover;
    {
        CAutoLock lock(m_keyLock);
        if (!m_rcControl.PtInRect(point)) {
            m_nHover = -1;
        } else if (!(ValidIndex(m_nHover) && HitRect(m_keys[m_nHover]).PtInRect(point))) {
            m_nHover = FindKeyAt(point);
        }
    }
    if (m_nHover != before) Repaint();
}

int KeyboardCtrl::OnControlLButtonDown(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    if (m_bBandActive) {
        m_bBandActive = 0;
        Repaint();
    }
    if (m_bFrameSelect && !(::GetKeyState(VK_CONTROL) & 0x8000)) ResetAllItemCheck(0);
    const int before = m_nPressed;
    if (m_rcControl.PtInRect(point)) {
        m_nPressed = m_nHover;
        int code = 0;
        bool onKey = false;
        {
            CAutoLock lock(m_keyLock);
            if (ValidIndex(m_nPressed)) {
                KEY_INFO* key = m_keys[m_nPressed];
                onKey = true;
                code = key->nKeyCode;
                m_nCurKeyValue = code;
                if (m_bFrameSelect) {
                    key->bCheck = key->bCheck ? 0 : 1;
                    if (m_nMode == MODE_LIGHT)
                        key->crKey = key->crKey == m_crSelect ? 0 : m_crSelect;
                }
            } else {
                m_nPressed = -1;
            }
        }
        SendMessageW(1, static_cast<UINT_PTR>(onKey ? m_nPressed : -1), onKey ? code : 0);
    } else {
        m_ptBandStart = m_ptBandEnd = CPoint(0, 0);
        m_bBandActive = 0;
    }
    if (m_nPressed != before || m_bFrameSelect) Repaint();
    return 1;
}

int KeyboardCtrl::OnControlLButtonUp(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    if (m_bBandActive) {
        m_ptBandStart = m_ptBandEnd = CPoint(0, 0);
        m_bBandActive = 0;
        Repaint();
    }
    int index = -1;
    if (m_rcControl.PtInRect(point)) {
        index = m_nPressed;
        if (index == -1) m_nCurKeyValue = -1;
    }
    SendMessageW(2, static_cast<UINT_PTR>(index), 0);
    return 1;
}

int KeyboardCtrl::OnControlRButtonDown(UINT, CPoint point)
{
    if (!m_bEnabled || !m_bFrameSelect) return 0;
    if (m_rcControl.PtInRect(point)) {
        m_ptBandStart = point;
    } else {
        m_ptBandStart = m_ptBandEnd = CPoint(0, 0);
        m_bBandActive = 0;
    }
    return 1;
}

int KeyboardCtrl::OnControlRButtonUp(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    if (m_bBandActive) {
        m_ptBandStart = m_ptBandEnd = CPoint(0, 0);
        m_bBandActive = 0;
        Repaint();
    }
    const int before = m_nPressed;
    if (m_rcControl.PtInRect(point)) {
        int code = 0;
        {
            CAutoLock lock(m_keyLock);
            m_nPressed = ValidIndex(m_nHover) ? m_nHover : -1;
            if (m_nPressed >= 0) code = m_keys[m_nPressed]->nKeyCode;
        }
        m_nCurKeyValue = code;
        SendMessageW(5, static_cast<UINT_PTR>(m_nPressed), code);
    }
    if (m_nPressed != before) Repaint();
    return 1;
}

// ---- tips ----

void KeyboardCtrl::SetTips(KEY_INFO* key, CRect rect, bool show)
{
    if (!m_bShowTips) return;
    if (!m_pTips) {
        if (!m_pManager) return;
        m_pTips = new CKeyboardTips();
        m_pTips->Create(m_pManager->GetPaintWnd(), L"KeyboardTip Window", 0x96020080, 0, CRect(),
                        nullptr);
        m_pTips->LoadBKImage(CString(L"img_tip_bk.png"));
    }
    if (!show) {
        m_pTips->ShowWindow(SW_HIDE);
        return;
    }
    // The worker replaces or frees the records' texts: copy them under the
    // lock, and only while the record is still one of ours.
    CString text[4];
    bool found = false;
    {
        CAutoLock lock(m_keyLock);
        for (const KEY_INFO* k : m_keys) {
            if (k != key) continue;
            found = true;
            if (!k->strTip1.IsEmpty() || !k->strTip5.IsEmpty()) {
                text[0] = k->strTip1;
                text[1] = k->strTip2;
                text[2] = k->strTip3;
                text[3] = k->strTip4;
            } else {
                text[0] = text[1] = text[2] = text[3] = k->strDesc;
            }
            break;
        }
    }
    if (!found) {
        m_pTips->ShowWindow(SW_HIDE);
        return;
    }
    POINT anchor = {rect.left + rect.Width() / 2, rect.top};
    if (m_pManager) ::ClientToScreen(m_pManager->GetPaintWnd(), &anchor);
    m_pTips->SetAirBladderMsg(text[0], text[1], text[2], text[3], anchor);
    m_pTips->ShowWindow(SW_SHOW);
}

}  // namespace WEXA
