// MEdit and its native overlay, and the list controls' edit window
// (CEditWindow), in a real window: where the overlay lies, typed text, the
// events in their order, the limit, the password character and the overlay
// rebuilt with new colours.
#include <functional>
#include <string>

#include "CEditWindow.h"
#include "ControlsTestSupport.h"
#include "MEdit.h"
#include "MPanel.h"
#include "WindowTestHelpers.h"

using namespace WEXA;
using ctltest::Event;
using ctltest::RecordingDialog;

namespace {

class EditTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(
            dialog.Create(nullptr, L"edit", WS_POPUP | WS_VISIBLE, 0, CRect(200, 200, 600, 400)),
            nullptr);
        SetForegroundWindow(dialog.GetSafeHwnd());
        edit = static_cast<MEdit*>(
            dialog.CreateControl(L"MEdit", 21, CRect(20, 20, 220, 60), L"Name", 1, 1));
        ASSERT_NE(edit, nullptr);
    }
    void TearDown() override { dialog.DestroyWindow(); }

    // The overlay's rectangle in the dialog's client coordinates.
    CRect OverlayRect(HWND wnd)
    {
        RECT r;
        GetWindowRect(wnd, &r);
        MapWindowPoints(nullptr, dialog.GetSafeHwnd(), reinterpret_cast<POINT*>(&r), 2);
        return CRect(r);
    }
    void Type(HWND wnd, const std::wstring& text)
    {
        for (wchar_t ch : text) SendMessageW(wnd, WM_CHAR, ch, 1);
    }

    RecordingDialog dialog;
    MEdit* edit = nullptr;
    const CPoint inside{60, 40};
};

}  // namespace

TEST_F(EditTest, ClickOpensTheOverlayOverTheTextAndTypedTextReachesTheField)
{
    EXPECT_EQ(edit->GetLimitText(), 120);
    EXPECT_EQ(edit->GetPassWordChar(), static_cast<wchar_t>(0xA1F1));
    edit->OnControlLButtonDown(MK_LBUTTON, inside);
    EXPECT_EQ(dialog.Codes(), (std::vector<UINT>{30, 1}));
    HWND wnd = edit->GetEditHwnd();
    ASSERT_NE(wnd, nullptr);
    wchar_t cls[64] = {};
    GetClassNameW(wnd, cls, 64);
    EXPECT_STREQ(cls, L"FSEditWindow");
    EXPECT_EQ(GetParent(wnd), dialog.GetSafeHwnd());
    // Font size 14 in a 40-pixel field at top 20: the text band 32..48, inset 6.
    EXPECT_EQ(OverlayRect(wnd), CRect(26, 32, 214, 48));
    EXPECT_EQ(edit->IsEditFocused(), 1);
    EXPECT_EQ(edit->m_nState, 2);

    Type(wnd, L"ab");
    EXPECT_EQ(edit->GetTitleEx(), CString(L"ab"));
    EXPECT_EQ(edit->GetEditText(), CString(L"ab"));
    edit->OnControlLButtonUp(0, inside);
    EXPECT_EQ(dialog.Codes(), (std::vector<UINT>{30, 1, 26, 26, 2}));
    for (const Event& e : dialog.events) {
        EXPECT_EQ(e.id, 21u);
        EXPECT_EQ(e.wparam, 0u);
        EXPECT_EQ(e.lparam, 0);
    }
    // Focus leaves: the overlay is hidden, 29 ends the edit (the overlay's
    // focus loss may add a second one).
    dialog.events.clear();
    edit->SetControlFocus(0);
    EXPECT_EQ(edit->GetEditHwnd(), nullptr);
    EXPECT_FALSE(IsWindowVisible(wnd));
    ASSERT_FALSE(dialog.events.empty());
    for (const Event& e : dialog.events) EXPECT_EQ(e.code, 29u);
    EXPECT_LE(dialog.events.size(), 2u);
    EXPECT_EQ(edit->GetEditText(), CString(L"ab"));

    // The next click reuses the hidden overlay, caret after the text.
    dialog.events.clear();
    edit->OnControlLButtonDown(MK_LBUTTON, inside);
    EXPECT_EQ(edit->GetEditHwnd(), wnd);
    DWORD start = 0, end = 0;
    SendMessageW(wnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 2u);
    EXPECT_EQ(end, 2u);
    // Reading the title through the base class ends editing.
    EXPECT_EQ(edit->GetTitle(), CString(L"ab"));
    EXPECT_FALSE(IsWindowVisible(wnd));
}

TEST_F(EditTest, LimitPasswordAndCharacterMessages)
{
    edit->EnablePassWord(1);
    edit->SetLimitText(5);
    edit->SetControlFocus(1);
    HWND wnd = edit->GetEditHwnd();
    ASSERT_NE(wnd, nullptr);
    EXPECT_TRUE(GetWindowLongPtrW(wnd, GWL_STYLE) & ES_PASSWORD);
    EXPECT_EQ(SendMessageW(wnd, EM_GETPASSWORDCHAR, 0, 0), 0xA1F1);
    Type(wnd, L"secret!");
    EXPECT_EQ(edit->GetEditText(), CString(L"secre"));
    // Text set by the program is not cut.
    edit->SetTitle(L"a much longer text");
    EXPECT_EQ(edit->GetTitleEx(), CString(L"a much longer text"));

    MEdit* quiet =
        static_cast<MEdit*>(dialog.CreateControl(L"MEdit", 22, CRect(20, 80, 220, 120), L"", 1, 1));
    quiet->EnableCharMessage(0);
    quiet->SetControlFocus(1);
    HWND quietWnd = quiet->GetEditHwnd();
    ASSERT_NE(quietWnd, nullptr);
    Type(quietWnd, L"xyz");
    EXPECT_TRUE(quiet->GetEditText().IsEmpty());
}

TEST_F(EditTest, ReadOnlyFieldNeverOpensButReportsTheClick)
{
    edit->SetReadOnly(1);
    const CPoint outside{300, 150};
    struct
    {
        const char* input;
        std::function<void()> act;
        int state;
        std::vector<UINT> codes;
    } table[] = {
        {"hover in", [&] { edit->OnControlMouseMove(0, inside); }, 1, {}},
        {"hover out", [&] { edit->OnControlMouseMove(0, outside); }, 0, {}},
        {"press", [&] { edit->OnControlLButtonDown(MK_LBUTTON, inside); }, 2, {1}},
        {"release inside", [&] { edit->OnControlLButtonUp(0, inside); }, 1, {2}},
        {"press, release outside",
         [&] {
             edit->OnControlLButtonDown(MK_LBUTTON, inside);
             edit->OnControlLButtonUp(0, outside);
         },
         0,
         {1}},
        {"release without press", [&] { edit->OnControlLButtonUp(0, inside); }, 1, {}},
        // A double click is another press.
        {"double click", [&] { edit->OnLButtonDblClk(0, inside); }, 2, {1}},
        {"release after it", [&] { edit->OnControlLButtonUp(0, inside); }, 1, {2}},
        {"space without focus", [&] { edit->OnControlKeyDown(VK_SPACE, 1, 0); }, 1, {}},
        {"space while focused",
         [&] { edit->m_bFocused = 1, edit->OnControlKeyDown(VK_SPACE, 1, 0); },
         1,
         {1, 2}},
        {"enter while focused", [&] { edit->OnControlKeyDown(VK_RETURN, 1, 0); }, 1, {}},
        {"disable", [&] { edit->SetEnabled(0); }, 3, {}},
        {"click while disabled",
         [&] {
             edit->OnControlLButtonDown(MK_LBUTTON, inside);
             edit->OnControlLButtonUp(0, inside);
         },
         3,
         {}},
    };
    for (auto& row : table) {
        SCOPED_TRACE(row.input);
        dialog.events.clear();
        row.act();
        EXPECT_EQ(edit->m_nState, row.state);
        EXPECT_EQ(dialog.Codes(), row.codes);
    }
    EXPECT_EQ(edit->GetEditHwnd(), nullptr);
    EXPECT_EQ(edit->m_pEditWnd, nullptr);
}

TEST_F(EditTest, NewBackgroundColourRebuildsTheOverlay)
{
    edit->SetEditBKColor(0xFFFFFF);
    edit->SetControlFocus(1);
    HWND first = edit->GetEditHwnd();
    ASSERT_NE(first, nullptr);
    auto brushColour = [&](HWND wnd) {
        HBRUSH brush = reinterpret_cast<HBRUSH>(SendMessageW(dialog.GetSafeHwnd(), WM_CTLCOLOREDIT,
                                                             reinterpret_cast<WPARAM>(GetDC(wnd)),
                                                             reinterpret_cast<LPARAM>(wnd)));
        LOGBRUSH lb = {};
        if (!brush || !GetObjectW(brush, sizeof(lb), &lb)) return COLORREF(0xFFFFFFFF);
        return lb.lbColor;
    };
    EXPECT_EQ(brushColour(first), COLORREF(0xFFFFFF));
    // The same colour changes nothing.
    edit->SetEditBKColor(0xFFFFFF);
    EXPECT_TRUE(IsWindow(first));
    // A new colour destroys the overlay; the next edit builds it with the new brush.
    edit->SetEditBKColor(0x303014);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(edit->m_pEditWnd, nullptr);
    EXPECT_EQ(edit->GetEditHwnd(), nullptr);
    edit->SetControlFocus(0);
    edit->SetControlFocus(1);
    HWND second = edit->GetEditHwnd();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(brushColour(second), COLORREF(0x303014));
    // No brush: the system's colours.
    edit->SetEditBKColor(0xFFFFFFFF);
    edit->SetControlFocus(0);
    edit->SetControlFocus(1);
    HWND third = edit->GetEditHwnd();
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(SendMessageW(third, WM_CTLCOLOREDIT + 0x2000, 0, reinterpret_cast<LPARAM>(third)), 0);
}

TEST_F(EditTest, ANewFontLeavesTheOpenOverlaysFontAliveUntilTheFieldGoes)
{
    edit->SetControlFocus(1);
    HWND wnd = edit->GetEditHwnd();
    ASSERT_NE(wnd, nullptr);
    HFONT shown = reinterpret_cast<HFONT>(SendMessageW(wnd, WM_GETFONT, 0, 0));
    ASSERT_NE(shown, nullptr);
    // A page sets another font while the field is being edited: the overlay
    // still draws (and measures its caret) with the one it was given.
    edit->SetEditFont(L"Roboto", 18, 1, 0, 0);
    EXPECT_EQ(GetObjectType(shown), DWORD(OBJ_FONT)) << "the open overlay's font was deleted";
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(wnd, WM_GETFONT, 0, 0)), shown);
    Type(wnd, L"ab");
    InvalidateRect(wnd, nullptr, TRUE);
    UpdateWindow(wnd);
    EXPECT_EQ(edit->GetEditText(), CString(L"ab"));
    // Both go with the field.
    HFONT made = edit->m_hEditFont;
    ASSERT_NE(made, shown);
    dialog.GetPaintManager()->RemoveControl(edit);
    edit = nullptr;
    EXPECT_FALSE(IsWindow(wnd));
    EXPECT_EQ(GetObjectType(shown), 0u) << "the overlay's font outlived the field";
    EXPECT_EQ(GetObjectType(made), 0u) << "the field's font outlived it";
}

TEST_F(EditTest, DeletingTheFieldWhileEditingDestroysTheOverlayFirst)
{
    edit->OnControlLButtonDown(MK_LBUTTON, inside);
    HWND wnd = edit->GetEditHwnd();
    ASSERT_NE(wnd, nullptr);
    Type(wnd, L"x");
    dialog.GetPaintManager()->RemoveControl(edit);
    EXPECT_FALSE(IsWindow(wnd));
    const size_t seen = dialog.events.size();
    testutil::PumpPending();
    SetFocus(dialog.GetSafeHwnd());
    testutil::PumpPending();
    EXPECT_EQ(dialog.events.size(), seen);
    for (const Event& e : dialog.events) EXPECT_EQ(e.id, 21u);

    // The same while the overlay holds the keyboard and the field is in a panel.
    auto* panel = new MPanel(&dialog, 40, CRect(0, 100, 400, 200), 1);
    panel->SetManager(dialog.GetPaintManager());
    auto* inner = static_cast<MEdit*>(
        panel->CreateControl(L"MEdit", 41, CRect(10, 110, 210, 150), L"", 1, 1));
    ASSERT_NE(inner, nullptr);
    inner->SetControlFocus(1);
    HWND innerWnd = inner->GetEditHwnd();
    ASSERT_NE(innerWnd, nullptr);
    ASSERT_EQ(GetFocus(), innerWnd);
    delete panel;
    EXPECT_FALSE(IsWindow(innerWnd));
    testutil::PumpPending();
}

TEST_F(EditTest, NullTextsAreIgnoredOrEmpty)
{
    edit->SetEditText(L"kept");
    edit->SetEditText(nullptr);
    EXPECT_EQ(edit->GetTitleEx(), CString(L"kept"));
    edit->SetTitle(nullptr);
    EXPECT_TRUE(edit->GetTitleEx().IsEmpty());
    edit->SetControlTitle(nullptr);
    EXPECT_TRUE(edit->GetTitleEx().IsEmpty());
    edit->SetTipInfo(nullptr);
    EXPECT_TRUE(edit->m_strTipInfo.IsEmpty());
    // A null face makes a font with an empty face name.
    edit->SetEditFont(L"Roboto", 12, 0, 0, 0);
    edit->SetEditFont(nullptr, 14, 0, 0, 0);
    LOGFONTW lf = {};
    ASSERT_NE(GetObjectW(edit->GetDefaultFont(), sizeof(lf), &lf), 0);
    EXPECT_STREQ(lf.lfFaceName, L"");
    EXPECT_EQ(lf.lfHeight, -14);
}

TEST_F(EditTest, TextAndIconRectangles)
{
    // Font size 14, 40 pixels high at top 100: the text band 112..128.
    edit->SetRect(CRect(20, 100, 220, 140));
    EXPECT_EQ(edit->GetTextRect(), CRect(26, 112, 214, 128));
    edit->SetFont(L"Roboto", 10, Gdiplus::FontStyleRegular);
    EXPECT_EQ(edit->CalcTextRect(1), CRect(26, 113, 214, 127));
    edit->SetFont(L"Roboto", 20, Gdiplus::FontStyleRegular);
    EXPECT_EQ(edit->CalcTextRect(1), CRect(26, 107, 214, 133));
    edit->EnableMultLine(1);
    EXPECT_EQ(edit->CalcTextRect(1), CRect(26, 105, 214, 135));
    edit->EnableMultLine(0);
    edit->SetFont(L"Roboto", 14, Gdiplus::FontStyleRegular);

    // A 3-frame 72 x 24 strip: a 24 x 24 icon 9 pixels from the right edge;
    // the text ends 12 + 24 pixels before it.
    ASSERT_EQ(edit->SetIconImage(L"icon3.png", 3), 1);
    EXPECT_EQ(CRect(edit->m_rcIcon), CRect(187, 108, 211, 132));
    EXPECT_EQ(edit->CalcTextRect(1).right, 220 - 12 - 24);
    dialog.events.clear();
    edit->OnControlLButtonDown(MK_LBUTTON, CPoint(195, 120));
    edit->OnControlLButtonUp(0, CPoint(195, 120));
    EXPECT_EQ(dialog.Codes(), (std::vector<UINT>{9, 31}));
    EXPECT_EQ(edit->GetEditHwnd(), nullptr);
    EXPECT_EQ(edit->SetIconImage(L"missing.png", 3), 0);
    EXPECT_EQ(edit->m_pIconImage, nullptr);
}

TEST_F(EditTest, FacesAreCutAndWeightsBounded)
{
    const wchar_t* longFace = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnop";  // 42 characters
    edit->SetEditFont(longFace, 14, 1, 1, 1);
    LOGFONTW lf = {};
    ASSERT_NE(GetObjectW(edit->GetDefaultFont(), sizeof(lf), &lf), 0);
    EXPECT_EQ(std::wstring(lf.lfFaceName), std::wstring(longFace).substr(0, 31));
    EXPECT_LE(lf.lfWeight, 1000);
    EXPECT_GE(lf.lfWeight, FW_BOLD);
    EXPECT_TRUE(lf.lfUnderline);
    EXPECT_TRUE(lf.lfItalic);
    EXPECT_EQ(lf.lfHeight, -14);

    // The list controls' edit window: the same limits.
    edit->SetFont(longFace, 14, Gdiplus::FontStyleBold);
    auto* window = new CEditWindow();
    window->ShowEditWindow(edit, CRect());
    ASSERT_TRUE(IsWindow(window->GetSafeHwnd()));
    ASSERT_NE(window->m_hFont, nullptr);
    ASSERT_NE(GetObjectW(window->m_hFont, sizeof(lf), &lf), 0);
    EXPECT_EQ(std::wstring(lf.lfFaceName).size(), 31u);
    EXPECT_LE(lf.lfWeight, 1000);
    EXPECT_EQ(lf.lfHeight, 14 + 6);
    window->DestroyWindow();
}

TEST_F(EditTest, EditWindowOverAControl)
{
    // A control 200 x 30 at (10, 10) with a 14-pixel font: one text line inside.
    edit->SetRect(CRect(10, 10, 210, 40));
    edit->SetTitle(L"Profile 1");
    CEditWindow* window = new CEditWindow();
    CEditWindow* slot = window;
    window->m_ppOwnerSlot = &slot;
    EXPECT_EQ(window->SetEditColors(0xE57749, 0xFFFFFF), 1);
    window->ShowEditWindow(edit, CRect());
    HWND wnd = window->GetSafeHwnd();
    ASSERT_TRUE(IsWindow(wnd));
    EXPECT_EQ(OverlayRect(wnd), CRect(16, 17, 204, 33));
    EXPECT_EQ(GetFocus(), wnd);
    DWORD start = 1, end = 0;
    SendMessageW(wnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 9u);
    // A selected character replaced by the same character: no event.
    dialog.events.clear();
    SendMessageW(wnd, EM_SETSEL, 0, 1);
    SendMessageW(wnd, WM_CHAR, L'P', 1);
    EXPECT_TRUE(dialog.events.empty());
    SendMessageW(wnd, WM_CHAR, L'X', 1);
    EXPECT_EQ(dialog.events, (std::vector<Event>{{21, 26, 0, 0}}));
    EXPECT_EQ(edit->GetTitleEx(), CString(L"PXrofile 1"));
    // Destroyed: the owner's member is cleared and the object deletes itself.
    DestroyWindow(wnd);
    EXPECT_EQ(slot, nullptr);
}

TEST_F(EditTest, HoverFocusFromTheEngineAndDisabled)
{
    EXPECT_EQ(edit->OnControlMouseMove(0, inside), 1);
    EXPECT_EQ(edit->m_nState, 1);
    EXPECT_EQ(edit->OnControlMouseMove(0, CPoint(300, 150)), 1);
    EXPECT_EQ(edit->m_nState, 0);
    EXPECT_TRUE(dialog.events.empty());
    // Tab brings the focus: the overlay opens (30); the focus leaving ends it (29).
    dialog.GetPaintManager()->SetFocusControl(edit);
    EXPECT_EQ(dialog.Codes(), std::vector<UINT>{30});
    EXPECT_EQ(edit->m_nState, 2);
    EXPECT_NE(edit->GetEditHwnd(), nullptr);
    dialog.events.clear();
    dialog.GetPaintManager()->SetFocusControl(nullptr);
    EXPECT_EQ(edit->m_nState, 0);
    EXPECT_EQ(edit->GetEditHwnd(), nullptr);
    ASSERT_FALSE(dialog.events.empty());
    EXPECT_EQ(dialog.events[0].code, 29u);
    // Disabled: no look changes, no events, no overlay.
    edit->SetEnabled(0);
    EXPECT_EQ(edit->m_nState, 3);
    dialog.events.clear();
    EXPECT_EQ(edit->OnControlMouseMove(0, inside), 0);
    EXPECT_EQ(edit->OnControlLButtonDown(MK_LBUTTON, inside), 0);
    EXPECT_EQ(edit->OnControlLButtonUp(0, inside), 0);
    EXPECT_EQ(edit->SetControlFocus(1), 0);
    EXPECT_TRUE(dialog.events.empty());
    EXPECT_EQ(edit->GetEditHwnd(), nullptr);
    edit->SetEnabled(1);
    EXPECT_EQ(edit->m_nState, 0);
}

TEST_F(EditTest, OnALayeredWindowTheOverlaysArePopupsAtScreenPositions)
{
    dialog.GetPaintManager()->SetLayeredWindow(1);
    edit->SetControlFocus(1);
    HWND wnd = edit->GetEditHwnd();
    ASSERT_NE(wnd, nullptr);
    EXPECT_TRUE(GetWindowLongPtrW(wnd, GWL_STYLE) & WS_POPUP);
    RECT r;
    GetWindowRect(wnd, &r);
    EXPECT_EQ(CRect(r), CRect(200 + 26, 200 + 32, 200 + 214, 200 + 48));
    edit->SetControlFocus(0);

    edit->SetRect(CRect(10, 10, 210, 40));
    CEditWindow* window = new CEditWindow();
    window->ShowEditWindow(edit, CRect());
    HWND popup = window->GetSafeHwnd();
    ASSERT_TRUE(IsWindow(popup));
    EXPECT_TRUE(GetWindowLongPtrW(popup, GWL_STYLE) & WS_POPUP);
    EXPECT_TRUE(IsWindowVisible(popup));
    GetWindowRect(popup, &r);
    EXPECT_EQ(CRect(r), CRect(216, 217, 404, 233));
    DestroyWindow(popup);
}
