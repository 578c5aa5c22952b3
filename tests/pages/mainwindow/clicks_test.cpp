// Clicks as a person makes them, through the system's real pointer: the main
// window runs its own message loop, so hover tracking, capture, activation and
// the key tip window all take part. Every click must land on what it was
// aimed at, however soon it follows the move or the page switch.
#include <windows.h>

#include "CCheckButton.h"
#include "KeyFuncValue.h"
#include "KeyboardCtrl.h"
#include "MEdit.h"
#include "MTabCtrl.h"
#include "PageFixture.h"
#include "TabCtrlEx.h"

namespace pagetest {
namespace {

const int kLightingTab = 1, kCustomKeyTab = 4;
const int kKeyQ = 0x14, kKeyW = 0x1A, kKeyE = 0x08, kKeyA = 0x04, kKeyS = 0x16, kKeyD = 0x07;
const int kKeyHome = 0x4A, kKeyDelete = 0x4C, kKeyEnd = 0x4D, kKeyInsert = 0x49;

class RealClicks : public PageFixture
{
protected:
    void SetUp() override
    {
        Start("Kestrova-K87", SW_SHOW);
        // Not made topmost: the window's own popups (the key tip) must stand
        // over it as they do for a user.
        HWND window = harness->Window();
        SetForegroundWindow(window);
        // The pointer starts beside the window, as it would before the user
        // reaches for the mouse.
        RECT placed;
        GetWindowRect(window, &placed);
        SetCursorPos(placed.right + 40, placed.bottom + 40);
        harness->Pump(50);
    }

    WEXA::KeyboardCtrl* Picture() { return Control<WEXA::KeyboardCtrl>(58); }

    // The middle of a key, in the window's client coordinates.
    POINT KeyCentre(int code)
    {
        for (const WEXA::KEY_INFO* key : Picture()->GetKeyItems()) {
            if (key->nKeyCode != code) continue;
            CRect r = Picture()->GetRealRect(CRect(key->rcKey));
            r.OffsetRect(Picture()->GetRect().left, Picture()->GetRect().top);
            EXPECT_EQ(Picture()->GetKeyCodeByPoint(r.CenterPoint()), code);
            return r.CenterPoint();
        }
        ADD_FAILURE() << "no key " << code << " on the picture";
        return POINT{0, 0};
    }

    // A click on a main tab, at once after the pointer got there.
    void ClickTab(int position, DWORD moveToClickMs = 100)
    {
        WEXA::MTabCtrl* tab = Dlg().MainTab();
        ASSERT_NE(tab, nullptr);
        const RECT r = tab->GetItemInfo(position)->rect;
        harness->ClickAt(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}, moveToClickMs);
        harness->Pump(60);  // the page slides in
        ASSERT_EQ(tab->GetSelectItem(), position) << "the tab click was lost";
    }

    void ClickKey(int code, DWORD moveToClickMs = 100)
    {
        harness->ClickAt(KeyCentre(code), moveToClickMs);
    }

    // A click on the category tab of the key-function area.
    void ChooseCategory(int category)
    {
        auto* tabs = Control<WEXA::TabCtrlEx>(88);
        ASSERT_NE(tabs, nullptr);
        int index = -1;
        for (int i = 0; i < tabs->GetItemCount(); ++i)
            if (tabs->GetItemData(i) == category) index = i;
        ASSERT_GE(index, 0);
        const CRect r = tabs->GetRect();
        harness->ClickAt(POINT{r.left + 20, r.top + 43 * index + 21});
        ASSERT_EQ(tabs->GetCurData(), category);
    }

    // A click on the function tile carrying `value`.
    void PickTile(int value)
    {
        auto* grid = Control<WEXA::KeyFuncValue>(89);
        ASSERT_NE(grid, nullptr);
        InvalidateRect(harness->Window(), nullptr, FALSE);
        UpdateWindow(harness->Window());
        int index = -1;
        for (int i = 0; i < grid->GetItemCount() && index < 0; ++i)
            if (grid->GetItemData(i) == value) index = i;
        ASSERT_GE(index, 0) << "no tile " << value;
        CRect tile = grid->GetItemRect(index);
        ASSERT_FALSE(tile.IsRectEmpty()) << "tile " << value << " is not drawn";
        tile.OffsetRect(grid->GetRect().left, grid->GetRect().top);
        harness->ClickAt(tile.CenterPoint());
        harness->Pump(50);
    }

    // The pointer rests on each key in turn, long enough for its tip.
    void HoverOver(std::initializer_list<int> codes, DWORD restMs = 500)
    {
        for (int code : codes) {
            harness->MoveMouseTo(KeyCentre(code));
            harness->Pump(restMs);
        }
    }
};

TEST_F(RealClicks, FirstKeyClickAfterEnteringThePageSelectsThatKey)
{
    ClickTab(kLightingTab);
    ClickKey(kKeyE);
    ClickTab(kCustomKeyTab);
    ClickKey(kKeyQ);
    EXPECT_EQ(Picture()->GetCurrentKeyValue(), kKeyQ);
    EXPECT_EQ(Dlg().m_selectedKey, kKeyQ) << "the page still edits the key picked before";
}

TEST_F(RealClicks, ClickAfterHoveringKeysSelectsTheClickedKey)
{
    ClickTab(kCustomKeyTab);
    // Resting on Delete and End shows their tips over the keys above them.
    HoverOver({kKeyA, kKeyS, kKeyDelete, kKeyEnd});
    ClickKey(kKeyHome);
    EXPECT_EQ(Dlg().m_selectedKey, kKeyHome);
    HoverOver({kKeyS});
    ClickKey(kKeyW);
    EXPECT_EQ(Dlg().m_selectedKey, kKeyW);
}

TEST_F(RealClicks, QuickClicksFromKeyToKeyEachSelectTheirKey)
{
    ClickTab(kCustomKeyTab);
    const int keys[] = {kKeyQ, kKeyW, kKeyE, kKeyD, kKeyS, kKeyA, kKeyInsert, kKeyHome, kKeyEnd};
    for (DWORD moveToClickMs : {100u, 40u}) {
        for (int code : keys) {
            SCOPED_TRACE(testing::Message() << "key " << code << ", " << moveToClickMs << " ms");
            ClickKey(code, moveToClickMs);
            EXPECT_EQ(Dlg().m_selectedKey, code);
        }
    }
}

// The repeat count of a macro played N times: the field looks enabled and
// takes what is typed into it; leaving it stores the count on the key.
TEST_F(RealClicks, RepeatCountFieldTakesTyping)
{
    const int macro = Db().AddMacro(L"Fire");
    MacroRecordData event;
    event.macro_id = macro;
    event.type = 2;
    event.value = 4;
    Db().InsertMacroRecords({event});

    ClickTab(kCustomKeyTab);
    ClickKey(kKeyQ);
    ASSERT_EQ(Dlg().m_selectedKey, kKeyQ);
    ASSERT_NO_FATAL_FAILURE(ChooseCategory(3));
    ASSERT_NO_FATAL_FAILURE(PickTile(macro));
    ASSERT_TRUE(Control<WEXA::CRadioButton>(91)->GetCheck());

    auto* field = Control<WEXA::MEdit>(95);
    ASSERT_NE(field, nullptr);
    ASSERT_TRUE(field->IsVisible() && field->IsParentVisible());
    EXPECT_TRUE(field->IsEnabled());
    EXPECT_NE(field->m_nState, 3) << "the field is drawn as disabled";
    const CRect r = field->GetRect();
    harness->ClickAt(r.CenterPoint());
    EXPECT_NE(field->GetEditHwnd(), nullptr) << "no edit box opened";
    // The hand goes back to the keyboard while the pointer rests on a key
    // long enough for its tip: the field keeps the keys.
    HoverOver({kKeyW});
    EXPECT_EQ(GetForegroundWindow(), harness->Window()) << "the key tip took the activation";
    harness->TypeKey(VK_BACK);
    harness->TypeText(L"12");
    EXPECT_EQ(std::wstring(field->GetEditText()), L"12");
    // Leaving the field (a click on the picture's frame, beside the keys).
    const CRect picture = Picture()->GetRect();
    harness->ClickAt(POINT{picture.left + 2, picture.top + 2});
    RunQueuedTasks();
    KeyMacroData row;
    ASSERT_TRUE(Db().GetKeyMacro(1, 0, kKeyQ, row));
    EXPECT_EQ(row.macro_type, 3);
    EXPECT_EQ(row.macro_value, macro);
    EXPECT_EQ(row.macro_value3, 12);
}

}  // namespace
}  // namespace pagetest
