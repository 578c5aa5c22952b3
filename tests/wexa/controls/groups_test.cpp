// Buttons with a check or selection state: routing tables, the group rule
// (one checked per owner, class and group name) and the reset by group name.
#include <functional>
#include <memory>

#include "CCheckButton.h"
#include "CColorButton.h"
#include "CIconButton.h"
#include "ControlsTestSupport.h"
#include "MPanel.h"

using namespace WEXA;
using ctltest::Event;
using ctltest::RecordingOwner;

namespace {

const CPoint kIn(20, 20);
const CPoint kOut(300, 300);

CRect Slot(int i)
{
    return CRect(10 + i * 60, 10, 60 + i * 60, 40);
}
CPoint In(int i)
{
    return CPoint(20 + i * 60, 20);
}

// A container that owns children and passes their events to its owner.
class Box : public MControl
{
public:
    explicit Box(MObject* owner) : MControl(owner, 100, CRect(0, 0, 600, 100), 1, 1, 1) {}
    void DrawControl(HDC&, CRect) override {}
    LONG OnBaseMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override
    {
        return m_pParent->OnBaseMessage(id, code, wparam, lparam);
    }
    LONG OnControlUpdate(CRect rect, int erase, MControl* control) override
    {
        return m_pParent->OnControlUpdate(rect, erase, control);
    }
    template <class T>
    T* Add(T* child)
    {
        m_controls.push_back(child);
        return child;
    }
};

void Click(MControl* c, CPoint p)
{
    c->OnControlLButtonDown(MK_LBUTTON, p);
    c->OnControlLButtonUp(0, p);
}

}  // namespace

TEST(CCheckButton, RoutingTable)
{
    RecordingOwner owner;
    CCheckButton box(&owner, 3, CRect(10, 10, 110, 40), L"Remember", 1, 1);
    EXPECT_EQ(box.IsTabStop(), 1);
    EXPECT_EQ(box.m_nFrameCount, 8);
    struct
    {
        const char* input;
        std::function<void()> act;
        int state, check;
        std::vector<Event> events;
    } table[] = {
        {"hover in", [&] { box.OnControlMouseMove(0, kIn); }, 1, 0, {}},
        {"press", [&] { box.OnControlLButtonDown(0, kIn); }, 2, 0, {}},
        {"release inside", [&] { box.OnControlLButtonUp(0, kIn); }, 5, 1, {{3, 2, 0, 0}}},
        {"hover out", [&] { box.OnControlMouseMove(0, kOut); }, 4, 1, {}},
        {"press, drag out, release outside",
         [&] {
             box.OnControlLButtonDown(0, kIn);
             box.OnControlMouseMove(0, kOut);
             box.OnControlLButtonUp(0, kOut);
         },
         4,
         1,
         {}},
        // The press on a checked box set the key flag: Space toggles it.
        {"space", [&] { box.OnControlKeyDown(VK_SPACE, 1, 0); }, 0, 0, {{3, 7, 0, 0}}},
        {"space again", [&] { box.OnControlKeyDown(VK_SPACE, 1, 0); }, 4, 1, {{3, 7, 0, 1}}},
        {"shift+space", [&] { box.OnControlKeyDown(VK_SPACE, 1, 16); }, 4, 1, {}},
        {"enter", [&] { box.OnControlKeyDown(VK_RETURN, 1, 0); }, 4, 1, {}},
        {"focus leaves", [&] { box.SetControlFocus(0); }, 4, 1, {}},
        {"space without key flag", [&] { box.OnControlKeyDown(VK_SPACE, 1, 0); }, 4, 1, {}},
        {"release without press", [&] { box.OnControlLButtonUp(0, kIn); }, 5, 1, {}},
        {"disable", [&] { box.SetEnabled(0); }, 7, 1, {}},
        {"click while disabled", [&] { Click(&box, kIn); }, 7, 1, {}},
        {"SetCheck while disabled", [&] { box.SetCheck(0); }, 7, 1, {}},
        {"enable", [&] { box.SetEnabled(1); }, 4, 1, {}},
        {"focus by Tab, space",
         [&] { box.SetControlFocus(1), box.OnControlKeyDown(VK_SPACE, 1, 0); },
         0,
         0,
         {{3, 7, 0, 0}}},
        {"SetCheck(5) keeps 5", [&] { box.SetCheck(5); }, 4, 5, {}},
    };
    for (auto& row : table) {
        SCOPED_TRACE(row.input);
        owner.Clear();
        row.act();
        EXPECT_EQ(box.m_nState, row.state);
        EXPECT_EQ(box.GetCheck(), row.check);
        EXPECT_EQ(owner.events, row.events);
    }
}

TEST(RadioStyle, ClickSelectsAndClearsTheGroupOnly)
{
    RecordingOwner owner;
    Box box(&owner);
    auto* a = box.Add(new CRadioButton(&box, 1, Slot(0), L"A", 1, 1));
    auto* b = box.Add(new CRadioButton(&box, 2, Slot(1), L"B", 1, 1));
    auto* other = box.Add(new CRadioButton(&box, 3, Slot(2), L"C", 1, 1));
    auto* layer = box.Add(new KeyLayerButton(&box, 4, Slot(3), L"Fn", 1, 1));
    auto* disabled = box.Add(new CRadioButton(&box, 5, Slot(4), L"E", 1, 1));
    for (auto* r : {a, b, disabled}) r->SetGroupName(L"mode");
    other->SetGroupName(L"other");
    layer->SetGroupName(L"mode");
    other->SetCheck(1);
    layer->SetCheck(1);
    disabled->SetCheck(1);
    disabled->SetEnabled(0);

    owner.Clear();
    Click(a, In(0));
    EXPECT_EQ(a->GetCheck(), 1);
    EXPECT_EQ(a->m_nState, 5);
    EXPECT_EQ(owner.events, (std::vector<Event>{{1, 2, 0, 0}}));
    EXPECT_EQ(disabled->GetCheck(), 0);  // a disabled radio is still cleared
    EXPECT_EQ(other->GetCheck(), 1);     // another group
    EXPECT_EQ(layer->GetCheck(), 1);     // another class, same group name

    Click(b, In(1));
    EXPECT_EQ(b->GetCheck(), 1);
    EXPECT_EQ(a->GetCheck(), 0);
    EXPECT_EQ(a->m_nState, 0);

    // SetCheck(1) on a selected button does not run the reset again.
    a->SetControlCheck(1);
    b->SetCheck(1);
    EXPECT_EQ(a->GetCheck(), 1);
    // A changed value does.
    b->SetCheck(0);
    owner.Clear();
    b->SetCheck(1);
    EXPECT_EQ(a->GetCheck(), 0);
    EXPECT_TRUE(owner.events.empty());

    // The reset by group name, called directly.
    a->SetControlCheck(1);
    EXPECT_EQ(b->ResetGroupCheck(), 1);
    EXPECT_EQ(a->GetCheck(), 0);
    EXPECT_EQ(b->GetCheck(), 1);

    // Empty group names form one group among themselves.
    auto* x = box.Add(new CRadioButton(&box, 6, Slot(5), L"X", 1, 1));
    auto* y = box.Add(new CRadioButton(&box, 7, Slot(6), L"Y", 1, 1));
    y->SetGroupName(nullptr);
    EXPECT_TRUE(y->GetGroupName().IsEmpty());
    x->SetCheck(1);
    y->SetCheck(1);
    EXPECT_EQ(x->GetCheck(), 0);
    EXPECT_EQ(b->GetCheck(), 1);
}

TEST(RadioStyle, SpaceSelectsEvenDisabledReportsTheState)
{
    RecordingOwner owner;
    Box box(&owner);
    auto* a = box.Add(new CRadioButton(&box, 1, Slot(0), L"A", 1, 1));
    auto* b = box.Add(new CRadioButton(&box, 2, Slot(1), L"B", 1, 1));
    b->SetCheck(1);
    a->SetControlFocus(1);
    owner.Clear();
    EXPECT_EQ(a->OnControlKeyDown(VK_SPACE, 1, 0), 1);
    EXPECT_EQ(a->GetCheck(), 1);
    EXPECT_EQ(a->m_nState, 4);
    EXPECT_EQ(b->GetCheck(), 0);
    EXPECT_EQ(owner.events, (std::vector<Event>{{1, 7, 0, 1}}));
    // Disabled with the key flag still set: code 7 with the unchanged state.
    b->SetControlFocus(1);
    b->SetEnabled(0);
    owner.Clear();
    EXPECT_EQ(b->OnControlKeyDown(VK_SPACE, 1, 0), 1);
    EXPECT_EQ(b->GetCheck(), 0);
    EXPECT_EQ(owner.events, (std::vector<Event>{{2, 7, 0, 0}}));
    // Without an owner the reset reports 0.
    CRadioButton loose(nullptr, 9, Slot(0), L"", 1, 1);
    EXPECT_EQ(loose.ResetGroupCheck(), 0);
}

TEST(RadioStyle, DialogAndPanelAreSeparateGroups)
{
    ctltest::RecordingDialog dialog;
    ASSERT_NE(dialog.Create(nullptr, L"groups", WS_POPUP, 0, CRect(0, 0, 400, 200)), nullptr);
    auto* top =
        static_cast<CRadioButton*>(dialog.CreateControl(L"CRadioButton", 1, Slot(0), L"top", 1, 1));
    auto* top2 = static_cast<CRadioButton*>(
        dialog.CreateControl(L"CRadioButton", 2, Slot(1), L"top2", 1, 1));
    auto* panel = new MPanel(&dialog, 3, CRect(0, 50, 400, 200), 1);
    panel->SetManager(dialog.GetPaintManager());
    {
        CAutoLock lock(dialog.GetPaintManager()->m_controlsLock);
        dialog.GetControls().push_back(panel);
    }
    auto* inner = static_cast<CRadioButton*>(
        panel->CreateControl(L"CRadioButton", 4, CRect(10, 60, 60, 90), L"inner", 1, 1));
    ASSERT_TRUE(top && top2 && inner);
    for (auto* r : {top, top2, inner}) r->SetGroupName(L"g");
    top->SetCheck(1);
    inner->SetCheck(1);
    EXPECT_EQ(top->GetCheck(), 1);
    top2->SetCheck(1);
    EXPECT_EQ(top->GetCheck(), 0);
    EXPECT_EQ(inner->GetCheck(), 1);
    dialog.DestroyWindow();
}

TEST(CSelectButton, SelectedShowsThePressedFrameAlways)
{
    RecordingOwner owner;
    Box box(&owner);
    auto* a = box.Add(new CSelectButton(&box, 1, Slot(0), L"A", 1, 1));
    auto* b = box.Add(new CSelectButton(&box, 2, Slot(1), L"B", 1, 1));
    auto* hidden = box.Add(new CSelectButton(&box, 3, Slot(2), L"C", 0, 1));
    EXPECT_EQ(a->m_nFrameCount, 4);
    EXPECT_EQ(a->m_clrText.GetValue(), 0xFEFFFFFFu);
    hidden->SetCheck(1);
    Click(a, In(0));
    EXPECT_EQ(a->GetCheck(), 1);
    EXPECT_EQ(a->m_nState, 2);
    a->OnControlMouseMove(0, kOut);
    EXPECT_EQ(a->m_nState, 2);
    EXPECT_EQ(hidden->GetCheck(), 1);  // hidden members are not cleared
    Click(b, In(1));
    EXPECT_EQ(a->GetCheck(), 0);
    EXPECT_EQ(a->m_nState, 0);
    b->SetEnabled(0);
    EXPECT_EQ(b->m_nState, 3);
    b->SetEnabled(1);
    EXPECT_EQ(b->m_nState, 2);
}

TEST(CColorButton, SelectedAtThePressHoverWithoutRepaint)
{
    RecordingOwner owner;
    Box box(&owner);
    auto* a = box.Add(new CColorButton(&box, 1, Slot(0), 1, 1));
    auto* b = box.Add(new CColorButton(&box, 2, Slot(1), 1, 1));
    auto* off = box.Add(new CColorButton(&box, 3, Slot(2), 1, 1));
    off->SetCheck(1);
    off->SetEnabled(0);
    owner.Clear();
    EXPECT_EQ(a->OnControlMouseMove(0, In(0)), 1);
    EXPECT_EQ(a->m_nState, 1);
    EXPECT_TRUE(owner.updates.empty());
    a->OnControlLButtonDown(0, In(0));
    EXPECT_EQ(a->GetCheck(), 1);
    // The group reset repaints the other live member, then code 1, then the press's repaint.
    EXPECT_EQ(owner.journal, (std::vector<std::string>{"repaint 0", "event 1", "repaint 0"}));
    owner.Clear();
    a->OnControlLButtonUp(0, In(0));
    EXPECT_EQ(owner.journal, (std::vector<std::string>{"repaint 0", "event 2"}));
    Click(b, In(1));
    EXPECT_EQ(a->GetCheck(), 0);
    EXPECT_EQ(off->GetCheck(), 1);  // a disabled swatch is not cleared
    // SetColor repaints only on a change; SetCheck only while enabled.
    owner.Clear();
    b->SetColor(0x123456);
    b->SetColor(0x123456);
    EXPECT_EQ(b->GetColor(), 0x123456u);
    EXPECT_EQ(owner.updates.size(), 1u);
    b->SetEnabled(0);
    EXPECT_EQ(b->SetCheck(0), 1);
    EXPECT_EQ(a->OnControlKeyDown(VK_SPACE, 1, 0), 0);
}

TEST(CIconButton, DownAtPressSelectedAtReleaseGroupClearsDown)
{
    RecordingOwner owner;
    Box box(&owner);
    auto* a = box.Add(new CIconButton(&box, 1, Slot(0), L"Profile 1", 1, 1));
    auto* b = box.Add(new CIconButton(&box, 2, Slot(1), L"Profile 2", 1, 1));
    a->OnControlLButtonDown(0, In(0));
    EXPECT_EQ(a->m_nDown, 1);
    EXPECT_EQ(owner.Codes(), std::vector<UINT>{1});
    owner.Clear();
    // A release inside selects, whatever the state before (2 before the repaint).
    a->OnControlLButtonUp(0, In(0));
    EXPECT_EQ(a->m_nState, 2);
    EXPECT_EQ(owner.Codes(), std::vector<UINT>{2});
    owner.Clear();
    b->OnControlLButtonUp(0, In(1));
    EXPECT_EQ(owner.journal, (std::vector<std::string>{"repaint 0", "event 2", "repaint 0"}));
    EXPECT_EQ(a->m_nDown, 0);
    EXPECT_EQ(b->m_nDown, 1);
    EXPECT_EQ(b->SetDownState(1), 1);
    EXPECT_EQ(b->m_nDown, 0);
    EXPECT_EQ(b->SetCheck(7), 1);
    EXPECT_EQ(b->GetCheck(), 7);
    EXPECT_STREQ(b->GetClassNameW(), L"IconButton");
    // The tip window is created only when tips are allowed.
    b->SetTips(true);
    EXPECT_EQ(b->m_pTips, nullptr);
}

TEST(TextCheckButton, BehavesAsACheckBox)
{
    RecordingOwner owner;
    TextCheckButton box(&owner, 8, CRect(10, 10, 110, 40), L"Sync", 1, 1);
    EXPECT_EQ(box.m_clrText.GetValue(), 0xFEFFFFFFu);
    EXPECT_EQ(box.m_clrDown.GetValue(), 0xFEC95100u);
    Click(&box, kIn);
    EXPECT_EQ(box.GetCheck(), 1);
    EXPECT_EQ(owner.Codes(), std::vector<UINT>{2});
    box.SetControlFocus(1);
    owner.Clear();
    box.OnControlKeyDown(VK_SPACE, 1, 0);
    EXPECT_EQ(owner.events, (std::vector<Event>{{8, 7, 0, 0}}));
}

#if __has_include("CKeyboardTips.h")
#include "CKeyboardTips.h"

TEST(CIconButton, KeyTipWindowOnlyWhenAllowedAndDestroyedWithTheButton)
{
    ctltest::RecordingDialog dialog;
    ASSERT_NE(dialog.Create(nullptr, L"tips", WS_POPUP, 0, CRect(0, 0, 200, 100)), nullptr);
    auto* button = static_cast<CIconButton*>(
        dialog.CreateControl(L"CIconButton", 1, CRect(10, 10, 110, 40), L"P", 1, 1));
    ASSERT_NE(button, nullptr);
    button->OnControlMouseMove(0, CPoint(20, 20));
    EXPECT_EQ(button->m_pTips, nullptr);
    button->SetShowTips(true);
    button->OnControlMouseMove(0, CPoint(30, 20));
    ASSERT_NE(button->m_pTips, nullptr);
    HWND tips = button->m_pTips->GetSafeHwnd();
    EXPECT_TRUE(IsWindow(tips));
    dialog.GetPaintManager()->RemoveControl(button);
    EXPECT_FALSE(IsWindow(tips));
    dialog.DestroyWindow();
}
#endif
