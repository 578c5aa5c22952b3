#include "KeyFuncValue.h"

#include "ControlRegistry.h"
#include "PaintManager.h"
#include "keyboard/PickerCommon.h"

namespace WEXA {

WEXA_REGISTER_CONTROL(KeyFuncValue, new KeyFuncValue(a.owner, a.id, a.rect, a.visible, a.enabled));

KeyFuncValue::KeyFuncValue(MObject* owner, UINT id, CRect rect, int visible, int)
    : MPanel(owner, id, rect, visible),
      m_nHover(-1),
      m_nSelected(-1),
      m_nItemWidth(TILE_WIDTH),
      m_nItemHeight(TILE_HEIGHT),
      m_nAllHeight(200),
      m_nOffset(0)
{
    m_bDragDrop = 1;
}

KeyFuncValue::~KeyFuncValue()
{
    CAutoLock lock(m_itemsLock);
    for (FUNCITEM_INFO* item : m_items) delete item;
    m_items.clear();
}

void KeyFuncValue::AddItem(CString text, int data, CString icon)
{
    auto* item = new FUNCITEM_INFO;
    item->text = text;
    item->data = data;
    item->icon = picker::LoadSkinImage(icon, true, item->iconWidth, item->iconHeight);
    CAutoLock lock(m_itemsLock);
    m_items.push_back(item);
}

void KeyFuncValue::ClearList()
{
    {
        CAutoLock lock(m_itemsLock);
        for (FUNCITEM_INFO* item : m_items) delete item;
        m_items.clear();
        m_nHover = m_nSelected = -1;
    }
    picker::Repaint(this);
}

void KeyFuncValue::SetCurData(int data)
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

void KeyFuncValue::SetSelectItem(int index)
{
    if (index == m_nSelected) return;
    m_nSelected = index;
    picker::Repaint(this);
}

int KeyFuncValue::GetCurData()
{
    return GetItemData(m_nSelected);
}

int KeyFuncValue::GetItemData(int index)
{
    CAutoLock lock(m_itemsLock);
    if (index < 0 || index >= static_cast<int>(m_items.size())) return 0;
    return m_items[static_cast<size_t>(index)]->data;
}

void KeyFuncValue::GetCurValue(int& data, CString& text)
{
    CAutoLock lock(m_itemsLock);
    if (m_nSelected < 0 || m_nSelected >= static_cast<int>(m_items.size())) return;
    data = m_items[static_cast<size_t>(m_nSelected)]->data;
    text = m_items[static_cast<size_t>(m_nSelected)]->text;
}

int KeyFuncValue::SetItemText(int index, CString text)
{
    CAutoLock lock(m_itemsLock);
    if (index < 0 || index >= static_cast<int>(m_items.size())) return 0;
    m_items[static_cast<size_t>(index)]->text = text;
    return 1;
}

CString KeyFuncValue::GetItemText(int index)
{
    CAutoLock lock(m_itemsLock);
    if (index < 0 || index >= static_cast<int>(m_items.size())) return CString();
    return m_items[static_cast<size_t>(index)]->text;
}

int KeyFuncValue::GetItemCount()
{
    CAutoLock lock(m_itemsLock);
    return static_cast<int>(m_items.size());
}

CRect KeyFuncValue::GetItemRect(int index)
{
    CAutoLock lock(m_itemsLock);
    if (index < 0 || index >= static_cast<int>(m_items.size())) return CRect();
    return CRect(m_items[static_cast<size_t>(index)]->rect);
}

void KeyFuncValue::SetAllHeight(int height)
{
    m_nAllHeight = height;
    picker::UpdateVerticalBar(this, m_nAllHeight);
}

void KeyFuncValue::SetControlRect(CRect rect)
{
    m_rcControl = rect;
    picker::PlaceBars(this, rect, BAR_WIDTH, false);
    picker::UpdateVerticalBar(this, m_nAllHeight);
    picker::Repaint(this);
}

int KeyFuncValue::IsDragDrop()
{
    return m_bDragDrop;
}

LONG KeyFuncValue::OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    if ((id == 1 || id == 2) && code == 8) picker::Repaint(this);
    return m_pParent ? m_pParent->OnBaseMessage(id, code, wparam, lparam) : 0;
}

int KeyFuncValue::OnControlScroll(int, UINT down, CPoint)
{
    if (m_nAllHeight <= m_rcControl.Height()) return 0;
    if (picker::WheelBar(this, down == 1)) picker::Repaint(this);
    return 1;
}

int KeyFuncValue::OnControlMouseMove(UINT, CPoint point)
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

int KeyFuncValue::OnControlLButtonDown(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    if (!m_rcControl.PtInRect(point) || m_nHover < 0) return 1;
    m_nSelected = m_nHover;
    picker::Repaint(this);
    return 1;
}

int KeyFuncValue::OnControlLButtonUp(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    if (m_rcControl.PtInRect(point) && m_nHover >= 0)
        SendMessageW(2, 0, static_cast<LONG_PTR>(m_nSelected));
    return 1;
}

HBITMAP KeyFuncValue::GetControlDropBitmap()
{
    if (!m_bEnabled || !m_pManager) return nullptr;
    CRect tile;
    {
        CAutoLock lock(m_itemsLock);
        if (m_nHover < 0 || m_nHover >= static_cast<int>(m_items.size())) return nullptr;
        m_nSelected = m_nHover;
        tile = CRect(m_items[static_cast<size_t>(m_nHover)]->rect);
    }
    tile.InflateRect(2, 2);
    return m_pManager->GetDropBitmap(this, tile, 0);
}

void KeyFuncValue::DrawControl(HDC& dc, CRect)
{
    const int W = m_rcControl.Width() - BAR_WIDTH, H = m_rcControl.Height();
    if (m_nAllHeight < H) m_nAllHeight = H;
    m_nOffset = picker::ScrollOffset(this, m_nAllHeight);
    if (W <= 0 || H <= 0) return;
    if (!m_bUpdate || !m_hMemDC) {
        UpdateMemDC(dc, W, H);
        if (!m_hMemDC) return;
        picker::CopyBackground(m_hMemDC, dc, m_rcControl, W, H);
        ::SetBkMode(m_hMemDC, TRANSPARENT);
        Gdiplus::Graphics g(m_hMemDC);
        g.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
        g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
        Gdiplus::FontFamily* family = GetFontFamily(m_strFontFace);
        Gdiplus::Font* font =
            family ? new Gdiplus::Font(family, 12.0f, m_fontStyle, Gdiplus::UnitPixel) : nullptr;
        Gdiplus::StringFormat format;
        format.SetAlignment(Gdiplus::StringAlignmentCenter);
        format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
        format.SetFormatFlags(0x1800);
        Gdiplus::SolidBrush plain(m_clrText);
        Gdiplus::SolidBrush white{Gdiplus::Color(0xFFFFFFFF)};
        CAutoLock lock(m_itemsLock);
        int x = 0, y = -m_nOffset;
        for (size_t i = 0; i < m_items.size(); ++i) {
            FUNCITEM_INFO* item = m_items[i];
            item->rect = {x, y, x + m_nItemWidth, y + m_nItemHeight};
            const int index = static_cast<int>(i);
            const int frame = index == m_nSelected ? 2 : index == m_nHover ? 1 : 0;
            picker::DrawFrame(g, m_pImage, m_nFrameWidth, m_nImageHeight, frame,
                              Gdiplus::Rect(x, y, m_nItemWidth, m_nItemHeight));
            if (item->icon)
                g.DrawImage(item->icon, x + (m_nItemWidth - item->iconWidth) / 2, y + 5,
                            item->iconWidth, item->iconHeight);
            if (font)
                g.DrawString(
                    item->text, item->text.GetLength(), font,
                    Gdiplus::RectF(static_cast<Gdiplus::REAL>(x), static_cast<Gdiplus::REAL>(y),
                                   static_cast<Gdiplus::REAL>(m_nItemWidth),
                                   static_cast<Gdiplus::REAL>(m_nItemHeight)),
                    &format, frame == 2 ? &white : &plain);
            x += m_nItemWidth + TILE_GAP;
            if (x >= W - m_nItemWidth) {
                x = 0;
                y += m_nItemHeight + TILE_GAP;
            }
        }
        delete font;
    }
    ::BitBlt(dc, m_rcControl.left, m_rcControl.top, W, H, m_hMemDC, 0, 0, SRCCOPY);
}

}  // namespace WEXA
