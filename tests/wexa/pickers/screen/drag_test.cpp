// Dragging a function tile out of the tile grid onto the keyboard picture, through
// the library's OLE drag and drop in a real window under the real pointer.
// The press comes as window messages; the drag itself runs in OLE's modal
// loop, fed by real pointer input from another thread (moves, then the
// release over the key picture).
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "DragDrop.h"
#include "GdiplusEnvironment.h"
#include "KeyFuncValue.h"
#include "KeyboardCtrl.h"
#include "MDialog.h"
#include "Manager.h"
#include "PaintManager.h"
#include "WindowTestHelpers.h"

using namespace WEXA;

// OLE runs for the whole program, as in the main program.
static const bool g_ole = testutil::AtTestStart(
    [] { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }, [] { OleUninitialize(); });

namespace {

class DragDialog : public MDialog
{
public:
    KeyFuncValue* grid = nullptr;
    KeyboardCtrl* pad = nullptr;
    std::vector<UINT> codes;  // events of the grid
    int dragOvers = 0, drops = 0;
    int hoveredAtDrop = -2;

    void InitUI(CRect) override
    {
        m_pm.SetBackColor(RGB(245, 247, 250), RGB(214, 219, 227));
        grid = dynamic_cast<KeyFuncValue*>(
            CreateControl(L"KeyFuncValue", 89, CRect(20, 20, 345, 200), L"", 1, 1));
        grid->SetImage(L"img_key_bkg.png", 4);
        grid->SetTextColor(Gdiplus::Color(0xFF0A0A0A));
        grid->SetFont(L"Roboto-Medium", 12, Gdiplus::FontStyleRegular);
        const wchar_t* names[] = {L"Play/Pause", L"Stop", L"Next", L"Mute", L"Calculator", L"Web"};
        for (int i = 0; i < 6; ++i) grid->AddItem(names[i], 100 + i, L"");
        grid->SetAllHeight(120);
        grid->SetControlRect(CRect(20, 20, 345, 200));
        // The keyboard picture with three keys side by side.
        pad = dynamic_cast<KeyboardCtrl*>(
            CreateControl(L"KeyboardCtrl", 58, CRect(380, 20, 680, 120), L"", 1, 1));
        pad->SetImage(L"img_key_bkg.png", 4);
        pad->SetKeyboardCtrlMode(KeyboardCtrl::MODE_CUSTOM);
        const wchar_t* keys[] = {L"Q", L"W", L"E"};
        for (int i = 0; i < 3; ++i)
            pad->AddKeyItem(keys[i], keys[i], 20 + i, CRect(100 * i, 0, 100 * i + 96, 96), L"",
                            RGB(60, 60, 60));
    }
    // A key's centre in window client coordinates.
    CPoint KeyCentre(int index)
    {
        CRect r = pad->GetRealRect(CRect(pad->GetKeyItems()[static_cast<size_t>(index)]->rcKey));
        r.OffsetRect(pad->GetRect().left, pad->GetRect().top);
        return r.CenterPoint();
    }
    LONG OnMessage(UINT id, UINT code, UINT_PTR, LONG_PTR) override
    {
        if (id == 89) codes.push_back(code);
        return 0;
    }
    LONG OnWindowMessage(UINT msg, UINT_PTR wparam, LONG_PTR lparam) override
    {
        if (msg == WM_DRAG_OVER_NOTIFY) {
            // As the main window does: the pointer's place marks the key under it.
            ++dragOvers;
            POINT pt;
            ::GetCursorPos(&pt);
            ::ScreenToClient(GetSafeHwnd(), &pt);
            pad->DragMove(CPoint(pt.x, pt.y));
            return 0;
        }
        if (msg == WM_DROP_NOTIFY) {
            ++drops;
            hoveredAtDrop = pad->GetHoverIndex();
            return 1;
        }
        return MDialog::OnWindowMessage(msg, wparam, lparam);
    }
};

void Button(DWORD flags)
{
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    ::SendInput(1, &in, sizeof(in));
}

void MoveTo(int x, int y)
{
    ::SetCursorPos(x, y);
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    in.mi.dx = static_cast<LONG>(x * 65535LL / (::GetSystemMetrics(SM_CXSCREEN) - 1));
    in.mi.dy = static_cast<LONG>(y * 65535LL / (::GetSystemMetrics(SM_CYSCREEN) - 1));
    ::SendInput(1, &in, sizeof(in));
}

TEST(TileDrag, DroppingATileOnTheKeyPictureGoesThroughOleDragAndDrop)
{
    Manager::SetThemeSkins(L"theme1\\");
    const int left = 150, top = 120;
    DragDialog dlg;
    ASSERT_NE(dlg.Create(nullptr, L"drag", WS_POPUP | WS_VISIBLE, WS_EX_TOPMOST,
                         CRect(left, top, left + 700, top + 240), nullptr),
              nullptr);
    HWND hwnd = dlg.GetSafeHwnd();
    ::SetForegroundWindow(hwnd);
    UpdateWindow(hwnd);
    testutil::PumpPending();

    // The pointer onto the fifth tile ("Calculator"), then the press.
    const CRect tile = dlg.grid->GetItemRect(4);
    ASSERT_FALSE(tile.IsRectEmpty());
    const CPoint press(20 + tile.CenterPoint().x, 20 + tile.CenterPoint().y);
    MoveTo(left + press.x, top + press.y);
    ::SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(press.x, press.y));
    ASSERT_EQ(dlg.GetPaintManager()->GetHoverControl(), dlg.grid);
    ::SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(press.x, press.y));
    ASSERT_EQ(dlg.GetPaintManager()->m_bDragPending, 1);
    EXPECT_EQ(dlg.grid->GetSelectItem(), 4);

    // The real button goes down; another thread walks the pointer over to the
    // middle key and lets go there while the drag's modal loop runs here.
    Button(MOUSEEVENTF_LEFTDOWN);
    testutil::PumpPending();
    const CPoint target = dlg.KeyCentre(1);
    std::thread pointer([&] {
        ::Sleep(150);
        for (int step = 1; step <= 8; ++step) {
            MoveTo(left + press.x + (target.x - press.x) * step / 8,
                   top + press.y + (target.y - press.y) * step / 8);
            ::Sleep(40);
        }
        ::Sleep(100);
        Button(MOUSEEVENTF_LEFTUP);
    });
    // With the button held, a first move brings the drag point up to date and
    // a short one from there starts the drag; it returns once dropped.
    ::SendMessageW(hwnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(press.x + 1, press.y + 1));
    ::SendMessageW(hwnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(press.x + 2, press.y + 2));
    pointer.join();
    testutil::PumpUntil([&] { return dlg.drops > 0; }, 3000);
    testutil::PumpPending();

    EXPECT_EQ(dlg.GetPaintManager()->m_bDragPending, 0);
    EXPECT_EQ(dlg.drops, 1);
    EXPECT_GT(dlg.dragOvers, 0);
    EXPECT_EQ(dlg.hoveredAtDrop, 1);  // the key under the pointer at the drop
    // The grid reported no click: the dragged tile is its selection.
    EXPECT_TRUE(std::find(dlg.codes.begin(), dlg.codes.end(), 2u) == dlg.codes.end());
    int data = 0;
    CString text;
    dlg.grid->GetCurValue(data, text);
    EXPECT_EQ(data, 104);
    EXPECT_EQ(text, CString(L"Calculator"));
    RECT clip = {};
    ::GetClipCursor(&clip);
    EXPECT_EQ(clip.right - clip.left, ::GetSystemMetrics(SM_CXSCREEN));

    // With dragging off, the same press and move is a click that reports the
    // tile pressed.
    dlg.grid->SetDragDrop(0);
    MoveTo(left + press.x, top + press.y);
    ::SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(press.x, press.y));
    ::SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(press.x, press.y));
    EXPECT_EQ(dlg.GetPaintManager()->m_bDragPending, 0);
    ::SendMessageW(hwnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(press.x + 1, press.y + 1));
    ::SendMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(press.x + 1, press.y + 1));
    ASSERT_FALSE(dlg.codes.empty());
    EXPECT_EQ(dlg.codes.back(), 2u);
    dlg.DestroyWindow();
    testutil::PumpPending();
}

}  // namespace
