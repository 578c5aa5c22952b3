#include "MTabCtrl.h"
#include "GlyphFaces.h"

#include <algorithm>

#include "ControlRegistry.h"
#include "MRender.h"
#include "Manager.h"
#include "PaintManager.h"
#include "framework/GdiOwners.h"

namespace WEXA {

WEXA_REGISTER_CONTROL(MTabCtrl, new MTabCtrl(a.owner, a.id, a.rect, a.visible, a.enabled));
WEXA_REGISTER_CONTROL(MTabLayout, new MTabLayout(a.owner, a.id, a.rect, a.visible));

namespace {

const Gdiplus::ARGB kCaptionActive = 0xFF4977E5;
// Tabs that are not chosen stand on the dark side bar.
const Gdiplus::ARGB kCaptionNormal = 0xFFAEB6C4;

bool RectHolds(const RECT& r, CPoint p)
{
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

}  // namespace

MTabCtrl::MTabCtrl(MObject* owner, UINT id, CRect rect, int visible, int enabled)
    : MControlFont(owner, id, rect, L"", visible, enabled, 1),
      m_type(TAB_TYPE_HORIZONTAL),
      m_nCtrlHeight(0),
      m_nCtrlWidth(0),
      m_nItemWidth(0),
      m_nItemMaxWidth(0),
      m_nItemMinWidth(0),
      m_nItemHeight(0),
      m_nItemMaxHeight(0),
      m_nItemMinHeight(0),
      m_nLeftPadding(0),
      m_nRightPadding(0),
      m_nTopPadding(0),
      m_nBottomPadding(0),
      m_nHover(-1),
      m_nSelected(-1),
      m_nPrevious(-1),
      m_bSlideEnabled(0),
      m_nSlideSteps(10),
      m_nSlideX(0),
      m_nSlideY(0),
      m_rcUpdate(0, 0, 0, 0),
      m_bTabTips(1),
      m_nLastTip(-1)
{
    SetTextColor(Gdiplus::Color(0xE1C8C8C8));
    m_uAlignment = 1;
    m_nFrameCount = 3;
}

MTabCtrl::~MTabCtrl()
{
    for (TabItemInfo& item : m_items) {
        delete item.image;
        item.image = nullptr;
    }
    m_items.clear();
}

// ---- notifications ----

LONG MTabCtrl::OnBaseMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    return OnMessage(id, code, wparam, lparam);
}

LONG MTabCtrl::OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    return m_pParent ? m_pParent->OnBaseMessage(id, code, wparam, lparam) : 0;
}

void MTabCtrl::Repaint(int erase)
{
    if (m_bVisible && m_pParent) m_pParent->OnControlUpdate(m_rcControl, erase, this);
}

void MTabCtrl::ShowPage(MControl* page, int visible)
{
    if (!page || (page->m_bVisible != 0) == (visible != 0)) return;
    page->SetControlVisible(visible);
    if (page->m_pParent) page->m_pParent->OnControlUpdate(page->m_rcControl, 1, page);
}

// ---- tabs ----

int MTabCtrl::InsertItem(UINT id, const wchar_t* text, const wchar_t* iconFile, MControl* page,
                         int frames, int width)
{
    TabItemInfo item = {};
    item.visible = 1;
    item.id = id;
    item.text = text ? text : L"";
    item.imageCount = frames == -1 ? 3 : frames;
    if (item.imageCount < 1) item.imageCount = 1;
    item.tipFlag = 0;
    item.control = page;
    if (iconFile && *iconFile) {
        item.image = MRender::LoadImageFromFile(GetSkinsPath() + iconFile);
        if (item.image && item.image->GetLastStatus() == Gdiplus::Ok &&
            item.image->GetWidth() > 0) {
            item.imageWidth = static_cast<int>(item.image->GetWidth()) / item.imageCount;
            item.imageHeight = static_cast<int>(item.image->GetHeight());
        } else {
            delete item.image;
            item.image = nullptr;
        }
    }
    const int w = width != 0 ? width : item.imageWidth;
    item.rect = {m_rcControl.left, m_rcControl.top, m_rcControl.left + w, m_rcControl.bottom};
    return InsertItem(-1, item);
}

int MTabCtrl::InsertItem(int position, const TabItemInfo& item)
{
    if (position < 0 || position >= GetItemCount())
        m_items.push_back(item);
    else
        m_items.insert(m_items.begin() + position, item);

    int x = m_rcControl.left + m_nLeftPadding;
    int y = m_rcControl.top + m_nTopPadding;
    for (TabItemInfo& tab : m_items) {
        if (m_type == TAB_TYPE_HORIZONTAL) {
            if (m_nItemWidth == 0) m_nItemWidth = tab.rect.right - tab.rect.left;
            if (m_nCtrlHeight == 0) m_nCtrlHeight = tab.imageHeight;
            tab.rect = {x, y, x + m_nItemWidth, y + m_nCtrlHeight};
            x += m_nItemWidth;
        } else if (m_type == TAB_TYPE_VERTICAL) {
            if (m_nItemHeight == 0) m_nItemHeight = tab.imageHeight;
            if (m_nCtrlWidth == 0) m_nCtrlWidth = tab.rect.right - tab.rect.left;
            tab.rect = {x, y, x + m_nCtrlWidth, y + m_nCtrlHeight};
            y += m_nCtrlHeight;
        }
        tab.buttonState = 0;
    }
    if (m_type == TAB_TYPE_HORIZONTAL)
        SetItemWidth(m_nItemMaxWidth, m_nItemMinWidth, 1);
    else if (m_type == TAB_TYPE_VERTICAL)
        SetItemHeight(m_nItemMaxHeight, m_nItemMinHeight, 1);
    Repaint(1);
    return 1;
}

TabItemInfo* MTabCtrl::GetItemInfo(int index)
{
    return ValidIndex(index) ? &m_items[static_cast<size_t>(index)] : nullptr;
}

void MTabCtrl::SetItemWidth(int maximum, int minimum, int layoutNow)
{
    m_nItemMaxWidth = maximum;
    m_nItemMinWidth = minimum;
    if (m_items.empty()) return;
    int w = maximum;
    if (minimum > 0) {
        int f = (m_rcControl.right - m_nRightPadding - m_nLeftPadding - m_rcControl.left) /
                GetItemCount();
        w = f < minimum ? minimum : (f >= maximum ? maximum : f);
    }
    if (w == m_nItemWidth) return;
    m_nItemWidth = w;
    if (layoutNow) RefreshItems();
}

void MTabCtrl::SetItemHeight(int maximum, int minimum, int layoutNow)
{
    m_nItemMaxHeight = maximum;
    m_nItemMinHeight = minimum;
    if (m_items.empty()) return;
    int h = maximum;
    if (minimum > 0) {
        int f = (m_rcControl.bottom - m_nBottomPadding - m_nTopPadding - m_rcControl.top) /
                GetItemCount();
        h = f < minimum ? minimum : (f >= maximum ? maximum : f);
    }
    if (h == m_nItemHeight) return;
    m_nItemHeight = h;
    if (layoutNow) RefreshItems();
}

void MTabCtrl::PlaceItems(bool skipHidden, int verticalGap)
{
    int x = m_rcControl.left + m_nLeftPadding;
    int y = m_rcControl.top + m_nTopPadding;
    for (TabItemInfo& tab : m_items) {
        if (skipHidden && !tab.visible) {
            tab.rect = {0, 0, 0, 0};
            continue;
        }
        if (m_type == TAB_TYPE_HORIZONTAL) {
            if (m_nItemWidth == 0) m_nItemWidth = tab.rect.right - tab.rect.left;
            if (m_nCtrlHeight == 0) m_nCtrlHeight = tab.imageHeight;
            tab.rect = {x, y, x + m_nItemWidth, y + m_nCtrlHeight};
            x += m_nItemWidth;
        } else if (m_type == TAB_TYPE_VERTICAL) {
            if (m_nItemHeight == 0) m_nItemHeight = tab.imageHeight;
            if (m_nCtrlWidth == 0) m_nCtrlWidth = tab.rect.right - tab.rect.left;
            tab.rect = {x, y, x + m_nCtrlWidth, y + m_nCtrlHeight};
            y += m_nCtrlHeight + verticalGap;
        }
    }
}

void MTabCtrl::RefreshItems()
{
    PlaceItems(true, 1);
    const int count = GetItemCount();
    if (m_nSelected >= count) {
        m_nSelected = -1;
        for (int i = count - 1; i >= 0; --i)
            if (m_items[static_cast<size_t>(i)].visible) {
                m_nSelected = i;
                break;
            }
    }
    if (m_nHover >= count) m_nHover = -1;
    // While the tab is hidden its owner decides what shows in the pages' place
    // (another panel may stand there): the pages wait until the tab is shown
    // again, which shows the selected one.
    if (m_bVisible)
        for (int i = 0; i < count; ++i)
            ShowPage(m_items[static_cast<size_t>(i)].control, i == m_nSelected ? 1 : 0);
    Repaint(1);
}

void MTabCtrl::DeleteItem(int index)
{
    if (!ValidIndex(index)) return;
    TabItemInfo& item = m_items[static_cast<size_t>(index)];
    if (item.control) {
        bool child = false;
        {
            CAutoLock lock(m_childLock);
            child =
                std::find(m_controls.begin(), m_controls.end(), item.control) != m_controls.end();
        }
        if (child) RemoveControl(item.control);
    }
    delete item.image;
    m_items.erase(m_items.begin() + index);
    if (m_type == TAB_TYPE_HORIZONTAL)
        SetItemWidth(m_nItemMaxWidth, m_nItemMinWidth, 0);
    else if (m_type == TAB_TYPE_VERTICAL)
        SetItemHeight(m_nItemMaxHeight, m_nItemMinHeight, 0);
    RefreshItems();
}

int MTabCtrl::SetItemText(int index, const wchar_t* text)
{
    if (!ValidIndex(index)) return 0;
    m_items[static_cast<size_t>(index)].text = text ? text : L"";
    return 1;
}

void MTabCtrl::SetItemVisible(int index, int visible)
{
    if (!ValidIndex(index)) return;
    m_items[static_cast<size_t>(index)].visible = visible;
    RefreshItems();
}

int MTabCtrl::GetItemVisible(int index) const
{
    return ValidIndex(index) ? m_items[static_cast<size_t>(index)].visible : 0;
}

int MTabCtrl::GetItemID(int index) const
{
    return ValidIndex(index) ? static_cast<int>(m_items[static_cast<size_t>(index)].id) : 0;
}

void MTabCtrl::SetItemImage(int index, const wchar_t* iconFile)
{
    if (!ValidIndex(index)) return;
    TabItemInfo& item = m_items[static_cast<size_t>(index)];
    delete item.image;
    item.image = nullptr;
    item.imageWidth = item.imageHeight = 0;
    if (!iconFile || !*iconFile) return;
    gdi::Owned<Gdiplus::Image> image(MRender::LoadImageFromFile(GetSkinsPath() + iconFile));
    if (!image || image->GetLastStatus() != Gdiplus::Ok || image->GetWidth() == 0) return;
    item.imageWidth = static_cast<int>(image->GetWidth()) / std::max(item.imageCount, 1);
    item.imageHeight = static_cast<int>(image->GetHeight());
    item.image = image.release();
}

MControl* MTabCtrl::CreatePanel(const wchar_t* className, UINT id, CRect rect)
{
    if (!className || wcscmp(className, L"MTabLayout") != 0) return nullptr;
    auto* panel = new MTabLayout(this, id, rect, 1);
    if (m_pManager) panel->SetManager(m_pManager);
    CAutoLock lock(m_childLock);
    m_controls.push_back(panel);
    return panel;
}

void MTabCtrl::SetTabTooltip(int index, const wchar_t* text)
{
    if (!ValidIndex(index) || index == m_nLastTip) return;
    const TabItemInfo& item = m_items[static_cast<size_t>(index)];
    if (item.tipFlag) SetTooltip(CString(text ? text : L""), CRect(item.rect));
    m_nLastTip = index;
}

int MTabCtrl::PtInTabButton(CPoint point, const TabItemInfo& item) const
{
    RECT r = item.buttonRect;
    ::OffsetRect(&r, m_rcControl.left, m_rcControl.top);
    return RectHolds(r, point) ? 1 : 0;
}

// ---- selection ----

int MTabCtrl::SetSelectItem(int index)
{
    if (index == m_nSelected || index < 0 || index >= GetItemCount()) return m_nSelected;
    const int previous = m_nSelected;
    m_nPrevious = m_nSelected;
    m_nSelected = index;
    m_nHover = -1;
    SendMessageW(2, static_cast<UINT_PTR>(index), 0);
    for (int i = 0; i < GetItemCount(); ++i)
        ShowPage(m_items[static_cast<size_t>(i)].control, i == index ? 1 : 0);
    if (m_bSlideEnabled) {
        m_nSlideX = m_nSlideY = 0;
        m_bRunning = 1;
        if (m_pManager) m_pManager->SetTimer(this, SLIDE_TIMER_KEY, SLIDE_TIMER_MS);
    }
    Repaint(0);
    return previous;
}

// ---- control operations ----

void MTabCtrl::SetControlRect(CRect rect)
{
    m_rcControl = rect;
    if (m_type == TAB_TYPE_HORIZONTAL)
        SetItemWidth(m_nItemMaxWidth, m_nItemMinWidth, 0);
    else if (m_type == TAB_TYPE_VERTICAL)
        SetItemHeight(m_nItemMaxHeight, m_nItemMinHeight, 0);
    RefreshItems();
}

void MTabCtrl::SetControlVisible(int visible)
{
    m_bVisible = visible;
    for (int i = 0; i < GetItemCount(); ++i) {
        MControl* page = m_items[static_cast<size_t>(i)].control;
        if (!page) continue;
        if (visible && i == m_nSelected)
            ShowPage(page, 1);
        else if (page->m_bVisible)
            ShowPage(page, 0);
    }
}

void MTabCtrl::SetControlWndVisible(int) {}

int MTabCtrl::OnCheckMouseResponse(UINT, CPoint point)
{
    CRect band = m_rcControl;
    if (m_type == TAB_TYPE_HORIZONTAL)
        band.bottom = std::min<LONG>(band.bottom, band.top + m_nCtrlHeight);
    else if (m_type == TAB_TYPE_VERTICAL)
        band.right = std::min<LONG>(band.right, band.left + m_nCtrlWidth);
    if (!band.PtInRect(point)) return 1;
    for (const TabItemInfo& tab : m_items)
        if (tab.visible && RectHolds(tab.rect, point)) return 1;
    return 0;
}

int MTabCtrl::OnControlMouseMove(UINT, CPoint point)
{
    const int before = m_nHover;
    if (!m_rcControl.PtInRect(point)) {
        m_nHover = -1;
        m_nLastTip = -1;
        ClearTooltip();
    } else if (ValidIndex(m_nHover) &&
               RectHolds(m_items[static_cast<size_t>(m_nHover)].rect, point)) {
        const TabItemInfo& tab = m_items[static_cast<size_t>(m_nHover)];
        SetTooltip(tab.text, CRect(tab.rect));
        if (m_bTabTips && tab.tipFlag) SetTabTooltip(m_nHover, tab.text);
        return 0;
    } else {
        m_nHover = -1;
        ClearTooltip();
        for (int i = 0; i < GetItemCount(); ++i)
            if (RectHolds(m_items[static_cast<size_t>(i)].rect, point)) {
                m_nHover = i;
                break;
            }
    }
    if (m_nHover != before) {
        if (m_bVisible) Repaint(0);
        return 1;
    }
    return m_bVisible ? 0 : 1;
}

int MTabCtrl::OnControlLButtonDown(UINT, CPoint)
{
    return 0;
}

int MTabCtrl::OnControlLButtonUp(UINT, CPoint point)
{
    if (!m_bEnabled || !m_rcControl.PtInRect(point) || !ValidIndex(m_nHover)) return 0;
    if (!RectHolds(m_items[static_cast<size_t>(m_nHover)].rect, point)) return 0;
    SetSelectItem(m_nHover);
    Repaint(0);
    return 0;
}

int MTabCtrl::OnControlScroll(int step, UINT down, CPoint point)
{
    if (!ValidIndex(m_nSelected)) return 0;
    const TabItemInfo& tab = m_items[static_cast<size_t>(m_nSelected)];
    if (!tab.control || !RectHolds(tab.rect, point)) return 0;
    return tab.control->OnScroll(step, down, point);
}

int MTabCtrl::OnControlKeyDown(UINT key, UINT repeat, UINT flags)
{
    if (!ValidIndex(m_nSelected)) return 0;
    MControl* page = m_items[static_cast<size_t>(m_nSelected)].control;
    return page ? page->OnKeyDown(key, repeat, flags) : 0;
}

int MTabCtrl::OnControlKeyUp(UINT, UINT, UINT)
{
    return 0;
}

// ---- slide ----

int MTabCtrl::OnControlTimer()
{
    if (!m_bRunning || m_nPrevious == -1) return 0;
    const bool forward = m_nSelected > m_nPrevious;
    const bool horizontal = m_type == TAB_TYPE_HORIZONTAL;
    const int d = horizontal ? m_rcControl.Width() : m_rcControl.Height();
    const int step = d / std::max(m_nSlideSteps, 1);
    int& offset = horizontal ? m_nSlideX : m_nSlideY;
    if (forward) {
        offset += step;
        if (offset >= d) m_bRunning = 0;
    } else {
        offset -= step;
        if (d + offset < 1) m_bRunning = 0;
    }
    // A step of 0 (a control narrower than the step count) would never end.
    if (step <= 0) m_bRunning = 0;
    if (m_bVisible && m_pParent && !m_rcUpdate.IsRectEmpty())
        m_pParent->OnControlUpdate(m_rcUpdate, 0, this);
    return 1;
}

int MTabCtrl::DrawSubControls(HDC& dc, CRect clip)
{
    if (!m_bRunning) return MControl::DrawSubControls(dc, clip);
    if (!ValidIndex(m_nPrevious) || !ValidIndex(m_nSelected)) return 0;
    MControl* oldPage = m_items[static_cast<size_t>(m_nPrevious)].control;
    MControl* newPage = m_items[static_cast<size_t>(m_nSelected)].control;

    const int cx = m_rcControl.right, cy = m_rcControl.bottom;
    if (cx <= 0 || cy <= 0) return 0;
    gdi::MemoryDC memOld(dc);
    gdi::MemoryDC memNew(dc);
    gdi::Bitmap bmOld(::CreateCompatibleBitmap(dc, cx, cy));
    gdi::Bitmap bmNew(::CreateCompatibleBitmap(dc, cx, cy));
    gdi::Selection keepOld(memOld, bmOld);
    gdi::Selection keepNew(memNew, bmNew);
    // The pages draw through a DC variable of their own.
    HDC dcOld = memOld;
    HDC dcNew = memNew;
    const int L = m_rcControl.left, T = m_rcControl.top;
    const int W = m_rcControl.Width(), H = m_rcControl.Height();
    ::BitBlt(dcOld, L, T, W, H, dc, L, T, SRCCOPY);
    ::BitBlt(dcNew, L, T, W, H, dc, L, T, SRCCOPY);

    CRect all(0, 0, cx, cy);
    if (oldPage) oldPage->SetControlVisible(1);
    if (newPage) newPage->SetControlVisible(0);
    if (oldPage) oldPage->Draw(dcOld, all);

    const bool horizontal = m_type == TAB_TYPE_HORIZONTAL;
    if (horizontal) {
        const int o = m_nSlideX;
        const int top = oldPage ? oldPage->m_rcControl.top : T;
        const int rows = m_rcControl.bottom - top;
        if (o > 0)
            ::BitBlt(dc, L, top, W - o, rows, dcOld, L + o, top, SRCCOPY);
        else
            ::BitBlt(dc, L - o, top, W + o, rows, dcOld, L, top, SRCCOPY);
    } else {
        const int o = m_nSlideY;
        const int left = oldPage ? oldPage->m_rcControl.left : L;
        const int cols = m_rcControl.right - left;
        if (o > 0)
            ::BitBlt(dc, left, T, cols, H - o, dcOld, left, T + o, SRCCOPY);
        else
            ::BitBlt(dc, left, T - o, cols, H + o, dcOld, left, T, SRCCOPY);
    }

    if (oldPage) oldPage->SetControlVisible(0);
    if (newPage) newPage->SetControlVisible(1);
    if (newPage) newPage->Draw(dcNew, all);

    if (horizontal) {
        const int o = m_nSlideX;
        const int top = newPage ? newPage->m_rcControl.top : T;
        const int rows = m_rcControl.bottom - top;
        if (o > 0)
            ::BitBlt(dc, L + W - o, top, o, rows, dcNew, L, top, SRCCOPY);
        else
            ::BitBlt(dc, L, top, -o, rows, dcNew, L + W + o, top, SRCCOPY);
    } else {
        const int o = m_nSlideY;
        const int left = newPage ? newPage->m_rcControl.left : L;
        const int cols = m_rcControl.right - left;
        if (o > 0)
            ::BitBlt(dc, left, T + H - o, cols, o, dcNew, left, T, SRCCOPY);
        else
            ::BitBlt(dc, left, T, cols, -o, dcNew, left, T + H + o, SRCCOPY);
    }

    return 1;
}

// ---- drawing ----

void MTabCtrl::DrawControl(HDC& dc, CRect)
{
    if (m_type == TAB_TYPE_HORIZONTAL)
        DrawControlHorizontal(dc);
    else if (m_type == TAB_TYPE_VERTICAL)
        DrawControlVertical(dc);
}

void MTabCtrl::DrawControlHorizontal(HDC& dc)
{
    const int W = m_rcControl.Width();
    const int SH = m_nCtrlHeight;
    if (W <= 0 || SH <= 0) return;
    if (!m_bUpdate || !m_hMemDC) {
        UpdateMemDC(dc, W, SH * 3);
        if (!m_hMemDC) return;
        for (int b = 0; b < 3; ++b)
            ::BitBlt(m_hMemDC, 0, b * SH, W, SH, dc, m_rcControl.left, m_rcControl.top, SRCCOPY);
        Gdiplus::Graphics g(m_hMemDC);
        g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
        for (int b = 0; b < 3; ++b) {
            int x = m_nLeftPadding;
            for (const TabItemInfo& tab : m_items) {
                if (!tab.visible) continue;
                const int tw = tab.rect.right - tab.rect.left;
                if (tab.image) {
                    const int frame = (tab.imageCount == 1) ? 0 : (b == 1 ? 1 : 0);
                    Gdiplus::Rect dest(x + (tw - tab.imageWidth) / 2, b * SH + m_nTopPadding + 10,
                                       tab.imageWidth, tab.imageHeight);
                    g.DrawImage(tab.image, dest, frame * tab.imageWidth, 0, tab.imageWidth,
                                tab.imageHeight, Gdiplus::UnitPixel);
                }
                x += tw;
            }
        }
    }
    ::BitBlt(dc, m_rcControl.left, m_rcControl.top, W, SH, m_hMemDC, 0, 0, SRCCOPY);
    auto copyTab = [&](int index) {
        if (!ValidIndex(index)) return;
        const RECT& r = m_items[static_cast<size_t>(index)].rect;
        if (r.right <= r.left) return;
        ::BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, m_hMemDC,
                 r.left - m_rcControl.left, r.top - m_rcControl.top + SH, SRCCOPY);
    };
    copyTab(m_nHover);
    copyTab(m_nSelected);
}

void MTabCtrl::DrawControlVertical(HDC& dc)
{
    const int SW = m_nCtrlWidth;
    const int H = m_rcControl.Height();
    if (SW <= 0 || H <= 0) return;
    if (!m_bUpdate || !m_hMemDC) {
        UpdateMemDC(dc, SW * 4, H);
        if (!m_hMemDC) return;
        for (int c = 0; c < 4; ++c)
            ::BitBlt(m_hMemDC, c * SW, 0, SW, H, dc, m_rcControl.left, m_rcControl.top, SRCCOPY);
        Gdiplus::Graphics g(m_hMemDC);
        g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
        g.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAliasGridFit);
        Gdiplus::FontFamily* family = GetFontFamily(m_strFontFace);
        gdi::Owned<Gdiplus::Font> font(
            family ? new Gdiplus::Font(family, static_cast<Gdiplus::REAL>(m_nFontWidth),
                                       m_fontStyle, Gdiplus::UnitPixel)
                   : nullptr);
        Gdiplus::StringFormat format;
        format.SetAlignment(Gdiplus::StringAlignmentNear);
        format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
        format.SetFormatFlags(0x1800);
        for (int c = 0; c < 4; ++c) {
            const int x0 = c * SW;
            for (const TabItemInfo& tab : m_items) {
                if (!tab.visible) continue;
                const int ty = tab.rect.top - m_rcControl.top;
                const int th = tab.rect.bottom - tab.rect.top;
                if (m_pImage) {
                    const int frame = (c == 1 || c == 2) ? 1 : 0;
                    MRender::DrawImageFrame(g, m_pImage, CRect(x0, ty, (c + 1) * SW, ty + th),
                                            frame * m_nFrameWidth, 0, m_nFrameWidth, m_nImageHeight,
                                            10);
                }
                if (tab.image) {
                    Gdiplus::Rect dest(x0 + m_nLeftPadding + 20, ty + (th - 26) / 2, 26, 26);
                    g.DrawImage(tab.image, dest, c * tab.imageWidth, 0, tab.imageWidth,
                                tab.imageHeight, Gdiplus::UnitPixel);
                }
                if (font && !tab.text.IsEmpty()) {
                    Gdiplus::SolidBrush brush(
                        Gdiplus::Color((c == 1 || c == 2) ? kCaptionActive : kCaptionNormal));
                    Gdiplus::RectF layout(static_cast<Gdiplus::REAL>(x0 + m_nLeftPadding + 70),
                                          static_cast<Gdiplus::REAL>(ty),
                                          static_cast<Gdiplus::REAL>(SW - 70),
                                          static_cast<Gdiplus::REAL>(th));
                    GlyphFaces::DrawString(g, tab.text, tab.text.GetLength(), font.get(), layout,
                                           &format, &brush);
                }
            }
        }
    }
    ::BitBlt(dc, m_rcControl.left, m_rcControl.top, SW, H, m_hMemDC, 0, 0, SRCCOPY);
    auto copyTab = [&](int index, int column) {
        if (!ValidIndex(index)) return;
        const RECT& r = m_items[static_cast<size_t>(index)].rect;
        if (r.right <= r.left) return;
        ::BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, m_hMemDC,
                 r.left - m_rcControl.left + column * SW, r.top - m_rcControl.top, SRCCOPY);
    };
    copyTab(m_nHover, 1);
    copyTab(m_nSelected, 2);
}

// ---- MTabLayout ----

MTabLayout::MTabLayout(MObject* owner, UINT id, CRect rect, int visible)
    : MPanel(owner, id, rect, visible)
{
    m_nFrameCount = 1;
    m_bRunTimer = 1;
}

MTabLayout::~MTabLayout() {}

void MTabLayout::DrawControl(HDC&, CRect) {}

int MTabLayout::DrawSubControls(HDC& dc, CRect clip)
{
    if (m_bEnableScroll &&
        (m_nVirtualHeight > m_rcControl.Height() || m_nVirtualWidth > m_rcControl.Width()))
        return 1;
    return MControl::DrawSubControls(dc, clip);
}

int MTabLayout::OnCheckMouseResponse(UINT, CPoint point)
{
    CAutoLock lock(m_childLock);
    for (MControl* child : m_controls)
        if (child && child->PtInRect(point)) return 1;
    return 0;
}

}  // namespace WEXA
