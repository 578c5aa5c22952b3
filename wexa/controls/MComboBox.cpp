#include "MComboBox.h"
#include "GlyphFaces.h"

#include <algorithm>
#include <vector>

#include "ControlRegistry.h"
#include "MRender.h"
#include "MScroll.h"
#include "Manager.h"
#include "PaintManager.h"
#include "controls/ControlPaint.h"

namespace WEXA {

WEXA_REGISTER_CONTROL(MComboBox, new MComboBox(a.owner, a.id, a.rect, a.visible, a.enabled));

namespace {
const int kRowHeight = 36;
const int kMaxShownRows = 5;
}  // namespace

MComboBox::MComboBox(MObject* owner, UINT id, CRect rect, int visible, int enabled)
    : MControlFont(owner, id, rect, L"", visible, enabled, 1),
      m_nSelect(-1),
      m_pDropDown(nullptr),
      m_nState(0),
      m_rcText(0, 0, 0, 0),
      m_nMarginLeft(4),
      m_nMarginTop(4),
      m_nMarginRight(35),
      m_nMarginBottom(4),
      m_nBackImageID(0),
      m_strBackImageType(L"PNG"),
      m_nScrollVID(0),
      m_nScrollHID(0),
      m_bOpen(false)
{
    m_nFrameCount = 4;
    ResetTextRect();
}

MComboBox::~MComboBox()
{
    ReleaseDropDown();
    CAutoLock lock(m_itemLock);
    for (COMBOITEM_INFO* item : m_items) delete item;
    m_items.clear();
}

void MComboBox::ReleaseDropDown()
{
    if (!m_pDropDown) return;
    // No close notification may reach the face from here on.
    m_pDropDown->SetParent(nullptr);
    if (IsWindow(m_pDropDown->GetSafeHwnd())) m_pDropDown->DestroyWindow();
    delete m_pDropDown;
    m_pDropDown = nullptr;
}

void MComboBox::Repaint(int erase)
{
    paint::Repaint(this, erase);
}

void MComboBox::ResetTextRect()
{
    if (m_rcControl.IsRectEmpty()) return;
    m_rcText = CRect(4, 2, m_rcControl.Width() - 30, m_rcControl.Height() - 2);
}

void MComboBox::SetControlRect(CRect rect)
{
    m_rcControl = rect;
    ResetTextRect();
}

int MComboBox::GetCount()
{
    CAutoLock lock(m_itemLock);
    return static_cast<int>(m_items.size());
}

int MComboBox::AddItem(const wchar_t* text, long data, const wchar_t* image, Gdiplus::Color color)
{
    return InsertItem(-1, text, data, image, color);
}

int MComboBox::InsertItem(int index, const wchar_t* text, long data, const wchar_t* image,
                          Gdiplus::Color color)
{
    CAutoLock lock(m_itemLock);
    const int count = static_cast<int>(m_items.size());
    if (index != -1 && (index < 0 || index >= count)) return -1;
    COMBOITEM_INFO* item = new COMBOITEM_INFO;
    item->strText = text ? text : L"";
    item->strImage = image ? image : L"";
    item->color = color.GetValue();
    item->nData = data;
    if (index == -1)
        m_items.push_back(item);
    else
        m_items.insert(m_items.begin() + index, item);
    return static_cast<int>(m_items.size()) - 1;
}

int MComboBox::SetItemData(int index, long data)
{
    CAutoLock lock(m_itemLock);
    if (index < 0 || index >= static_cast<int>(m_items.size())) return 0;
    m_items[index]->nData = data;
    return 1;
}

long MComboBox::GetItemData(int index)
{
    CAutoLock lock(m_itemLock);
    if (index < 0 || index >= static_cast<int>(m_items.size())) return 0;
    return m_items[index]->nData;
}

CString MComboBox::GetItemText(int index)
{
    CAutoLock lock(m_itemLock);
    if (index < 0 || index >= static_cast<int>(m_items.size())) return CString();
    return m_items[index]->strText;
}

int MComboBox::SetItemText(int index, CString text)
{
    CAutoLock lock(m_itemLock);
    if (index < 0 || index >= static_cast<int>(m_items.size())) return 0;
    if (m_items[index]->strText != text) {
        m_items[index]->strText = text;
        if (index == m_nSelect) m_strTitle = text;
        Repaint(1);
    }
    return 1;
}

int MComboBox::SetCurSel(int index)
{
    CAutoLock lock(m_itemLock);
    if (index == -1) {
        m_nSelect = -1;
        m_strTitle = L"";
    } else if (index >= 0 && index < static_cast<int>(m_items.size())) {
        m_nSelect = index;
        m_strTitle = m_items[index]->strText;
    } else {
        return 0;
    }
    Repaint(1);
    return 1;
}

int MComboBox::DeleteItem(int index)
{
    CAutoLock lock(m_itemLock);
    if (index < 0 || index >= static_cast<int>(m_items.size())) return 0;
    delete m_items[index];
    m_items.erase(m_items.begin() + index);
    return 1;
}

int MComboBox::DelAllItems()
{
    {
        CAutoLock lock(m_itemLock);
        m_nSelect = -1;
        m_strTitle = L"";
        for (COMBOITEM_INFO* item : m_items) delete item;
        m_items.clear();
    }
    Repaint(1);
    return 1;
}

long MComboBox::GetCurData()
{
    return GetItemData(m_nSelect);
}

int MComboBox::FindData(long data)
{
    CAutoLock lock(m_itemLock);
    for (size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i]->nData == data) return static_cast<int>(i);
    return -1;
}

int MComboBox::SelectData(long data)
{
    CAutoLock lock(m_itemLock);
    const int index = FindData(data);
    if (index < 0) return 0;
    SetCurSel(index);
    return 1;
}

int MComboBox::SetBackImage(const wchar_t* name)
{
    m_strBackImage = name ? name : L"";
    return 1;
}

int MComboBox::SetBackImage(UINT id, CString type)
{
    m_nBackImageID = id;
    m_strBackImageType = type;
    return 1;
}

void MComboBox::SetScrollResID(UINT vertical, UINT horizontal)
{
    m_nScrollVID = vertical;
    m_nScrollHID = horizontal;
}

int MComboBox::SetShowModeMID(int left, int top, int right, int bottom)
{
    m_nMarginLeft = left;
    m_nMarginTop = top;
    m_nMarginRight = right;
    m_nMarginBottom = bottom;
    Repaint(1);
    return 1;
}

CRect MComboBox::GetDropDownRect()
{
    POINT anchor = {m_rcControl.left - 3, m_rcControl.bottom + 2};
    if (m_pManager && m_pManager->GetPaintWnd()) ClientToScreen(m_pManager->GetPaintWnd(), &anchor);
    const int rows = std::min(GetCount(), kMaxShownRows);
    return CRect(anchor.x, anchor.y, anchor.x + m_rcControl.Width() + 6,
                 anchor.y + rows * kRowHeight + 12);
}

void MComboBox::OpenDropDown()
{
    const CRect rect = GetDropDownRect();
    ReleaseDropDown();
    CComboBoxWnd* popup = new CComboBoxWnd;
    popup->SetScrollResID(m_nScrollVID, m_nScrollHID);
    popup->SetParent(this);
    m_pDropDown = popup;
    HWND owner = m_pManager ? m_pManager->GetPaintWnd() : nullptr;
    popup->Create(owner, L"ComboWnd", 0x96020000, 0x80, rect, nullptr);
    if (!m_strBackImage.IsEmpty())
        popup->SetListBackImage(m_strBackImage);
    else if (m_nBackImageID)
        popup->SetListBackImage(m_nBackImageID, m_strBackImageType);
    // The rows are copied under the item lock; the drop-down's own list lock
    // is taken and its window shown only after the lock is given back.
    std::vector<COMBOITEM_INFO> rows;
    {
        CAutoLock lock(m_itemLock);
        rows.reserve(m_items.size());
        for (COMBOITEM_INFO* item : m_items) rows.push_back(*item);
    }
    for (const COMBOITEM_INFO& item : rows)
        popup->AddItem(item.strText, item.nData, item.strImage, Gdiplus::Color(item.color));
    popup->UpdateList();
    popup->SetTextColor(m_clrText);
    popup->ShowWindow(SW_SHOW);
    m_bOpen = true;
    Repaint(0);
}

LONG MComboBox::OnMessage(UINT sender, UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    if (code == 2 && sender == 9) {
        OpenDropDown();
    } else if (code == 2 && lparam == 19) {
        const int index = static_cast<int>(wparam);
        SetCurSel(index);
        if (m_pParent) m_pParent->OnBaseMessage(m_nID, 2, static_cast<UINT_PTR>(index), 0);
        m_bOpen = false;
        Repaint(0);
    } else if (code == 22) {
        m_bOpen = false;
        Repaint(0);
    }
    return 0;
}

void MComboBox::SetControlEnabled(int enabled)
{
    if (m_bEnabled == enabled) return;
    m_bEnabled = enabled;
    m_nState = enabled ? 0 : 3;
    Repaint(0);
}

int MComboBox::OnControlMouseMove(UINT, CPoint point)
{
    if (!m_bEnabled || m_nState == 2) return 0;
    const int state = m_rcControl.PtInRect(point) ? 1 : 0;
    if (state == m_nState) return 0;
    m_nState = state;
    Repaint(0);
    return 1;
}

int MComboBox::OnControlLButtonDown(UINT, CPoint point)
{
    if (!m_bEnabled || !m_rcControl.PtInRect(point)) return 0;
    if (m_nState == 2) return 0;
    m_nState = 2;
    m_bOpen = false;
    Repaint(0);
    return 1;
}

int MComboBox::OnControlLButtonUp(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    const bool inside = m_rcControl.PtInRect(point);
    const int state = inside ? 1 : 0;
    const bool changed = state != m_nState;
    m_nState = state;
    if (changed) Repaint(0);
    if (inside) OnMessage(9, 2, 0, 0);
    return changed ? 1 : 0;
}

int MComboBox::OnControlKeyDown(UINT, UINT, UINT)
{
    return 0;
}

void MComboBox::DrawControl(HDC& dc, CRect)
{
    const int w = m_rcControl.Width(), h = m_rcControl.Height();
    if (!m_bUpdate || !m_hMemDC) {
        if (!paint::BeginFrames(this, dc, 4)) return;
        Gdiplus::Graphics g(m_hMemDC);
        if (m_pImage && m_nFrameWidth > 0)
            for (int i = 0; i < 4; ++i)
                MRender::DrawImageFrameMID(g, m_pImage, CRect(i * w, 0, (i + 1) * w, h),
                                           i * m_nFrameWidth, 0, m_nFrameWidth, m_nImageHeight, 6,
                                           6, 36, 6);
        if (!m_strTitle.IsEmpty()) {
            paint::ControlFont font(this);
            g.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAliasGridFit);
            g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
            for (int j = 0; j < 4; ++j)
                paint::DrawText(
                    g, font.get(), m_strTitle,
                    Gdiplus::RectF(static_cast<float>(j * w + m_rcText.left), 0.0f,
                                   static_cast<float>(m_rcText.Width()), static_cast<float>(h)),
                    j == 3 ? 0xFF808080 : m_clrText.GetValue(), Gdiplus::StringAlignmentNear,
                    Gdiplus::StringAlignmentCenter);
        }
    }
    paint::ShowFrame(this, dc, m_bOpen ? 2 : m_nState);
}

// ---- CComboBoxWnd ----

CComboBoxWnd::CComboBoxWnd() : m_pList(nullptr)
{
    m_pm.SetBackColor(0xFBFBFB, 0xE57749);
}

CComboBoxWnd::~CComboBoxWnd() {}

void CComboBoxWnd::InitUI(CRect client)
{
    m_pm.SetLayeredWindow(1);
    MControl* list = m_pm.CreateControl(
        1, static_cast<MObject*>(this), L"CComboBoxList", 88,
        CRect(client.left + 3, client.top + 3, client.right - 3, client.bottom - 3), L"", 1, 1);
    m_pList = dynamic_cast<CComboBoxList*>(list);
}

void CComboBoxWnd::UISize(CRect) {}

LONG CComboBoxWnd::OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    if (id == 88 && code == 2) {
        SendMessageToParent(2, wparam, lparam);
        CloseWindow();
        return 1;
    }
    return 0;
}

int CComboBoxWnd::OnDestroy()
{
    SendMessageToParent(22, 0, 0);
    return 0;
}

int CComboBoxWnd::SetListBackImage(const wchar_t* skinFileName)
{
    m_pm.SetBackMode(BACK_MODE_FRAME, 6);
    return m_pm.LoadBKImage(skinFileName);
}

int CComboBoxWnd::SetListBackImage(UINT resourceId, CString resourceType)
{
    m_pm.SetBackMode(BACK_MODE_FRAME, 6);
    return m_pm.LoadBKImage(resourceId, resourceType);
}

int CComboBoxWnd::AddItem(const wchar_t* text, long data, const wchar_t* image,
                          Gdiplus::Color color)
{
    return m_pList ? m_pList->AddItem(text, data, image, color) : -1;
}

void CComboBoxWnd::UpdateList()
{
    if (m_pList) m_pList->UpdateControl(1, 0);
}

void CComboBoxWnd::SetTextColor(Gdiplus::Color color)
{
    if (m_pList) m_pList->SetTextColor(color);
}

// ---- CComboBoxList ----

CComboBoxList::CComboBoxList(MObject* owner, UINT id, CRect rect, int visible, int)
    : MPanel(owner, id, rect, visible),
      m_nHover(-1),
      m_nSelect(-1),
      m_nRowHeight(kRowHeight),
      m_nFirst(-1),
      m_nLast(-1),
      m_nFirstOffset(0),
      m_pFormat(new Gdiplus::StringFormat),
      m_clrItemText(0xFFFFFFFF),
      m_pItemTextBrush(new Gdiplus::SolidBrush(Gdiplus::Color(0xFFFFFFFF))),
      m_clrHighlight(Manager::GetSelectColor().GetValue()),
      m_pHighlightBrush(new Gdiplus::SolidBrush(Manager::GetSelectColor()))
{
    m_pFormat->SetAlignment(Gdiplus::StringAlignmentNear);
    m_pFormat->SetLineAlignment(Gdiplus::StringAlignmentCenter);
    m_pFormat->SetFormatFlags(0x1800);
}

CComboBoxList::~CComboBoxList()
{
    delete m_pFormat;
    delete m_pItemTextBrush;
    delete m_pHighlightBrush;
    CAutoLock lock(m_itemLock);
    for (COMBOITEM_INFO* item : m_items) delete item;
    m_items.clear();
}

void CComboBoxList::Repaint()
{
    paint::Repaint(this, 1);
}

int CComboBoxList::AddItem(const wchar_t* text, long data, const wchar_t* image,
                           Gdiplus::Color color)
{
    int count = 0;
    {
        CAutoLock lock(m_itemLock);
        COMBOITEM_INFO* item = new COMBOITEM_INFO;
        item->strText = text ? text : L"";
        item->strImage = image ? image : L"";
        item->color = color.GetValue();
        item->nData = data;
        m_items.push_back(item);
        count = static_cast<int>(m_items.size());
    }
    if (count > kMaxShownRows) UpdateBar();
    return count - 1;
}

int CComboBoxList::GetItemCount()
{
    CAutoLock lock(m_itemLock);
    return static_cast<int>(m_items.size());
}

int CComboBoxList::GetListHeight()
{
    return GetItemCount() * m_nRowHeight;
}

CRect CComboBoxList::GetItemRect(int index)
{
    CAutoLock lock(m_itemLock);
    if (index < 0 || index >= static_cast<int>(m_items.size())) return CRect(0, 0, 0, 0);
    return CRect(m_items[index]->rcItem);
}

int CComboBoxList::DelAllItems()
{
    {
        CAutoLock lock(m_itemLock);
        if (m_items.empty()) return 0;
        m_nHover = m_nSelect = -1;
        for (COMBOITEM_INFO* item : m_items) delete item;
        m_items.clear();
        m_strTitle = L"";
    }
    Repaint();
    return 0;
}

void CComboBoxList::SetTextColor(Gdiplus::Color color)
{
    m_clrItemText = color.GetValue();
    delete m_pItemTextBrush;
    m_pItemTextBrush = new Gdiplus::SolidBrush(color);
}

void CComboBoxList::UpdateBar()
{
    const int content = GetListHeight(), view = m_rcControl.Height();
    FitScrollBar(m_pScrollVertical, content, view);
    // The position runs over the whole list height while the rows move by
    // the hidden part only: a wheel row moves the bar by one list row's worth,
    // so that a few notches reach the last row (at 10 pixels a row it took
    // fifteen notches to bring three hidden rows in).
    const int hidden = content - view;
    if (m_pScrollVertical && hidden > 0)
        m_pScrollVertical->SetScrollSize(
            0, static_cast<int>((static_cast<long long>(m_nRowHeight) * content + hidden - 1) /
                                hidden));
}

void CComboBoxList::SetControlRect(CRect rect)
{
    if (rect == m_rcControl) return;
    m_rcControl = rect;
    {
        CAutoLock lock(m_childLock);
        for (MControl* bar : {static_cast<MControl*>(m_pScrollVertical),
                              static_cast<MControl*>(m_pScrollHorizontal)}) {
            if (!bar) continue;
            const CRect place =
                bar->m_nID == MScroll::VERTICAL_BAR_ID
                    ? CRect(rect.right - m_nScrollThickness, rect.top, rect.right, rect.bottom)
                    : CRect(rect.left, rect.bottom - m_nScrollThickness, rect.right, rect.bottom);
            CRect both;
            both.UnionRect(&bar->m_rcControl, &place);
            bar->SetControlRect(place);
            if (bar->m_bVisible) OnControlUpdate(both, 1, bar);
        }
    }
    UpdateBar();
}

void CComboBoxList::DrawControl(HDC& dc, CRect)
{
    const int H = m_rcControl.Height();
    int W = m_rcControl.Width();
    CScrollVertical* bar = m_pScrollVertical;
    if (bar && bar->m_bVisible) W -= m_nScrollThickness;
    if (W <= 0 || H <= 0) return;
    const int R = m_nRowHeight;
    CAutoLock lock(m_itemLock);
    const int n = static_cast<int>(m_items.size());
    int offset = 0;
    if (bar && bar->GetScrollMaxRange() > 0)
        offset = static_cast<int>(static_cast<long long>(n * R - H) * bar->GetScrollCurrentPos() /
                                  bar->GetScrollMaxRange());
    const int first = std::max(offset / R, 0);
    const int last = n > 0 ? std::clamp((offset + H) / R, 0, n - 1) : -1;
    if (first != m_nFirst || last != m_nLast || std::max(offset - first * R, 0) != m_nFirstOffset)
        m_bUpdate = 0;
    m_nFirst = first;
    m_nLast = last;
    m_nFirstOffset = std::max(offset - first * R, 0);
    const int imageHeight = std::max((last - first + 1) * R, H);
    if (!m_bUpdate || !m_hMemDC) {
        UpdateMemDC(dc, W, imageHeight);
        if (!m_hMemDC) return;
        RECT all = {0, 0, W, imageHeight};
        FillRect(m_hMemDC, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        ::BitBlt(m_hMemDC, 0, 0, W, H, dc, m_rcControl.left, m_rcControl.top, SRCCOPY);
        if (n > 0) {
            Gdiplus::Graphics g(m_hMemDC);
            g.SetTextRenderingHint(m_textRenderingHint);
            g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
            paint::ControlFont font(this);
            Gdiplus::SolidBrush white(Gdiplus::Color(0xFFFFFFFF));
            for (int k = first; k <= last; ++k) {
                COMBOITEM_INFO* item = m_items[k];
                const int y = (k - first) * R;
                const int top = m_rcControl.top + y - m_nFirstOffset;
                item->rcItem = {m_rcControl.left, top, m_rcControl.right - m_nScrollThickness,
                                top + R};
                const bool marked = k == m_nSelect || k == m_nHover;
                if (marked && m_pHighlightBrush)
                    g.FillRectangle(m_pHighlightBrush, 1, y + 3, W - 2, R - 6);
                if (item->strText.IsEmpty()) continue;
                GlyphFaces::DrawString(
                    g, item->strText, -1, font.get(),
                    Gdiplus::RectF(3.0f, static_cast<float>(y), static_cast<float>(W - 6),
                                   static_cast<float>(R)),
                    m_pFormat, marked ? &white : m_pItemTextBrush);
            }
        }
    }
    ::BitBlt(dc, m_rcControl.left, m_rcControl.top, W, H, m_hMemDC, 0, m_nFirstOffset, SRCCOPY);
}

int CComboBoxList::OnControlMouseMove(UINT, CPoint point)
{
    CAutoLock lock(m_itemLock);
    const int n = static_cast<int>(m_items.size());
    if (n == 0) return 0;
    const int old = m_nHover;
    if (!m_rcControl.PtInRect(point)) {
        m_nHover = -1;
    } else {
        if (m_nHover >= 0 && m_nHover < n && CRect(m_items[m_nHover]->rcItem).PtInRect(point))
            return 1;
        m_nHover = -1;
        for (int k = std::max(m_nFirst, 0); k <= m_nLast && k < n; ++k)
            if (CRect(m_items[k]->rcItem).PtInRect(point)) {
                m_nHover = k;
                break;
            }
    }
    if (m_nHover != old) Repaint();
    return 1;
}

int CComboBoxList::OnControlLButtonDown(UINT, CPoint)
{
    if (m_nHover != m_nSelect) {
        m_nSelect = m_nHover;
        Repaint();
    }
    return 1;
}

int CComboBoxList::OnControlLButtonUp(UINT, CPoint point)
{
    if (m_nSelect >= 0 && m_nSelect < GetItemCount() && m_rcControl.PtInRect(point))
        SendMessageW(2, static_cast<UINT_PTR>(m_nSelect), 19);
    return 1;
}

int CComboBoxList::OnControlScroll(int, UINT down, CPoint)
{
    const int n = GetItemCount();
    if (n * m_nRowHeight <= m_rcControl.Height() || !m_pScrollVertical) return 0;
    const int rows = n >= 13 ? 6 : 2;
    if (m_pScrollVertical->ScrollRow(down == 1 ? rows : -rows)) Repaint();
    return 1;
}

LONG CComboBoxList::OnMessage(UINT id, UINT code, UINT_PTR, LONG_PTR)
{
    if (id == MScroll::VERTICAL_BAR_ID && code == 8) Repaint();
    return 1;
}

// ---- CColorCombo ----

CColorCombo::CColorCombo(MObject* owner, UINT id, CRect rect, int visible, int enabled)
    : MControlFont(owner, id, rect, L"", visible, enabled, 1),
      m_clrArea(0xFEFFFF00),
      m_nState(enabled ? 0 : 3),
      m_bOpen(false)
{}

CColorCombo::~CColorCombo() {}

void CColorCombo::SetAreaColor(Gdiplus::Color color)
{
    m_clrArea = color.GetValue();
    paint::Repaint(this, 1);
}

int CColorCombo::SetImage(const wchar_t* skinFileName, int frames)
{
    if (!MControlFont::SetImage(skinFileName, frames)) return 0;
    paint::Repaint(this, 1);
    return 1;
}

void CColorCombo::SetControlRect(CRect rect)
{
    m_rcControl = rect;
}

void CColorCombo::SetControlEnabled(int enabled)
{
    if (m_bEnabled == enabled) return;
    m_bEnabled = enabled;
    m_nState = enabled ? 0 : 3;
    paint::Repaint(this, 0);
}

int CColorCombo::OnControlMouseMove(UINT, CPoint point)
{
    if (!m_bEnabled || m_nState == 2) return 0;
    const int state = m_rcControl.PtInRect(point) ? 1 : 0;
    if (state == m_nState) return 0;
    m_nState = state;
    paint::Repaint(this, 0);
    return 1;
}

int CColorCombo::OnControlLButtonDown(UINT, CPoint point)
{
    if (!m_bEnabled || !m_rcControl.PtInRect(point)) return 0;
    const int changed = m_nState != 2;
    m_nState = 2;
    if (changed) paint::Repaint(this, 0);
    SendMessageW(1, 0, 0);
    return changed;
}

int CColorCombo::OnControlLButtonUp(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    const bool inside = m_rcControl.PtInRect(point);
    const int state = inside ? 1 : 0;
    const int changed = state != m_nState;
    m_nState = state;
    if (changed) paint::Repaint(this, 0);
    if (inside) SendMessageW(2, 0, 0);
    return changed;
}

void CColorCombo::DrawControl(HDC& dc, CRect)
{
    const int w = m_rcControl.Width(), h = m_rcControl.Height();
    if (!m_bUpdate || !m_hMemDC) {
        if (!paint::BeginFrames(this, dc, 4)) return;
        Gdiplus::Graphics g(m_hMemDC);
        Gdiplus::SolidBrush area{Gdiplus::Color(m_clrArea)};
        for (int i = 0; i < 4; ++i) {
            g.FillRectangle(&area, i * w, 0, w, h);
            Gdiplus::Pen pen(Gdiplus::Color(i == 3 ? 0xFE808080 : 0xFE050505));
            g.DrawRectangle(&pen, i * w, 0, w - 1, h - 1);
        }
        Gdiplus::Pen red(Gdiplus::Color(0xFEFF0000));
        g.DrawLine(&red, 3 * w, h - 1, 4 * w - 1, 0);
    }
    paint::ShowFrame(this, dc, m_nState);
}

}  // namespace WEXA

namespace WEXA {
WEXA_REGISTER_CONTROL(CComboBoxList,
                      new CComboBoxList(a.owner, a.id, a.rect, a.visible, a.enabled));
}  // namespace WEXA
