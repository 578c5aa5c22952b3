// What a control asks of its engine: invalidating its own rectangle (the whole
// window when layered), showing its tooltip while the pointer moves over it,
// and whether it holds the engine's focus.
#include "EngineFixture.h"

using enginetest::EngineTest;
using probe::Probe;

TEST_F(EngineTest, ControlInvalidatesItsOwnRectangleOrTheLayeredWindow)
{
    Probe* p = AddTop(10, CRect(20, 30, 60, 90));
    RECT dirty;
    ValidateRect(hwnd, nullptr);
    const RECT other = {0, 0, 5, 5};
    p->InvalidateRect(&other, 0);  // the argument is not consulted
    ASSERT_TRUE(GetUpdateRect(hwnd, &dirty, FALSE));
    EXPECT_EQ(CRect(dirty), CRect(20, 30, 60, 90));

    ValidateRect(hwnd, nullptr);
    engine->SetLayeredWindow(1);
    p->InvalidateRect(nullptr, 0);
    ASSERT_TRUE(GetUpdateRect(hwnd, &dirty, FALSE));
    EXPECT_EQ(CRect(dirty), CRect(0, 0, 400, 300));
    engine->SetLayeredWindow(0);
}

TEST_F(EngineTest, PointerOverAControlWithTooltipTextMakesItTheTooltipOwner)
{
    Probe* plain = AddTop(10, CRect(10, 10, 50, 50));
    Probe* tipped = AddTop(20, CRect(60, 10, 100, 50));
    tipped->SetTooltip(L"Brightness");
    Mouse(WM_MOUSEMOVE, 20, 20);
    EXPECT_EQ(engine->GetTooltipCtrlID(), 0);
    Mouse(WM_MOUSEMOVE, 70, 20);
    EXPECT_EQ(engine->GetHoverControl(), tipped);
    EXPECT_EQ(engine->GetTooltipCtrlID(), 20);
    // Leaving the window clears it.
    Send(WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(engine->GetTooltipCtrlID(), 0);
    (void)plain;
}

// Ids need not be unique: the tooltip belongs to a control, not to its id.
TEST_F(EngineTest, TooltipOwnerIsForgottenByTheControlNotItsId)
{
    Probe* owner = AddTop(10, CRect(10, 10, 50, 50));
    Probe* twin = AddTop(10, CRect(60, 10, 100, 50));
    owner->SetTooltip(L"Brightness");
    Mouse(WM_MOUSEMOVE, 20, 20);
    ASSERT_EQ(engine->GetTooltipOwner(), owner);
    ASSERT_EQ(engine->GetTooltipCtrlID(), 10);

    // The pointer over the twin makes the twin the owner (same id, other control).
    twin->SetTooltip(L"Speed");
    Mouse(WM_MOUSEMOVE, 70, 20);
    EXPECT_EQ(engine->GetTooltipOwner(), twin);
    Mouse(WM_MOUSEMOVE, 20, 20);
    ASSERT_EQ(engine->GetTooltipOwner(), owner);

    // Removing the twin leaves the owner's tooltip alone.
    engine->RemoveControl(twin);
    EXPECT_EQ(engine->GetTooltipOwner(), owner);
    EXPECT_EQ(engine->GetTooltipCtrlID(), 10);

    engine->RemoveControl(owner);
    EXPECT_EQ(engine->GetTooltipOwner(), nullptr);
    EXPECT_EQ(engine->GetTooltipCtrlID(), 0);
}

TEST_F(EngineTest, FocusChangesCallTheControlsFocusHook)
{
    Probe* a = AddTop(10, CRect(10, 10, 50, 50));
    Probe* b = AddTop(20, CRect(60, 10, 100, 50));
    engine->SetFocusControl(a);
    EXPECT_EQ(a->lastFocus, 1);
    EXPECT_EQ(a->IsFocusControl(), 1);
    EXPECT_EQ(b->IsFocusControl(), 0);
    const int calls = a->focusCalls;
    engine->SetFocusControl(a);  // unchanged: no call
    EXPECT_EQ(a->focusCalls, calls);
    engine->SetFocusControl(b);
    EXPECT_EQ(a->lastFocus, 0);
    EXPECT_EQ(b->lastFocus, 1);
    engine->SetFocusControl(nullptr);
    EXPECT_EQ(b->lastFocus, 0);
    EXPECT_EQ(engine->GetFocusControl(), nullptr);
}
