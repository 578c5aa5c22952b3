#include "KeyFuncType.h"

#include "ControlRegistry.h"
#include "MRender.h"
#include "Manager.h"
#include "keyboard/PickerCommon.h"

namespace WEXA {

WEXA_REGISTER_CONTROL(KeyFuncType, new KeyFuncType(a.owner, a.id, a.rect, a.visible, a.enabled));

KeyFuncType::KeyFuncType(MObject* owner, UINT id, CRect rect, int visible, int)
    : MPanel(owner, id, rect, visible),
      m_nHover(-1),
      m_nSelected(-1),
      m_nItemWidth(80),
      m_nItemHeight(70),
      m_nSplitX(10),
      m_nSplitY(10),
      m_nAllHeight(0),
      m_nOffset(0)
{}

KeyFuncType::~KeyFuncType()
{
    CAutoLock lock(m_itemsLock);
    for (FUNCITEM_INFO* item : m_items) delete item;
    m_items.clear();
}

void KeyFuncType::AddItem(CString text, int data, CString icon)
{
    auto* item = new FUNCITEM_INFO;
    item->text = text;
    item->data = data;
    item->icon = picker::LoadSkinImage(icon, true, item->iconWidth, item->iconHeight);
    CAutoLock lock(m_itemsLock);
    m_items.push_back(item);
}

void KeyFuncType::ClearList()
{
    {
        CAutoLock lock(m_itemsLock);
        for (FUNCITEM_INFO* item : m_items) delete item;
        m_items.clear();
        m_nHover = m_nSelected = -1;
    }
    picker::Repaint(this);
}

void KeyFuncType::SetCurData(int data)
{
    {
        CAutoLock lock(m_itemsLock);
        for (size_t i = 0; i < m_items.size(); ++i)
            if (m_items[i]->data == data) {
                m_nSelected = static_cast<int>(i);
                break;
            }
    }
    picker::Repaint(this);
}

void KeyFuncType::SetSelectItem(int index)
{
    if (index == m_nSelected) return;
    m_nSelected = index;
    picker::Repaint(this);
}

int KeyFuncType::GetCurData()
{
    return GetItemData(m_nSelected);
}

int KeyFuncType::GetItemData(int index)
{
    CAutoLock lock(m_itemsLock);
    if (index < 0 || index >= static_cast<int>(m_items.size())) return 0;
    return m_items[static_cast<size_t>(index)]->data;
}

int KeyFuncType::SetItemText(int index, CString text)
{
    CAutoLock lock(m_itemsLock);
    if (index < 0 || index >= static_cast<int>(m_items.size())) return 0;
    m_items[static_cast<size_t>(index)]->text = text;
    return 1;
}

CString KeyFuncType::GetItemText(int index)
{
    CAutoLock lock(m_itemsLock);
    if (index < 0 || index >= static_cast<int>(m_items.size())) return CString();
    return m_items[static_cast<size_t>(index)]->text;
}

void KeyFuncType::SetItemImage(int index, CString icon)
{
    {
        CAutoLock lock(m_itemsLock);
        if (index < 0 || index >= static_cast<int>(m_items.size())) return;
        if (::GetFileAttributesW(GetSkinsPath() + icon) == INVALID_FILE_ATTRIBUTES) return;
        FUNCITEM_INFO* item = m_items[static_cast<size_t>(index)];
        delete item->icon;
        item->icon = picker::LoadSkinImage(icon, false, item->iconWidth, item->iconHeight);
    }
    picker::Repaint(this);
}

void KeyFuncType::SetWitdhAndHeight(int width, int height)
{
    m_nItemWidth = width;
    m_nItemHeight = height;
}

void KeyFuncType::SetItemSplit(int horizontal, int vertical)
{
    m_nSplitX = horizontal;
    m_nSplitY = vertical;
}

void KeyFuncType::SetAllItemHeight(int height)
{
    m_nAllHeight = height;
    picker::Repaint(this);
}

int KeyFuncType::GetItemCount()
{
    CAutoLock lock(m_itemsLock);
    return static_cast<int>(m_items.size());
}

CRect KeyFuncType::GetItemRect(int index)
{
    CAutoLock lock(m_itemsLock);
    if (index < 0 || index >= static_cast<int>(m_items.size())) return CRect();
    return CRect(m_items[static_cast<size_t>(index)]->rect);
}

void KeyFuncType::SetControlRect(CRect rect)
{
    m_rcControl = rect;
    picker::PlaceBars(this, rect, BAR_WIDTH, false);
    picker::UpdateVerticalBar(this, m_nAllHeight);
}

LONG KeyFuncType::OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    if ((id == 1 || id == 2) && code == 8) picker::Repaint(this);
    return m_pParent ? m_pParent->OnBaseMessage(id, code, wparam, lparam) : 0;
}

int KeyFuncType::OnControlScroll(int, UINT down, CPoint)
{
    if (picker::WheelBar(this, down == 1)) picker::Repaint(this);
    return 1;
}

int KeyFuncType::OnControlMouseMove(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    const int before = m_nHover;
    if (m_rcControl.PtInRect(point)) {
        CAutoLock lock(m_itemsLock);
        if (m_nHover >= 0 && m_nHover < static_cast<int>(m_items.size())) {
            RECT r = m_items[static_cast<size_t>(m_nHover)]->rect;
            ::OffsetRect(&r, m_rcControl.left, m_rcControl.top);
            if (::PtInRect(&r, point)) {
                SetCursorEx(L"hand");
                return 0;
            }
        }
        m_nHover = -1;
        for (size_t i = 0; i < m_items.size(); ++i) {
            RECT r = m_items[i]->rect;
            ::OffsetRect(&r, m_rcControl.left, m_rcControl.top);
            if (::PtInRect(&r, point)) {
                m_nHover = static_cast<int>(i);
                break;
            }
        }
    } else {
        m_nHover = -1;
        SetCursorEx(L"arrow");
    }
    if (m_nHover != before) picker::Repaint(this);
    return 1;
}

int KeyFuncType::OnControlLButtonDown(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    if (!m_rcControl.PtInRect(point) || m_nHover < 0) return 1;
    m_nSelected = m_nHover;
    picker::Repaint(this);
    return 1;
}

int KeyFuncType::OnControlLButtonUp(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    if (m_rcControl.PtInRect(point) && m_nHover >= 0)
        SendMessageW(2, 0, static_cast<LONG_PTR>(m_nSelected));
    return 1;
}

void KeyFuncType::DrawControl(HDC& dc, CRect)
{
    const bool barShown = m_pScrollVertical && m_pScrollVertical->m_bVisible;
    const int W = m_rcControl.Width() - (barShown ? BAR_WIDTH : 0), H = m_rcControl.Height();
    m_nOffset = picker::ScrollOffset(this, m_nAllHeight);
    // The picture has the content's rows only: nothing shows before the owner
    // sets a content height.
    const int rows = m_nAllHeight < H ? m_nAllHeight : H;
    if (W <= 0 || rows <= 0) return;
    if (!m_bUpdate || !m_hMemDC) {
        UpdateMemDC(dc, W, rows);
        if (!m_hMemDC) return;
        picker::CopyBackground(m_hMemDC, dc, m_rcControl, W, rows);
        ::SetBkMode(m_hMemDC, TRANSPARENT);
        Gdiplus::Graphics g(m_hMemDC);
        g.SetTextRenderingHint(m_textRenderingHint);
        g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
        Gdiplus::FontFamily* family = GetFontFamily(m_strFontFace);
        Gdiplus::Font* font =
            family ? new Gdiplus::Font(family, 12.0f, m_fontStyle, Gdiplus::UnitPixel) : nullptr;
        Gdiplus::StringFormat format;
        format.SetAlignment(Gdiplus::StringAlignmentCenter);
        format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
        format.SetFormatFlags(0x1800);
        Gdiplus::SolidBrush brush(m_clrText);
        const Gdiplus::ARGB normal = Manager::GetNormalColor().GetValue();
        const Gdiplus::ARGB down = Manager::GetDownColor().GetValue();
        CAutoLock lock(m_itemsLock);
        int x = 0, y = -m_nOffset;
        for (size_t i = 0; i < m_items.size(); ++i) {
            FUNCITEM_INFO* item = m_items[i];
            item->rect = {x, y, x + m_nItemWidth, y + m_nItemHeight};
            const int index = static_cast<int>(i);
            const bool lit = index == m_nSelected || index == m_nHover;
            MRender::DrawRoundRectange(
                g, static_cast<float>(x), static_cast<float>(y), static_cast<float>(m_nItemWidth),
                static_cast<float>(m_nItemHeight), 6.0f, lit ? down : normal, 1.0f, normal);
            if (item->icon)
                g.DrawImage(item->icon, x + (m_nItemWidth - item->iconWidth) / 2, y + 5,
                            item->iconWidth, item->iconHeight);
            if (font)
                g.DrawString(item->text, item->text.GetLength(), font,
                             Gdiplus::RectF(static_cast<Gdiplus::REAL>(x),
                                            static_cast<Gdiplus::REAL>(y + m_nItemHeight - 25),
                                            static_cast<Gdiplus::REAL>(m_nItemWidth), 20.0f),
                             &format, &brush);
            x += m_nSplitX + m_nItemWidth;
            if (x >= W - m_nItemWidth) {
                x = 0;
                y += m_nSplitY + m_nItemHeight;
            }
        }
        delete font;
    }
    ::BitBlt(dc, m_rcControl.left, m_rcControl.top, W, rows, m_hMemDC, 0, 0, SRCCOPY);
}

}  // namespace WEXA
