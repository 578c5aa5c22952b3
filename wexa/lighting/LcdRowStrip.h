#pragma once
// What the LCD page's two lists (the frame strip and the animation list)
// share: rows a fixed pitch apart along one scrolled axis, drawn through a
// canvas that holds only the rows in view, and found again under the pointer
// by the rectangles the last drawing gave them.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "CLock.h"
#include "CRect.h"
#include "MControl.h"
#include "MPanel.h"
#include "MRender.h"
#include "MScroll.h"
#include "controls/ControlPaint.h"

namespace WEXA {
namespace lcd {

// The rows in view of `count` rows `pitch` apart seen through `view` pixels
// at scroll position `pos` of `range`: the first and last row drawn (-1
// without rows), the canvas length that holds them (at least the view) and
// where the view starts in the canvas.
struct RowSpan
{
    int first, last, canvas, offset;
};

inline RowSpan RowsInView(int count, int pitch, int view, int pos, int range)
{
    const int total = count * pitch;
    const int start = (range > 0 && total > view)
                          ? static_cast<int>(static_cast<int64_t>(total - view) * pos / range)
                          : 0;
    RowSpan span{-1, -1, view, 0};
    if (count > 0) {
        span.first = std::min(std::max(0, start / pitch), count - 1);
        span.last = std::min(std::max((view + start) / pitch, span.first), count - 1);
        span.canvas = std::max(view, (span.last - span.first + 1) * pitch);
        span.offset = std::max(0, start - span.first * pitch);
    }
    return span;
}

// The same along a scroll bar (null: at its start).
inline RowSpan RowsAlong(MScroll* bar, int count, int pitch, int view)
{
    return RowsInView(count, pitch, view, bar ? bar->GetScrollCurrentPos() : 0,
                      bar ? bar->GetScrollMaxRange() : 0);
}

// Starts rendering a list's canvas again: canvasW x canvasH, white, with what
// lies under the control (viewW x viewH) copied in at (atX, atY). False when
// there is no canvas.
inline bool StartCanvas(MControl& list, HDC& dc, int canvasW, int canvasH, int atX, int atY,
                        int viewW, int viewH)
{
    list.UpdateMemDC(dc, canvasW, canvasH);
    if (!list.m_hMemDC) return false;
    MRender::FillSolidRect(list.m_hMemDC, 0, 0, canvasW, canvasH, RGB(255, 255, 255));
    ::BitBlt(list.m_hMemDC, atX, atY, viewW, viewH, dc, list.m_rcControl.left, list.m_rcControl.top,
             SRCCOPY);
    return true;
}

// Cards are drawn with grid-fitted text and smoothed shapes.
inline void PrepareCards(Gdiplus::Graphics& g)
{
    g.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
    g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
}

// A list takes its rectangle with its scroll bars placed along it.
inline void PlaceList(MPanel& list, CRect rect)
{
    list.m_rcControl = rect;
    list.PlaceScrollBars(rect, list.m_nScrollThickness);
}

// A list's bars report a move (code 8 from bar 1 or 2): the list is drawn
// again; every notification goes on to the list's owner unchanged.
inline LONG PassOn(MPanel& list, UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    if ((id == 1 || id == 2) && code == 8) paint::Repaint(&list, 1);
    return list.m_pParent ? list.m_pParent->OnBaseMessage(id, code, wparam, lparam) : 0;
}

// A row and its thumbnail go together.
template <class Row>
void FreeRow(Row* row)
{
    delete row->pThumbnail;
    delete row;
}

// A list's rows as its handlers see them: the row lock, the rows, where each
// row's rectangle (as last drawn) is kept, and how that rectangle maps to the
// window.
template <class Row>
class RowStrip
{
public:
    using ToWindow = std::function<CRect(const RECT&)>;
    RowStrip(MControl& list, CCriticalLock& lock, std::vector<Row*>& rows, RECT Row::*rect,
             ToWindow toWindow)
        : m_list(list),
          m_lock(lock),
          m_rows(rows),
          m_rect(rect),
          m_toWindow(std::move(toWindow))
    {}

    // A field of row index read under the lock; `none` for no such row.
    template <class Value, class Field>
    Value Read(int index, Value none, Field field) const
    {
        CAutoLock lock(m_lock);
        if (index < 0 || index >= static_cast<int>(m_rows.size())) return none;
        return field(*m_rows[static_cast<size_t>(index)]);
    }
    // With the lock held: whether row `index` exists and its rectangle holds point.
    bool Holds(int index, CPoint point) const
    {
        return index >= 0 && index < static_cast<int>(m_rows.size()) &&
               m_toWindow(m_rows[static_cast<size_t>(index)]->*m_rect).PtInRect(point);
    }
    // With the lock held: the row among first..last under point, -1 for none.
    int At(int first, int last, CPoint point) const
    {
        for (int i = first; i <= last && i < static_cast<int>(m_rows.size()); ++i)
            if (Holds(i, point)) return i;
        return -1;
    }
    // A double click on the hovered row selects it and reports it (3, row).
    int DoubleClick(int hover, int& selection, CPoint point)
    {
        if (!m_list.m_bEnabled || !m_list.m_rcControl.PtInRect(point)) return 0;
        {
            CAutoLock lock(m_lock);
            if (!Holds(hover, point)) return 1;
        }
        selection = hover;
        m_list.SendMessageW(3, static_cast<UINT_PTR>(hover), 0);
        paint::Repaint(&m_list, 1);
        return 1;
    }
    // The right button up: the hovered row (or none) becomes the selection;
    // inside the list it is reported (5, row or -1), before or after the
    // repaint request as the list has it.
    int RightClick(int hover, int& selection, CPoint point, bool reportFirst)
    {
        if (!m_list.m_bEnabled) return 0;
        const bool changed = hover != selection;
        selection = hover;
        const bool inside = m_list.m_rcControl.PtInRect(point) != 0;
        if (inside && reportFirst) m_list.SendMessageW(5, static_cast<UINT_PTR>(hover), 0);
        if (changed) paint::Repaint(&m_list, 1);
        if (inside && !reportFirst) m_list.SendMessageW(5, static_cast<UINT_PTR>(hover), 0);
        return 1;
    }
    // The wheel scrolls the bar 10 steps when the rows are longer than the view.
    int Wheel(MScroll* bar, int total, int view, UINT down)
    {
        if (total <= view || !bar) return 0;
        if (bar->ScrollRow(down == 1 ? 10 : -10)) paint::Repaint(&m_list, 1);
        return 1;
    }
    // Selects row index (-1: none); 0 for an index out of range.
    int Select(int index, int& selection)
    {
        int count;
        {
            CAutoLock lock(m_lock);
            count = static_cast<int>(m_rows.size());
        }
        if (index < -1 || index >= count) return 0;
        if (index != selection) {
            selection = index;
            paint::Repaint(&m_list, 1);
        }
        return 1;
    }

    // The hover, the selection and the rows in view, forgotten when rows go.
    struct Marks
    {
        int& hover;
        int& selection;
        int& first;
        int& last;
        void Forget() { hover = selection = first = last = -1; }
    };
    // Removes row index and forgets the marks (false: no such row); `also`
    // runs with the lock held.
    template <class Also>
    bool Remove(int index, Marks marks, Also also)
    {
        CAutoLock lock(m_lock);
        if (index < 0 || index >= static_cast<int>(m_rows.size())) return false;
        marks.Forget();
        also();
        FreeRow(m_rows[static_cast<size_t>(index)]);
        m_rows.erase(m_rows.begin() + index);
        return true;
    }
    // Removes every row and forgets the marks; `also` runs with the lock held.
    template <class Also>
    void RemoveAll(Marks marks, Also also)
    {
        CAutoLock lock(m_lock);
        for (Row* row : m_rows) FreeRow(row);
        m_rows.clear();
        marks.Forget();
        also();
    }

private:
    MControl& m_list;
    CCriticalLock& m_lock;
    std::vector<Row*>& m_rows;
    RECT Row::*m_rect;
    ToWindow m_toWindow;
};

}  // namespace lcd
}  // namespace WEXA
