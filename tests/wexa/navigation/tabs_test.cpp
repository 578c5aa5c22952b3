// The tab strip and its pages: layout, selection and its event, hover and
// mouse response, the slide on the window timer.
#include <gtest/gtest.h>

#include <climits>

#include "MTabCtrl.h"
#include "NavHost.h"
#include "WindowTestHelpers.h"

namespace {

using WEXA::MTabCtrl;
using WEXA::MTabLayout;

class TabTest : public nav::HostTest
{
protected:
    // The main window's navigation: eight tabs with ids 0, 1, 3, 2, 4, 5, 7, 8
    // on a vertical strip of 239 x 50 cells, one page each.
    MTabCtrl* MakeNavigation()
    {
        for (UINT i = 0; i < 8; ++i)
            pages.push_back(Make<MTabLayout>(L"MTabLayout", 69 + i, CRect(250, 0, 690, 500)));
        MTabCtrl* tab = Make<MTabCtrl>(L"MTabCtrl", 68, CRect(0, 0, 245, 540));
        EXPECT_NE(tab, nullptr);
        tab->SetTabCtrlWidth(239);
        tab->SetTabCtrlHeight(50);
        tab->SetLeftRightPading(0, 50);
        tab->SetTopBottomPading(0, 400);
        tab->SetTabType(WEXA::TAB_TYPE_VERTICAL);
        const UINT ids[8] = {0, 1, 3, 2, 4, 5, 7, 8};
        for (int i = 0; i < 8; ++i) tab->InsertItem(ids[i], L"Tab", L"", pages[i], 4, 0);
        tab->SetItemWidth(239, 239, 1);
        tab->SetItemHeight(50, 50, 1);
        return tab;
    }
    std::vector<MTabLayout*> pages;
};

TEST_F(TabTest, NavigationLayoutKeepsIndicesOfHiddenTabs)
{
    MTabCtrl* tab = MakeNavigation();
    ASSERT_EQ(tab->GetItemCount(), 8);
    EXPECT_EQ(tab->GetItemID(2), 3);
    EXPECT_EQ(tab->GetItemID(3), 2);
    EXPECT_EQ(tab->GetItemID(8), 0);
    EXPECT_EQ(tab->GetItemInfo(8), nullptr);
    // Cells of 239 x 50, 51 pixels apart from the control's corner.
    EXPECT_EQ(CRect(tab->GetItemInfo(2)->rect), CRect(0, 102, 239, 152));
    tab->SetItemVisible(2, 0);
    EXPECT_EQ(tab->GetItemID(2), 3);
    EXPECT_EQ(tab->GetItemVisible(2), 0);
    EXPECT_TRUE(CRect(tab->GetItemInfo(2)->rect).IsRectEmpty());
    // The third visible tab (index 3) takes the room of the hidden one.
    EXPECT_EQ(tab->GetItemInfo(3)->rect.top, 102);
    // The caption is replaced in place through the record.
    tab->GetItemInfo(0)->text = L"Keys";
    EXPECT_EQ(CString(tab->GetItemInfo(0)->text), CString(L"Keys"));
}

TEST_F(TabTest, EveryIndexMapsToItsTabIdAndPage)
{
    // The owner maps the event's index to the tab id; indices stay with their
    // tabs while the tab at index 2 is hidden, as the main window does.
    MTabCtrl* tab = MakeNavigation();
    tab->SetItemVisible(2, 0);
    const int ids[8] = {0, 1, 3, 2, 4, 5, 7, 8};
    for (int index = 0; index < 8; ++index) {
        SCOPED_TRACE(testing::Message() << "index " << index);
        EXPECT_EQ(tab->GetItemID(index), ids[index]);
        ASSERT_NE(tab->GetItemInfo(index), nullptr);
        EXPECT_EQ(tab->GetItemInfo(index)->id, static_cast<UINT>(ids[index]));
        EXPECT_EQ(tab->GetItemInfo(index)->control, pages[static_cast<size_t>(index)]);
        if (index == 2) continue;  // hidden: not chosen
        host.events.clear();
        tab->SetSelectItem(index);
        EXPECT_EQ(tab->GetSelectItem(), index);
        ASSERT_EQ(host.events.size(), 1u);
        EXPECT_EQ(host.events[0].id, 68u);
        EXPECT_EQ(host.events[0].code, 2u);
        EXPECT_EQ(tab->GetItemID(static_cast<int>(host.events[0].wparam)), ids[index]);
        for (size_t i = 0; i < pages.size(); ++i)
            EXPECT_EQ(pages[i]->IsVisible(), static_cast<int>(i) == index ? 1 : 0) << "page " << i;
    }
    for (int index : {-1, 8, 100, INT_MIN}) {
        EXPECT_EQ(tab->GetItemID(index), 0) << index;
        EXPECT_EQ(tab->GetItemInfo(index), nullptr) << index;
    }
}

TEST_F(TabTest, AHiddenTabLeavesThePagesToItsOwnerUntilShownAgain)
{
    // The main window hides the strip and its page to show the settings
    // panel in their place; meanwhile another thread shows or hides a model's
    // tabs (and the window lays the strip out anew). The page stays hidden,
    // and the strip shown again brings it.
    MTabCtrl* tab = MakeNavigation();
    tab->SetSelectItem(4);
    ASSERT_EQ(pages[4]->IsVisible(), 1);
    tab->SetVisible(0);
    ASSERT_EQ(pages[4]->IsVisible(), 0);
    tab->SetItemVisible(2, 0);
    tab->SetItemVisible(2, 1);
    tab->SetRect(CRect(0, 0, 245, 560));
    for (size_t i = 0; i < pages.size(); ++i) EXPECT_EQ(pages[i]->IsVisible(), 0) << "page " << i;
    // What the owner shows in the strip's absence is its own.
    pages[0]->SetVisible(1);
    tab->SetItemVisible(3, 0);
    EXPECT_EQ(pages[0]->IsVisible(), 1);
    tab->SetVisible(1);
    for (size_t i = 0; i < pages.size(); ++i)
        EXPECT_EQ(pages[i]->IsVisible(), i == 4 ? 1 : 0) << "page " << i;
    // A shown strip keeps its selected page and no other.
    pages[1]->SetVisible(1);
    tab->SetItemVisible(3, 1);
    for (size_t i = 0; i < pages.size(); ++i)
        EXPECT_EQ(pages[i]->IsVisible(), i == 4 ? 1 : 0) << "page " << i;
}

TEST_F(TabTest, EventArrivesBeforeThePagesSwitch)
{
    MTabCtrl* tab = MakeNavigation();
    EXPECT_EQ(tab->SetSelectItem(0), -1);
    int oldVisibleAtEvent = -1, newVisibleAtEvent = -1;
    host.onEvent = [&](const nav::Event& e) {
        if (e.id == 68 && e.code == 2) {
            oldVisibleAtEvent = pages[0]->IsVisible();
            newVisibleAtEvent = pages[4]->IsVisible();
        }
    };
    host.events.clear();
    EXPECT_EQ(tab->SetSelectItem(4), 0);
    ASSERT_EQ(host.events.size(), 1u);
    EXPECT_EQ(host.events[0].wparam, 4u);
    EXPECT_EQ(host.events[0].lparam, 0);
    EXPECT_EQ(oldVisibleAtEvent, 1);
    EXPECT_EQ(newVisibleAtEvent, 0);
    EXPECT_EQ(pages[0]->IsVisible(), 0);
    EXPECT_EQ(pages[4]->IsVisible(), 1);
    // The owner maps the index to the tab's id.
    EXPECT_EQ(tab->GetItemID(static_cast<int>(host.events[0].wparam)), 4);

    // The same index, a negative one or one past the end: nothing happens.
    host.events.clear();
    EXPECT_EQ(tab->SetSelectItem(4), 4);
    EXPECT_EQ(tab->SetSelectItem(-1), 4);
    EXPECT_EQ(tab->SetSelectItem(8), 4);
    EXPECT_TRUE(host.events.empty());
}

TEST_F(TabTest, HidingTheStripHidesThePagesAndShowingShowsTheSelectedOne)
{
    MTabCtrl* tab = MakeNavigation();
    tab->SetSelectItem(1);
    tab->SetVisible(0);
    for (auto* page : pages) EXPECT_EQ(page->IsVisible(), 0);
    tab->SetVisible(1);
    for (size_t i = 0; i < pages.size(); ++i) EXPECT_EQ(pages[i]->IsVisible(), i == 1 ? 1 : 0);
}

TEST_F(TabTest, HorizontalTabWidthFromMaximumMinimumAndCount)
{
    struct Case
    {
        int tabs, expected;
    } cases[] = {{4, 150}, {10, 80}, {1, 300}};
    for (const Case& c : cases) {
        MTabCtrl tab(&host, 5, CRect(0, 0, 600, 100), 1, 1);
        tab.SetTabCtrlHeight(40);
        for (int i = 0; i < c.tabs; ++i) tab.InsertItem(i, L"", L"", nullptr, 1, 60);
        tab.SetItemWidth(300, 80, 1);
        EXPECT_EQ(tab.GetItemWidth(), c.expected) << c.tabs << " tabs";
        EXPECT_EQ(tab.GetItemInfo(c.tabs - 1)->rect.left, (c.tabs - 1) * c.expected);
    }
}

TEST_F(TabTest, MouseResponseOnlyOnTabsWithinTheStripBand)
{
    MTabCtrl tab(&host, 5, CRect(0, 0, 600, 300), 1, 1);
    tab.SetTabCtrlHeight(40);
    tab.InsertItem(1, L"", L"", nullptr, 1, 100);
    tab.InsertItem(2, L"", L"", nullptr, 1, 100);
    tab.SetItemWidth(100, 0, 1);
    EXPECT_EQ(tab.OnCheckMouseResponse(0, CPoint(50, 20)), 1);    // on a tab
    EXPECT_EQ(tab.OnCheckMouseResponse(0, CPoint(350, 20)), 0);   // band, no tab
    EXPECT_EQ(tab.OnCheckMouseResponse(0, CPoint(350, 200)), 1);  // below the band
    tab.SetItemVisible(1, 0);
    EXPECT_EQ(tab.OnCheckMouseResponse(0, CPoint(150, 20)), 0);  // hidden tab
}

TEST_F(TabTest, ClickOnAHoveredTabSelectsIt)
{
    MTabCtrl* tab = MakeNavigation();
    tab->SetSelectItem(0);
    host.events.clear();
    // Press and release through the window, as the user would. The real
    // cursor goes there too: a move the display reports from wherever it
    // last rested would otherwise take the hover away between the posts.
    POINT screen = {101, 171};
    ClientToScreen(hwnd, &screen);
    SetCursorPos(screen.x, screen.y);
    PostMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(100, 170));
    PostMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(101, 171));
    PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(101, 171));
    PostMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(101, 171));
    testutil::PumpPending();
    EXPECT_EQ(tab->GetSelectItem(), 3);
    ASSERT_EQ(EventsWithCode(2).size(), 1u);
    EXPECT_EQ(EventsWithCode(2)[0].wparam, 3u);
    EXPECT_EQ(pages[3]->IsVisible(), 1);
    // From the second move over a tab its caption is the window's tooltip;
    // leaving the strip hides it and ends the hover.
    tab->OnControlMouseMove(0, CPoint(100, 20));
    EXPECT_EQ(engine->GetTooltipCtrlID(), 0);
    tab->OnControlMouseMove(0, CPoint(101, 21));
    EXPECT_EQ(engine->GetTooltipCtrlID(), 68);
    tab->OnControlMouseMove(0, CPoint(600, 600));
    EXPECT_EQ(tab->GetHoverItem(), -1);
    EXPECT_EQ(engine->GetTooltipCtrlID(), 0);
}

TEST_F(TabTest, SlideEndsOnTheEleventhTickOfAWideStrip)
{
    MTabCtrl tab(&host, 5, CRect(0, 0, 1005, 60), 1, 1);
    tab.SetTabCtrlHeight(40);
    tab.InsertItem(1, L"", L"", nullptr, 1, 100);
    tab.InsertItem(2, L"", L"", nullptr, 1, 100);
    tab.SetSelectItem(0);
    tab.EnableAnimateChangeTab(1);
    tab.SetSelectItem(1);
    int ticks = 0;
    while (tab.IsSliding() && ticks < 50) {
        EXPECT_EQ(tab.OnControlTimer(), 1);
        ++ticks;
    }
    EXPECT_EQ(ticks, 11);
    EXPECT_EQ(tab.GetSlideOffset().x, 1100);
    EXPECT_EQ(tab.OnControlTimer(), 0);
    // Back to a lower index: the offset runs negative.
    tab.SetSelectItem(0);
    ticks = 0;
    while (tab.IsSliding() && ticks < 50) {
        tab.OnControlTimer();
        ++ticks;
    }
    EXPECT_EQ(ticks, 11);
}

TEST_F(TabTest, SlideRunsOnTheWindowTimerAndEndsWithTheNewPageShown)
{
    MTabCtrl* tab = MakeNavigation();
    tab->SetSelectItem(0);
    tab->EnableAnimateChangeTab(1);
    tab->SetUpdataRect(CRect(0, 0, 690, 540));
    tab->SetSelectItem(1);
    EXPECT_TRUE(tab->IsSliding());
    EXPECT_TRUE(testutil::PumpUntil([&] { return !tab->IsSliding(); }, 3000));
    EXPECT_EQ(pages[1]->IsVisible(), 1);
    EXPECT_EQ(pages[0]->IsVisible(), 0);
    // The slide offsets reached the full height of the control.
    EXPECT_GE(tab->GetSlideOffset().y, 540);
}

TEST_F(TabTest, CreatePanelOnlyForTheExactName)
{
    MTabCtrl* tab = MakeNavigation();
    EXPECT_EQ(tab->CreatePanel(L"mtablayout", 90, CRect(0, 0, 10, 10)), nullptr);
    EXPECT_EQ(tab->CreatePanel(L"", 90, CRect(0, 0, 10, 10)), nullptr);
    EXPECT_EQ(tab->CreatePanel(nullptr, 90, CRect(0, 0, 10, 10)), nullptr);
    WEXA::MControl* panel = tab->CreatePanel(L"MTabLayout", 90, CRect(0, 0, 10, 10));
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->GetManager(), engine);
    // Its events reach the strip's owner with the panel's id.
    host.events.clear();
    panel->SendMessageW(5, 1, 2);
    ASSERT_EQ(host.events.size(), 1u);
    EXPECT_EQ(host.events[0].id, 90u);
}

TEST_F(TabTest, LayoutTakesTheMouseOnlyOnVisibleChildren)
{
    auto* page = Make<MTabLayout>(L"MTabLayout", 70, CRect(0, 0, 300, 300));
    ASSERT_NE(page, nullptr);
    WEXA::MControl* child = page->CreateControl(L"MTabLayout", 5, CRect(10, 10, 50, 50), L"", 1, 1);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(page->OnCheckMouseResponse(0, CPoint(20, 20)), 1);
    EXPECT_EQ(page->OnCheckMouseResponse(0, CPoint(200, 200)), 0);
    child->SetControlVisible(0);
    EXPECT_EQ(page->OnCheckMouseResponse(0, CPoint(20, 20)), 0);
}

}  // namespace
