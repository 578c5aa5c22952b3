// The engine's control lists: the factory by class name, repaint requests and
// cached looks, removal (and every pointer the engine keeps to a control),
// window timers, multimedia ticks and tear-down.
#include <cstring>
#include <string>

#include "ControlRegistry.h"
#include "EngineFixture.h"
#include "WindowTestHelpers.h"

using enginetest::EngineTest;
using probe::Probe;

namespace {

// What the last factory construction received.
WEXA::ControlArgs g_lastArgs;
std::wstring g_lastTitle;

WEXA::MControl* MakeProbe(const WEXA::ControlArgs& a)
{
    g_lastArgs = a;
    g_lastTitle = a.title ? a.title : L"(null)";
    return new Probe(a.owner, a.id, a.rect, nullptr, a.visible, a.enabled);
}

// Registers the probe under a class name for the scope of a test.
class ScopedClass
{
public:
    explicit ScopedClass(const wchar_t* name) : name_(name)
    {
        previous_ = WEXA::RegisterControlClass(name, &MakeProbe);
    }
    ~ScopedClass() { WEXA::RegisterControlClass(name_, previous_); }

private:
    const wchar_t* name_;
    WEXA::ControlCreator previous_;
};

class Doomed : public Probe
{
public:
    Doomed(WEXA::MObject* owner, UINT id, CRect rect, int* deaths)
        : Probe(owner, id, rect),
          deaths_(deaths)
    {}
    ~Doomed() override { ++*deaths_; }

private:
    int* deaths_;
};

const wchar_t* const kEngineNames[] = {
    L"CArea",        L"MText",         L"MPicture",      L"CPhotoFrame",     L"CSliderPicture",
    L"CGifPicture",  L"MProgress",     L"MSlider",       L"MLevelCtrl",      L"MButton",
    L"CImageButton", L"CTextButton",   L"CCheckButton",  L"CRadioButton",    L"CSelectButton",
    L"CColorButton", L"MSpinButton",   L"CSpinButton",   L"CSwitchButton",   L"CIconButton",
    L"CTimerButton", L"CHelpButton",   L"MEdit",         L"MRichEdit",       L"MEditEx",
    L"MComboBox",    L"MTabCtrl",      L"MTabLayout",    L"MListBox",        L"MacroList",
    L"MPalette",     L"CColorPalette", L"CColorSelect",  L"CirclePalette",   L"CComboBoxList",
    L"MenuItem",     L"KeyboardCtrl",  L"NimbrelEffect", L"CDeviceCtrl",     L"TextCheckButton",
    L"CTextArea",    L"BatteryCtrl",   L"KeyFuncType",   L"KeyMenuFuncType", L"KeyFuncCtrl",
    L"KeyFuncValue", L"CRoundArea",    L"ProfileList",   L"KeyLayerCtrl",    L"CKeyTestCtrl",
    L"MatrixScreen",
};

class RegisteredProbe : public Probe
{
public:
    using Probe::Probe;
};

}  // namespace

// How a control class makes itself creatable by name.
WEXA_REGISTER_CONTROL(RegisteredProbe,
                      new RegisteredProbe(a.owner, a.id, a.rect, nullptr, a.visible, a.enabled));

TEST(ControlRegistry, ClassesRegisterFromTheirOwnFiles)
{
    WEXA::ControlCreator create = WEXA::FindControlClass(L"RegisteredProbe");
    ASSERT_NE(create, nullptr);
    WEXA::ControlArgs args{nullptr, 3, CRect(1, 1, 2, 2), L"", 1, 1};
    WEXA::MControl* made = create(args);
    ASSERT_NE(dynamic_cast<RegisteredProbe*>(made), nullptr);
    EXPECT_EQ(made->GetControlID(), 3u);
    delete made;
    EXPECT_EQ(WEXA::FindControlClass(L"registeredprobe"), nullptr);
    EXPECT_EQ(WEXA::FindControlClass(nullptr), nullptr);
}

TEST_F(EngineTest, FactoryCreatesOnlyListedClassesThatExist)
{
    // A listed name whose class has not registered creates nothing, never a stand-in.
    for (const wchar_t* name : kEngineNames) {
        if (WEXA::FindControlClass(name)) continue;
        EXPECT_EQ(engine->CreateControl(&host, name, 1, CRect(), L"", 1, 1), nullptr);
    }
    EXPECT_EQ(sizeof(kEngineNames) / sizeof(kEngineNames[0]), 51u);

    ScopedClass area(L"CArea");
    ScopedClass button(L"MButton");
    ScopedClass unlisted(L"UpgradeButton");  // known to containers only
    for (const wchar_t* name :
         {L"", L"carea", L"CArea ", L"CAreaX", L"UpgradeButton", L"DPIControl"})
        EXPECT_EQ(engine->CreateControl(&host, name, 1, CRect(), L"", 1, 1), nullptr)
            << "name " << name;
    EXPECT_EQ(engine->CreateControl(&host, nullptr, 1, CRect(), L"", 1, 1), nullptr);
    EXPECT_TRUE(engine->GetControls().empty());
    EXPECT_TRUE(engine->m_areas.empty());

    // Kind 0 and 1 file the control; the engine attaches it first.
    auto* asArea =
        static_cast<Probe*>(engine->CreateArea(&host, L"CArea", 7, CRect(1, 2, 3, 4), L"t", 1, 0));
    ASSERT_NE(asArea, nullptr);
    EXPECT_EQ(asArea->GetManager(), engine);
    EXPECT_EQ(asArea->inits, 1);
    EXPECT_EQ(asArea->GetParantObject(), &host);
    EXPECT_EQ(asArea->GetRect(), CRect(1, 2, 3, 4));
    EXPECT_EQ(g_lastArgs.enabled, 1);  // CArea's constructor takes no enabled flag
    EXPECT_EQ(g_lastTitle, L"");       // nor a title
    ASSERT_EQ(engine->m_areas.size(), 1u);

    auto* asControl = engine->CreateControl(&host, L"MButton", 8, CRect(), nullptr, 1, 0);
    ASSERT_NE(asControl, nullptr);
    EXPECT_EQ(g_lastArgs.enabled, 0);
    EXPECT_EQ(g_lastTitle, L"");  // a null title arrives as ""
    engine->CreateControl(&host, L"MButton", 9, CRect(), L"OK", 1, 1);
    EXPECT_EQ(g_lastTitle, L"OK");
    EXPECT_EQ(engine->GetControls().size(), 2u);
    EXPECT_EQ(engine->GetControl(7), asArea);
    EXPECT_EQ(engine->GetControl(8), asControl);

    // Any other kind: created and attached, filed nowhere; the caller owns it.
    WEXA::MControl* loose = engine->CreateControl(2, &host, L"MButton", 10, CRect(), L"", 1, 1);
    ASSERT_NE(loose, nullptr);
    EXPECT_EQ(loose->GetManager(), engine);
    EXPECT_EQ(engine->GetControl(10), nullptr);
    EXPECT_EQ(engine->GetControls().size(), 2u);
    delete loose;
}

TEST_F(EngineTest, LookupIsDepthFirstControlsBeforeAreas)
{
    Probe* area = AddArea(5, CRect());
    Probe* top = AddTop(1, CRect());
    Probe* nested = top->AddChild(5, CRect());
    EXPECT_EQ(engine->GetControl(5), nested);
    EXPECT_EQ(engine->GetControl(1), top);
    EXPECT_EQ(engine->GetControl(99), nullptr);
    (void)area;
}

TEST_F(EngineTest, RepaintMarksOnlyLaterOverlappingControlsStale)
{
    Probe* back = AddArea(1, CRect(0, 0, 400, 300));
    Probe* c1 = AddTop(2, CRect(10, 10, 100, 100));
    Probe* c2 = AddTop(3, CRect(50, 50, 150, 150));
    Probe* c3 = AddTop(4, CRect(200, 200, 250, 250));
    Probe* hidden = AddTop(5, CRect(60, 60, 90, 90));
    hidden->m_bVisible = 0;
    Probe* child = c1->AddChild(6, CRect(20, 20, 30, 30));

    testutil::MemoryCanvas canvas(400, 300);
    HDC dc = canvas.dc();
    const CRect all(0, 0, 400, 300);
    auto drawAndCount = [&]() {
        for (Probe* p : {back, c1, c2, c3, hidden, child}) p->renders = 0;
        engine->DrawControl(dc, all);
    };
    drawAndCount();
    EXPECT_EQ(back->renders + c1->renders + c2->renders + c3->renders + child->renders, 5);
    EXPECT_EQ(hidden->draws, 0);

    // Nothing requested: every cached look is reused.
    drawAndCount();
    EXPECT_EQ(back->renders + c1->renders + c2->renders + c3->renders + child->renders, 0);

    // A control's request (erase): itself and the later visible controls it overlaps.
    hidden->m_bUpdate = 1;
    ValidateRect(hwnd, nullptr);
    c1->UpdateControl(1, 0);
    EXPECT_EQ(c2->m_bUpdate, 0);
    EXPECT_EQ(c3->m_bUpdate, 1);
    EXPECT_EQ(back->m_bUpdate, 1);
    EXPECT_EQ(hidden->m_bUpdate, 1);
    RECT dirty;
    ASSERT_TRUE(GetUpdateRect(hwnd, &dirty, FALSE));
    EXPECT_EQ(CRect(dirty), CRect(10, 10, 150, 150));
    drawAndCount();
    EXPECT_EQ(c1->renders, 1);
    EXPECT_EQ(child->renders, 1);  // inside c1: re-rendered with it
    EXPECT_EQ(c2->renders, 1);
    EXPECT_EQ(c3->renders + back->renders, 0);

    // Without erase the requester keeps its look; the last control marks nothing.
    c3->UpdateControl(0, 0);
    drawAndCount();
    EXPECT_EQ(back->renders + c1->renders + c2->renders + c3->renders + child->renders, 0);

    // An area's request refreshes every overlapping visible control.
    back->UpdateControl(0, 0);
    drawAndCount();
    EXPECT_EQ(back->renders, 0);
    EXPECT_EQ(c1->renders + c2->renders + c3->renders, 3);

    // A child (in neither list) invalidates exactly its rectangle.
    ValidateRect(hwnd, nullptr);
    engine->OnControlUpdate(child->GetRect(), 0, child);
    ASSERT_TRUE(GetUpdateRect(hwnd, &dirty, FALSE));
    EXPECT_EQ(CRect(dirty), CRect(20, 20, 30, 30));
    drawAndCount();
    EXPECT_EQ(back->renders + c1->renders + c2->renders + c3->renders + child->renders, 0);

    engine->RefreshControls();
    drawAndCount();
    EXPECT_EQ(back->renders + c1->renders + c2->renders + c3->renders + child->renders, 5);
}

TEST_F(EngineTest, RemovingAControlLeavesNoPointerToIt)
{
    int deaths = 0;
    auto* p = new Doomed(&host, 10, CRect(10, 10, 110, 110), &deaths);
    p->SetManager(engine);
    engine->m_controls.push_back(p);
    Probe* inner = p->AddChild(11, CRect(20, 20, 40, 40));

    Mouse(WM_MOUSEMOVE, 25, 25);
    Mouse(WM_LBUTTONDOWN, 25, 25, MK_LBUTTON);
    ASSERT_EQ(engine->GetHoverControl(), p);
    ASSERT_EQ(engine->GetFocusControl(), inner);
    p->SetTooltip(CString(L"tip"), p->GetRect());
    engine->SetCaretPos(reinterpret_cast<WEXA::MRichEdit*>(inner), 1, 1);
    p->AddMTimer();
    p->AddMTimer();
    inner->AddMTimer();
    ASSERT_EQ(engine->SetTimer(p, 1, 10000), 1);
    ASSERT_EQ(engine->SetTimer(inner, 1, 10000), 1);

    engine->RemoveControl(p);
    EXPECT_EQ(deaths, 1);
    EXPECT_TRUE(engine->GetControls().empty());
    EXPECT_EQ(engine->GetHoverControl(), nullptr);
    EXPECT_EQ(engine->m_bPressed, 0);
    EXPECT_EQ(engine->GetFocusControl(), nullptr);
    EXPECT_EQ(engine->GetTooltipCtrlID(), 0);
    EXPECT_EQ(engine->GetCurrentCaretObject(), nullptr);
    EXPECT_TRUE(engine->m_tickReceivers.empty());
    EXPECT_TRUE(engine->m_timers.empty());

    // Routing goes on without it.
    EXPECT_EQ(Mouse(WM_MOUSEMOVE, 25, 25), 1);
    Mouse(WM_LBUTTONUP, 25, 25);
    engine->OnMTimer(engine->m_uMTimerID);

    // Removing what is not in the list deletes nothing.
    int strangerDeaths = 0;
    Doomed stranger(&host, 12, CRect(), &strangerDeaths);
    engine->RemoveControl(&stranger);
    EXPECT_EQ(strangerDeaths, 0);
}

TEST_F(EngineTest, ChildRemovalClearsTheEngineFocus)
{
    Probe* p = AddTop(10, CRect(10, 10, 110, 110));
    Probe* inner = p->AddChild(11, CRect(20, 20, 40, 40));
    Mouse(WM_MOUSEMOVE, 25, 25);
    Mouse(WM_LBUTTONDOWN, 25, 25, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, 25, 25);
    ASSERT_EQ(engine->GetFocusControl(), inner);
    inner->AddMTimer();
    p->RemoveControl(inner);
    EXPECT_EQ(engine->GetFocusControl(), nullptr);
    EXPECT_EQ(p->m_pCurControl, nullptr);
    EXPECT_TRUE(engine->m_tickReceivers.empty());
    // A control the caller deleted itself (filed nowhere) is forgotten too.
    WEXA::MControl* loose = new Probe(&host, 12, CRect());
    loose->SetManager(engine);
    loose->AddMTimer();
    engine->SetFocusControl(loose);
    delete loose;
    EXPECT_EQ(engine->GetFocusControl(), nullptr);
    EXPECT_TRUE(engine->m_tickReceivers.empty());
}

TEST_F(EngineTest, WindowTimersOfControls)
{
    Probe* p = AddTop(10, CRect());
    ASSERT_EQ(engine->SetTimer(p, 1, 10000), 1);
    ASSERT_EQ(engine->m_timers.size(), 1u);
    const UINT first = engine->m_timers[0]->nID;
    EXPECT_EQ(first, 17u);
    EXPECT_EQ(engine->SetTimer(p, 1, 5), 0);  // already running
    EXPECT_EQ(engine->SetTimer(p, 2, 10000), 1);
    EXPECT_EQ(engine->m_timers[1]->nID, 18u);

    Send(WM_TIMER, first, 0);
    EXPECT_EQ(p->ticks, 1);
    EXPECT_EQ(engine->KillTimer(p, 1), 1);
    EXPECT_EQ(engine->KillTimer(p, 1), 0);
    Send(WM_TIMER, first, 0);
    EXPECT_EQ(p->ticks, 1);
    EXPECT_EQ(engine->SetTimer(p, 1, 10000), 1);  // re-armed with its old id
    EXPECT_EQ(engine->m_timers[0]->nID, first);
    EXPECT_EQ(engine->m_timers.size(), 2u);
    engine->KillTimer(p);
    EXPECT_TRUE(engine->m_timers.empty());
}

namespace {
DWORD g_fakeNow = 1000;
DWORD FakeClock()
{
    return g_fakeNow;
}
}  // namespace

TEST_F(EngineTest, MultimediaTicksReachRegisteredRunTimerControlsThatAreShown)
{
    Probe* a = AddTop(1, CRect());
    Probe* b = AddTop(2, CRect());
    Probe* c = AddTop(3, CRect());
    Probe* page = AddTop(4, CRect());
    Probe* onPage = page->AddChild(5, CRect());  // registered itself, as a page's widget is
    a->m_bRunTimer = 1;
    c->m_bRunTimer = 1;
    onPage->m_bRunTimer = 1;
    a->AddMTimer();
    a->AddMTimer();  // no duplicate check: ticked twice
    b->AddMTimer();  // run-timer flag clear: never ticked
    c->AddMTimer();
    engine->AddMTimer(onPage);
    engine->SetTickClock(&FakeClock);
    engine->m_uMTimerID = 77;

    g_fakeNow = 1000;
    engine->OnMTimer(77);
    EXPECT_EQ(a->ticks, 2);
    EXPECT_EQ(b->ticks, 0);
    EXPECT_EQ(c->ticks, 1);
    EXPECT_EQ(onPage->ticks, 1);
    g_fakeNow = 1002;  // 2 ms later: dropped
    engine->OnMTimer(77);
    EXPECT_EQ(c->ticks, 1);

    // Nothing that cannot be seen is ticked: a hidden receiver, and one on a
    // hidden page (visible itself).
    a->m_bVisible = 0;
    page->m_bVisible = 0;
    g_fakeNow = 1004;  // 4 ms after the last handled tick
    engine->OnMTimer(77);
    EXPECT_EQ(a->ticks, 2);
    EXPECT_EQ(onPage->ticks, 1);
    EXPECT_EQ(c->ticks, 2);
    EXPECT_EQ(page->ticks, 0);
    // Shown again, both are ticked again.
    a->m_bVisible = 1;
    page->m_bVisible = 1;
    g_fakeNow = 1008;
    engine->OnMTimer(77);
    EXPECT_EQ(a->ticks, 4);
    EXPECT_EQ(onPage->ticks, 2);
    EXPECT_EQ(c->ticks, 3);
    g_fakeNow = 1012;
    engine->OnMTimer(78);  // another timer's tick
    EXPECT_EQ(c->ticks, 3);

    EXPECT_EQ(engine->DeleteFSTimer(a), 1);
    g_fakeNow = 1020;
    engine->OnMTimer(77);
    EXPECT_EQ(a->ticks, 5);
    EXPECT_EQ(engine->DeleteFSTimer(a), 1);
    EXPECT_EQ(engine->DeleteFSTimer(a), 0);
    EXPECT_EQ(engine->DeleteFSTimer(onPage), 1);
    engine->SetTickClock(nullptr);
}

TEST_F(EngineTest, WindowDestructionDeletesEveryControlOnce)
{
    int deaths = 0;
    for (UINT id = 1; id <= 3; ++id) {
        auto* p = new Doomed(&host, id, CRect(), &deaths);
        p->SetManager(engine);
        (id == 1 ? engine->m_areas : engine->m_controls).push_back(p);
    }
    ASSERT_EQ(engine->IsInit(), 1);
    host.DestroyWindow();
    EXPECT_EQ(deaths, 3);
    EXPECT_EQ(engine->IsInit(), 0);
    EXPECT_TRUE(engine->GetControls().empty());
    engine->DestroyData();
    EXPECT_EQ(deaths, 3);
}

TEST_F(EngineTest, WindowWrappers)
{
    engine->SetWindowMaxSize(800, 600);
    engine->SetWindowMixSize(400, 300);
    int cx = 0, cy = 0;
    engine->GetWindowManSize(cx, cy);
    EXPECT_EQ(cx, 400);
    EXPECT_EQ(cy, 300);
    MINMAXINFO info = {};
    Send(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 400);
    EXPECT_EQ(info.ptMaxTrackSize.y, 600);
    EXPECT_EQ(info.ptMaxSize.x, 800);

    // PostMessageW delivers at once and returns the window procedure's answer.
    EXPECT_EQ(engine->PostMessageW(WM_CHAR, 'a', 0), 1);
    ASSERT_TRUE(engine->GetClientSize(cx, cy));
    EXPECT_EQ(cx, 400);
    EXPECT_EQ(cy, 300);

    WEXA::PaintManager unbound;
    CRect rect;
    EXPECT_FALSE(unbound.GetClientRect(rect));
    EXPECT_EQ(unbound.SendMessageW(WM_CHAR, 0, 0), 0);
    unbound.Init(nullptr, nullptr);
    EXPECT_EQ(unbound.IsInit(), 0);
    EXPECT_EQ(engine->GetScrollVID(), 102u);
    EXPECT_EQ(engine->GetScrollHID(), 101u);
}
