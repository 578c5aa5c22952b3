#include "KeyFuncControl.h"

#include "ControlRegistry.h"
#include "Manager.h"
#include "PaintManager.h"
#include "keyboard/KeyFuncControlKeys.h"
#include "keyboard/PickerCommon.h"

namespace WEXA {

WEXA_REGISTER_CONTROL(KeyFuncControl, new KeyFuncControl(a.owner, a.id, a.rect, a.visible));

KeyFuncControl::KeyFuncControl(MObject* owner, UINT id, CRect rect, int visible)
    : MPanel(owner, id, rect, visible),
      m_nHover(-1),
      m_nPressed(-1),
      m_nChecked(-1)
{}

KeyFuncControl::~KeyFuncControl()
{
    CAutoLock lock(m_itemsLock);
    for (KEYFUNCITEM_INFO* item : m_items) delete item;
    m_items.clear();
}

void KeyFuncControl::InitControl(PaintManager* manager)
{
    MPanel::InitControl(manager);
    SetControlRect(m_rcControl);
}

void KeyFuncControl::AddKeyItem(CString label, int code, CRect rect, CString icon)
{
    auto* item = new KEYFUNCITEM_INFO;
    item->label = label;
    item->code = code;
    item->rect = rect;
    int width = 0, height = 0;
    item->icon = picker::LoadSkinImage(icon, false, width, height);
    m_items.push_back(item);
}

void KeyFuncControl::InitItemInfo()
{
    ClearItems();
    size_t count = 0;
    const keyfunccontrol::KeyEntry* keys = keyfunccontrol::Keys(count);
    for (size_t i = 0; i < count; ++i)
        AddKeyItem(keys[i].label, keys[i].code,
                   CRect(keys[i].left, keys[i].top, keys[i].right, keys[i].bottom), L"");
}

void KeyFuncControl::ClearItems()
{
    CAutoLock lock(m_itemsLock);
    for (KEYFUNCITEM_INFO* item : m_items) delete item;
    m_items.clear();
}

void KeyFuncControl::SetItemDesc(int code, CString text)
{
    CAutoLock lock(m_itemsLock);
    for (KEYFUNCITEM_INFO* item : m_items)
        if (item->code == code) {
            item->label = text;
            break;
        }
}

void KeyFuncControl::SetItemCheckByItemData(int code, int data1, int data2)
{
    m_nChecked = -1;
    if (code != 0) {
        CAutoLock lock(m_itemsLock);
        for (size_t i = 0; i < m_items.size(); ++i) {
            const KEYFUNCITEM_INFO* item = m_items[i];
            if (item->code == code && item->data1 == data1 && item->data2 == data2) {
                m_nChecked = static_cast<int>(i);
                break;
            }
        }
    }
    picker::Repaint(this);
}

bool KeyFuncControl::GetCurItemData(int&, int& code, int& data1, int& data2, CString& label)
{
    CAutoLock lock(m_itemsLock);
    if (!IsTile(m_nPressed)) return false;
    const KEYFUNCITEM_INFO* item = m_items[static_cast<size_t>(m_nPressed)];
    code = item->code;
    data1 = item->data1;
    data2 = item->data2;
    label = item->label;
    return true;
}

int KeyFuncControl::GetItemCount()
{
    CAutoLock lock(m_itemsLock);
    return static_cast<int>(m_items.size());
}

bool KeyFuncControl::GetItemInfo(int index, CString& label, int& code, CRect& rect)
{
    CAutoLock lock(m_itemsLock);
    if (!IsTile(index)) return false;
    const KEYFUNCITEM_INFO* item = m_items[static_cast<size_t>(index)];
    label = item->label;
    code = item->code;
    rect = CRect(item->rect);
    return true;
}

int KeyFuncControl::SetImage(const wchar_t* skinFileName, int frames)
{
    // Kept in the control's image slot (the window's cache owns it); not drawn.
    return MControlFont::SetImage(skinFileName, frames);
}

void KeyFuncControl::SetControlRect(CRect rect)
{
    m_rcControl = rect;
    PlaceScrollBars(rect, m_nScrollThickness, true);
}

LONG KeyFuncControl::OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    return m_pParent ? m_pParent->OnBaseMessage(id, code, wparam, lparam) : 0;
}

int KeyFuncControl::OnControlScroll(int, UINT, CPoint)
{
    return 1;
}

int KeyFuncControl::OnControlLButtonUp(UINT, CPoint)
{
    return 0;
}

int KeyFuncControl::OnControlMouseMove(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    const int before = m_nHover;
    const int dx = m_rcControl.left, dy = m_rcControl.top - GetVerticalOffset();
    if (!m_rcControl.PtInRect(point)) {
        SetCursorEx(L"arrow");
        if (m_pManager) {
            m_pManager->ClearTooltip();
            m_pManager->SetTooltipOwner(nullptr);
        }
        m_nHover = -1;
    } else {
        CString tip;
        CRect tipRect;
        bool stays = false;
        {
            CAutoLock lock(m_itemsLock);
            if (IsTile(m_nHover)) {
                const KEYFUNCITEM_INFO* item = m_items[static_cast<size_t>(m_nHover)];
                CRect r(item->rect);
                r.OffsetRect(dx, dy);
                if (r.PtInRect(point)) {
                    stays = true;
                    if (item->code >= 500 && !item->label.IsEmpty()) {
                        tip = item->label;
                        tipRect = r;
                    }
                }
            }
        }
        if (stays) {
            SetCursorEx(L"hand");
            if (!tip.IsEmpty()) SetTooltip(tip, tipRect);
            return 1;
        }
        if (m_nHover != -1) {
            SetCursorEx(L"arrow");
            ClearTooltip();
            m_nHover = -1;
        }
        CAutoLock lock(m_itemsLock);
        for (size_t i = 0; i < m_items.size(); ++i) {
            CRect r(m_items[i]->rect);
            r.OffsetRect(dx, dy);
            if (r.PtInRect(point)) {
                m_nHover = static_cast<int>(i);
                break;
            }
        }
    }
    if (m_nHover != before) picker::Repaint(this);
    return 0;
}

int KeyFuncControl::OnControlLButtonDown(UINT, CPoint point)
{
    if (!m_bEnabled) return 1;
    if (!m_rcControl.PtInRect(point)) return 1;
    {
        CAutoLock lock(m_itemsLock);
        m_nPressed = IsTile(m_nHover) ? m_nHover : -1;
    }
    SendMessageW(1, static_cast<UINT_PTR>(static_cast<INT_PTR>(m_nPressed)), 0);
    picker::Repaint(this);
    return 1;
}

void KeyFuncControl::DrawControl(HDC& dc, CRect)
{
    const int W = m_rcControl.Width(), H = m_rcControl.Height();
    if (W <= 0 || H <= 0) return;
    if (!m_bUpdate || !m_hMemDC) {
        UpdateMemDC(dc, W, H);
        if (!m_hMemDC) return;
        ::BitBlt(m_hMemDC, 0, 0, W, H, dc, m_rcControl.left, m_rcControl.top, SRCCOPY);
        Gdiplus::Graphics g(m_hMemDC);
        g.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
        g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
        Gdiplus::FontFamily* family = GetFontFamily(m_strFontFace);
        const Gdiplus::Color select = Manager::GetSelectColor();
        Gdiplus::SolidBrush checkedFill(select);
        Gdiplus::SolidBrush keyFill{Gdiplus::Color(kKeyFill)};
        Gdiplus::Pen grey(Gdiplus::Color(kKeyEdge), 1.0f);
        Gdiplus::Pen accent(select, 1.0f);
        CAutoLock lock(m_itemsLock);
        for (size_t i = 0; i < m_items.size(); ++i) {
            const KEYFUNCITEM_INFO* item = m_items[i];
            Gdiplus::Rect r(item->rect.left, item->rect.top, item->rect.right - item->rect.left,
                            item->rect.bottom - item->rect.top);
            const int index = static_cast<int>(i);
            g.FillRectangle(index == m_nChecked ? &checkedFill : &keyFill, r);
            g.DrawRectangle(&grey, r);
            if (index == m_nHover || index == m_nPressed) {
                g.DrawRectangle(&grey, r);
                r.Offset(1, 1);
                g.DrawRectangle(&accent, r);
            }
            if (item->icon)
                g.DrawImage(
                    item->icon,
                    Gdiplus::Rect(r.X + (r.Width - 20) / 2, r.Y + (r.Height - 20) / 2, 20, 20), 0,
                    0, 20, 20, Gdiplus::UnitPixel);
            else
                picker::DrawKeyLabel(
                    g, family, static_cast<float>(m_nFontWidth), Gdiplus::FontStyleRegular,
                    item->label,
                    Gdiplus::RectF(static_cast<Gdiplus::REAL>(r.X), static_cast<Gdiplus::REAL>(r.Y),
                                   static_cast<Gdiplus::REAL>(r.Width),
                                   static_cast<Gdiplus::REAL>(r.Height)),
                    m_clrText);
        }
    }
    ::BitBlt(dc, m_rcControl.left, m_rcControl.top, W, H, m_hMemDC, 0, 0, SRCCOPY);
}

}  // namespace WEXA
