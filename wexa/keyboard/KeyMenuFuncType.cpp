#include "KeyMenuFuncType.h"
#include "GlyphFaces.h"

#include "ControlRegistry.h"
#include "MRender.h"
#include "Manager.h"

namespace WEXA {

WEXA_REGISTER_CONTROL(KeyMenuFuncType,
                      new KeyMenuFuncType(a.owner, a.id, a.rect, a.visible, a.enabled));

KeyMenuFuncType::KeyMenuFuncType(MObject* owner, UINT id, CRect rect, int visible, int)
    : MControlFont(owner, id, rect, L"", visible, 1, 1),
      m_nHover(-1),
      m_nSelected(-1),
      m_nRowHeight(ROW_HEIGHT)
{}

KeyMenuFuncType::~KeyMenuFuncType()
{
    CAutoLock lock(m_rowsLock);
    for (FUNCITEM_INFO* row : m_rows) {
        delete row;
    }
    m_rows.clear();
}

void KeyMenuFuncType::Repaint()
{
    if (m_bVisible && m_pParent) m_pParent->OnControlUpdate(m_rcControl, 1, this);
}

void KeyMenuFuncType::SetControlRect(CRect rect)
{
    m_rcControl = rect;
}

void KeyMenuFuncType::AddItem(CString text, CString secondText, int data, CString icon)
{
    auto* row = new FUNCITEM_INFO;
    row->text = text;
    row->secondText = secondText;
    row->data = data;
    if (!icon.IsEmpty()) {
        CString path = GetSkinsPath() + icon;
        if (::GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES) {
            Gdiplus::Image* image = MRender::LoadImageFromFile(path);
            if (image && image->GetLastStatus() == Gdiplus::Ok && image->GetWidth() > 0) {
                row->icon = image;
                row->iconWidth = static_cast<int>(image->GetWidth());
                row->iconHeight = static_cast<int>(image->GetHeight());
            } else {
                delete image;
            }
        }
    }
    CAutoLock lock(m_rowsLock);
    m_rows.push_back(row);
}

void KeyMenuFuncType::ClearList()
{
    {
        CAutoLock lock(m_rowsLock);
        for (FUNCITEM_INFO* row : m_rows) delete row;
        m_rows.clear();
        m_nHover = m_nSelected = -1;
    }
    Repaint();
}

int KeyMenuFuncType::GetItemCount()
{
    CAutoLock lock(m_rowsLock);
    return static_cast<int>(m_rows.size());
}

void KeyMenuFuncType::SetCurData(int data)
{
    {
        CAutoLock lock(m_rowsLock);
        for (size_t i = 0; i < m_rows.size(); ++i)
            if (m_rows[i]->data == data) {
                m_nSelected = static_cast<int>(i);
                break;
            }
    }
    Repaint();
}

void KeyMenuFuncType::SetSelectItem(int index)
{
    if (index == m_nSelected) return;
    m_nSelected = index;
    Repaint();
}

int KeyMenuFuncType::GetCurData()
{
    return GetItemData(m_nSelected);
}

int KeyMenuFuncType::GetItemData(int index)
{
    CAutoLock lock(m_rowsLock);
    if (index < 0 || index >= static_cast<int>(m_rows.size())) return 0;
    return m_rows[static_cast<size_t>(index)]->data;
}

int KeyMenuFuncType::SetItemText(int index, CString text)
{
    CAutoLock lock(m_rowsLock);
    if (index < 0 || index >= static_cast<int>(m_rows.size())) return 0;
    m_rows[static_cast<size_t>(index)]->text = text;
    return 1;
}

CString KeyMenuFuncType::GetItemText(int index)
{
    CAutoLock lock(m_rowsLock);
    if (index < 0 || index >= static_cast<int>(m_rows.size())) return CString();
    return m_rows[static_cast<size_t>(index)]->text;
}

int KeyMenuFuncType::HitRow(CPoint point)
{
    CAutoLock lock(m_rowsLock);
    for (size_t i = 0; i < m_rows.size(); ++i) {
        RECT r = m_rows[i]->rect;
        ::OffsetRect(&r, m_rcControl.left, m_rcControl.top);
        if (::PtInRect(&r, point)) return static_cast<int>(i);
    }
    return -1;
}

int KeyMenuFuncType::OnControlMouseMove(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    const int before = m_nHover;
    if (!m_rcControl.PtInRect(point)) {
        m_nHover = -1;
        SetCursorEx(L"arrow");
    } else {
        const int row = HitRow(point);
        // Still on the hovered row: nothing to redraw, and the move is left to others.
        if (before >= 0 && row == before) {
            SetCursorEx(L"hand");
            return 0;
        }
        m_nHover = row;
        if (m_nHover >= 0) SetCursorEx(L"hand");
    }
    if (m_nHover != before) Repaint();
    return 1;
}

int KeyMenuFuncType::OnControlLButtonDown(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    if (!m_rcControl.PtInRect(point) || m_nHover < 0) return 1;
    m_nSelected = m_nHover;
    Repaint();
    return 1;
}

int KeyMenuFuncType::OnControlLButtonUp(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    if (!m_rcControl.PtInRect(point)) return 1;
    const int row = HitRow(point);
    if (row < 0) return 1;
    m_nHover = row;
    SendMessageW(2, static_cast<UINT_PTR>(GetItemData(row)), 0);
    return 1;
}

void KeyMenuFuncType::DrawControl(HDC& dc, CRect)
{
    const int W = m_rcControl.Width(), H = m_rcControl.Height();
    if (W <= 0 || H <= 0) return;
    if (!m_bUpdate || !m_hMemDC) {
        UpdateMemDC(dc, W, H);
        if (!m_hMemDC) return;
        ::BitBlt(m_hMemDC, 0, 0, W, H, dc, m_rcControl.left, m_rcControl.top, SRCCOPY);
        ::SetBkMode(m_hMemDC, TRANSPARENT);
        Gdiplus::Graphics g(m_hMemDC);
        g.SetTextRenderingHint(m_textRenderingHint);
        g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
        Gdiplus::FontFamily* family = GetFontFamily(m_strFontFace);
        Gdiplus::Font* title =
            family ? new Gdiplus::Font(family, 16.0f, m_fontStyle, Gdiplus::UnitPixel) : nullptr;
        Gdiplus::Font* second =
            family ? new Gdiplus::Font(family, 14.0f, m_fontStyle, Gdiplus::UnitPixel) : nullptr;
        Gdiplus::StringFormat format;
        format.SetAlignment(Gdiplus::StringAlignmentNear);
        format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
        format.SetFormatFlags(0x1800);
        Gdiplus::SolidBrush brush(m_clrText);
        CAutoLock lock(m_rowsLock);
        int y = 0;
        for (size_t i = 0; i < m_rows.size(); ++i) {
            FUNCITEM_INFO* row = m_rows[i];
            row->rect = {0, y, W, y + m_nRowHeight};
            const int frame = static_cast<int>(i) == m_nSelected ? 2
                              : static_cast<int>(i) == m_nHover  ? 1
                                                                 : 0;
            if (m_pImage)
                g.DrawImage(m_pImage, Gdiplus::Rect(0, y, W, m_nRowHeight), frame * m_nFrameWidth,
                            0, m_nFrameWidth, m_nImageHeight, Gdiplus::UnitPixel);
            if (row->icon)
                g.DrawImage(row->icon, 30, y + (m_nRowHeight - row->iconHeight) / 2, row->iconWidth,
                            row->iconHeight);
            if (title)
                GlyphFaces::DrawString(
                    g, row->text, row->text.GetLength(), title,
                    Gdiplus::RectF(80.0f, static_cast<Gdiplus::REAL>(y + 10), 120.0f, 20.0f),
                    &format, &brush);
            if (second)
                GlyphFaces::DrawString(g, row->secondText, row->secondText.GetLength(), second,
                                       Gdiplus::RectF(80.0f, static_cast<Gdiplus::REAL>(y + 35),
                                                      static_cast<Gdiplus::REAL>(W - 80), 20.0f),
                                       &format, &brush);
            y += m_nRowHeight;
        }
        delete title;
        delete second;
    }
    ::BitBlt(dc, m_rcControl.left, m_rcControl.top, W, H, m_hMemDC, 0, 0, SRCCOPY);
}

}  // namespace WEXA
