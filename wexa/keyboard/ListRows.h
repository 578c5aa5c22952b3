#pragma once
// What the keyboard widgets' vertically scrolled row lists (the name lists of
// MRowList and the macro event list CRecordList) do alike with their rows:
// find a row and its window rectangle, hover and pick rows with the pointer,
// select, swap and delete rows, and close the in-place editor. A ListRows is a
// view of one list's members, made where it is used. Internal to the library;
// UI thread only, the row lock guarding the rows against the drawing.
#include <windows.h>

#include <algorithm>
#include <vector>

#include "CLock.h"
#include "CRect.h"
#include "MPanel.h"
#include "keyboard/ListEditor.h"

namespace WEXA {
namespace listedit {

template <class Row>
class ListRows
{
public:
    ListRows(MPanel& list, CCriticalLock& lock, std::vector<Row*>& rows, int& hover, int& select,
             int& first, int& last, const int& rowOffset, Row*& editRow, CEditWindow*& editor)
        : m_list(list),
          m_lock(lock),
          m_rows(rows),
          m_hover(hover),
          m_select(select),
          m_first(first),
          m_last(last),
          m_rowOffset(rowOffset),
          m_editRow(editRow),
          m_editor(editor)
    {}

    int Count()
    {
        CAutoLock lock(m_lock);
        return static_cast<int>(m_rows.size());
    }
    // The index of row (-1: null or not a row of the list); with the lock held.
    int IndexOf(const Row* row) const
    {
        if (!row) return -1;
        for (size_t i = 0; i < m_rows.size(); ++i)
            if (m_rows[i] == row) return static_cast<int>(i);
        return -1;
    }
    // A row's rectangle as last drawn, in window coordinates.
    CRect WindowRect(const Row* row) const
    {
        CRect r(row->rcItem);
        r.OffsetRect(m_list.m_rcControl.left, m_list.m_rcControl.top - m_rowOffset);
        return r;
    }
    // The pointer moves: the drawn row under it becomes the hovered one
    // (none outside the list), repainted when that changed; 1 while it stays
    // on the hovered row.
    int MouseMove(CPoint point)
    {
        if (!m_list.m_bEnabled || m_first < 0) return 0;
        const int before = m_hover;
        {
            CAutoLock lock(m_lock);
            const int n = static_cast<int>(m_rows.size());
            if (n == 0) return 0;
            if (!m_list.m_rcControl.PtInRect(point)) {
                m_hover = -1;
            } else {
                if (m_hover >= 0 && m_hover < n && WindowRect(m_rows[m_hover]).PtInRect(point))
                    return 1;
                m_hover = -1;
                for (int i = m_first; i <= m_last && i < n; ++i)
                    if (WindowRect(m_rows[i]).PtInRect(point)) {
                        m_hover = i;
                        break;
                    }
            }
        }
        if (m_hover != before) Repaint(&m_list);
        return 0;
    }
    // A double click: true when it is on the hovered row, which becomes the
    // selection.
    bool PickHovered(CPoint point)
    {
        CAutoLock lock(m_lock);
        if (m_hover < 0 || m_hover >= static_cast<int>(m_rows.size())) return false;
        if (!WindowRect(m_rows[m_hover]).PtInRect(point)) return false;
        m_select = m_hover;
        return true;
    }
    // Selects row index (-1: none); 0 for an index out of range.
    int Select(int index)
    {
        if (index < -1 || index >= Count()) return 0;
        if (index != m_select) {
            m_select = index;
            Repaint(&m_list);
        }
        return 1;
    }
    void Swap(int first, int second)
    {
        CAutoLock lock(m_lock);
        const int n = static_cast<int>(m_rows.size());
        if (first < 0 || second < 0 || first >= n || second >= n || first == second) return;
        std::swap(m_rows[first], m_rows[second]);
    }
    // Deletes every row and forgets the hover, the selection and the rows drawn.
    void DeleteAll()
    {
        CAutoLock lock(m_lock);
        for (Row* row : m_rows) delete row;
        m_rows.clear();
        m_hover = m_select = -1;
        m_first = m_last = -1;
    }
    // Closes the editor without keeping its text.
    void DropEdit()
    {
        if (!m_editRow) return;
        m_editRow = nullptr;
        m_list.m_bFocused = 0;
        Hide(m_editor);
    }
    // Closes the editor (unless the edited row is still the selection and
    // force is 0). The editor's value is read() before the row lock is taken;
    // store(row, value) keeps it in the edited row under the lock and tells
    // whether the row changed; a change is reported (29, 0, index) and
    // repainted.
    template <class Read, class Store>
    void CloseEdit(int force, Read read, Store store)
    {
        int edited;
        {
            CAutoLock lock(m_lock);
            edited = IndexOf(m_editRow);
        }
        if (m_editRow && edited == m_select && !force) return;
        m_list.m_bFocused = 0;
        if (m_editor) {
            bool changed = false;
            if (edited >= 0) {
                const auto value = read();
                CAutoLock lock(m_lock);
                changed = store(*m_rows[edited], value);
            }
            m_editRow = nullptr;
            if (changed) {
                m_list.SendMessageW(29, 0, edited);
                Repaint(&m_list);
            }
            Hide(m_editor);
        }
        m_editRow = nullptr;
    }
    // The list loses the focus: the editor closes with its text kept.
    template <class HideEditor>
    int Focus(int focus, HideEditor hideEditor)
    {
        if (!m_list.m_bEnabled) return 0;
        if (focus) return 1;
        hideEditor();
        Repaint(&m_list);
        return 1;
    }

private:
    MPanel& m_list;
    CCriticalLock& m_lock;
    std::vector<Row*>& m_rows;
    int& m_hover;
    int& m_select;
    int& m_first;
    int& m_last;
    const int& m_rowOffset;
    Row*& m_editRow;
    CEditWindow*& m_editor;
};

}  // namespace listedit
}  // namespace WEXA
