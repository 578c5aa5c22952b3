#include "keyboard/ListEditor.h"

#include <algorithm>
#include <string>

#include "MRender.h"
#include "Manager.h"
#include "PaintManager.h"
#include "framework/GdiOwners.h"
#include "framework/WindowUtil.h"

namespace WEXA {
namespace listedit {

namespace {

bool IsLive(const CEditWindow* editor)
{
    return editor && IsLiveWindow(editor->GetSafeHwnd());
}

}  // namespace

void Open(MControlFont* list, CEditWindow*& slot, CRect box, COLORREF background, COLORREF text,
          int limit, const CString& content)
{
    if (!list->m_pManager) return;
    if (!IsLive(slot)) {
        CEditWindow* editor = slot ? slot : new CEditWindow();
        slot = editor;
        editor->SetEditColors(background, text);
        editor->m_nLimit = limit;
        editor->ShowEditWindow(list, box);
        if (!IsLive(editor)) {
            slot = nullptr;
            delete editor;
            return;
        }
        editor->m_ppOwnerSlot = &slot;
    } else {
        SetColours(slot, background, text);
        HWND host = list->m_pManager->GetPaintWnd();
        if (list->m_pManager->IsLayered()) {
            POINT origin = {0, 0};
            ::ClientToScreen(host, &origin);
            box.OffsetRect(origin.x, origin.y);
        }
        ::MoveWindow(slot->GetSafeHwnd(), box.left, box.top, box.Width(), box.Height(), TRUE);
    }
    HWND wnd = slot->GetSafeHwnd();
    // Filling the box is not an edit: no change reaches the list meanwhile.
    slot->m_bShown = 0;
    ::SetWindowTextW(wnd, content);
    ::SendMessageW(wnd, EM_SETMODIFY, 0, 0);
    slot->m_bShown = 1;
    ::ShowWindow(wnd, SW_SHOWNOACTIVATE);
    ::SendMessageW(wnd, EM_SETSEL, static_cast<WPARAM>(content.GetLength()), -1);
    ::SetFocus(wnd);
    list->m_bFocused = 1;
}

void SetColours(CEditWindow* editor, COLORREF background, COLORREF text)
{
    if (!editor) return;
    if (editor->m_crBackground != background && editor->m_hBkBrush) {
        ::DeleteObject(editor->m_hBkBrush);
        editor->m_hBkBrush = nullptr;
    }
    editor->SetEditColors(background, text);
}

CString Text(CEditWindow* editor)
{
    if (!IsLive(editor)) return CString();
    HWND wnd = editor->GetSafeHwnd();
    const int length = ::GetWindowTextLengthW(wnd);
    if (length <= 0) return CString();
    std::wstring buffer(static_cast<size_t>(length) + 1, L'\0');
    const int read = ::GetWindowTextW(wnd, &buffer[0], length + 1);
    return CString(buffer.c_str(), std::max(read, 0));
}

void Hide(CEditWindow* editor)
{
    if (!IsLive(editor)) return;
    editor->m_bShown = 0;
    ::ShowWindow(editor->GetSafeHwnd(), SW_HIDE);
}

void Destroy(CEditWindow*& slot)
{
    CEditWindow* editor = slot;
    if (!editor) return;
    if (IsLive(editor)) {
        // The editor deletes itself with its window and clears the slot.
        ::DestroyWindow(editor->GetSafeHwnd());
    } else {
        delete editor;
    }
    slot = nullptr;
}

bool IsShown(CEditWindow* editor)
{
    return IsLive(editor) && ::IsWindowVisible(editor->GetSafeHwnd());
}

RowWindow Rows(int rows, int rowHeight, int viewHeight, const MScroll* bar)
{
    RowWindow w;
    const int content = rows * rowHeight;
    const int max = bar ? bar->GetScrollMaxRange() : 0;
    const int pos = bar ? bar->GetScrollCurrentPos() : 0;
    if (max > 0)
        w.offset = static_cast<int>(static_cast<long long>(content - viewHeight) * pos / max);
    if (rows <= 0 || rowHeight <= 0) {
        w.imageHeight = std::max(viewHeight, 0);
        return w;
    }
    w.first = std::max(w.offset / rowHeight, 0);
    w.last = std::max(std::min((viewHeight + w.offset) / rowHeight, rows - 1), 0);
    if (w.first > w.last) w.first = w.last;
    w.imageHeight = std::max(viewHeight, (w.last - w.first + 1) * rowHeight);
    w.rowOffset = std::max(w.offset - w.first * rowHeight, 0);
    return w;
}

int LoadStrip(const wchar_t* skinFileName, int frames, Gdiplus::Image*& image, int& frameWidth,
              int& frameHeight)
{
    if (!skinFileName || !*skinFileName) return 0;
    gdi::Owned<Gdiplus::Image> loaded(MRender::LoadImageFromFile(GetSkinsPath() + skinFileName));
    if (!loaded) return 0;
    if (loaded->GetLastStatus() != Gdiplus::Ok || loaded->GetWidth() == 0) return 0;
    if (frames < 1) frames = 1;
    frameWidth = static_cast<int>(loaded->GetWidth() / static_cast<UINT>(frames));
    frameHeight = static_cast<int>(loaded->GetHeight());
    delete image;
    image = loaded.release();
    return 1;
}

void Repaint(MControl* list)
{
    if (list->m_bVisible && list->m_pParent)
        list->m_pParent->OnControlUpdate(list->m_rcControl, 1, list);
}

int Wheel(MControl* list, MScroll* bar, UINT down, int content, int view)
{
    if (!bar || content <= view) return 0;
    if (bar->ScrollRow(down == 1 ? 10 : -10)) Repaint(list);
    return 1;
}

}  // namespace listedit
}  // namespace WEXA
