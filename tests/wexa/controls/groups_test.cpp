// Buttons with a check or selection state: the routing table of every class,
// the group rule (one checked per owner, class and group name) and the reset
// by group name.
#include <functional>
#include <memory>
#include <utility>

#include "CCheckButton.h"
#include "CColorButton.h"
#include "CIconButton.h"
#include "CKeyboardTips.h"
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

namespace {

// A button with a check or selection state: how to make it and read it.
struct GroupedClass
{
    const char* name;
    std::function<MControlFont*(MObject*)> make;
    std::function<int(MControlFont*)> state;
    std::function<int(MControlFont*)> check;  // the down state for the icon button
};

template <class T>
MControlFont* MakeButton(MObject* owner)
{
    return new T(owner, 3, CRect(10, 10, 110, 40), L"Go", 1, 1);
}
template <>
MControlFont* MakeButton<CColorButton>(MObject* owner)
{
    return new CColorButton(owner, 3, CRect(10, 10, 110, 40), 1, 1);
}

template <class T>
GroupedClass Grouped(const char* name, int T::*check = &T::m_nCheck)
{
    return {name, &MakeButton<T>, [](MControlFont* c) { return static_cast<T*>(c)->m_nState; },
            [check](MControlFont* c) { return static_cast<T*>(c)->*check; }};
}

int SetCheckOf(MControl* c, int v)
{
    if (auto* b = dynamic_cast<CCheckButton*>(c)) return b->SetCheck(v);
    if (auto* b = dynamic_cast<TextCheckButton*>(c)) return b->SetCheck(v);
    if (auto* b = dynamic_cast<CRadioButton*>(c)) return b->SetCheck(v);
    if (auto* b = dynamic_cast<KeyLayerButton*>(c)) return b->SetCheck(v);
    if (auto* b = dynamic_cast<CSelectButton*>(c)) return b->SetCheck(v);
    ADD_FAILURE() << "no SetCheck";
    return -1;
}

// One input and the look, check state and events it gives.
struct GroupedStep
{
    const char* input;
    std::function<void(MControl*)> act;
    int state, check;
    std::vector<Event> events;
};

void Move(MControl* c, CPoint p)
{
    c->OnControlMouseMove(0, p);
}
void Down(MControl* c, CPoint p)
{
    c->OnControlLButtonDown(MK_LBUTTON, p);
}
void Up(MControl* c, CPoint p)
{
    c->OnControlLButtonUp(0, p);
}
// A double click on a button without double-click handling is another press.
void DoubleClick(MControl* c, CPoint p)
{
    c->OnLButtonDblClk(0, p);
}
void Key(MControl* c, UINT key, UINT modifiers = 0)
{
    c->OnControlKeyDown(key, 1, modifiers);
}

// Check boxes (and the text check box): a click toggles, Space toggles while
// the key flag is held (a press on a checked box or Tab sets it).
const std::vector<GroupedStep> kToggleSteps = {
    {"hover in", [](MControl* c) { Move(c, kIn); }, 1, 0, {}},
    {"press", [](MControl* c) { Down(c, kIn); }, 2, 0, {}},
    {"release inside", [](MControl* c) { Up(c, kIn); }, 5, 1, {{3, 2, 0, 0}}},
    {"hover out", [](MControl* c) { Move(c, kOut); }, 4, 1, {}},
    {"press, drag out, release outside",
     [](MControl* c) { Down(c, kIn), Move(c, kOut), Up(c, kOut); },
     4,
     1,
     {}},
    {"space", [](MControl* c) { Key(c, VK_SPACE); }, 0, 0, {{3, 7, 0, 0}}},
    {"space again", [](MControl* c) { Key(c, VK_SPACE); }, 4, 1, {{3, 7, 0, 1}}},
    {"shift+space", [](MControl* c) { Key(c, VK_SPACE, 16); }, 4, 1, {}},
    {"enter", [](MControl* c) { Key(c, VK_RETURN); }, 4, 1, {}},
    {"focus leaves", [](MControl* c) { c->SetControlFocus(0); }, 4, 1, {}},
    {"space without key flag", [](MControl* c) { Key(c, VK_SPACE); }, 4, 1, {}},
    {"release without press", [](MControl* c) { Up(c, kIn); }, 5, 1, {}},
    {"disable", [](MControl* c) { c->SetEnabled(0); }, 7, 1, {}},
    {"click while disabled", [](MControl* c) { Down(c, kIn), Up(c, kIn); }, 7, 1, {}},
    {"SetCheck while disabled", [](MControl* c) { SetCheckOf(c, 0); }, 7, 1, {}},
    {"enable", [](MControl* c) { c->SetEnabled(1); }, 4, 1, {}},
    {"focus by Tab, space",
     [](MControl* c) { c->SetControlFocus(1), Key(c, VK_SPACE); },
     0,
     0,
     {{3, 7, 0, 0}}},
    {"SetCheck(5) keeps 5", [](MControl* c) { SetCheckOf(c, 5); }, 4, 5, {}},
    {"double click", [](MControl* c) { DoubleClick(c, kIn); }, 6, 5, {}},
    {"release after the double click", [](MControl* c) { Up(c, kIn); }, 1, 0, {{3, 2, 0, 0}}},
    {"hover out again", [](MControl* c) { Move(c, kOut); }, 0, 0, {}},
};

// Radio buttons and key-layer buttons: a click or Space selects.
const std::vector<GroupedStep> kRadioSteps = {
    {"hover in", [](MControl* c) { Move(c, kIn); }, 1, 0, {}},
    {"hover out", [](MControl* c) { Move(c, kOut); }, 0, 0, {}},
    {"press", [](MControl* c) { Down(c, kIn); }, 2, 0, {}},
    {"drag outside", [](MControl* c) { Move(c, kOut); }, 2, 0, {}},
    {"release outside", [](MControl* c) { Up(c, kOut); }, 0, 0, {}},
    {"release without press", [](MControl* c) { Up(c, kIn); }, 1, 0, {}},
    {"press again", [](MControl* c) { Down(c, kIn); }, 2, 0, {}},
    {"release inside", [](MControl* c) { Up(c, kIn); }, 5, 1, {{3, 2, 0, 0}}},
    {"hover out when selected", [](MControl* c) { Move(c, kOut); }, 4, 1, {}},
    {"double click", [](MControl* c) { DoubleClick(c, kIn); }, 6, 1, {}},
    {"release after the double click", [](MControl* c) { Up(c, kIn); }, 5, 1, {{3, 2, 0, 0}}},
    {"enter", [](MControl* c) { Key(c, VK_RETURN); }, 5, 1, {}},
    {"space", [](MControl* c) { Key(c, VK_SPACE); }, 4, 1, {{3, 7, 0, 1}}},
    {"shift+space", [](MControl* c) { Key(c, VK_SPACE, 16); }, 4, 1, {}},
    {"SetCheck(0)", [](MControl* c) { SetCheckOf(c, 0); }, 0, 0, {}},
    {"disable", [](MControl* c) { c->SetEnabled(0); }, 3, 0, {}},
    {"hover while disabled", [](MControl* c) { Move(c, kIn); }, 3, 0, {}},
    {"click while disabled", [](MControl* c) { Down(c, kIn), Up(c, kIn); }, 3, 0, {}},
    {"space while disabled", [](MControl* c) { Key(c, VK_SPACE); }, 3, 0, {{3, 7, 0, 0}}},
    {"SetCheck while disabled", [](MControl* c) { SetCheckOf(c, 1); }, 3, 0, {}},
    {"enable", [](MControl* c) { c->SetEnabled(1); }, 0, 0, {}},
    {"focus leaves, space", [](MControl* c) { c->SetControlFocus(0), Key(c, VK_SPACE); }, 0, 0, {}},
    {"focus by Tab, space",
     [](MControl* c) { c->SetControlFocus(1), Key(c, VK_SPACE); },
     4,
     1,
     {{3, 7, 0, 1}}},
};

// Select buttons: four looks; a selected one always shows the pressed frame.
const std::vector<GroupedStep> kSelectSteps = {
    {"hover in", [](MControl* c) { Move(c, kIn); }, 1, 0, {}},
    {"hover out", [](MControl* c) { Move(c, kOut); }, 0, 0, {}},
    {"press", [](MControl* c) { Down(c, kIn); }, 2, 0, {}},
    {"drag outside", [](MControl* c) { Move(c, kOut); }, 2, 0, {}},
    {"release outside", [](MControl* c) { Up(c, kOut); }, 0, 0, {}},
    {"click", [](MControl* c) { Down(c, kIn), Up(c, kIn); }, 2, 1, {{3, 2, 0, 0}}},
    {"hover out when selected", [](MControl* c) { Move(c, kOut); }, 2, 1, {}},
    {"hover in when selected", [](MControl* c) { Move(c, kIn); }, 2, 1, {}},
    {"double click", [](MControl* c) { DoubleClick(c, kIn); }, 2, 1, {}},
    {"release after the double click", [](MControl* c) { Up(c, kIn); }, 2, 1, {{3, 2, 0, 0}}},
    {"enter", [](MControl* c) { Key(c, VK_RETURN); }, 2, 1, {}},
    {"space", [](MControl* c) { Key(c, VK_SPACE); }, 2, 1, {{3, 7, 0, 1}}},
    {"SetCheck(0)", [](MControl* c) { SetCheckOf(c, 0); }, 0, 0, {}},
    {"disable", [](MControl* c) { c->SetEnabled(0); }, 3, 0, {}},
    {"hover while disabled", [](MControl* c) { Move(c, kIn); }, 3, 0, {}},
    {"click while disabled", [](MControl* c) { Down(c, kIn), Up(c, kIn); }, 3, 0, {}},
    {"space while disabled", [](MControl* c) { Key(c, VK_SPACE); }, 3, 0, {{3, 7, 0, 0}}},
    {"enable", [](MControl* c) { c->SetEnabled(1); }, 0, 0, {}},
};

// Colour swatches: selected at the press (code 1), code 2 for a click; no keys.
const std::vector<GroupedStep> kSwatchSteps = {
    {"hover in", [](MControl* c) { Move(c, kIn); }, 1, 0, {}},
    {"hover out", [](MControl* c) { Move(c, kOut); }, 0, 0, {}},
    {"press", [](MControl* c) { Down(c, kIn); }, 2, 1, {{3, 1, 0, 0}}},
    {"drag outside", [](MControl* c) { Move(c, kOut); }, 2, 1, {}},
    {"release outside", [](MControl* c) { Up(c, kOut); }, 0, 1, {}},
    {"press again", [](MControl* c) { Down(c, kIn); }, 2, 1, {{3, 1, 0, 0}}},
    {"release inside", [](MControl* c) { Up(c, kIn); }, 1, 1, {{3, 2, 0, 0}}},
    {"release without press", [](MControl* c) { Up(c, kIn); }, 1, 1, {}},
    {"double click", [](MControl* c) { DoubleClick(c, kIn); }, 2, 1, {{3, 1, 0, 0}}},
    {"release after the double click", [](MControl* c) { Up(c, kIn); }, 1, 1, {{3, 2, 0, 0}}},
    {"space", [](MControl* c) { Key(c, VK_SPACE); }, 1, 1, {}},
    {"enter", [](MControl* c) { Key(c, VK_RETURN); }, 1, 1, {}},
    {"disable", [](MControl* c) { c->SetEnabled(0); }, 3, 1, {}},
    {"hover while disabled", [](MControl* c) { Move(c, kIn); }, 3, 1, {}},
    {"click while disabled", [](MControl* c) { Down(c, kIn), Up(c, kIn); }, 3, 1, {}},
    {"enable", [](MControl* c) { c->SetEnabled(1); }, 0, 1, {}},
};

// Icon buttons: down at the press (code 1); a release inside selects, with or
// without a press on it (code 2); moves follow the pointer even while pressed.
const std::vector<GroupedStep> kIconSteps = {
    {"hover in", [](MControl* c) { Move(c, kIn); }, 1, 0, {}},
    {"hover out", [](MControl* c) { Move(c, kOut); }, 0, 0, {}},
    {"press", [](MControl* c) { Down(c, kIn); }, 2, 1, {{3, 1, 0, 0}}},
    {"drag outside", [](MControl* c) { Move(c, kOut); }, 0, 1, {}},
    {"release outside", [](MControl* c) { Up(c, kOut); }, 0, 1, {}},
    {"release without press", [](MControl* c) { Up(c, kIn); }, 2, 1, {{3, 2, 0, 0}}},
    {"hover out after it", [](MControl* c) { Move(c, kOut); }, 0, 1, {}},
    {"double click", [](MControl* c) { DoubleClick(c, kIn); }, 2, 1, {{3, 1, 0, 0}}},
    {"release after the double click", [](MControl* c) { Up(c, kIn); }, 2, 1, {{3, 2, 0, 0}}},
    {"space", [](MControl* c) { Key(c, VK_SPACE); }, 2, 1, {}},
    {"enter", [](MControl* c) { Key(c, VK_RETURN); }, 2, 1, {}},
    {"disable", [](MControl* c) { c->SetEnabled(0); }, 3, 1, {}},
    {"hover while disabled", [](MControl* c) { Move(c, kIn); }, 3, 1, {}},
    {"click while disabled", [](MControl* c) { Down(c, kIn), Up(c, kIn); }, 3, 1, {}},
    {"enable", [](MControl* c) { c->SetEnabled(1); }, 0, 1, {}},
};

const struct
{
    GroupedClass cls;
    const std::vector<GroupedStep>& steps;
    int tabStop, frames;  // frames -1: not a strip of looks of its own
} kGroupedTable[] = {
    {Grouped<CCheckButton>("CCheckButton"), kToggleSteps, 1, 8},
    {Grouped<TextCheckButton>("TextCheckButton"), kToggleSteps, 1, 8},
    {Grouped<CRadioButton>("CRadioButton"), kRadioSteps, 1, 8},
    {Grouped<KeyLayerButton>("KeyLayerButton"), kRadioSteps, 1, 8},
    {Grouped<CSelectButton>("CSelectButton"), kSelectSteps, 1, 4},
    {Grouped<CColorButton>("CColorButton"), kSwatchSteps, 0, -1},
    {Grouped<CIconButton>("CIconButton", &CIconButton::m_nDown), kIconSteps, 0, -1},
};

}  // namespace

TEST(GroupedButtons, RoutingTable)
{
    for (const auto& entry : kGroupedTable) {
        RecordingOwner owner;
        Box box(&owner);
        MControlFont* button = box.Add(entry.cls.make(&box));
        EXPECT_EQ(button->IsTabStop(), entry.tabStop) << entry.cls.name;
        if (entry.frames > 0) {
            EXPECT_EQ(button->m_nFrameCount, entry.frames) << entry.cls.name;
        }
        for (const GroupedStep& step : entry.steps) {
            SCOPED_TRACE(std::string(entry.cls.name) + ": " + step.input);
            owner.Clear();
            step.act(button);
            EXPECT_EQ(entry.cls.state(button), step.state);
            EXPECT_EQ(entry.cls.check(button), step.check);
            EXPECT_EQ(owner.events, step.events);
        }
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

TEST(GroupedButtons, NullGroupNamesAndTipsAreEmpty)
{
    RecordingOwner owner;
    const CRect rect(10, 10, 110, 40);
    CSelectButton select(&owner, 1, rect, L"S", 1, 1);
    KeyLayerButton layer(&owner, 2, rect, L"Fn", 1, 1);
    CColorButton swatch(&owner, 3, rect, 1, 1);
    CIconButton icon(&owner, 4, rect, L"P", 1, 1);
    EXPECT_EQ(layer.GetGroupName(), CString(L"KeyLayerButton"));
    const std::pair<const char*, std::function<CString()>> names[] = {
        {"CSelectButton",
         [&] {
             return select.SetGroupName(L"g"), select.SetGroupName(nullptr), select.GetGroupName();
         }},
        {"KeyLayerButton", [&] { return layer.SetGroupName(nullptr), layer.GetGroupName(); }},
        {"CColorButton",
         [&] {
             return swatch.SetGroupName(L"g"), swatch.SetGroupName(nullptr), swatch.GetGroupName();
         }},
        {"CIconButton",
         [&] { return icon.SetGroupName(L"g"), icon.SetGroupName(nullptr), icon.GetGroupName(); }},
    };
    for (const auto& [name, setNull] : names) EXPECT_TRUE(setNull().IsEmpty()) << name;
    icon.SetTips(L"a", L"b", L"c");
    const wchar_t* none = nullptr;
    icon.SetTips(none, none, none);
    for (const CString& tip : icon.m_strTips) EXPECT_TRUE(tip.IsEmpty());
    EXPECT_EQ(icon.m_pTips, nullptr);
}
