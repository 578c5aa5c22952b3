#include "ProfileList.h"
#include "GlyphFaces.h"

#include <algorithm>

#include "ControlRegistry.h"
#include "MRender.h"
#include "Manager.h"
#include "PaintManager.h"
#include "controls/ControlPaint.h"
#include "keyboard/ListEditor.h"

namespace WEXA {

WEXA_REGISTER_CONTROL(ProfileList, new ProfileList(a.owner, a.id, a.rect, a.visible, a.enabled));

namespace {

bool FileExists(const CString& path)
{
    const DWORD attributes = ::GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

ProfileList::ProfileList(MObject* owner, UINT id, CRect rect, int visible, int)
    : MPanel(owner, id, rect, visible),
      m_nHover(-1),
      m_nSelect(-1),
      m_nButtonHover(-1),
      m_pItemBkg(nullptr),
      m_nBkgWidth(0),
      m_nBkgHeight(0),
      m_nItemHeight(50),
      m_nFirst(-1),
      m_nLast(-1),
      m_nRowOffset(0),
      m_pEdit(nullptr),
      m_nEditItem(-1)
{}

ProfileList::~ProfileList()
{
    delete m_pItemBkg;
    m_pItemBkg = nullptr;
    listedit::Destroy(m_pEdit);
    CAutoLock lock(m_itemLock);
    for (PROFILEITEM_INFO* item : m_items) {
        delete item->pIcon;
        delete item;
    }
    m_items.clear();
}

void ProfileList::SetItemBkg(const wchar_t* skinFileName)
{
    if (!skinFileName || !*skinFileName) return;
    const CString path = GetSkinsPath() + skinFileName;
    if (!FileExists(path)) return;
    Gdiplus::Image* image = MRender::LoadImageFromFile(path);
    if (!image) return;
    delete m_pItemBkg;
    m_pItemBkg = image;
    m_nBkgWidth = static_cast<int>(image->GetWidth()) / 4;
    m_nBkgHeight = static_cast<int>(image->GetHeight());
}

void ProfileList::UpdateScroll(bool toEnd)
{
    int count;
    {
        CAutoLock lock(m_itemLock);
        count = static_cast<int>(m_items.size());
    }
    FitScrollBar(m_pScrollVertical, count * m_nItemHeight, m_rcControl.Height());
    if (toEnd && m_pScrollVertical) m_pScrollVertical->SetScrollFinalPos();
}

int ProfileList::AddItem(const wchar_t* name, int data, const wchar_t* iconFile)
{
    PROFILEITEM_INFO* item = new PROFILEITEM_INFO;
    item->strText = name;
    item->nData = data;
    if (iconFile && *iconFile) {
        const CString path = GetSkinsPath() + iconFile;
        if (FileExists(path)) {
            item->pIcon = MRender::LoadImageFromFile(path);
            if (item->pIcon) {
                item->nIconWidth = static_cast<int>(item->pIcon->GetWidth());
                item->nIconHeight = static_cast<int>(item->pIcon->GetHeight());
            }
        }
    }
    int index;
    {
        CAutoLock lock(m_itemLock);
        m_items.push_back(item);
        index = static_cast<int>(m_items.size()) - 1;
    }
    UpdateScroll(true);
    listedit::Repaint(this);
    return index;
}

void ProfileList::ClearList()
{
    {
        CAutoLock lock(m_itemLock);
        for (PROFILEITEM_INFO* item : m_items) {
            delete item->pIcon;
            delete item;
        }
        m_items.clear();
        m_nHover = m_nSelect = m_nButtonHover = -1;
        m_nFirst = m_nLast = -1;
        // An open rename box is left to the next loss of focus (this may run on
        // the program's worker, which must not call into the UI thread's window).
        m_nEditItem = -1;
        m_nRowOffset = 0;
    }
    UpdateScroll(true);
    listedit::Repaint(this);
}

void ProfileList::DeleteItem(int index)
{
    {
        CAutoLock lock(m_itemLock);
        if (index < 0 || index >= static_cast<int>(m_items.size())) return;
        delete m_items[index]->pIcon;
        delete m_items[index];
        m_items.erase(m_items.begin() + index);
        m_nHover = m_nSelect = m_nButtonHover = -1;
        m_nFirst = m_nLast = -1;
        m_nEditItem = -1;
    }
    // The rename box goes with the rows it stood over: left open, it showed
    // the deleted name over the row that moved up. Only the window's thread
    // touches the box; elsewhere the next loss of focus hides it.
    HWND host = m_pManager ? m_pManager->GetPaintWnd() : nullptr;
    if (host && ::GetWindowThreadProcessId(host, nullptr) == ::GetCurrentThreadId() &&
        listedit::IsShown(m_pEdit)) {
        m_bFocused = 0;
        listedit::Hide(m_pEdit);
    }
    UpdateScroll(false);
    listedit::Repaint(this);
}

int ProfileList::GetItemCount()
{
    CAutoLock lock(m_itemLock);
    return static_cast<int>(m_items.size());
}

int ProfileList::GetItemData(int index)
{
    CAutoLock lock(m_itemLock);
    if (index < 0 || index >= static_cast<int>(m_items.size())) return 0;
    return m_items[index]->nData;
}

CString ProfileList::GetItemText(int index)
{
    CAutoLock lock(m_itemLock);
    if (index < 0 || index >= static_cast<int>(m_items.size())) return CString();
    return m_items[index]->strText;
}

int ProfileList::SetItemText(int index, const wchar_t* text)
{
    CAutoLock lock(m_itemLock);
    if (index < 0 || index >= static_cast<int>(m_items.size())) return 0;
    m_items[index]->strText = text;
    return 1;
}

int ProfileList::GetCurData()
{
    CAutoLock lock(m_itemLock);
    if (m_nSelect < 0 || m_nSelect >= static_cast<int>(m_items.size())) return 0;
    return m_items[m_nSelect]->nData;
}

void ProfileList::GetCurValue(int& data, CString& text)
{
    CAutoLock lock(m_itemLock);
    if (m_nSelect < 0 || m_nSelect >= static_cast<int>(m_items.size())) return;
    data = m_items[m_nSelect]->nData;
    text = m_items[m_nSelect]->strText;
}

void ProfileList::SetCurData(int data)
{
    {
        CAutoLock lock(m_itemLock);
        for (size_t i = 0; i < m_items.size(); ++i)
            if (m_items[i]->nData == data) {
                m_nSelect = static_cast<int>(i);
                break;
            }
    }
    listedit::Repaint(this);
}

void ProfileList::SetSelectItem(int index)
{
    if (index == m_nSelect) return;
    m_nSelect = index;
    listedit::Repaint(this);
}

void ProfileList::SetScrollPos(int)
{
    if (m_pScrollVertical) {
        m_pScrollVertical->m_nPosition = 0;
        m_pScrollVertical->SetRange();
    }
    listedit::Repaint(this);
}

void ProfileList::SetControlRect(CRect rect)
{
    m_rcControl = rect;
    PlaceScrollBars(m_rcControl, m_nScrollThickness);
    UpdateScroll(false);
}

LONG ProfileList::OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    if ((id == 1 || id == 2) && code == 8) listedit::Repaint(this);
    return m_pParent ? m_pParent->OnBaseMessage(id, code, wparam, lparam) : 0;
}

CRect ProfileList::RowWindowRect(const PROFILEITEM_INFO* item) const
{
    CRect r(item->rcItem);
    r.OffsetRect(m_rcControl.left, m_rcControl.top - m_nRowOffset);
    return r;
}

// ---- drawing ----

void ProfileList::DrawControl(HDC& dc, CRect)
{
    const int W = DrawWidth(), H = m_rcControl.Height(), h = m_nItemHeight;
    if (W <= 0 || H <= 0) return;
    CAutoLock lock(m_itemLock);
    const int n = static_cast<int>(m_items.size());
    const listedit::RowWindow rows = listedit::Rows(n, h, H, m_pScrollVertical);
    if (!m_bUpdate || !m_hMemDC || m_nRowOffset != rows.rowOffset || m_nFirst != rows.first) {
        m_nFirst = rows.first;
        m_nLast = rows.last;
        m_nRowOffset = rows.rowOffset;
        UpdateMemDC(dc, W, rows.imageHeight);
        if (!m_hMemDC) return;
        RECT all = {0, 0, W, rows.imageHeight};
        ::FillRect(m_hMemDC, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        ::BitBlt(m_hMemDC, 0, m_nRowOffset, W, H, dc, m_rcControl.left, m_rcControl.top, SRCCOPY);
        if (n > 0) {
            Gdiplus::Graphics g(m_hMemDC);
            g.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
            g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
            paint::ControlFont font(this);
            Gdiplus::StringFormat format;
            format.SetAlignment(Gdiplus::StringAlignmentNear);
            format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
            format.SetFormatFlags(0x1800);
            Gdiplus::Pen separator(Gdiplus::Color(0xFFB4B4B4), 1.0f);
            Gdiplus::SolidBrush white(Gdiplus::Color(0xFFFFFFFF));
            Gdiplus::SolidBrush text(m_clrText);
            const int b = (h - 3) / 2;
            m_rcButton = CRect(W - 30, b - 10, W - 10, b + 10);
            for (int i = m_nFirst; i <= m_nLast && i < n; ++i) {
                PROFILEITEM_INFO* item = m_items[i];
                const int y = (i - m_nFirst) * h;
                item->rcItem = {0, y, W, y + h - 3};
                const bool edited = i == m_nEditItem;
                const bool selected = i == m_nSelect;
                const bool hovered = i == m_nHover;
                const CRect bkg(0, y, W - 5, y + h - 3);
                const int frame = (edited || selected) ? 2 : hovered ? 1 : -1;
                if (frame >= 0 && m_pItemBkg && m_nBkgWidth > 0)
                    MRender::DrawImageFrame(g, m_pItemBkg, bkg, frame * m_nBkgWidth, 0, m_nBkgWidth,
                                            m_nBkgHeight, 10);
                if (m_pImage && m_nFrameWidth > 0) {
                    const bool hot = (edited || selected || hovered) && m_nButtonHover == 0;
                    g.DrawImage(m_pImage,
                                Gdiplus::Rect(m_rcButton.left, y + m_rcButton.top,
                                              m_rcButton.Width(), m_rcButton.Height()),
                                (hot ? 1 : 0) * m_nFrameWidth, 0, m_nFrameWidth, m_nImageHeight,
                                Gdiplus::UnitPixel);
                }
                if (edited) continue;  // the rename box covers the rest
                g.DrawLine(&separator, 0, y + h - 3, W - 5, y + h - 3);
                if (!item->strText.IsEmpty() && font.get())
                    GlyphFaces::DrawString(g, item->strText, item->strText.GetLength(), font.get(),
                                           Gdiplus::RectF(5.0f, static_cast<Gdiplus::REAL>(y),
                                                          static_cast<Gdiplus::REAL>(W - 35),
                                                          static_cast<Gdiplus::REAL>(h - 3)),
                                           &format, selected ? &white : &text);
            }
        }
    }
    ::BitBlt(dc, m_rcControl.left, m_rcControl.top, W, H, m_hMemDC, 0, m_nRowOffset, SRCCOPY);
}

// ---- pointer ----

int ProfileList::OnControlMouseMove(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    const int before = m_nHover;
    if (m_rcControl.PtInRect(point)) {
        bool stays = false, changed = false;
        {
            CAutoLock lock(m_itemLock);
            if (m_nHover >= 0 && m_nHover < static_cast<int>(m_items.size())) {
                const CRect row = RowWindowRect(m_items[m_nHover]);
                if (row.PtInRect(point)) {
                    stays = true;
                    CRect button = m_rcButton;
                    button.OffsetRect(row.left, row.top);
                    const int hot = button.PtInRect(point) ? 0 : -1;
                    changed = hot != m_nButtonHover;
                    m_nButtonHover = hot;
                }
            }
        }
        if (stays) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
            if (changed) listedit::Repaint(this);
            return 0;
        }
        m_nHover = m_nButtonHover = -1;
        ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
        CAutoLock lock(m_itemLock);
        for (int i = m_nFirst; i >= 0 && i <= m_nLast && i < static_cast<int>(m_items.size()); ++i)
            if (RowWindowRect(m_items[i]).PtInRect(point)) {
                m_nHover = i;
                break;
            }
    } else {
        m_nHover = m_nButtonHover = -1;
        ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    }
    if (m_nHover != before) listedit::Repaint(this);
    return 1;
}

int ProfileList::OnControlLButtonDown(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    if (!m_rcControl.PtInRect(point)) return 1;
    if (m_nHover < 0) {
        HideEdit(1);
        return 1;
    }
    // A rename of another row is finished before this row's opens.
    if (m_nEditItem >= 0 && m_nEditItem != m_nHover) HideEdit(1);
    m_nSelect = m_nHover;
    listedit::Repaint(this);
    ShowEdit();
    return 1;
}

int ProfileList::OnControlLButtonUp(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    if (!m_rcControl.PtInRect(point)) return 1;
    CRect row, button;
    int select = -1;
    {
        // The row is taken and checked both ways under the row lock: another
        // thread may empty the list (ClearList resets the hover to -1).
        CAutoLock lock(m_itemLock);
        select = m_nHover;
        if (select < 0 || select >= static_cast<int>(m_items.size())) return 1;
        m_nSelect = select;
        row = RowWindowRect(m_items[select]);
    }
    if (!row.PtInRect(point)) return 1;
    button = m_rcButton;
    button.OffsetRect(row.left, row.top);
    SendMessageW(button.PtInRect(point) ? 9 : 2, 0, select);
    return 1;
}

int ProfileList::OnControlScroll(int, UINT down, CPoint)
{
    return listedit::Wheel(this, m_pScrollVertical, down, GetItemCount() * m_nItemHeight,
                           m_rcControl.Height());
}

int ProfileList::SetControlFocus(int focus)
{
    if (!m_bEnabled) return 0;
    if (focus) return 1;
    HideEdit(1);
    listedit::Repaint(this);
    return 1;
}

// ---- rename ----

void ProfileList::GetTextRect(CRect& rect)
{
    rect = CRect();
    CAutoLock lock(m_itemLock);
    if (m_nEditItem < 0 || m_nEditItem >= static_cast<int>(m_items.size())) return;
    CRect row = RowWindowRect(m_items[m_nEditItem]);
    const int fs = m_nFontWidth;
    int top, height;
    if (fs == 8) {
        top = row.top + (row.Height() - 12) / 2;
        height = 12;
    } else {
        top = row.top + (row.Height() - fs - 6) / 2;
        height = fs + 6;
    }
    rect = CRect(row.left + 5, top, row.right - 35, top + height);
}

void ProfileList::ShowEdit()
{
    if (!m_bEnabled) return;
    CString name;
    {
        CAutoLock lock(m_itemLock);
        const int select = m_nSelect;
        if (select < 0 || select >= static_cast<int>(m_items.size())) return;
        m_nEditItem = select;
        name = m_items[select]->strText;
    }
    CRect box;
    GetTextRect(box);
    listedit::Open(this, m_pEdit, box, 0x00E57749, 0x00FFFFFF, 120, name);
}

void ProfileList::HideEdit(int force)
{
    if (m_nEditItem == m_nSelect && !force) return;
    m_bFocused = 0;
    if (m_pEdit) {
        bool renamed = false;
        const int edited = m_nEditItem;
        if (edited >= 0) {
            const CString text = listedit::Text(m_pEdit);
            CAutoLock lock(m_itemLock);
            if (edited < static_cast<int>(m_items.size()) && text != m_items[edited]->strText) {
                m_items[edited]->strText = text;
                renamed = true;
            }
        }
        m_nEditItem = -1;
        if (renamed) {
            SendMessageW(29, 0, edited);
            listedit::Repaint(this);
        }
        listedit::Hide(m_pEdit);
    }
    m_nEditItem = -1;
}

}  // namespace WEXA
