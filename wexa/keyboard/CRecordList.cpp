#include "CRecordList.h"
#include "GlyphFaces.h"

#include <algorithm>
#include <cwchar>

#include "ControlRegistry.h"
#include "MRender.h"
#include "controls/ControlPaint.h"
#include "keyboard/ListEditor.h"
#include "keyboard/ListRows.h"

namespace WEXA {

WEXA_REGISTER_CONTROL(CRecordList, new CRecordList(a.owner, a.id, a.rect, a.visible));

namespace {

const COLORREF kEditBack = 0x0050533D;
const COLORREF kEditText = 0x00FFFFFF;
const int kMinDelay = 10, kMaxDelay = 65535;

// Icon frame pair of an event type: 4 mouse buttons, 0 wheel and moves, 2 keys.
int IconBase(int type, bool edited)
{
    if ((type >= 4 && type <= 7) || (edited && type == 12)) return 4;
    if (type >= 8 && type <= 11) return 0;
    return 2;
}

listedit::ListRows<RecordItem> RowsOf(CRecordList& l)
{
    return {l,          l.m_itemLock, l.m_items,      l.m_nHover,      l.m_nSelect,
            l.m_nFirst, l.m_nLast,    l.m_nRowOffset, l.m_pEditRecord, l.m_pEdit};
}

}  // namespace

CRecordList::CRecordList(MObject* owner, UINT id, CRect rect, int visible)
    : MPanel(owner, id, rect, visible),
      m_nItemHeight(36),
      m_fScale(1.0f),
      m_nHover(-1),
      m_nSelect(-1),
      m_nTimeStampSelect(0),
      m_nFirst(-1),
      m_nLast(-1),
      m_nRowOffset(0),
      m_pItemImage(nullptr),
      m_nItemFrameWidth(0),
      m_nItemFrameHeight(0),
      m_pMoreImage(nullptr),
      m_nMoreFrameWidth(0),
      m_nMoreFrameHeight(0),
      m_pIconImage(nullptr),
      m_nIconFrameWidth(0),
      m_nIconFrameHeight(0),
      m_pImageList(nullptr),
      m_pEdit(nullptr),
      m_pEditRecord(nullptr),
      m_pFormat(new Gdiplus::StringFormat())
{
    m_pFormat->SetAlignment(Gdiplus::StringAlignmentNear);
    m_pFormat->SetLineAlignment(Gdiplus::StringAlignmentCenter);
    m_pFormat->SetFormatFlags(0x1800);
    if (m_pScrollVertical) m_pScrollVertical->SetControlVisible(0);
}

CRecordList::~CRecordList()
{
    listedit::Destroy(m_pEdit);
    m_pEditRecord = nullptr;
    RowsOf(*this).DeleteAll();
    delete m_pMoreImage;
    delete m_pItemImage;
    delete m_pIconImage;
    delete m_pFormat;
}

// ---- images and layout ----

int CRecordList::SetImage(const wchar_t* skinFileName, int frames)
{
    if (!listedit::LoadStrip(skinFileName, frames, m_pIconImage, m_nIconFrameWidth,
                             m_nIconFrameHeight))
        return 0;
    listedit::Repaint(this);
    return 1;
}

int CRecordList::SetItemImage(const wchar_t* skinFileName, int frames)
{
    return listedit::LoadStrip(skinFileName, frames, m_pItemImage, m_nItemFrameWidth,
                               m_nItemFrameHeight);
}

int CRecordList::SetMoreImage(const wchar_t* skinFileName, int frames)
{
    return listedit::LoadStrip(skinFileName, frames, m_pMoreImage, m_nMoreFrameWidth,
                               m_nMoreFrameHeight);
}

int CRecordList::DrawWidth() const
{
    int w = m_rcControl.Width();
    if (m_pScrollVertical && m_pScrollVertical->m_bVisible) w -= m_nScrollThickness;
    return w;
}

void CRecordList::SetControlRect(CRect rect)
{
    m_rcControl = rect;
    PlaceScrollBars(m_rcControl, m_nScrollThickness);
    const int s = Scaled();
    m_rcMore = CRect(CPoint(rect.Width() - m_nMoreFrameWidth - 15, (s - m_nMoreFrameHeight) / 2),
                     CSize(m_nMoreFrameWidth, m_nMoreFrameHeight));
    m_rcIcon = CRect(CPoint(static_cast<int>(70 * m_fScale), (s - m_nIconFrameHeight) / 2),
                     CSize(m_nIconFrameWidth, m_nIconFrameHeight));
    UpdateScroll(false);
}

void CRecordList::UpdateScroll(bool toEnd)
{
    int count;
    {
        CAutoLock lock(m_itemLock);
        count = static_cast<int>(m_items.size());
    }
    FitScrollBar(m_pScrollVertical, count * m_nItemHeight, m_rcControl.Height());
    if (toEnd && m_pScrollVertical) m_pScrollVertical->SetScrollFinalPos();
}

LONG CRecordList::OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    if ((id == 1 || id == 2) && code == 8) listedit::Repaint(this);
    return m_pParent ? m_pParent->OnBaseMessage(id, code, wparam, lparam) : 0;
}

// ---- rows ----

int CRecordList::AddString(const wchar_t* text, int eventType, int keyCode, int timeStamp)
{
    RecordItem* item = new RecordItem;
    item->strText = text;
    item->nEventType = eventType;
    item->nKeyCode = keyCode;
    item->nTimeStamp = timeStamp;
    int last;
    {
        CAutoLock lock(m_itemLock);
        m_items.push_back(item);
        last = static_cast<int>(m_items.size()) - 1;
    }
    UpdateScroll(true);
    listedit::Repaint(this);
    return last;
}

int CRecordList::InsertString(int index, const wchar_t* text, int eventType, int keyCode,
                              int timeStamp)
{
    RecordItem* item = new RecordItem;
    item->strText = text;
    item->nEventType = eventType;
    item->nKeyCode = keyCode;
    item->nTimeStamp = timeStamp;
    int last;
    {
        CAutoLock lock(m_itemLock);
        if (index == -1 || m_items.empty() || index < 0 ||
            index >= static_cast<int>(m_items.size()))
            m_items.push_back(item);
        else
            m_items.insert(m_items.begin() + index, item);
        last = static_cast<int>(m_items.size()) - 1;
    }
    UpdateScroll(false);
    m_nTimeStampSelect = 0;
    listedit::Repaint(this);
    return last;
}

bool CRecordList::UpdateDelayTime(int timeStamp)
{
    {
        CAutoLock lock(m_itemLock);
        if (m_items.empty()) return false;
        m_items.back()->nTimeStamp = timeStamp;
    }
    listedit::Repaint(this);
    return true;
}

void CRecordList::UpdateTimeStamp(int eventType, int keyCode, int timeStamp)
{
    CAutoLock lock(m_itemLock);
    for (int i = static_cast<int>(m_items.size()) - 1; i >= 0; --i) {
        RecordItem* item = m_items[i];
        if (item->nKeyCode != keyCode) continue;
        if (item->nEventType == eventType) {
            item->nTimeStamp = timeStamp;
        } else if ((eventType == 3 && item->nEventType == 2) ||
                   (eventType == 5 && item->nEventType == 4)) {
            item->nTimeStamp = timeStamp;
            break;
        }
    }
}

int CRecordList::GetItemCount()
{
    return RowsOf(*this).Count();
}

int CRecordList::GetEventCount()
{
    CAutoLock lock(m_itemLock);
    int count = 0;
    for (const RecordItem* item : m_items)
        if (item->nEventType != 1) ++count;
    return count;
}

int CRecordList::SetCurSel(int index)
{
    return RowsOf(*this).Select(index);
}

void CRecordList::DropEdit()
{
    RowsOf(*this).DropEdit();
}

int CRecordList::DeleteItem(int index)
{
    {
        CAutoLock lock(m_itemLock);
        if (index < 0 || index >= static_cast<int>(m_items.size())) return 0;
    }
    DropEdit();
    {
        CAutoLock lock(m_itemLock);
        delete m_items[index];
        m_items.erase(m_items.begin() + index);
        m_nHover = m_nSelect = -1;
        m_nFirst = m_nLast = -1;
    }
    UpdateScroll(false);
    listedit::Repaint(this);
    return 1;
}

int CRecordList::DeleteAllItems()
{
    DropEdit();
    RowsOf(*this).DeleteAll();
    UpdateScroll(false);
    listedit::Repaint(this);
    return 1;
}

void CRecordList::DeleteTimeStamp(int timeStamp)
{
    bool any = false;
    {
        CAutoLock lock(m_itemLock);
        for (const RecordItem* item : m_items)
            if (item->nTimeStamp == timeStamp) any = true;
    }
    if (any) DropEdit();
    {
        CAutoLock lock(m_itemLock);
        for (int i = static_cast<int>(m_items.size()) - 1; i >= 0; --i)
            if (m_items[i]->nTimeStamp == timeStamp) {
                delete m_items[i];
                m_items.erase(m_items.begin() + i);
            }
        m_nHover = m_nSelect = -1;
        m_nFirst = m_nLast = -1;
    }
    UpdateScroll(false);
    listedit::Repaint(this);
}

void CRecordList::MoveTop(int index)
{
    CAutoLock lock(m_itemLock);
    if (index < 0 || index >= static_cast<int>(m_items.size())) return;
    RecordItem* item = m_items[index];
    m_items.erase(m_items.begin() + index);
    m_items.insert(m_items.begin(), item);
    m_nSelect = 0;
}

void CRecordList::MoveBottom(int index)
{
    CAutoLock lock(m_itemLock);
    if (index < 0 || index >= static_cast<int>(m_items.size())) return;
    RecordItem* item = m_items[index];
    m_items.erase(m_items.begin() + index);
    m_items.push_back(item);
    m_nSelect = static_cast<int>(m_items.size()) - 1;
}

void CRecordList::SwapItem(int first, int second)
{
    RowsOf(*this).Swap(first, second);
}

int CRecordList::GetRecrodTimeStamp(int index)
{
    CAutoLock lock(m_itemLock);
    if (index < 0 || index >= static_cast<int>(m_items.size())) return 0;
    return m_items[index]->nTimeStamp;
}

void CRecordList::SetTimeStampSelect(int timeStamp)
{
    m_nTimeStampSelect = timeStamp;
    listedit::Repaint(this);
}

void CRecordList::SetRecordInfo(int timeStamp, int eventType, const wchar_t* text, int keyCode)
{
    {
        CAutoLock lock(m_itemLock);
        for (RecordItem* item : m_items)
            if (item->nTimeStamp == timeStamp && item->nEventType == eventType) {
                item->strText = text;
                item->nKeyCode = keyCode;
            }
    }
    listedit::Repaint(this);
}

void CRecordList::SetRecordInfo(int index, const wchar_t* text, int eventType, int keyCode,
                                int timeStamp)
{
    {
        CAutoLock lock(m_itemLock);
        if (index < 0 || index >= static_cast<int>(m_items.size())) return;
        RecordItem* item = m_items[index];
        item->strText = text;
        item->nEventType = eventType;
        item->nKeyCode = keyCode;
        item->nTimeStamp = timeStamp;
    }
    listedit::Repaint(this);
}

void CRecordList::GetRecordInfo(int index, CString& text, int& eventType, int& keyCode,
                                int& timeStamp)
{
    CAutoLock lock(m_itemLock);
    if (index < 0 || index >= static_cast<int>(m_items.size())) return;
    const RecordItem* item = m_items[index];
    text = item->strText;
    eventType = item->nEventType;
    keyCode = item->nKeyCode;
    timeStamp = item->nTimeStamp;
}

std::vector<RecordItem*> CRecordList::GetRecordItems()
{
    CAutoLock lock(m_itemLock);
    return m_items;
}

int CRecordList::IndexOf(const RecordItem* item) const
{
    return RowsOf(const_cast<CRecordList&>(*this)).IndexOf(item);
}

int CRecordList::GetEditItem()
{
    CAutoLock lock(m_itemLock);
    return IndexOf(m_pEditRecord);
}

CRect CRecordList::RowWindowRect(const RecordItem* item) const
{
    return RowsOf(const_cast<CRecordList&>(*this)).WindowRect(item);
}

// ---- drawing ----

void CRecordList::DrawControl(HDC& dc, CRect)
{
    const int W = DrawWidth(), H = m_rcControl.Height(), h = m_nItemHeight, s = Scaled();
    if (W <= 0 || H <= 0 || h <= 0) return;
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
            paint::ControlFont font(this);
            Gdiplus::SolidBrush brush(m_clrText);
            auto text = [&](const wchar_t* t, int x, int y, int w) {
                if (!t || !*t || !font.get()) return;
                GlyphFaces::DrawString(
                    g, t, -1, font.get(),
                    Gdiplus::RectF(static_cast<Gdiplus::REAL>(x), static_cast<Gdiplus::REAL>(y),
                                   static_cast<Gdiplus::REAL>(w), static_cast<Gdiplus::REAL>(s)),
                    m_pFormat, &brush);
            };
            const int edited = IndexOf(m_pEditRecord);
            for (int i = m_nFirst; i >= 0 && i <= m_nLast && i < n; ++i) {
                RecordItem* item = m_items[i];
                const int k = i - m_nFirst, y = k * s;
                item->rcItem = {0, y, W, y + s};
                const bool isEdited = i == edited;
                const bool marked = i == m_nSelect || item->nTimeStamp == m_nTimeStampSelect;
                if (m_pItemImage && m_nItemFrameWidth > 0) {
                    const int frame = (isEdited || i == m_nSelect || i == m_nHover) ? 1 : 0;
                    g.DrawImage(m_pItemImage, Gdiplus::Rect(0, y, W, s - 1),
                                frame * m_nItemFrameWidth, 0, m_nItemFrameWidth, m_nItemFrameHeight,
                                Gdiplus::UnitPixel);
                }
                wchar_t number[16];
                swprintf(number, 16, L"%d", i);
                text(number, 15, y, 50);
                if (m_pIconImage && m_nIconFrameWidth > 0) {
                    const int frame = IconBase(item->nEventType, isEdited) + (marked ? 1 : 0);
                    g.DrawImage(m_pIconImage,
                                Gdiplus::Rect(m_rcIcon.left, y + m_rcIcon.top, m_rcIcon.Width(),
                                              m_rcIcon.Height()),
                                frame * m_nIconFrameWidth, 0, m_nIconFrameWidth, m_nIconFrameHeight,
                                Gdiplus::UnitPixel);
                }
                text(item->strText, 130, y, 90);
                if (!isEdited) {
                    swprintf(number, 16, L"%d", item->nTimeStamp);
                    text(number, 220, y, 100);
                }
                if (m_pMoreImage && m_nMoreFrameWidth > 0)
                    g.DrawImage(m_pMoreImage,
                                Gdiplus::Rect(m_rcMore.left, y + m_rcMore.top, m_rcMore.Width(),
                                              m_rcMore.Height()),
                                (marked ? 2 : 0) * m_nMoreFrameWidth, 0, m_nMoreFrameWidth,
                                m_nMoreFrameHeight, Gdiplus::UnitPixel);
            }
        }
    }
    ::BitBlt(dc, m_rcControl.left, m_rcControl.top, W, H, m_hMemDC, 0, m_nRowOffset, SRCCOPY);
}

// ---- pointer ----

int CRecordList::OnControlMouseMove(UINT, CPoint point)
{
    return RowsOf(*this).MouseMove(point);
}

int CRecordList::OnControlLButtonDown(UINT, CPoint point)
{
    if (!m_bEnabled) return 1;
    if (!m_rcControl.PtInRect(point)) return 1;
    const int before = m_nSelect;
    {
        CAutoLock lock(m_itemLock);
        m_nSelect = m_nHover < static_cast<int>(m_items.size()) ? m_nHover : -1;
        if (m_nSelect >= 0) m_nTimeStampSelect = m_items[m_nSelect]->nTimeStamp;
    }
    HideEdit(0);
    SendMessageW(1, static_cast<UINT_PTR>(m_nSelect), 0);
    if (m_nSelect != before) listedit::Repaint(this);
    return 1;
}

int CRecordList::OnControlLButtonUp(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    if (!m_rcControl.PtInRect(point) || m_nHover < 0) return 0;
    const int before = m_nSelect;
    CRect row;
    {
        CAutoLock lock(m_itemLock);
        if (m_nHover >= static_cast<int>(m_items.size())) return 0;
        m_nSelect = m_nHover;
        row = RowWindowRect(m_items[m_nSelect]);
    }
    CRect more = m_rcMore;
    more.OffsetRect(row.left, row.top);
    SendMessageW(more.PtInRect(point) ? 9 : 2, 0, 0);
    if (m_nSelect != before) listedit::Repaint(this);
    return 0;
}

int CRecordList::OnControlLButtonDblClk(UINT, CPoint point)
{
    if (!m_bEnabled || !m_rcControl.PtInRect(point)) return 0;
    if (!RowsOf(*this).PickHovered(point)) return 1;
    ShowEdit();
    listedit::Repaint(this);
    return 1;
}

int CRecordList::OnControlRButtonUp(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    const int before = m_nSelect;
    m_nSelect = m_nHover < GetItemCount() ? m_nHover : -1;
    if (m_rcControl.PtInRect(point) && m_nSelect >= 0)
        SendMessageW(5, static_cast<UINT_PTR>(m_nSelect), 0);
    if (m_nSelect != before) listedit::Repaint(this);
    return 1;
}

int CRecordList::OnControlScroll(int, UINT down, CPoint)
{
    return listedit::Wheel(this, m_pScrollVertical, down, GetItemCount() * m_nItemHeight,
                           m_rcControl.Height());
}

int CRecordList::SetControlFocus(int focus)
{
    return RowsOf(*this).Focus(focus, [this] { HideEdit(1); });
}

// ---- delay box ----

int CRecordList::ParseDelay(const wchar_t* text)
{
    long long value = 0;
    if (text) {
        while (*text == L' ' || *text == L'\t') ++text;
        bool negative = false;
        if (*text == L'+' || *text == L'-') negative = *text++ == L'-';
        for (; *text >= L'0' && *text <= L'9'; ++text) {
            value = value * 10 + (*text - L'0');
            if (value > kMaxDelay) {
                value = kMaxDelay + 1;  // enough to know it is too large
                break;
            }
        }
        if (negative) value = -value;
    }
    return static_cast<int>(std::min<long long>(std::max<long long>(value, kMinDelay), kMaxDelay));
}

void CRecordList::GetTextRect(CRect& rect)
{
    rect = CRect();
    CAutoLock lock(m_itemLock);
    const int edited = IndexOf(m_pEditRecord);
    if (edited < 0) return;
    const CRect row = RowWindowRect(m_items[edited]);
    const int fs = m_nFontWidth;
    const int top = row.top + (row.Height() - fs - 6) / 2;
    rect = CRect(row.left + 220, top, row.left + 320, top + fs + 6);
}

void CRecordList::ShowEdit()
{
    if (!m_bEnabled || m_nSelect < 0) return;
    int stamp;
    {
        CAutoLock lock(m_itemLock);
        if (m_nSelect >= static_cast<int>(m_items.size())) return;
        m_pEditRecord = m_items[m_nSelect];
        stamp = m_pEditRecord->nTimeStamp;
    }
    CRect box;
    GetTextRect(box);
    wchar_t text[16];
    swprintf(text, 16, L"%d", stamp);
    listedit::Open(this, m_pEdit, box, kEditBack, kEditText, 120, text);
    SendMessageW(30, 0, 0);
}

void CRecordList::HideEdit(int force)
{
    RowsOf(*this).CloseEdit(
        force, [this] { return ParseDelay(listedit::Text(m_pEdit)); },
        [](RecordItem& row, int delay) {
            if (row.nTimeStamp == delay) return false;
            row.nTimeStamp = delay;
            return true;
        });
}

void CRecordList::SetEditText(const wchar_t* text)
{
    if (m_pEdit && m_pEdit->GetSafeHwnd() && ::IsWindow(m_pEdit->GetSafeHwnd()))
        ::SetWindowTextW(m_pEdit->GetSafeHwnd(), text ? text : L"");
}

CString CRecordList::GetEditText()
{
    if (!listedit::IsShown(m_pEdit)) return CString();
    return listedit::Text(m_pEdit);
}

}  // namespace WEXA
