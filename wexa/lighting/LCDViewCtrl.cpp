#include "LCDViewCtrl.h"

#include <shlwapi.h>

#include "ControlRegistry.h"
#include "LEDFrameTips.h"
#include "MRender.h"
#include "Manager.h"
#include "TipWindow.h"
#include "PaintManager.h"
#include "controls/ControlPaint.h"
#include "lighting/LcdImaging.h"

namespace WEXA {

WEXA_REGISTER_CONTROL(LCDViewCtrl, new LCDViewCtrl(a.owner, a.id, a.rect, a.visible));

namespace {

Gdiplus::Image* Thumbnail(const CString& path)
{
    if (path.IsEmpty() || !PathFileExistsW(path)) return nullptr;
    return lcd::LoadPictureCopy(path);
}

void SetThumbnail(LEDFRAME_INFO* item, Gdiplus::Image* image)
{
    delete item->pThumbnail;
    item->pThumbnail = image;
    item->nWidth = image ? static_cast<int>(image->GetWidth()) : 0;
    item->nHeight = image ? static_cast<int>(image->GetHeight()) : 0;
}

}  // namespace

LCDViewCtrl::LCDViewCtrl(MObject* owner, UINT id, CRect rect, int visible)
    : MPanel(owner, id, rect, visible),
      m_hoverItem(-1),
      m_curSel(-1),
      m_tips(nullptr),
      m_thumbRect(0, 0, CELL, CELL)
{
    if (m_pScrollVertical) m_pScrollVertical->SetControlVisible(0);
    if (m_pScrollHorizontal) m_pScrollHorizontal->SetControlVisible(0);
}

LCDViewCtrl::~LCDViewCtrl()
{
    {
        CAutoLock lock(m_itemLock);
        for (LEDFRAME_INFO* item : m_items) {
            delete item->pThumbnail;
            delete item;
        }
        m_items.clear();
    }
    if (m_tips) {
        HWND window = m_tips->GetSafeHwnd();
        if (window && ::IsWindow(window)) ::DestroyWindow(window);
        delete m_tips;
        m_tips = nullptr;
    }
}

void LCDViewCtrl::Repaint()
{
    paint::Repaint(this, 1);
}

CRect LCDViewCtrl::CellRect(int index)
{
    if (index < 0) return CRect();
    int x, y;
    if (index < 4) {
        x = (index % 2) * (CELL + GAP);
        y = (index / 2) * (CELL + GAP);
    } else {
        x = (index - 4) * (CELL + GAP);
        y = 2 * (CELL + GAP);
    }
    return CRect(x, y, x + CELL, y + CELL);
}

void LCDViewCtrl::AddItem(CString path, CString text, CString tip)
{
    LEDFRAME_INFO* item = new LEDFRAME_INFO();
    item->pThumbnail = nullptr;
    SetThumbnail(item, Thumbnail(path));
    item->strText = text;
    item->strTip = tip;
    item->rcItem = RECT{0, 0, 0, 0};
    {
        CAutoLock lock(m_itemLock);
        item->rcItem = CellRect(static_cast<int>(m_items.size()));
        m_items.push_back(item);
    }
    Repaint();
}

void LCDViewCtrl::SetItemInfo(int index, CString path, CString text, CString tip)
{
    Gdiplus::Image* image = Thumbnail(path);
    {
        CAutoLock lock(m_itemLock);
        if (index < 0 || index >= static_cast<int>(m_items.size())) {
            delete image;
            return;
        }
        LEDFRAME_INFO* item = m_items[index];
        SetThumbnail(item, image);
        item->strText = text;
        item->strTip = tip;
    }
    Repaint();
}

int LCDViewCtrl::GetItemCount()
{
    CAutoLock lock(m_itemLock);
    return static_cast<int>(m_items.size());
}

int LCDViewCtrl::SetCurSel(int index)
{
    if (index < -1 || index >= GetItemCount()) return 0;
    if (index != m_curSel) {
        m_curSel = index;
        Repaint();
    }
    return 1;
}

int LCDViewCtrl::DeleteAllItems()
{
    {
        CAutoLock lock(m_itemLock);
        for (LEDFRAME_INFO* item : m_items) {
            delete item->pThumbnail;
            delete item;
        }
        m_items.clear();
        m_hoverItem = -1;
        m_curSel = -1;
    }
    Repaint();
    return 1;
}

void LCDViewCtrl::ResetTips()
{
    {
        CAutoLock lock(m_itemLock);
        for (LEDFRAME_INFO* item : m_items) {
            item->strText.Empty();
            item->strTip.Empty();
        }
    }
    Repaint();
}

void LCDViewCtrl::SetTips(CString text, CString tip, CRect rect)
{
    if (text.IsEmpty() && tip.IsEmpty()) {
        if (m_tips && m_tips->GetSafeHwnd()) m_tips->ShowWindow(SW_HIDE);
        return;
    }
    if (!m_pManager) return;
    if (!m_tips) {
        m_tips = new LEDFrameTips();
        m_tips->Create(m_pManager->GetPaintWnd(), L"LED Frame Window", tipwindow::kTipWindowStyle,
                       0, CRect(), nullptr);
        m_tips->LoadBKImage(CString(L"img_tip_bk.png"));
    }
    POINT anchor = {rect.left, rect.top};
    ::ClientToScreen(m_pManager->GetPaintWnd(), &anchor);
    m_tips->SetAirBladderMsg(text, tip, anchor);
    tipwindow::ShowWithoutActivation(m_tips->GetSafeHwnd());
}

CRect LCDViewCtrl::GetImageRect(int width, int height, CRect box)
{
    return lcd::FitRect(width, height, box, 1.0);
}

void LCDViewCtrl::SetControlRect(CRect rect)
{
    m_rcControl = rect;
    Repaint();
}

void LCDViewCtrl::DrawControl(HDC& dc, CRect)
{
    const int W = m_rcControl.Width(), H = m_rcControl.Height();
    if (W <= 0 || H <= 0) return;
    if (!m_bUpdate || !m_hMemDC) {
        UpdateMemDC(dc, W, H);
        if (!m_hMemDC) return;
        ::BitBlt(m_hMemDC, 0, 0, W, H, dc, m_rcControl.left, m_rcControl.top, SRCCOPY);
        CAutoLock lock(m_itemLock);
        if (!m_items.empty()) {
            Gdiplus::Graphics g(m_hMemDC);
            g.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
            g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
            const Gdiplus::ARGB select = Manager::GetSelectColor().GetValue();
            const Gdiplus::ARGB normal = Manager::GetNormalColor().GetValue();
            Gdiplus::SolidBrush black(Gdiplus::Color(0xFF000000));
            HFONT font = GetGDIFont();
            for (size_t i = 0; i < m_items.size(); ++i) {
                LEDFRAME_INFO* item = m_items[i];
                const CRect cell = CellRect(static_cast<int>(i));
                item->rcItem = cell;
                g.FillRectangle(&black, cell.left, cell.top, CELL, CELL);
                if (item->pThumbnail) {
                    const CRect fit = GetImageRect(item->nWidth, item->nHeight, m_thumbRect);
                    g.DrawImage(item->pThumbnail, cell.left + fit.left, cell.top + fit.top + 1,
                                fit.Width(), fit.Height());
                }
                const bool marked =
                    static_cast<int>(i) == m_hoverItem || static_cast<int>(i) == m_curSel;
                const Gdiplus::Color frame(marked ? select : normal);
                Gdiplus::Pen pen(frame, 2.0f);
                g.DrawRectangle(&pen, cell.left, cell.top, CELL, CELL);
                Gdiplus::SolidBrush badge(frame);
                g.FillEllipse(&badge, cell.right - 22, cell.top + 2, 20, 20);
                g.Flush();
                CString number;
                number.Format(L"%d", static_cast<int>(i) + 1);
                CRect box(cell.right - 22, cell.top + 2, cell.right - 2, cell.top + 22);
                MRender::DrawTextW(m_hMemDC, box, number, RGB(5, 5, 5), font,
                                   DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_WORD_ELLIPSIS);
            }
        }
    }
    ::BitBlt(dc, m_rcControl.left, m_rcControl.top, W, H, m_hMemDC, 0, 0, SRCCOPY);
}

int LCDViewCtrl::OnControlMouseMove(UINT, CPoint point)
{
    if (!m_bEnabled || GetItemCount() == 0) return 0;
    const CPoint origin(m_rcControl.left, m_rcControl.top);
    int hover = m_hoverItem;
    int result = 0;
    if (m_rcControl.PtInRect(point)) {
        if (hover >= 0) {
            CString text, tip;
            CRect cell;
            bool inside = false;
            {
                CAutoLock lock(m_itemLock);
                if (hover < static_cast<int>(m_items.size())) {
                    cell = m_items[hover]->rcItem;
                    cell.OffsetRect(origin.x, origin.y);
                    inside = cell.PtInRect(point) != 0;
                    text = m_items[hover]->strText;
                    tip = m_items[hover]->strTip;
                }
            }
            if (inside) {
                SetTips(text, tip, cell);
                return 1;
            }
            hover = -1;
            SetTips(CString(), CString(), CRect());
        } else {
            CAutoLock lock(m_itemLock);
            for (size_t i = 0; i < m_items.size(); ++i) {
                CRect cell = m_items[i]->rcItem;
                cell.OffsetRect(origin.x, origin.y);
                if (cell.PtInRect(point)) {
                    hover = static_cast<int>(i);
                    break;
                }
            }
        }
    } else {
        hover = -1;
        SetTips(CString(), CString(), CRect());
    }
    if (hover != m_hoverItem) {
        m_hoverItem = hover;
        Repaint();
    }
    return result;
}

int LCDViewCtrl::OnControlLButtonDown(UINT, CPoint)
{
    return 1;
}

int LCDViewCtrl::OnControlLButtonUp(UINT, CPoint point)
{
    if (!m_rcControl.PtInRect(point)) return 0;
    const int hover = m_hoverItem;
    if (hover < 0 || hover >= GetItemCount()) return 0;
    if (hover != m_curSel) {
        m_curSel = hover;
        Repaint();
    }
    SendMessageW(2, static_cast<UINT_PTR>(hover), 0);
    return 0;
}

}  // namespace WEXA
