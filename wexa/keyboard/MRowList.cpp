#include "MRowList.h"

#include <algorithm>
#include <memory>

#include "MRender.h"
#include "PaintManager.h"
#include "controls/ControlPaint.h"
#include "keyboard/ListEditor.h"
#include "keyboard/ListRows.h"

namespace WEXA {

namespace {

listedit::ListRows<LISTITEM_INFO> RowsOf(MRowList& l)
{
    return {l,          l.m_itemLock, l.m_items,      l.m_nHover,   l.m_nSelect,
            l.m_nFirst, l.m_nLast,    l.m_nRowOffset, l.m_pEditRow, l.m_pEdit};
}

}  // namespace

MRowList::MRowList(MObject* owner, UINT id, CRect rect, int visible, int itemHeight,
                   Gdiplus::Color textColour, bool scrollToNew)
    : MPanel(owner, id, rect, visible),
      m_nItemHeight(itemHeight),
      m_nHover(-1),
      m_nSelect(-1),
      m_nFirst(-1),
      m_nLast(-1),
      m_nRowOffset(0),
      m_pStrip(nullptr),
      m_nStripWidth(0),
      m_nStripHeight(0),
      m_pEditImage(nullptr),
      m_nEditWidth(0),
      m_nEditHeight(0),
      m_bShowEdit(0),
      m_pImageList(nullptr),
      m_pEdit(nullptr),
      m_pEditRow(nullptr),
      m_pFormat(new Gdiplus::StringFormat()),
      m_bScrollToNew(scrollToNew)
{
    SetTextColor(textColour);
    m_pFormat->SetAlignment(Gdiplus::StringAlignmentNear);
    m_pFormat->SetLineAlignment(Gdiplus::StringAlignmentCenter);
    m_pFormat->SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap |
                              Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
    if (m_pScrollVertical) m_pScrollVertical->SetControlVisible(0);
}

MRowList::~MRowList()
{
    listedit::Destroy(m_pEdit);
    m_pEditRow = nullptr;
    delete m_pEditImage;
    delete m_pStrip;
    RowsOf(*this).DeleteAll();
    delete m_pFormat;
}

int MRowList::SetImage(const wchar_t* skinFileName, int frames)
{
    if (!listedit::LoadStrip(skinFileName, frames, m_pStrip, m_nStripWidth, m_nStripHeight))
        return 0;
    m_nFrameCount = std::max(frames, 1);
    listedit::Repaint(this);
    return 1;
}

int MRowList::SetEditImage(const wchar_t* skinFileName, int frames)
{
    if (!listedit::LoadStrip(skinFileName, frames, m_pEditImage, m_nEditWidth, m_nEditHeight))
        return 0;
    listedit::Repaint(this);
    return 1;
}

int MRowList::DrawWidth() const
{
    int w = m_rcControl.Width();
    if (m_pScrollVertical && m_pScrollVertical->m_bVisible) w -= m_nScrollThickness;
    return w;
}

int MRowList::PtInRect(CPoint point)
{
    if (!m_bVisible) return 0;
    CRect r = m_rcControl;
    r.right -= m_nScrollThickness;
    return r.PtInRect(point) ? 1 : 0;
}

void MRowList::UpdateScroll()
{
    FitScrollBar(m_pScrollVertical, GetItemCount() * m_nItemHeight, m_rcControl.Height());
}

void MRowList::SetControlRect(CRect rect)
{
    m_rcControl = rect;
    PlaceScrollBars(m_rcControl, m_nScrollThickness);
    UpdateScroll();
}

LONG MRowList::OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    if ((id == 1 || id == 2) && code == 8) listedit::Repaint(this);
    return m_pParent ? m_pParent->OnBaseMessage(id, code, wparam, lparam) : 0;
}

int MRowList::AddString(const wchar_t* text, int image)
{
    return InsertString(-1, text, image, 0);
}

int MRowList::AddString(const wchar_t* text, long data, int image)
{
    return InsertString(-1, text, image, data);
}

int MRowList::InsertString(int index, const wchar_t* text, int image, long data)
{
    const int count = GetItemCount();
    if (index < -1 || index > count - 1) return -1;
    LISTITEM_INFO* item = new LISTITEM_INFO;
    item->strText = text;
    item->nImage = image;
    item->lData = data;
    int last;
    {
        CAutoLock lock(m_itemLock);
        if (index == -1 || m_items.empty())
            m_items.push_back(item);
        else
            m_items.insert(m_items.begin() + index, item);
        last = static_cast<int>(m_items.size()) - 1;
    }
    UpdateScroll();
    if (m_bScrollToNew && m_pScrollVertical) m_pScrollVertical->SetScrollFinalPos();
    listedit::Repaint(this);
    return last;
}

int MRowList::SetItemData(int index, long data)
{
    CAutoLock lock(m_itemLock);
    if (index < 0 || index >= static_cast<int>(m_items.size())) return 0;
    m_items[index]->lData = data;
    return 1;
}

long MRowList::GetItemData(int index)
{
    CAutoLock lock(m_itemLock);
    if (index < 0 || index >= static_cast<int>(m_items.size())) return 0;
    return m_items[index]->lData;
}

int MRowList::ModifyItemString(int index, const wchar_t* text)
{
    CAutoLock lock(m_itemLock);
    if (index < 0 || index >= static_cast<int>(m_items.size())) return 0;
    m_items[index]->strText = text;
    return 1;
}

int MRowList::ModifyItemString(int index, const wchar_t* text, int repaint)
{
    const int done = ModifyItemString(index, text);
    if (done && repaint) listedit::Repaint(this);
    return done;
}

int MRowList::FindString(const wchar_t* text)
{
    if (!text) return -1;
    CAutoLock lock(m_itemLock);
    for (size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i]->strText == text) return static_cast<int>(i);
    return -1;
}

int MRowList::FindItemData(long data)
{
    CAutoLock lock(m_itemLock);
    for (size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i]->lData == data) return static_cast<int>(i);
    return -1;
}

int MRowList::GetItemCount()
{
    return RowsOf(*this).Count();
}

int MRowList::SetCurData(long data)
{
    const int index = FindItemData(data);
    if (index >= 0) SetCurSel(index);
    return index;
}

int MRowList::GetCurData()
{
    CAutoLock lock(m_itemLock);
    if (m_nSelect < 0 || m_nSelect >= static_cast<int>(m_items.size())) return 0;
    return static_cast<int>(m_items[m_nSelect]->lData);
}

int MRowList::SetCurSel(int index)
{
    return RowsOf(*this).Select(index);
}

void MRowList::DropEdit()
{
    RowsOf(*this).DropEdit();
}

int MRowList::DeleteItem(int index)
{
    if (index < 0 || index >= GetItemCount()) return 0;
    DropEdit();
    m_nHover = m_nSelect = -1;
    {
        CAutoLock lock(m_itemLock);
        delete m_items[index];
        m_items.erase(m_items.begin() + index);
    }
    UpdateScroll();
    m_nFirst = m_nLast = -1;
    listedit::Repaint(this);
    return 1;
}

int MRowList::DeleteAllItems()
{
    DropEdit();
    RowsOf(*this).DeleteAll();
    if (m_pScrollVertical) {
        m_pScrollVertical->SetControlVisible(0);
        m_pScrollVertical->SetScrollMaxRange(0);
    }
    listedit::Repaint(this);
    return 1;
}

CRect MRowList::GetItemRect(int)
{
    return CRect(0, 0, 0, 0);
}

CString MRowList::GetItemText(int index)
{
    CAutoLock lock(m_itemLock);
    if (index < 0 || index >= static_cast<int>(m_items.size())) return CString();
    return m_items[index]->strText;
}

void MRowList::SwapItem(int first, int second)
{
    RowsOf(*this).Swap(first, second);
}

int MRowList::IndexOf(const LISTITEM_INFO* item) const
{
    return RowsOf(const_cast<MRowList&>(*this)).IndexOf(item);
}

int MRowList::GetEditItem()
{
    CAutoLock lock(m_itemLock);
    return IndexOf(m_pEditRow);
}

CRect MRowList::RowWindowRect(const LISTITEM_INFO* item) const
{
    return RowsOf(const_cast<MRowList&>(*this)).WindowRect(item);
}

void MRowList::DrawControl(HDC& dc, CRect)
{
    const int w = DrawWidth(), H = m_rcControl.Height(), S = DrawPitch();
    if (w <= 0 || H <= 0 || m_nItemHeight <= 0) return;
    CAutoLock lock(m_itemLock);
    const int n = static_cast<int>(m_items.size());
    const listedit::RowWindow rows = listedit::Rows(n, m_nItemHeight, H, m_pScrollVertical);
    if (!m_bUpdate || !m_hMemDC || m_nRowOffset != rows.rowOffset || m_nFirst != rows.first) {
        m_nFirst = rows.first;
        m_nLast = rows.last;
        m_nRowOffset = rows.rowOffset;
        UpdateMemDC(dc, w, rows.imageHeight);
        if (!m_hMemDC) return;
        RECT all = {0, 0, w, rows.imageHeight};
        ::FillRect(m_hMemDC, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        HDC memDC = m_hMemDC;
        MRender::DrawVerticalTransition(
            memDC, dc, CRect(0, m_nRowOffset, w, m_nRowOffset + H),
            CRect(m_rcControl.left, m_rcControl.top, m_rcControl.left + w, m_rcControl.bottom), 0,
            0);
        if (n > 0 && m_nFirst >= 0) {
            Gdiplus::Graphics g(m_hMemDC);
            g.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
            paint::ControlFont font(this);
            const int edited = m_bShowEdit ? IndexOf(m_pEditRow) : -1;
            for (int i = m_nFirst; i <= m_nLast && i < n; ++i) {
                LISTITEM_INFO* item = m_items[i];
                const int y = (i - m_nFirst) * S;
                item->rcItem = CRect(0, y, w, y + S);
                DrawRow(g, font.get(), i, item, y, w, edited);
            }
        }
    }
    ::BitBlt(dc, m_rcControl.left, m_rcControl.top, w, H, m_hMemDC, 0, m_nRowOffset, SRCCOPY);
}

int MRowList::OnControlMouseMove(UINT, CPoint point)
{
    return RowsOf(*this).MouseMove(point);
}

int MRowList::OnControlLButtonDblClk(UINT, CPoint point)
{
    if (!m_bEnabled || !m_rcControl.PtInRect(point)) return 0;
    if (!RowsOf(*this).PickHovered(point)) return 1;
    OnRowDoubleClick(m_nSelect);
    ShowEdit();
    listedit::Repaint(this);
    return 1;
}

int MRowList::OnControlRButtonUp(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    const int before = m_nSelect;
    m_nSelect = m_nHover < GetItemCount() ? m_nHover : -1;
    if (m_rcControl.PtInRect(point)) SendMessageW(5, static_cast<UINT_PTR>(m_nSelect), 0);
    if (m_nSelect != before) listedit::Repaint(this);
    return 1;
}

int MRowList::OnControlScroll(int, UINT down, CPoint)
{
    return listedit::Wheel(this, m_pScrollVertical, down, GetItemCount() * m_nItemHeight,
                           m_rcControl.Height());
}

int MRowList::SetControlFocus(int focus)
{
    return RowsOf(*this).Focus(focus, [this] { HideEdit(1); });
}

HBITMAP MRowList::GetControlDropBitmap()
{
    if (!m_bEnabled || !m_pManager) return nullptr;
    CRect row;
    CString text;
    {
        CAutoLock lock(m_itemLock);
        if (m_nHover < 0 || m_nHover >= static_cast<int>(m_items.size())) return nullptr;
        m_nSelect = m_nHover;
        row = m_items[m_nHover]->rcItem;
        text = m_items[m_nHover]->strText;
    }
    int textWidth = 0;
    if (Gdiplus::FontFamily* family = GetFontFamily(m_strFontFace)) {
        Gdiplus::Font font(family, static_cast<Gdiplus::REAL>(m_nFontWidth + 2), m_fontStyle,
                           Gdiplus::UnitPixel);
        textWidth = MRender::GetTextBounds(&font, text).Width;
    } else {
        Gdiplus::Font font(L"Arial", static_cast<Gdiplus::REAL>(m_nFontWidth + 2), m_fontStyle,
                           Gdiplus::UnitPixel);
        textWidth = MRender::GetTextBounds(&font, text).Width;
    }
    const int width = std::min(textWidth + DragExtra() + 10, 300);
    return m_pManager->GetDropBitmap(this, CRect(row.left, row.top, row.left + width, row.bottom),
                                     0);
}

void MRowList::ShowEdit()
{
    if (!m_bShowEdit || !m_bEnabled || m_nSelect < 0) return;
    CString text;
    {
        CAutoLock lock(m_itemLock);
        if (m_nSelect >= static_cast<int>(m_items.size())) return;
        m_pEditRow = m_items[m_nSelect];
        text = m_pEditRow->strText;
    }
    CRect box;
    GetTextRect(box);
    OpenEditor(box, text);
}

void MRowList::HideEdit(int force)
{
    if (!m_bShowEdit) return;
    RowsOf(*this).CloseEdit(
        force, [this] { return listedit::Text(m_pEdit); },
        [](LISTITEM_INFO& row, const CString& text) {
            if (text == row.strText) return false;
            row.strText = text;
            return true;
        });
}

}  // namespace WEXA
