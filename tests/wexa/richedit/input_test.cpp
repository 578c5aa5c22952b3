// Real input into a field of a dialog on the screen: clicks, typing (with
// non-ASCII text), caret movement, selection, copy and paste, undo and the
// context menu. The program runs alone (test.cmake): the dialog must keep the
// activation while the input is delivered.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CTxtWinHost.h"
#include "RichEditFixture.h"
#include "WindowTestHelpers.h"

using richedit_test::HostedField;
using WEXA::MRichEdit;

namespace {

const int kDialogX = 300, kDialogY = 200;

std::wstring Text(const CString& s)
{
    return std::wstring(s.GetString());
}

void SendKey(WORD vk, bool up)
{
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &in, sizeof(in));
}

void Press(WORD vk, WORD modifier = 0)
{
    if (modifier) SendKey(modifier, false);
    SendKey(vk, false);
    SendKey(vk, true);
    if (modifier) SendKey(modifier, true);
}

void TypeUnicode(const wchar_t* text)
{
    std::vector<INPUT> inputs;
    for (const wchar_t* p = text; *p; ++p)
        for (DWORD flag : {DWORD(0), DWORD(KEYEVENTF_KEYUP)}) {
            INPUT in = {};
            in.type = INPUT_KEYBOARD;
            in.ki.wScan = *p;
            in.ki.dwFlags = KEYEVENTF_UNICODE | flag;
            inputs.push_back(in);
        }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void Click(int clientX, int clientY, bool right = false)
{
    SetCursorPos(kDialogX + clientX, kDialogY + clientY);
    testutil::PumpPending();
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    SendInput(2, in, sizeof(INPUT));
}

// Lets the queued input arrive and be handled.
void Settle(DWORD ms = 150)
{
    const DWORD start = GetTickCount();
    testutil::PumpUntil([&] { return GetTickCount() - start > ms; }, ms + 500);
}

std::wstring ClipboardText()
{
    std::wstring text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const wchar_t* p = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = p;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

class FieldInput : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(hosted.field, nullptr);
        ASSERT_NE(hosted.field->GetHost(), nullptr);
        HWND wnd = hosted.dialog.GetSafeHwnd();
        SetForegroundWindow(wnd);
        SetFocus(wnd);
        Settle(100);
    }
    HostedField hosted{L"MRichEdit", CRect(10, 10, 210, 110), kDialogX, kDialogY};
};

TEST_F(FieldInput, TypingSelectionCopyPasteAndUndo)
{
    MRichEdit* field = hosted.field;
    Click(60, 40);
    ASSERT_TRUE(testutil::PumpUntil([&] { return field->IsFocused() != 0; }, 2000));
    EXPECT_EQ(field->GetVisualState(), 2);
    EXPECT_EQ(hosted.dialog.Count(40, 1), 1);
    EXPECT_EQ(hosted.dialog.Count(40, 2), 1);

    const std::wstring typed = L"Hello w\u00F6rld \u65E5\u672C \u00E9t\u00E9";
    TypeUnicode(typed.c_str());
    ASSERT_TRUE(testutil::PumpUntil([&] { return Text(field->GetControlTitle()) == typed; }, 3000))
        << "read back: " << testing::PrintToString(Text(field->GetControlTitle()));

    // Caret to the start, select five characters with Shift+Right.
    Press(VK_HOME, VK_CONTROL);
    for (int i = 0; i < 5; ++i) Press(VK_RIGHT, VK_SHIFT);
    Settle();
    EXPECT_EQ(Text(field->GetSelText()), L"Hello");

    // Copy, caret to the end, paste.
    Press('C', VK_CONTROL);
    Settle();
    EXPECT_EQ(ClipboardText(), L"Hello");
    Press(VK_END, VK_CONTROL);
    Press('V', VK_CONTROL);
    Settle();
    EXPECT_EQ(Text(field->GetControlTitle()), typed + L"Hello");

    // Undo takes the paste back.
    Press('Z', VK_CONTROL);
    Settle();
    EXPECT_EQ(Text(field->GetControlTitle()), typed);

    // Backspace and caret movement edit in place.
    Press(VK_LEFT);
    Press(VK_LEFT);
    Press(VK_BACK);
    Settle();
    EXPECT_EQ(Text(field->GetControlTitle()), L"Hello w\u00F6rld \u65E5\u672C t\u00E9");
}

TEST_F(FieldInput, KeysDoNotReachAFieldWithoutFocus)
{
    MRichEdit* field = hosted.field;
    EXPECT_FALSE(field->IsFocused());
    TypeUnicode(L"abc");
    Settle();
    EXPECT_EQ(Text(field->GetControlTitle()), L"");
    // A press outside the field leaves it alone.
    Click(240, 140);
    Settle();
    EXPECT_FALSE(field->IsFocused());
    EXPECT_EQ(hosted.dialog.Count(40, 1), 0);
}

struct MenuProbe
{
    bool seen = false;
    std::vector<std::pair<UINT, bool>> items;  // id, greyed
};
MenuProbe g_probe;
WORD g_menuKey = 0;

void CALLBACK ProbeMenu(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND menuWnd = FindWindowW(L"#32768", nullptr);
    if (!menuWnd) return;
    KillTimer(nullptr, timer);
    HMENU menu = reinterpret_cast<HMENU>(SendMessageW(menuWnd, MN_GETHMENU, 0, 0));
    g_probe.seen = true;
    for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
        const UINT id = GetMenuItemID(menu, i);
        if (id == 0 || id == UINT(-1)) continue;
        g_probe.items.push_back({id, (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0});
    }
    Press(g_menuKey);
}

bool Greyed(UINT id)
{
    for (const auto& item : g_probe.items)
        if (item.first == id) return item.second;
    ADD_FAILURE() << "no menu item " << id;
    return false;
}

TEST_F(FieldInput, ContextMenuOffersTheEditCommands)
{
    MRichEdit* field = hosted.field;
    Click(60, 40);
    ASSERT_TRUE(testutil::PumpUntil([&] { return field->IsFocused() != 0; }, 2000));
    TypeUnicode(L"menu text");
    ASSERT_TRUE(
        testutil::PumpUntil([&] { return Text(field->GetControlTitle()) == L"menu text"; }, 3000));

    // Nothing selected: Select all through the menu.
    g_probe = MenuProbe();
    g_menuKey = 'A';
    SetTimer(nullptr, 0, 100, ProbeMenu);
    Click(60, 40, true);
    ASSERT_TRUE(testutil::PumpUntil([&] { return g_probe.seen; }, 3000)) << "no context menu";
    Settle(200);
    EXPECT_FALSE(Greyed(101));  // Undo: typing can be undone
    EXPECT_TRUE(Greyed(107));   // Redo
    EXPECT_TRUE(Greyed(102));   // Cut: nothing selected
    EXPECT_TRUE(Greyed(103));   // Copy
    EXPECT_FALSE(Greyed(104));  // Paste
    EXPECT_TRUE(Greyed(105));   // Clear
    EXPECT_FALSE(Greyed(106));  // Select all
    EXPECT_EQ(Text(field->GetSelText()), L"menu text");

    // With a selection: Cut through the menu.
    g_probe = MenuProbe();
    g_menuKey = 'X';
    SetTimer(nullptr, 0, 100, ProbeMenu);
    Click(60, 40, true);
    ASSERT_TRUE(testutil::PumpUntil([&] { return g_probe.seen; }, 3000)) << "no context menu";
    Settle(200);
    EXPECT_FALSE(Greyed(102));
    EXPECT_FALSE(Greyed(103));
    EXPECT_EQ(Text(field->GetControlTitle()), L"");
    EXPECT_EQ(ClipboardText(), L"menu text");

    // The engine let go of the mouse: a left press still reaches the field.
    hosted.dialog.events.clear();
    Click(60, 40);
    Settle();
    EXPECT_EQ(hosted.dialog.Count(40, 1), 1);
}

}  // namespace
