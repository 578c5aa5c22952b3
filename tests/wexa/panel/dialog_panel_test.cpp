// Panels inside a real dialog window: created by class name in InitUI, events
// from two panels deep reaching the dialog's OnMessage, wheel input scrolling
// the content, and the bars' built-in images.
#include <gtest/gtest.h>

#include <vector>

#include "ControlRegistry.h"
#include "MDialog.h"
#include "MPanel.h"
#include "WindowTestHelpers.h"

using namespace WEXA;

namespace {

class Leaf : public MControl
{
public:
    Leaf(MObject* owner, UINT id, CRect rect) : MControl(owner, id, rect, 1, 1, 1) {}
    void DrawControl(HDC&, CRect) override {}
    int OnControlLButtonUp(UINT, CPoint point) override
    {
        SendMessageW(2, static_cast<UINT>(point.x), point.y);
        return 1;
    }
};

MControl* MakeLeaf(const ControlArgs& a)
{
    return new Leaf(a.owner, a.id, a.rect);
}
MControl* MakePanel(const ControlArgs& a)
{
    return new MPanel(a.owner, a.id, a.rect, a.visible);
}

class PageDialog : public MDialog
{
public:
    void InitUI(CRect) override
    {
        page = static_cast<MPanel*>(
            CreateControl(L"MTabLayout", 30, CRect(10, 10, 210, 110), L"", 1, 1));
        if (!page) return;
        inner = static_cast<MPanel*>(
            page->CreateControl(L"MTabLayout", 31, CRect(10, 10, 190, 310), L"", 1, 1));
        if (!inner) return;
        leaf = inner->CreateControl(L"MButton", 90, CRect(20, 250, 60, 290), L"", 1, 1);
        page->SetRect(CRect(10, 10, 210, 110));  // content 300 high in a 100 px page
    }
    LONG OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override
    {
        events.push_back({id, code, static_cast<UINT>(wparam), static_cast<UINT>(lparam)});
        return 0;
    }
    struct Event
    {
        UINT id, code, wparam, lparam;
    };
    std::vector<Event> events;
    MPanel* page = nullptr;
    MPanel* inner = nullptr;
    MControl* leaf = nullptr;
};

TEST(DialogPanels, ScrolledEventsAndImages)
{
    ControlCreator oldTab = RegisterControlClass(L"MTabLayout", MakePanel);
    ControlCreator oldButton = RegisterControlClass(L"MButton", MakeLeaf);
    {
        PageDialog dlg;
        ASSERT_NE(
            dlg.Create(nullptr, L"panels", WS_POPUP | WS_VISIBLE, 0, CRect(100, 100, 400, 300)),
            nullptr);
        ASSERT_NE(dlg.leaf, nullptr);
        HWND wnd = dlg.GetSafeHwnd();
        auto* bar = static_cast<MScroll*>(dlg.page->GetScrollVertical());
        EXPECT_TRUE(bar->IsVisible());
        EXPECT_EQ(bar->GetScrollMaxRange(), 300);

        // The bars carry the library's own images.
        auto* hbar = static_cast<MScroll*>(dlg.page->GetScrollHorizontal());
        ASSERT_NE(bar->m_pImage, nullptr);
        EXPECT_EQ(bar->m_nFrameWidth, static_cast<int>(bar->m_pImage->GetWidth()) / 3);
        EXPECT_EQ(bar->m_nImageHeight, static_cast<int>(bar->m_pImage->GetHeight()));
        ASSERT_NE(hbar->m_pImage, nullptr);
        EXPECT_EQ(hbar->m_nFrameWidth, static_cast<int>(hbar->m_pImage->GetWidth()));
        EXPECT_EQ(hbar->m_nImageHeight, static_cast<int>(hbar->m_pImage->GetHeight()) / 4);

        // Wheel towards the user over the page, 40 notches: scrolled to the end.
        POINT pt = {50, 50};
        ClientToScreen(wnd, &pt);
        for (int i = 0; i < 40; ++i)
            SendMessageW(wnd, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)),
                         MAKELPARAM(pt.x, pt.y));
        EXPECT_EQ(bar->GetScrollCurrentPos(), 300);
        EXPECT_EQ(dlg.page->GetVerticalOffset(), 200);

        // Client (40, 70) is content (40, 270) of the page: on the leaf.
        SendMessageW(wnd, WM_MOUSEMOVE, 0, MAKELPARAM(40, 70));
        SendMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 70));
        SendMessageW(wnd, WM_LBUTTONUP, 0, MAKELPARAM(40, 70));
        testutil::PumpPending();
        ASSERT_FALSE(dlg.events.empty());
        EXPECT_EQ(dlg.events.back().id, 90u);
        EXPECT_EQ(dlg.events.back().code, 2u);
        EXPECT_EQ(dlg.events.back().wparam, 40u);
        EXPECT_EQ(dlg.events.back().lparam, 270u);

        // Dragging the thumb is reported under the bar's id.
        dlg.events.clear();
        bar->SetScrollCurrentPos(0);
        const CRect thumb = bar->GetThumbRect();
        const int x = thumb.left + 2;
        SendMessageW(wnd, WM_MOUSEMOVE, 0, MAKELPARAM(x, thumb.top + 2));
        SendMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, thumb.top + 2));
        SendMessageW(wnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, thumb.top + 12));
        SendMessageW(wnd, WM_LBUTTONUP, 0, MAKELPARAM(x, thumb.top + 12));
        ASSERT_FALSE(dlg.events.empty());
        EXPECT_EQ(dlg.events[0].id, 1u);
        EXPECT_EQ(dlg.events[0].code, 8u);
        EXPECT_EQ(dlg.events[0].wparam, static_cast<UINT>(bar->GetScrollCurrentPos()));
        EXPECT_GT(bar->GetScrollCurrentPos(), 0);

        // Painting a scrolled page does not fail.
        RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        dlg.DestroyWindow();
        testutil::PumpPending();
    }
    RegisterControlClass(L"MTabLayout", oldTab);
    RegisterControlClass(L"MButton", oldButton);
}

}  // namespace
