// The container panel: its factory's class-name table, layout and content
// size, scrolling (hit testing, wheel, repaint rectangles), notifications and
// look-ups through nested panels.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ControlRegistry.h"
#include "MPanel.h"
#include "PaintManager.h"

using namespace WEXA;

namespace {

// A plain control that records what reaches its hooks.
class Probe : public MControl
{
public:
    Probe(MObject* owner, UINT id, CRect rect, int visible = 1, int enabled = 1)
        : MControl(owner, id, rect, visible, enabled, 1)
    {}
    void DrawControl(HDC&, CRect) override { ++draws; }
    void InitControl(PaintManager* manager) override { initWith = manager; }
    int OnControlLButtonDown(UINT, CPoint point) override
    {
        presses.push_back(point);
        return 1;
    }
    int OnControlMouseMove(UINT, CPoint point) override
    {
        moves.push_back(point);
        return 1;
    }
    LONG OnWindowMessage(UINT msg, UINT_PTR, LONG_PTR) override { return msg == takes ? 1 : 0; }
    void Report(UINT code) { SendMessageW(code, 5, 6); }

    std::vector<CPoint> presses;
    std::vector<CPoint> moves;
    PaintManager* initWith = nullptr;
    UINT takes = 0;
    int draws = 0;
    // The factory arguments it was made with.
    std::wstring title;
    int visibleArg = -1;
    int enabledArg = -1;
};

// Owner at the top (stands for the dialog).
class Top : public MObject
{
public:
    LONG OnBaseMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override
    {
        messages.push_back({id, code, static_cast<UINT>(wparam), static_cast<UINT>(lparam)});
        return 0;
    }
    LONG OnControlUpdate(CRect rect, int erase, MControl* control) override
    {
        updates.push_back(rect);
        return 0;
    }
    struct Msg
    {
        UINT id, code, wparam, lparam;
    };
    std::vector<Msg> messages;
    std::vector<CRect> updates;
};

MControl* MakeProbe(const ControlArgs& a)
{
    auto* p = new Probe(a.owner, a.id, a.rect, a.visible, a.enabled);
    p->title = a.title;
    p->visibleArg = a.visible;
    p->enabledArg = a.enabled;
    return p;
}

MControl* MakePanel(const ControlArgs& a)
{
    return new MPanel(a.owner, a.id, a.rect, a.visible);
}

// Registers a constructor for a class name for the length of a test.
class Registered
{
public:
    Registered(const wchar_t* name, ControlCreator creator) : name_(name)
    {
        previous_ = RegisterControlClass(name, creator);
    }
    ~Registered() { RegisterControlClass(name_.c_str(), previous_); }

private:
    std::wstring name_;
    ControlCreator previous_;
};

enum Args { TVE, TV1, TV, VE, V1, V };

struct Entry
{
    const wchar_t* name;
    Args args;
};

// Every class name the panel's factory knows, by the arguments its class's
// constructor takes after owner, id and rectangle.
const Entry kTable[] = {
    {L"MButton", TVE},        {L"CImageButton", TVE},  {L"CTextButton", TVE},
    {L"CCheckButton", TVE},   {L"CRadioButton", TVE},  {L"CSelectButton", TVE},
    {L"CIconButton", TVE},    {L"CTimerButton", TVE},  {L"CHelpButton", TVE},
    {L"MEdit", TVE},          {L"MRichEdit", TVE},     {L"MEditEx", TVE},
    {L"MenuItem", TV1},       {L"UpgradeButton", TV1}, {L"DownloadButton", TV1},
    {L"KeyLayerButton", TV1}, {L"MButton3", TV1},      {L"MText", TV},
    {L"MPicture", VE},        {L"CPhotoFrame", VE},    {L"CSliderPicture", VE},
    {L"CGifPicture", VE},     {L"MProgress", VE},      {L"MSlider", VE},
    {L"MLevelCtrl", VE},      {L"CColorButton", VE},   {L"MSpinButton", VE},
    {L"CSpinButton", VE},     {L"CSwitchButton", VE},  {L"MComboBox", VE},
    {L"MTabCtrl", VE},        {L"CArea", V1},          {L"CRoundArea", V1},
    {L"CirclePalette", V1},   {L"CDeviceCtrl", V1},    {L"CDeviceList", V1},
    {L"BatteryCtrl", V1},     {L"ImageView", V1},      {L"ColorView", V1},
    {L"KeyFuncValue", V1},    {L"ProfileList", V1},    {L"MListBoxEx", V1},
    {L"CKeyTestCtrl", V1},    {L"KeyFuncType", V1},    {L"KeyMenuFuncType", V1},
    {L"TabCtrlEx", V1},       {L"KeyLayerCtrl", V1},   {L"MTabLayout", V},
    {L"MListBox", V},         {L"MacroList", V},       {L"MPalette", V},
    {L"CColorPalette", V},    {L"CColorSelect", V},    {L"KeyboardCtrl", V},
    {L"KeyFuncControl", V},   {L"CRecordList", V},     {L"NimbrelEffect", V},
    {L"LCDViewList", V},      {L"LCDViewCtrl", V},     {L"ImageViewList", V},
    {L"LCDPalette", V},       {L"LCDPalette2", V},     {L"LCDPalette3", V},
    {L"KeyFuncCtrl", V},      {L"MatrixScreen", V},
};

TEST(PanelFactory, EveryListedNameCreatesItsClassWithItsArguments)
{
    ASSERT_EQ(sizeof(kTable) / sizeof(kTable[0]), 65u);
    for (const Entry& e : kTable) {
        Registered reg(e.name, MakeProbe);
        Top top;
        MPanel panel(&top, 50, CRect(0, 0, 100, 100), 1);
        auto* p =
            static_cast<Probe*>(panel.CreateControl(e.name, 7, CRect(1, 2, 3, 4), L"T", 1, 0));
        ASSERT_NE(p, nullptr) << std::wstring(e.name).c_str();
        EXPECT_EQ(p->GetControlID(), 7u);
        EXPECT_EQ(p->GetRect(), CRect(1, 2, 3, 4));
        EXPECT_EQ(p->GetParantObject(), &panel);
        const bool hasTitle = e.args == TVE || e.args == TV1 || e.args == TV;
        const bool hasEnabled = e.args == TVE || e.args == VE;
        EXPECT_EQ(p->title, hasTitle ? L"T" : L"") << std::wstring(e.name).c_str();
        EXPECT_EQ(p->enabledArg, hasEnabled ? 0 : 1) << std::wstring(e.name).c_str();
        EXPECT_EQ(p->visibleArg, 1);
        ASSERT_EQ(panel.GetControls().size(), 3u);  // after the two bars
        EXPECT_EQ(panel.GetControls()[2], p);
    }
}

TEST(PanelFactory, UnknownNamesCreateNothing)
{
    Registered button(L"MButton", MakeProbe);
    Registered panelClass(L"MPanel", MakePanel);        // creatable elsewhere, not here
    Registered comboList(L"CComboBoxList", MakeProbe);  // only the window's factory knows it
    Top top;
    MPanel panel(&top, 50, CRect(0, 0, 100, 100), 1);
    for (const wchar_t* name :
         {L"", L"mbutton", L"MBUTTON", L"MButton ", L"MButto", L"MPanel", L"CComboBoxList",
          L"CTextArea", L"DPIControl", L"CScrollVertical"}) {
        EXPECT_EQ(panel.CreateControl(name, 9, CRect(), L"", 1, 1), nullptr)
            << std::wstring(name).c_str();
        EXPECT_EQ(panel.CreateArea(name, 9, CRect(), L"", 1, 1), nullptr)
            << std::wstring(name).c_str();
    }
    EXPECT_EQ(panel.CreateControl(nullptr, 9, CRect(), L"", 1, 1), nullptr);
    // A listed name whose class is not registered.
    const WEXA::ControlCreator matrix = WEXA::RegisterControlClass(L"MatrixScreen", nullptr);
    EXPECT_EQ(panel.CreateControl(L"MatrixScreen", 9, CRect(), L"", 1, 1), nullptr);
    WEXA::RegisterControlClass(L"MatrixScreen", matrix);
    EXPECT_EQ(panel.GetControls().size(), 2u);
    EXPECT_TRUE(panel.m_areas.empty());
}

TEST(PanelFactory, KindDecidesWhereTheControlIsFiled)
{
    Registered button(L"MButton", MakeProbe);
    Top top;
    PaintManager engine;
    MPanel panel(&top, 50, CRect(0, 0, 100, 100), 1);
    panel.SetManager(&engine);
    EXPECT_TRUE(panel.IsAttached());
    EXPECT_EQ(panel.GetScrollVertical()->GetManager(), &engine);

    auto* area =
        static_cast<Probe*>(panel.CreateArea(L"MButton", 11, CRect(0, 0, 10, 10), L"", 1, 1));
    auto* child =
        static_cast<Probe*>(panel.CreateControl(L"MButton", 12, CRect(0, 0, 10, 10), L"", 1, 1));
    auto* loose = static_cast<Probe*>(
        panel.CreateControl(2, &top, L"MButton", 13, CRect(0, 0, 10, 10), L"", 1, 1));
    ASSERT_TRUE(area && child && loose);
    EXPECT_EQ(area->initWith, &engine);
    EXPECT_EQ(child->GetManager(), &engine);
    ASSERT_EQ(panel.m_areas.size(), 1u);
    EXPECT_EQ(panel.m_areas[0], area);
    EXPECT_EQ(panel.GetControls().back(), child);
    EXPECT_EQ(loose->GetParantObject(), &top);
    EXPECT_EQ(panel.GetControl(13), nullptr);
    EXPECT_EQ(panel.GetControl(11), area);
    delete loose;  // the caller's
}

TEST(PanelLayout, ContentSizeShowsAndHidesTheBars)
{
    Top top;
    for (bool reversed : {false, true}) {
        MPanel panel(&top, 50, CRect(10, 20, 110, 120), 1);
        auto* a = new Probe(&panel, 3, CRect(10, 20, 60, 60));   // reaches 40 below the top
        auto* b = new Probe(&panel, 4, CRect(10, 20, 60, 170));  // reaches 150
        panel.GetControls().push_back(reversed ? b : a);
        panel.GetControls().push_back(reversed ? a : b);
        panel.SetRect(CRect(10, 20, 110, 120));
        EXPECT_EQ(panel.GetVirtualHeight(), 150);
        EXPECT_EQ(panel.GetVirtualWidth(), 50);
        EXPECT_TRUE(panel.GetScrollVertical()->IsVisible());
        EXPECT_FALSE(panel.GetScrollHorizontal()->IsVisible());
        EXPECT_EQ(static_cast<MScroll*>(panel.GetScrollVertical())->GetScrollMaxRange(), 150);
        EXPECT_EQ(panel.GetScrollVertical()->GetRect(), CRect(105, 20, 110, 120));
        EXPECT_EQ(panel.GetScrollHorizontal()->GetRect(), CRect(10, 115, 110, 120));
    }
    MPanel panel(&top, 50, CRect(0, 0, 100, 100), 1);
    panel.GetControls().push_back(new Probe(&panel, 3, CRect(0, 0, 150, 80)));
    panel.SetRect(CRect(0, 0, 100, 100));
    EXPECT_EQ(panel.GetVirtualHeight(), 80);
    EXPECT_FALSE(panel.GetScrollVertical()->IsVisible());
    EXPECT_TRUE(panel.GetScrollHorizontal()->IsVisible());
    // Stored values are replaced by the next layout.
    panel.SetVirtualHeight(999);
    EXPECT_EQ(panel.GetVirtualHeight(), 999);
    panel.SetRect(CRect(0, 0, 100, 100));
    EXPECT_EQ(panel.GetVirtualHeight(), 80);
}

TEST(PanelLayout, AnEmptyPanelHasInertBars)
{
    Top top;
    MPanel panel(&top, 50, CRect(0, 0, 100, 100), 1);
    auto* v = static_cast<MScroll*>(panel.GetScrollVertical());
    EXPECT_EQ(v->GetScrollMaxRange(), 0);
    EXPECT_FALSE(v->IsScrollable());
    EXPECT_FALSE(v->IsVisible());
    EXPECT_EQ(panel.GetVerticalOffset(), 0);
    EXPECT_EQ(panel.OnControlScroll(1, 1, CPoint(5, 5)),
              0);  // content fits: the wheel is not taken
    EXPECT_EQ(v->ScrollRow(1), 0);
    EXPECT_EQ(v->GetScrollCurrentPos(), 0);
    EXPECT_EQ(panel.GetControl(1), v);
    EXPECT_EQ(panel.GetControl(2), panel.GetScrollHorizontal());
}

// A 100 x 100 panel whose content reaches 190 px down: 90 px hidden.
class ScrolledPanel : public ::testing::Test
{
protected:
    void SetUp() override
    {
        panel_ = new MPanel(&top_, 50, CRect(0, 0, 100, 100), 1);
        low_ = new Probe(panel_, 3, CRect(0, 150, 50, 190));
        panel_->GetControls().push_back(low_);
        panel_->SetRect(CRect(0, 0, 100, 100));
        bar_ = static_cast<MScroll*>(panel_->GetScrollVertical());
    }
    void TearDown() override { delete panel_; }
    Top top_;
    MPanel* panel_ = nullptr;
    Probe* low_ = nullptr;
    MScroll* bar_ = nullptr;
};

TEST_F(ScrolledPanel, OffsetFollowsTheBar)
{
    EXPECT_EQ(bar_->GetScrollMaxRange(), 190);
    EXPECT_EQ(panel_->GetVerticalOffset(), 0);
    bar_->SetScrollCurrentPos(95);
    EXPECT_EQ(panel_->GetVerticalOffset(), 45);
    bar_->SetScrollCurrentPos(190);
    EXPECT_EQ(panel_->GetVerticalOffset(), 90);
    EXPECT_EQ(panel_->GetHorizontalOffset(), 0);
}

TEST_F(ScrolledPanel, PointsReachChildrenInContentCoordinates)
{
    bar_->SetScrollCurrentPos(190);
    // (10, 70) in the window is (10, 160) in the content: on the low child.
    EXPECT_EQ(panel_->OnLButtonDown(MK_LBUTTON, CPoint(10, 70)), 1);
    ASSERT_EQ(low_->presses.size(), 1u);
    EXPECT_EQ(low_->presses[0], CPoint(10, 160));
    panel_->OnLButtonUp(0, CPoint(10, 70));

    // The bar itself is hit with the window point.
    const size_t notes = top_.messages.size();
    bar_->SetScrollCurrentPos(0);
    EXPECT_EQ(panel_->OnLButtonDown(MK_LBUTTON, CPoint(97, 90)), 1);  // below its thumb: page down
    ASSERT_EQ(top_.messages.size(), notes + 1);
    EXPECT_EQ(top_.messages.back().id, 1u);
    EXPECT_EQ(top_.messages.back().code, 8u);
    EXPECT_GT(bar_->GetScrollCurrentPos(), 0);
    EXPECT_EQ(low_->presses.size(), 1u);
}

TEST(WidePanel, HorizontalOffsetMovesPointsAlongX)
{
    Top top;
    MPanel panel(&top, 50, CRect(0, 0, 100, 100), 1);
    auto* right = new Probe(&panel, 3, CRect(150, 10, 190, 50));  // 90 px hidden to the right
    panel.GetControls().push_back(right);
    panel.SetRect(CRect(0, 0, 100, 100));
    auto* h = static_cast<MScroll*>(panel.GetScrollHorizontal());
    EXPECT_TRUE(h->IsVisible());
    EXPECT_FALSE(panel.GetScrollVertical()->IsVisible());
    EXPECT_EQ(h->GetScrollMaxRange(), 190);
    h->SetScrollCurrentPos(95);
    EXPECT_EQ(panel.GetHorizontalOffset(), 45);  // 90 x 95 / 190
    h->SetScrollCurrentPos(190);
    EXPECT_EQ(panel.GetVerticalOffset(), 0);
    EXPECT_EQ(panel.OnLButtonDown(MK_LBUTTON, CPoint(70, 20)), 1);
    ASSERT_EQ(right->presses.size(), 1u);
    EXPECT_EQ(right->presses[0], CPoint(160, 20));
    panel.OnLButtonUp(0, CPoint(70, 20));
    // The wheel scrolls only the vertical bar: content that fits in height is not scrolled.
    EXPECT_EQ(panel.OnControlScroll(1, 1, CPoint(10, 10)), 0);
}

TEST_F(ScrolledPanel, WithScrollingOffPointsAndWheelAreLeftAlone)
{
    bar_->SetScrollCurrentPos(190);
    panel_->SetEnableScroll(0);
    panel_->OnLButtonDown(MK_LBUTTON, CPoint(10, 70));
    EXPECT_TRUE(low_->presses.empty());
    panel_->OnLButtonUp(0, CPoint(10, 70));
    panel_->OnLButtonDown(MK_LBUTTON, CPoint(10, 160));
    ASSERT_EQ(low_->presses.size(), 1u);
    EXPECT_EQ(low_->presses[0], CPoint(10, 160));
    EXPECT_EQ(panel_->OnControlScroll(1, 1, CPoint(10, 10)), 0);
    EXPECT_EQ(bar_->GetScrollCurrentPos(), 190);
}

TEST_F(ScrolledPanel, WheelScrollsOneRowAndRepaints)
{
    top_.updates.clear();
    EXPECT_EQ(panel_->OnScroll(1, 1, CPoint(10, 10)), 1);
    EXPECT_EQ(bar_->GetScrollCurrentPos(), 10);
    ASSERT_FALSE(top_.updates.empty());
    EXPECT_EQ(top_.updates[0], CRect(0, 0, 100, 100));
    EXPECT_EQ(panel_->OnScroll(1, 0, CPoint(10, 10)), 1);
    EXPECT_EQ(bar_->GetScrollCurrentPos(), 0);
    // At the top already: taken, nothing moves, no repaint.
    top_.updates.clear();
    EXPECT_EQ(panel_->OnControlScroll(1, 0, CPoint(10, 10)), 1);
    EXPECT_TRUE(top_.updates.empty());
}

TEST_F(ScrolledPanel, BaseDrawsNoChildrenWhileScrolled)
{
    HDC dc = CreateCompatibleDC(nullptr);
    panel_->DrawSubControls(dc, CRect(0, 0, 100, 200));
    EXPECT_EQ(low_->draws, 0);
    panel_->SetEnableScroll(0);
    panel_->DrawSubControls(dc, CRect(0, 0, 100, 200));
    EXPECT_EQ(low_->draws, 1);
    DeleteDC(dc);
}

// A visible top-level window to read invalidated regions from.
HWND MakeWindow()
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"PanelTestWindow";
        RegisterClassW(&wc);
        registered = true;
    }
    HWND wnd = CreateWindowExW(0, L"PanelTestWindow", L"", WS_POPUP | WS_VISIBLE, 0, 0, 300, 300,
                               nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    return wnd;
}

CRect PendingUpdate(HWND wnd)
{
    CRect r;
    if (!GetUpdateRect(wnd, &r, FALSE)) return CRect();
    return r;
}

TEST_F(ScrolledPanel, RepaintRequestsAreMovedByTheOffset)
{
    HWND wnd = MakeWindow();
    ASSERT_NE(wnd, nullptr);
    {
        PaintManager engine;
        engine.Init(wnd, nullptr);
        panel_->SetManager(&engine);
        bar_->SetScrollCurrentPos(190);  // 90 px up

        ValidateRect(wnd, nullptr);
        low_->UpdateControl(1, 0);  // content (0,150)-(50,190)
        EXPECT_EQ(PendingUpdate(wnd), CRect(0, 60, 50, 100));
        EXPECT_EQ(low_->GetUpdate(), 0);

        // Content scrolled out of view: nothing to invalidate.
        bar_->SetScrollCurrentPos(0);
        ValidateRect(wnd, nullptr);
        low_->UpdateControl(1, 0);
        EXPECT_TRUE(PendingUpdate(wnd).IsRectEmpty());

        // Without scrolling the rectangle stays where it is (clipped to the panel).
        panel_->SetEnableScroll(0);
        ValidateRect(wnd, nullptr);
        Probe* high = new Probe(panel_, 4, CRect(10, 10, 30, 30));
        panel_->GetControls().push_back(high);
        high->UpdateControl(1, 0);
        EXPECT_EQ(PendingUpdate(wnd), CRect(10, 10, 30, 30));
        panel_->SetManager(nullptr);
        engine.DestroyData();
    }
    DestroyWindow(wnd);
}

TEST(NestedPanels, RepaintGoesThroughEveryOffset)
{
    HWND wnd = MakeWindow();
    ASSERT_NE(wnd, nullptr);
    Registered tab(L"MTabLayout", MakePanel);
    Registered button(L"MButton", MakeProbe);
    Top top;
    {
        PaintManager engine;
        engine.Init(wnd, nullptr);
        MPanel outer(&top, 50, CRect(0, 0, 100, 100), 1);
        outer.SetManager(&engine);
        auto* inner = static_cast<MPanel*>(
            outer.CreateControl(L"MTabLayout", 60, CRect(0, 100, 100, 200), L"", 1, 1));
        ASSERT_NE(inner, nullptr);
        outer.SetRect(CRect(0, 0, 100, 100));  // content 200 high
        auto* outerBar = static_cast<MScroll*>(outer.GetScrollVertical());
        outerBar->SetScrollCurrentPos(200);  // 100 px up: inner now fills the view
        auto* leaf = static_cast<Probe*>(
            inner->CreateControl(L"MButton", 70, CRect(20, 120, 40, 140), L"", 1, 1));
        ASSERT_NE(leaf, nullptr);

        ValidateRect(wnd, nullptr);
        leaf->UpdateControl(1, 0);
        EXPECT_EQ(PendingUpdate(wnd), CRect(20, 20, 40, 40));

        // A hidden panel, or one inside a hidden panel, is not on the screen:
        // a request of its child only marks the child stale.
        for (MPanel* hidden : {inner, &outer}) {
            hidden->m_bVisible = 0;
            leaf->m_bUpdate = 1;
            ValidateRect(wnd, nullptr);
            leaf->UpdateControl(1, 0);
            EXPECT_TRUE(PendingUpdate(wnd).IsRectEmpty());
            EXPECT_EQ(leaf->GetUpdate(), 0);
            hidden->m_bVisible = 1;
        }

        // Hit testing goes through both panels the same way.
        EXPECT_EQ(outer.OnLButtonDown(MK_LBUTTON, CPoint(25, 25)), 1);
        ASSERT_EQ(leaf->presses.size(), 1u);
        EXPECT_EQ(leaf->presses[0], CPoint(25, 125));
        outer.SetManager(nullptr);
        engine.DestroyData();
    }
    DestroyWindow(wnd);
}

TEST(NestedPanels, IdsResolveAndNotificationsArriveUnchanged)
{
    Registered tab(L"MTabLayout", MakePanel);
    Registered button(L"MButton", MakeProbe);
    Top top;
    MPanel outer(&top, 50, CRect(0, 0, 300, 300), 1);
    auto* middle = static_cast<MPanel*>(
        outer.CreateControl(L"MTabLayout", 60, CRect(0, 0, 300, 300), L"", 1, 1));
    ASSERT_NE(middle, nullptr);
    auto* inner = static_cast<MPanel*>(
        middle->CreateArea(L"MTabLayout", 61, CRect(0, 0, 300, 300), L"", 1, 1));
    ASSERT_NE(inner, nullptr);
    auto* leaf =
        static_cast<Probe*>(inner->CreateControl(L"MButton", 77, CRect(5, 5, 20, 20), L"", 1, 1));
    ASSERT_NE(leaf, nullptr);

    EXPECT_EQ(outer.GetControl(77), leaf);
    EXPECT_EQ(outer.GetControl(61), inner);
    EXPECT_EQ(outer.GetControl(50), nullptr);  // the panel itself is not compared
    EXPECT_EQ(outer.GetControl(999), nullptr);

    leaf->Report(2);
    ASSERT_EQ(top.messages.size(), 1u);
    EXPECT_EQ(top.messages[0].id, 77u);
    EXPECT_EQ(top.messages[0].code, 2u);
    EXPECT_EQ(top.messages[0].wparam, 5u);
    EXPECT_EQ(top.messages[0].lparam, 6u);
}

TEST(PanelChildren, RepaintMarksLaterOverlappingChildrenStale)
{
    Top top;
    PaintManager engine;
    MPanel panel(&top, 50, CRect(0, 0, 100, 100), 1);
    panel.SetManager(&engine);
    auto* under = new Probe(&panel, 3, CRect(0, 0, 50, 50));
    auto* over = new Probe(&panel, 4, CRect(20, 20, 70, 70));
    auto* apart = new Probe(&panel, 5, CRect(80, 80, 90, 90));
    auto* before = new Probe(&panel, 6, CRect(0, 0, 50, 50));
    panel.GetControls().insert(panel.GetControls().begin() + 2, before);
    panel.GetControls().push_back(under);
    panel.GetControls().push_back(over);
    panel.GetControls().push_back(apart);
    for (MControl* c : {static_cast<MControl*>(under), static_cast<MControl*>(over),
                        static_cast<MControl*>(apart), static_cast<MControl*>(before)})
        c->m_bUpdate = 1;
    under->UpdateControl(1, 0);
    EXPECT_EQ(under->GetUpdate(), 0);
    EXPECT_EQ(over->GetUpdate(), 0);
    EXPECT_EQ(apart->GetUpdate(), 1);
    EXPECT_EQ(before->GetUpdate(), 1);
    panel.SetManager(nullptr);
}

TEST(PanelChildren, EnabledStateAndWindowMessagesReachTheChildren)
{
    Top top;
    MPanel panel(&top, 50, CRect(0, 0, 100, 100), 1);
    auto* a = new Probe(&panel, 3, CRect(0, 0, 10, 10));
    auto* b = new Probe(&panel, 4, CRect(20, 20, 30, 30), 1, 0);
    a->takes = WM_APP + 1;
    panel.GetControls().push_back(a);
    panel.GetControls().push_back(b);
    top.updates.clear();
    panel.SetEnabled(0);
    EXPECT_EQ(a->IsEnabled(), 0);
    EXPECT_EQ(b->IsEnabled(), 0);
    EXPECT_EQ(panel.IsEnabled(), 0);
    panel.SetControlEnabled(1);
    EXPECT_EQ(a->IsEnabled(), 1);
    EXPECT_EQ(b->IsEnabled(), 1);

    EXPECT_EQ(panel.OnWindowMessage(WM_APP + 1, 0, 0), 1);
    EXPECT_EQ(panel.OnWindowMessage(WM_APP + 2, 0, 0), 0);

    // The drag question goes to the child under the pointer.
    EXPECT_EQ(panel.IsDragDrop(), 0);
    a->SetDragDrop(1);
    panel.OnMouseMove(0, CPoint(5, 5));
    EXPECT_EQ(panel.IsDragDrop(), 1);
}

}  // namespace
