// The profile list, the macro event list, the macro list and the list box:
// scrolling, selection, notifications and the in-place editor (the native
// edit window laid over a row); the device cards and the device tile.
#include <gtest/gtest.h>

#include <thread>

#include "CDeviceList.h"
#include "KeyboardCtrl.h"
#include "CRecordList.h"
#include "KeyboardLayout.h"
#include "MListBox.h"
#include "MacroList.h"
#include "ProfileList.h"
#include "WidgetHost.h"

namespace kbtest {
namespace {

using namespace WEXA;

CString Fmt(const wchar_t* format, int value)
{
    CString text;
    text.Format(format, value);
    return text;
}

// Types into an open editor (the edit window reports each change itself).
void Type(CEditWindow* editor, const wchar_t* text)
{
    ASSERT_NE(editor, nullptr);
    ::SetWindowTextW(editor->GetSafeHwnd(), text);
}

bool Shown(CEditWindow* editor)
{
    return editor && ::IsWindow(editor->GetSafeHwnd()) && ::IsWindowVisible(editor->GetSafeHwnd());
}

// Runs the window's messages for a while: keys given to the system arrive
// through its input queue.
void PumpFor(DWORD ms)
{
    const DWORD start = ::GetTickCount();
    do {
        testutil::PumpPending();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    } while (::GetTickCount() - start < ms);
    testutil::PumpPending();
}

void SendKey(WORD vk, bool up)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = WORD(::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    ::SendInput(1, &input, sizeof(input));
}

// Keys as the keyboard gives them, to the window holding the keyboard focus
// (the open editor): each pressed and released, Ctrl held when asked.
void PressKeys(const char* keys, bool withCtrl = false)
{
    if (withCtrl) SendKey(VK_CONTROL, false);
    for (const char* k = keys; *k; ++k) {
        SendKey(WORD(*k), false);
        SendKey(WORD(*k), true);
    }
    if (withCtrl) SendKey(VK_CONTROL, true);
    PumpFor(60);
}

void PressReturn()
{
    SendKey(VK_RETURN, false);
    SendKey(VK_RETURN, true);
    PumpFor(60);
}

std::vector<UINT> CodesOf(const std::vector<Event>& events)
{
    std::vector<UINT> codes;
    for (const Event& e : events) codes.push_back(e.code);
    return codes;
}

// ---- profile list ----

class ProfileListTest : public WidgetTest
{
protected:
    void SetUp() override
    {
        WidgetTest::SetUp();
        list = host.Make<ProfileList>(L"ProfileList", 53, CRect(20, 20, 260, 320));
        ASSERT_NE(list, nullptr);
        list->SetImage(L"img_profile_more.png", 2);
        list->SetItemBkg(L"img_tab_item.png");
        for (int i = 0; i < 10; ++i)
            list->AddItem(Fmt(L"Profile %d", i + 1), 100 + i, L"icon\\icon_profile.png");
        list->SetScrollPos(0);
        Paint(list);
    }
    // Centre of a drawn row in window coordinates.
    CPoint RowPoint(int row, int x = 60) const
    {
        return CPoint(20 + x, 20 + (row - list->GetFirstDrawn()) * 50 - list->GetRowOffset() + 23);
    }
    ProfileList* list = nullptr;
};

TEST_F(ProfileListTest, TenRowsInThreeHundredPixelsScroll)
{
    CScrollVertical* bar = list->m_pScrollVertical;
    EXPECT_TRUE(bar->m_bVisible);
    EXPECT_EQ(bar->GetScrollMaxRange(), 500);
    struct Case
    {
        int position, first, last;
    } cases[] = {{0, 0, 6}, {500, 4, 9}, {250, 2, 8}};
    for (const Case& c : cases) {
        bar->m_nPosition = c.position;
        Paint(list);
        EXPECT_EQ(list->GetFirstDrawn(), c.first) << c.position;
        EXPECT_EQ(list->GetLastDrawn(), c.last) << c.position;
        EXPECT_EQ(list->GetRowOffset(), 0) << c.position;
    }
    // A row scrolled out of view is never hovered, whatever its stale rectangle says.
    list->OnControlMouseMove(0, CPoint(60, 30));
    EXPECT_EQ(list->GetHoverItem(), 2);
    list->SetScrollPos(3);  // any argument scrolls to the top
    EXPECT_EQ(bar->GetScrollCurrentPos(), 0);
}

TEST_F(ProfileListTest, PressOpensTheRenameBoxAndReleaseReportsTheRow)
{
    const CPoint p = RowPoint(1);
    list->OnControlMouseMove(0, p);
    list->OnControlLButtonDown(0, p);
    EXPECT_EQ(list->GetSelectItem(), 1);
    EXPECT_EQ(list->GetEditItem(), 1);
    ASSERT_TRUE(Shown(list->GetEditWindow()));
    CRect box;
    list->GetTextRect(box);
    EXPECT_EQ(box.Height(), 20);  // 14-pixel font: 20 high, centred in the 47-pixel row
    EXPECT_EQ(box.top - (20 + 50), (47 - 20) / 2);
    EXPECT_EQ(box.left, 25);
    list->OnControlLButtonUp(0, p);
    EXPECT_EQ(Codes(53).back(), (Event{53, 2, 0, 1}));

    // The same text sends nothing; a new one sends 29 once and renames the row.
    list->SetControlFocus(0);
    EXPECT_FALSE(Shown(list->GetEditWindow()));
    EXPECT_EQ(CodesOf(Codes(53)), (std::vector<UINT>{2}));
    list->OnControlLButtonDown(0, p);
    Type(list->GetEditWindow(), L"Gaming");
    list->SetControlFocus(0);
    EXPECT_EQ(Codes(53).back(), (Event{53, 29, 0, 1}));
    EXPECT_EQ(list->GetItemText(1), CString(L"Gaming"));
    EXPECT_EQ(CodesOf(Codes(53)), (std::vector<UINT>{2, 26, 29}));

    // The row button reports 9.
    const CPoint button(20 + 235 - 20, RowPoint(2).y);
    list->OnControlMouseMove(0, button);
    list->OnControlLButtonDown(0, button);
    list->OnControlLButtonUp(0, button);
    EXPECT_EQ(Codes(53).back(), (Event{53, 9, 0, 2}));
    list->SetControlFocus(0);
}

TEST_F(ProfileListTest, PressOnAnotherRowFinishesTheRenameFirst)
{
    list->OnControlMouseMove(0, RowPoint(1));
    list->OnControlLButtonDown(0, RowPoint(1));
    Type(list->GetEditWindow(), L"Gaming");
    list->OnControlMouseMove(0, RowPoint(3));
    list->OnControlLButtonDown(0, RowPoint(3));
    EXPECT_EQ(list->GetItemText(1), CString(L"Gaming"));
    EXPECT_EQ(Codes(53).back(), (Event{53, 29, 0, 1}));
    EXPECT_EQ(list->GetEditItem(), 3);
    EXPECT_TRUE(Shown(list->GetEditWindow()));
    list->SetControlFocus(0);
    EXPECT_EQ(list->GetItemText(3), CString(L"Profile 4"));
}

TEST_F(ProfileListTest, ReturnCommitsTheRenameAndDeletingTheRowClosesItsBox)
{
    ::SetForegroundWindow(hwnd);
    list->OnControlMouseMove(0, RowPoint(1));
    list->OnControlLButtonDown(0, RowPoint(1));
    list->OnControlLButtonUp(0, RowPoint(1));
    ASSERT_TRUE(Shown(list->GetEditWindow()));
    ASSERT_EQ(::GetFocus(), list->GetEditWindow()->GetSafeHwnd());
    PressKeys("A", true);  // everything selected: the typing replaces the name
    PressKeys("GAME");
    PressReturn();
    EXPECT_FALSE(Shown(list->GetEditWindow())) << "Return leaves the box open";
    EXPECT_EQ(std::wstring(list->GetItemText(1)), L"game");
    EXPECT_EQ(Codes(53).back(), (Event{53, 29, 0, 1}));
    EXPECT_EQ(list->GetEditItem(), -1);

    // A profile deleted while its name is being edited takes its box along:
    // nothing stale stays over the row that moves up, and nothing is renamed.
    list->OnControlMouseMove(0, RowPoint(2));
    list->OnControlLButtonDown(0, RowPoint(2));
    ASSERT_TRUE(Shown(list->GetEditWindow()));
    const size_t events = Codes(53).size();
    list->DeleteItem(2);
    EXPECT_FALSE(Shown(list->GetEditWindow())) << "a box with the deleted name stays";
    list->SetControlFocus(0);
    EXPECT_EQ(Codes(53).size(), events);
    EXPECT_EQ(std::wstring(list->GetItemText(2)), L"Profile 4");
}

TEST_F(ProfileListTest, SelectionByDataAndDeletion)
{
    list->SetSelectItem(3);
    const int before = host.updates;
    list->SetCurData(999);  // nobody has it: the selection stays, the list repaints
    EXPECT_EQ(list->GetSelectItem(), 3);
    EXPECT_EQ(host.updates, before + 1);
    list->SetCurData(105);
    EXPECT_EQ(list->GetSelectItem(), 5);
    EXPECT_EQ(list->GetCurData(), 105);
    int data = 0;
    CString text;
    list->GetCurValue(data, text);
    EXPECT_EQ(data, 105);
    EXPECT_EQ(text, CString(L"Profile 6"));
    EXPECT_EQ(list->GetItemData(10), 0);
    EXPECT_TRUE(list->GetItemText(-1).IsEmpty());
    EXPECT_EQ(list->SetItemText(10, L"x"), 0);

    list->ClearList();
    EXPECT_EQ(list->AddItem(L"Only", 7, L""), 0);
    list->SetSelectItem(0);
    list->DeleteItem(0);
    EXPECT_EQ(list->GetItemCount(), 0);
    EXPECT_EQ(list->GetSelectItem(), -1);
    EXPECT_EQ(list->GetCurData(), 0);
    EXPECT_FALSE(list->m_pScrollVertical->m_bVisible);
}

TEST_F(ProfileListTest, ARenameWaitingForTheRowsWhileTheWorkerEmptiesThemOpensNothing)
{
    // The user starts renaming the selected row while the worker reloads the
    // profiles: the rename waits for the row lock the worker holds, and once
    // it has it the list is empty and nothing is selected.
    list->SetSelectItem(2);
    HANDLE held = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread worker([&] {
        CAutoLock lock(list->m_itemLock);
        SetEvent(held);
        Sleep(300);  // the window's thread reaches the lock meanwhile
        list->ClearList();
    });
    ASSERT_EQ(WaitForSingleObject(held, 5000), WAIT_OBJECT_0);
    list->ShowEdit();
    worker.join();
    CloseHandle(held);
    EXPECT_EQ(list->GetItemCount(), 0);
    EXPECT_EQ(list->GetSelectItem(), -1);
    EXPECT_EQ(list->GetEditItem(), -1);
}

TEST_F(ProfileListTest, RenameBoxOfASmallFontIsTwelvePixelsHigh)
{
    list->SetFont(L"Roboto", 8, Gdiplus::FontStyleRegular);
    list->SetSelectItem(0);
    list->ShowEdit();
    CRect box;
    list->GetTextRect(box);
    EXPECT_EQ(box.Height(), 12);
    list->SetControlFocus(0);
}

// ---- macro event list ----

class RecordListTest : public WidgetTest
{
protected:
    void SetUp() override
    {
        WidgetTest::SetUp();
        list = host.Make<CRecordList>(L"CRecordList", 220, CRect(0, 0, 0, 0));
        if (!list) {
            // Only the panel factory knows the event list.
            panel = new MPanel(&host, 219, CRect(0, 0, kWidth, kHeight), 1);
            panel->SetManager(&host.engine);
            list = dynamic_cast<CRecordList*>(
                panel->CreateControl(L"CRecordList", 220, CRect(20, 20, 420, 220), L"", 1, 1));
        }
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->SetImage(L"icon\\icon_list.png", 8), 1);
        EXPECT_EQ(list->SetItemImage(L"img_list_bkg.png", 4), 1);
        EXPECT_EQ(list->SetMoreImage(L"btn_more.png", 0), 1);  // no frame count: one frame
        list->SetControlRect(list->GetRect());
    }
    void TearDown() override
    {
        delete panel;
        WidgetTest::TearDown();
    }
    void Fill(std::initializer_list<int> types)
    {
        int stamp = 10;
        for (int type : types) list->AddString(L"A", type, 4, stamp += 10);
        Paint(list);
    }
    CPoint RowPoint(int row, int x = 150) const
    {
        return CPoint(
            list->GetRect().left + x,
            list->GetRect().top + (row - list->GetFirstDrawn()) * 36 - list->GetRowOffset() + 18);
    }
    void DoubleClick(int row)
    {
        list->OnControlMouseMove(0, RowPoint(row));
        list->OnControlLButtonDown(0, RowPoint(row));
        list->OnControlLButtonUp(0, RowPoint(row));
        list->OnControlLButtonDblClk(0, RowPoint(row));
    }
    MPanel* panel = nullptr;
    CRecordList* list = nullptr;
};

TEST_F(RecordListTest, RowsAreAddedInsertedCountedAndSwapped)
{
    EXPECT_FALSE(list->UpdateDelayTime(50));
    EXPECT_EQ(list->AddString(L"A", 2, 4, 10), 0);
    list->AddString(L"A", 3, 4, 10);
    list->AddString(L"B", 1, 5, 10);
    EXPECT_EQ(list->InsertString(0, L"first", 1, 0, 7), 3);
    EXPECT_EQ(list->GetRecordItems().front()->strText, CString(L"first"));
    EXPECT_EQ(list->GetEventCount(), 2);  // types 1, 2, 3, 1
    EXPECT_TRUE(list->UpdateDelayTime(99));
    EXPECT_EQ(list->GetRecrodTimeStamp(3), 99);
    EXPECT_EQ(list->GetRecrodTimeStamp(4), 0);

    EXPECT_EQ(list->SetCurSel(1), 1);
    EXPECT_EQ(list->SetCurSel(-2), 0);
    EXPECT_EQ(list->SetCurSel(4), 0);
    EXPECT_EQ(list->GetCurSel(), 1);
    EXPECT_EQ(list->SetCurSel(-1), 1);
    EXPECT_EQ(list->GetCurSel(), -1);

    const std::vector<RecordItem*> before = list->GetRecordItems();
    list->SwapItem(1, 1);
    list->SwapItem(0, 4);
    EXPECT_EQ(list->GetRecordItems(), before);
    list->SwapItem(0, 3);
    EXPECT_EQ(list->GetRecordItems()[0], before[3]);

    CString text;
    int type = -7, code = -7, stamp = -7;
    list->GetRecordInfo(9, text, type, code, stamp);
    EXPECT_EQ(type, -7);
    list->SetRecordInfo(0, L"Z", 6, 8, 300);
    list->GetRecordInfo(0, text, type, code, stamp);
    EXPECT_EQ(text, CString(L"Z"));
    EXPECT_EQ((std::vector<int>{type, code, stamp}), (std::vector<int>{6, 8, 300}));
}

TEST_F(RecordListTest, UpEventsStampTheirDownEvent)
{
    for (int type : {2, 3, 2, 3}) list->AddString(L"A", type, 4, 10);
    list->UpdateTimeStamp(3, 4, 77);
    std::vector<int> stamps;
    for (RecordItem* item : list->GetRecordItems()) stamps.push_back(item->nTimeStamp);
    EXPECT_EQ(stamps, (std::vector<int>{10, 10, 77, 77}));
}

TEST_F(RecordListTest, EightRowsInTwoHundredPixelsShowTheBar)
{
    Fill({2, 3, 2, 3, 2, 3, 2, 3});
    EXPECT_TRUE(list->m_pScrollVertical->m_bVisible);
    EXPECT_EQ(list->m_pScrollVertical->GetScrollMaxRange(), 288);
    EXPECT_EQ(list->GetRecordItems()[list->GetFirstDrawn()]->rcItem.right, 400 - 5);
}

TEST_F(RecordListTest, DelayBoxParsesClampsAndCommits)
{
    struct Case
    {
        const wchar_t* text;
        int value;
    } cases[] = {{L"5", 10},  {L"70000", 65535}, {L"abc", 10}, {L"99999999999999999999999", 65535},
                 {L"-3", 10}, {L"  250ms", 250}, {L"", 10},    {L"65535", 65535}};
    for (const Case& c : cases) EXPECT_EQ(CRecordList::ParseDelay(c.text), c.value) << c.value;

    Fill({2, 3, 2});
    DoubleClick(1);
    EXPECT_EQ(list->GetEditItem(), 1);
    ASSERT_TRUE(Shown(list->GetEditWindow()));
    EXPECT_EQ(list->GetEditText(), CString(L"30"));
    EXPECT_EQ(Codes(220).back(), (Event{220, 30, 0, 0}));
    list->SetControlFocus(0);  // unchanged: nothing
    EXPECT_NE(Codes(220).back().code, 29u);
    DoubleClick(1);
    Type(list->GetEditWindow(), L"70000");
    list->SetControlFocus(0);
    EXPECT_EQ(Codes(220).back(), (Event{220, 29, 0, 1}));
    EXPECT_EQ(list->GetRecrodTimeStamp(1), 65535);
    EXPECT_FALSE(Shown(list->GetEditWindow()));
}

TEST_F(RecordListTest, ReturnCommitsTheDelayAndCtrlASelectsIt)
{
    ::SetForegroundWindow(hwnd);
    ASSERT_TRUE(testutil::PumpUntil([&] { return ::GetForegroundWindow() == hwnd; }));
    Fill({2, 3, 2});
    DoubleClick(1);
    ASSERT_TRUE(Shown(list->GetEditWindow()));
    const HWND box = list->GetEditWindow()->GetSafeHwnd();
    ASSERT_EQ(::GetFocus(), box);
    // Injected keys go through the system's input queue: each step waits for
    // its effect (a second on a busy machine is not a fault).
    PressKeys("A", true);
    testutil::PumpUntil([&] { return ::SendMessageW(box, EM_GETSEL, 0, 0) == MAKELRESULT(0, 2); },
                        3000);
    EXPECT_EQ(::SendMessageW(box, EM_GETSEL, 0, 0), MAKELRESULT(0, 2))
        << "Ctrl+A selects the whole delay";
    PressKeys("250");
    testutil::PumpUntil([&] { return std::wstring(list->GetEditText()) == L"250"; }, 3000);
    EXPECT_EQ(std::wstring(list->GetEditText()), L"250");
    PressReturn();
    testutil::PumpUntil([&] { return !Shown(list->GetEditWindow()); }, 3000);
    EXPECT_FALSE(Shown(list->GetEditWindow())) << "Return leaves the box open";
    EXPECT_EQ(list->GetRecrodTimeStamp(1), 250);
    EXPECT_EQ(Codes(220).back(), (Event{220, 29, 0, 1}));
    EXPECT_EQ(list->GetEditItem(), -1);
}

TEST_F(RecordListTest, DeletingRowsWhileEditingDropsTheEdit)
{
    Fill({2, 3, 2, 3});
    DoubleClick(2);
    Type(list->GetEditWindow(), L"500");
    list->DeleteItem(2);
    EXPECT_FALSE(Shown(list->GetEditWindow()));
    list->SetControlFocus(0);
    for (const Event& e : Codes(220)) EXPECT_NE(e.code, 29u);
    std::vector<int> stamps;
    for (RecordItem* item : list->GetRecordItems()) stamps.push_back(item->nTimeStamp);
    EXPECT_EQ(stamps, (std::vector<int>{20, 30, 50}));

    // An earlier row deleted: the edit is dropped, no other row takes it.
    Paint(list);
    DoubleClick(2);
    Type(list->GetEditWindow(), L"600");
    list->DeleteItem(0);
    list->SetControlFocus(0);
    stamps.clear();
    for (RecordItem* item : list->GetRecordItems()) stamps.push_back(item->nTimeStamp);
    EXPECT_EQ(stamps, (std::vector<int>{30, 50}));
    list->DeleteAllItems();
    EXPECT_EQ(list->GetItemCount(), 0);

    // An insertion keeps the edit on its row.
    Fill({2, 3});
    DoubleClick(1);
    Type(list->GetEditWindow(), L"700");
    list->InsertString(0, L"new", 1, 0, 5);
    list->SetControlFocus(0);
    EXPECT_EQ(Codes(220).back(), (Event{220, 29, 0, 2}));
    EXPECT_EQ(list->GetRecrodTimeStamp(2), 700);
}

TEST_F(RecordListTest, ButtonsReportRowsAndTheMoreButton)
{
    Fill({2, 3, 4});
    host.events.clear();
    list->OnControlMouseMove(0, RowPoint(2));
    list->OnControlLButtonDown(0, RowPoint(2));
    list->OnControlLButtonUp(0, RowPoint(2));
    EXPECT_EQ(host.events, (std::vector<Event>{{220, 1, 2, 0}, {220, 2, 0, 0}}));
    EXPECT_EQ(list->GetTimeStampSelect(), 40);
    const CRect more = list->GetMoreRect();
    const CPoint onMore = RowPoint(0, more.CenterPoint().x);
    list->OnControlMouseMove(0, onMore);
    list->OnControlLButtonUp(0, onMore);
    EXPECT_EQ(host.events.back(), (Event{220, 9, 0, 0}));
    list->OnControlMouseMove(0, RowPoint(1));
    list->OnControlRButtonUp(0, RowPoint(1));
    EXPECT_EQ(host.events.back(), (Event{220, 5, 1, 0}));
}

// ---- macro list and list box ----

class MacroListTest : public WidgetTest
{
protected:
    void SetUp() override
    {
        WidgetTest::SetUp();
        list = host.Make<MacroList>(L"MacroList", 209, CRect(20, 20, 270, 220));
        ASSERT_NE(list, nullptr);
        list->SetTextColor(Gdiplus::Color(0xFF333333));
        list->EnableShowEdit(1);
        EXPECT_EQ(list->SetImage(L"img_list_bkg.png", 4), 1);
        EXPECT_EQ(list->SetEditImage(L"btn_more.png", 4), 1);
        list->SetControlRect(list->GetRect());
    }
    void Fill(int rows)
    {
        for (int i = 0; i < rows; ++i) list->AddString(Fmt(L"Macro %d", i + 1), 40L + i, -1);
        Paint(list);
    }
    CPoint RowPoint(int row) const
    {
        return CPoint(80, 20 + (row - list->GetFirstDrawn()) * 40 - list->GetRowOffset() + 20);
    }
    void Press(int row)
    {
        list->OnControlMouseMove(0, RowPoint(row));
        list->OnControlLButtonDown(0, RowPoint(row));
        list->OnControlLButtonUp(0, RowPoint(row));
    }
    MacroList* list = nullptr;
};

TEST_F(MacroListTest, SixthRowShowsTheBarAndScrollsToTheEnd)
{
    Fill(5);
    EXPECT_FALSE(list->m_pScrollVertical->m_bVisible);
    EXPECT_EQ(list->AddString(L"Macro 6", 45L, -1), 5);
    EXPECT_TRUE(list->m_pScrollVertical->m_bVisible);
    EXPECT_EQ(list->m_pScrollVertical->GetScrollMaxRange(), 240);
    Paint(list);
    EXPECT_EQ(list->GetLastDrawn(), 5);

    EXPECT_EQ(list->InsertString(0, L"Zero", -1, 1L), 6);
    EXPECT_EQ(list->GetItemText(0), CString(L"Zero"));
    EXPECT_EQ(list->InsertString(7, L"x", -1, 1L), -1);
    EXPECT_EQ(list->InsertString(-2, L"x", -1, 1L), -1);
    EXPECT_EQ(list->FindItemData(44L), 5);
    EXPECT_EQ(list->FindString(L"Macro 3"), 3);
    EXPECT_EQ(list->FindString(L"macro 3"), -1);
    EXPECT_EQ(list->SetCurData(43L), 4);
    EXPECT_EQ(list->GetCurData(), 43);
    const int before = host.updates;
    EXPECT_EQ(list->SetCurSel(-1), 1);
    EXPECT_EQ(host.updates, before + 1);
    EXPECT_EQ(list->SetCurSel(7), 0);
    EXPECT_EQ(list->GetCurSel(), -1);
    EXPECT_EQ(list->ModifyItemString(9, L"x"), 0);
    EXPECT_EQ(list->ModifyItemString(0, nullptr, 1), 1);
    EXPECT_EQ(host.updates, before + 2);
    EXPECT_TRUE(list->GetItemText(0).IsEmpty());
    EXPECT_EQ(list->GetItemRect(0), CRect(0, 0, 0, 0));
    list->DeleteAllItems();
    EXPECT_FALSE(list->m_pScrollVertical->m_bVisible);
    EXPECT_EQ(list->m_pScrollVertical->GetScrollMaxRange(), 0);
}

TEST_F(MacroListTest, PressOnAnotherRowCommitsTheEditOfTheFirst)
{
    Fill(3);
    Press(0);
    list->OnControlLButtonDblClk(0, RowPoint(0));
    ASSERT_TRUE(Shown(list->GetEditWindow()));
    Type(list->GetEditWindow(), L"Renamed");
    Press(0);  // the same row: nothing is committed yet
    EXPECT_EQ(list->GetItemText(0), CString(L"Macro 1"));
    Press(2);
    EXPECT_EQ(list->GetItemText(0), CString(L"Renamed"));
    EXPECT_EQ(list->GetCurSel(), 2);
    std::vector<Event> renames;
    for (const Event& e : Codes(209))
        if (e.code == 29) renames.push_back(e);
    EXPECT_EQ(renames, (std::vector<Event>{{209, 29, 0, 0}}));
    EXPECT_FALSE(Shown(list->GetEditWindow()));

    // An unchanged text commits nothing.
    list->OnControlLButtonDblClk(0, RowPoint(2));
    list->SetControlFocus(0);
    EXPECT_EQ(CodesOf(Codes(209)).back(), 2u);
}

TEST_F(MacroListTest, DeletingTheEditedRowDropsTheEdit)
{
    Fill(3);
    Press(1);
    list->OnControlLButtonDblClk(0, RowPoint(1));
    Type(list->GetEditWindow(), L"Lost");
    list->DeleteItem(1);
    EXPECT_FALSE(Shown(list->GetEditWindow()));
    list->SetControlFocus(0);
    EXPECT_EQ(list->GetItemText(0), CString(L"Macro 1"));
    EXPECT_EQ(list->GetItemText(1), CString(L"Macro 3"));
    for (const Event& e : Codes(209)) EXPECT_NE(e.code, 29u);
}

TEST_F(MacroListTest, RightClickBelowTheRowsClearsTheSelection)
{
    Fill(2);
    Press(1);
    const CPoint below(80, 20 + 150);
    list->OnControlMouseMove(0, below);
    list->OnControlRButtonUp(0, below);
    EXPECT_EQ(Codes(209).back(), (Event{209, 5, -1, 0}));
    EXPECT_EQ(list->GetCurSel(), -1);
    // The edit-icon zone reports 9.
    const CPoint zone(20 + list->GetEditZone().CenterPoint().x, RowPoint(0).y);
    list->OnControlMouseMove(0, zone);
    list->OnControlLButtonUp(0, zone);
    EXPECT_EQ(Codes(209).back(), (Event{209, 9, 0, 0}));
}

TEST_F(MacroListTest, DragImageCoversTheHoveredRowsText)
{
    Fill(3);
    EXPECT_EQ(list->GetControlDropBitmap(), nullptr);  // no row under the pointer
    list->OnControlMouseMove(0, RowPoint(1));
    HBITMAP image = list->GetControlDropBitmap();
    ASSERT_NE(image, nullptr);
    BITMAP info = {};
    GetObjectW(image, sizeof(info), &info);
    EXPECT_GT(info.bmWidth, 70);
    EXPECT_LE(info.bmWidth, 300);
    EXPECT_EQ(info.bmHeight, 40);
    EXPECT_EQ(list->GetCurSel(), 1);
    DeleteObject(image);
}

TEST_F(WidgetTest, ListBoxReportsRowsAndDropsADestroyedEdit)
{
    auto* box = host.Make<MListBox>(L"MListBox", 70, CRect(20, 20, 220, 200));
    ASSERT_NE(box, nullptr);
    box->EnableShowEdit(1);
    for (int i = 0; i < 3; ++i) box->AddString(Fmt(L"Item %d", i), 0L + i, -1);
    Paint(box);
    const CPoint row1(60, 20 + 36 + 18);
    box->OnControlMouseMove(0, row1);
    box->OnControlLButtonDown(0, row1);
    box->OnControlLButtonUp(0, row1);
    box->OnControlLButtonDblClk(0, row1);
    EXPECT_EQ(Codes(70), (std::vector<Event>{{70, 1, 1, 0}, {70, 2, 1, 0}, {70, 3, 1, 0}}));
    ASSERT_TRUE(Shown(box->GetEditWindow()));
    Type(box->GetEditWindow(), L"Typed");
    box->DestroyEdit();
    EXPECT_EQ(box->GetEditWindow(), nullptr);
    box->SetControlFocus(0);
    EXPECT_EQ(box->GetItemText(1), CString(L"Item 1"));
    for (const Event& e : Codes(70)) EXPECT_NE(e.code, 29u);
    // A new edit makes a new editor; deleting its row drops what was typed.
    box->OnControlLButtonDblClk(0, row1);
    EXPECT_TRUE(Shown(box->GetEditWindow()));
    Type(box->GetEditWindow(), L"Gone");
    box->DeleteItem(0);
    EXPECT_FALSE(Shown(box->GetEditWindow()));
    box->SetControlFocus(0);
    EXPECT_EQ(box->GetItemText(0), CString(L"Item 1"));
    for (const Event& e : Codes(70)) EXPECT_NE(e.code, 29u);
}

// Each widget is built by the factories that list its name, and only by them.
TEST_F(WidgetTest, FactoriesBuildEveryWidgetByItsName)
{
    MPanel* panel = new MPanel(&host, 1, CRect(0, 0, 400, 400), 1);
    panel->SetManager(&host.engine);
    struct Case
    {
        const wchar_t* name;
        bool window;  // the window-level factory lists it (the panel's lists them all)
        bool (*isIt)(MControl*);
    } cases[] = {
        {L"KeyboardCtrl", true,
         [](MControl* c) { return dynamic_cast<KeyboardCtrl*>(c) != nullptr; }},
        {L"ProfileList", true,
         [](MControl* c) { return dynamic_cast<ProfileList*>(c) != nullptr; }},
        {L"MacroList", true, [](MControl* c) { return dynamic_cast<MacroList*>(c) != nullptr; }},
        {L"MListBox", true, [](MControl* c) { return dynamic_cast<MListBox*>(c) != nullptr; }},
        {L"CDeviceCtrl", true,
         [](MControl* c) { return dynamic_cast<CDeviceCtrl*>(c) != nullptr; }},
        {L"CRecordList", false,
         [](MControl* c) { return dynamic_cast<CRecordList*>(c) != nullptr; }},
        {L"CDeviceList", false,
         [](MControl* c) { return dynamic_cast<CDeviceList*>(c) != nullptr; }},
    };
    UINT id = 10;
    for (const Case& c : cases) {
        MControl* inPanel = panel->CreateControl(c.name, id++, CRect(0, 0, 50, 50), L"", 1, 1);
        EXPECT_TRUE(inPanel && c.isIt(inPanel)) << std::string(c.name, c.name + wcslen(c.name));
        MControl* inWindow =
            host.engine.CreateControl(1, &host, c.name, id++, CRect(0, 0, 50, 50), L"", 1, 1);
        EXPECT_EQ(inWindow && c.isIt(inWindow), c.window)
            << std::string(c.name, c.name + wcslen(c.name));
        EXPECT_STREQ(inPanel ? inPanel->GetClassNameW() : L"", L"MControl");
    }
    delete panel;
}

// ---- device cards ----

class DeviceListTest : public WidgetTest
{
protected:
    void SetUp() override
    {
        WidgetTest::SetUp();
        panel = new MPanel(&host, 80, CRect(0, 0, 1400, 560), 1);
        panel->SetManager(&host.engine);
        list = dynamic_cast<CDeviceList*>(
            panel->CreateControl(L"CDeviceList", 81, CRect(0, 0, 1400, 560), L"", 1, 1));
        ASSERT_NE(list, nullptr);
        list->SetImage(L"icon\\icon_devicestatus.png", 6);
        const std::wstring device = ExeFolder() + L"device\\";
        const wchar_t* names[] = {L"kb_tkl", L"kb_75_wireless", L"kb_75_lcd", L"kb_80_matrix",
                                  L"kb_full"};
        for (int i = 0; i < 5; ++i)
            list->AddDevice(Fmt(L"Model %d", i), 101 + i, (device + names[i] + L"_off.png").c_str(),
                            (device + names[i] + L"_on.png").c_str());
    }
    void TearDown() override
    {
        delete panel;
        WidgetTest::TearDown();
    }
    DEVICEITEM_INFO Card(int index)
    {
        DEVICEITEM_INFO card;
        EXPECT_TRUE(list->GetDevice(index, card));
        return card;
    }
    MPanel* panel = nullptr;
    CDeviceList* list = nullptr;
};

TEST_F(DeviceListTest, CardsArePlacedByTheNumberOnline)
{
    struct Case
    {
        int online;
        CSize size;
        int firstX;
    } cases[] = {{1, CSize(770, 500), 315},
                 {2, CSize(500, 500), 190},
                 {3, CSize(400, 500), 80},
                 {4, CSize(280, 300), 110},
                 {5, CSize(280, 300), -40}};
    for (const Case& c : cases) {
        list->SetAllDeviceState(0);
        for (int i = 0; i < c.online; ++i) list->SetDeviceState(101 + i, 0, 1);
        Paint(list);
        for (int i = 0; i < c.online; ++i) {
            const CRect r = Card(i).rcItem;
            EXPECT_EQ(r.left, c.firstX + i * (c.size.cx + 20)) << c.online;
            EXPECT_EQ(r.top, (560 - c.size.cy) / 2) << c.online;
            EXPECT_EQ(CSize(r.Width(), r.Height()), c.size) << c.online;
        }
        EXPECT_EQ(list->GetOnlineCount(), c.online);
    }
}

TEST_F(DeviceListTest, LinkAndBatteryFollowTheirRules)
{
    list->SetDeviceState(102, 0, 1);
    list->SetDeviceState(102, 1, 1);  // online over USB: stays a USB card
    EXPECT_EQ(Card(1).nLink, 0);
    list->SetDeviceState(103, 1, 1);
    EXPECT_EQ(Card(2).nLink, 1);
    EXPECT_EQ(list->GetDeviceState(103), 1);
    EXPECT_EQ(list->GetDeviceState(999), 0);
    list->SetDeviceState(103, 7, 0);  // unknown link: nothing
    EXPECT_EQ(list->GetDeviceState(103), 1);

    list->SetDeviceBattery(103, 1, 40, 0);
    list->SetDeviceBattery(103, 1, 90, 1);  // taken only while the level is 0
    EXPECT_EQ(Card(2).nBattery, 40);
    list->SetDeviceBattery(103, 0, 96, 1);  // the cable always overwrites
    EXPECT_EQ(Card(2).nBattery, 96);
    EXPECT_EQ(Card(2).nCharging, 1);
    list->SetAllDeviceState(1);
    EXPECT_EQ(Card(2).nBattery, 0);

    const int shown[][2] = {{0, 25},  {30, 25}, {31, 50}, {60, 50},  {80, 75},
                            {81, 90}, {95, 90}, {96, 96}, {100, 100}};
    for (const auto& s : shown) EXPECT_EQ(CDeviceList::ShownBattery(s[0]), s[1]) << s[0];
}

TEST_F(DeviceListTest, SelectionFallsBackToTheFirstOnlineCard)
{
    list->SetSelectDevice(104);
    EXPECT_EQ(list->GetSelectItem(), -1);  // nobody online
    EXPECT_EQ(list->GetSelectDevice(), 101);
    EXPECT_EQ(list->GetSelectItem(), 0);
    list->SetDeviceState(103, 0, 1);
    list->SetDeviceState(105, 0, 1);
    list->SetSelectDevice(105);
    EXPECT_EQ(list->GetSelectItem(), 4);
    list->SetSelectDevice(101);  // offline: the first online card
    EXPECT_EQ(list->GetSelectItem(), 2);

    // A release over a card that went offline after the hover selects it silently.
    Paint(list);
    const CPoint onSecond = Card(4).rcItem.CenterPoint();
    list->OnControlMouseMove(0, onSecond);
    EXPECT_EQ(list->GetHoverItem(), 4);
    list->SetDeviceState(105, 0, 0);
    list->OnControlLButtonUp(0, onSecond);
    EXPECT_EQ(list->GetSelectItem(), 4);
    EXPECT_TRUE(Codes(81).empty());
    list->OnControlMouseMove(0, Card(2).rcItem.CenterPoint());
    list->OnControlLButtonUp(0, Card(2).rcItem.CenterPoint());
    EXPECT_EQ(Codes(81), (std::vector<Event>{{81, 2, 0, 0}}));
    EXPECT_EQ(list->GetSelectDevice(), 103);

    list->ClearList();
    EXPECT_EQ(list->GetSelectDevice(), 0);
}

TEST_F(DeviceListTest, ImagesFitTheirBox)
{
    const CRect box(0, 0, 400, 200);
    struct Case
    {
        int w, h;
        CRect fit;
    } cases[] = {{10, 300, box},
                 {800, 200, CRect(0, 50, 400, 150)},
                 {800, 800, CRect(100, 0, 300, 200)},
                 {600, 100, CRect(0, 67, 400, 133)},
                 {100, 400, CRect(175, 0, 225, 200)},
                 {100, 50, CRect(150, 75, 250, 125)}};
    for (const Case& c : cases) EXPECT_EQ(list->GetImageRect(c.w, c.h, box), c.fit) << c.w;
}

TEST_F(WidgetTest, DeviceTileNeedsAStatusToHoverAndNotify)
{
    auto* tile = host.Make<CDeviceCtrl>(L"CDeviceCtrl", 90, CRect(20, 20, 220, 200));
    ASSERT_NE(tile, nullptr);
    const std::wstring picture = ExeFolder() + L"device\\kb_tkl_on.png";
    EXPECT_EQ(tile->SetImage(picture.c_str(), 0), 1);
    EXPECT_EQ(tile->m_nFrameCount, 1);
    EXPECT_EQ(tile->SetImage(L"no_such_file.png", 1), 0);
    tile->SetImage(picture.c_str(), 1);
    EXPECT_EQ(tile->OnControlMouseMove(0, CPoint(50, 50)), 0);
    EXPECT_EQ(tile->OnControlLButtonDown(0, CPoint(50, 50)), 0);
    EXPECT_EQ(tile->GetState(), 0);
    tile->SetDeviceStatus(1);
    tile->OnControlMouseMove(0, CPoint(50, 50));
    EXPECT_EQ(tile->GetState(), 1);
    tile->OnControlLButtonDown(0, CPoint(50, 50));
    EXPECT_EQ(tile->GetState(), 2);
    tile->OnControlMouseMove(0, CPoint(500, 500));  // pressed: the state holds
    EXPECT_EQ(tile->GetState(), 2);
    tile->OnControlLButtonUp(0, CPoint(50, 50));
    EXPECT_EQ(tile->GetState(), 0);
    EXPECT_EQ(Codes(90), (std::vector<Event>{{90, 1, 0, 0}, {90, 2, 0, 0}}));
}

}  // namespace
}  // namespace kbtest
