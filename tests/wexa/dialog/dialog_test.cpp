// Dialogs: creation, the close protocol and its results, control events
// reaching OnMessage, layout on resize, and the dialog-level settings.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "GdiplusEnvironment.h"
#include "MAirBladder.h"
#include "MDialog.h"
#include "WexaTestControls.h"
#include "WindowTestHelpers.h"

// The factory builds the test controls for "CArea" in this program.
static const bool g_testControls = testutil::AtTestStart([] { testutil::RegisterTestControls(); });

using testutil::PassingPanel;
using testutil::SolidControl;

namespace {

struct Event
{
    UINT id, code;
    UINT_PTR wparam;
    LONG_PTR lparam;
};

class RecordingDialog : public WEXA::MDialog
{
public:
    void InitUI(CRect client) override
    {
        initClient = client;
        ++inits;
        if (build) build(*this);
    }
    void UISize(CRect client) override { sizes.push_back(client); }
    LONG OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override
    {
        events.push_back(Event{id, code, wparam, lparam});
        return 0;
    }
    HWND Open(DWORD style = WS_POPUP | WS_VISIBLE, CRect rect = CRect(100, 100, 400, 300))
    {
        return Create(nullptr, L"dialog test", style, 0, rect, nullptr);
    }
    void SetMessageOffset(int offset) { m_nMsgOffset = offset; }

    std::function<void(RecordingDialog&)> build;
    CRect initClient;
    int inits = 0;
    std::vector<CRect> sizes;
    std::vector<Event> events;
};

TEST(Dialog, CloseRequestsGiveTheirResultsFromShowModal)
{
    struct Case
    {
        const char* name;
        void (WEXA::MDialog::*close)();
        UINT result;
    };
    const Case cases[] = {
        {"DoOK", &WEXA::MDialog::DoOK, 1},       {"DoCancel", &WEXA::MDialog::DoCancel, 2},
        {"DoClose", &WEXA::MDialog::DoClose, 2}, {"DoYes", &WEXA::MDialog::DoYes, 6},
        {"DoNo", &WEXA::MDialog::DoNo, 7},
    };
    for (const Case& c : cases) {
        RecordingDialog dlg;
        ASSERT_NE(dlg.Open(WS_POPUP), nullptr);
        (dlg.*c.close)();  // posted: handled once the modal loop runs
        EXPECT_EQ(dlg.ShowModal(SW_SHOWNA), c.result) << c.name;
        EXPECT_EQ(dlg.GetSafeHwnd(), nullptr) << c.name;
        EXPECT_FALSE(dlg.GetPaintManager()->IsInit()) << c.name;
    }
}

TEST(Dialog, OverriddenCloseRequestCanRefuse)
{
    class Stubborn : public RecordingDialog
    {
    public:
        LONG OnUserCloseWindow(UINT_PTR wparam, LONG_PTR lparam) override
        {
            if (++asked == 1) return 1;  // the first request is refused
            return RecordingDialog::OnUserCloseWindow(wparam, lparam);
        }
        int asked = 0;
    } dlg;
    ASSERT_NE(dlg.Open(WS_POPUP), nullptr);
    dlg.DoYes();
    dlg.DoNo();
    EXPECT_EQ(dlg.ShowModal(SW_SHOWNA), 7u);
    EXPECT_EQ(dlg.asked, 2);
}

void CALLBACK DestroyOnTimer(HWND hwnd, UINT, UINT_PTR id, DWORD)
{
    KillTimer(hwnd, id);
    DestroyWindow(hwnd);
}

TEST(Dialog, DestroyedDirectlyWhileModalGivesZero)
{
    RecordingDialog dlg;
    ASSERT_NE(dlg.Open(WS_POPUP), nullptr);
    SetTimer(dlg.GetSafeHwnd(), 1, 1, &DestroyOnTimer);
    EXPECT_EQ(dlg.ShowModal(SW_SHOWNA), 0u);
    EXPECT_EQ(dlg.GetSafeHwnd(), nullptr);
}

TEST(Dialog, CreationStyleAndInitUi)
{
    RecordingDialog dlg;
    HWND hwnd = dlg.Open(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    ASSERT_NE(hwnd, nullptr);
    DWORD style = static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE));
    EXPECT_FALSE(style & WS_CAPTION);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_TRUE(style & WS_CLIPSIBLINGS);
    EXPECT_TRUE(style & WS_CLIPCHILDREN);
    EXPECT_TRUE(style & 0x8);
    EXPECT_EQ(dlg.inits, 1);
    EXPECT_TRUE(dlg.GetPaintManager()->IsInit());
    EXPECT_EQ(dlg.GetPaintManager()->GetMDialog(), &dlg);
    EXPECT_STREQ(dlg.GetClassNameW(), L"MDialog");
    // Erasing is answered by the dialog and never reaches the engine.
    EXPECT_EQ(SendMessageW(hwnd, WM_ERASEBKGND, 0, 0), 1);
    dlg.DestroyWindow();
}

TEST(Dialog, ChildEventsReachOnMessageThroughAPanel)
{
    RecordingDialog dlg;
    PassingPanel* panel = nullptr;
    SolidControl* inner = nullptr;
    dlg.build = [&](RecordingDialog& d) {
        // A control and an area made by the dialog's factory, owned by its engine.
        ASSERT_NE(d.CreateControl(L"CArea", 30, CRect(0, 0, 40, 20), L"", 1, 1), nullptr);
        ASSERT_NE(d.CreateArea(L"CArea", 31, CRect(0, 0, 300, 200), L"", 1, 1), nullptr);
        EXPECT_EQ(d.CreateControl(L"NoSuchControl", 32, CRect(), L"", 1, 1), nullptr);
        panel = new PassingPanel(&d, 40, CRect(50, 50, 250, 150));
        inner = new SolidControl(panel, 117, CRect(60, 60, 100, 100), 1, 0);
        panel->AddChild(inner);
        d.GetControls().push_back(panel);
    };
    ASSERT_NE(dlg.Open(), nullptr);
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(dlg.GetControl(30)->GetControlID(), 30u);
    EXPECT_EQ(dlg.GetControl(31)->GetControlID(), 31u);
    EXPECT_EQ(dlg.GetControl(117), inner);

    inner->SendMessageW(2, 5, 6);
    ASSERT_EQ(dlg.events.size(), 1u);
    EXPECT_EQ(dlg.events[0].id, 117u);  // the innermost control's id
    EXPECT_EQ(dlg.events[0].code, 2u);
    EXPECT_EQ(dlg.events[0].wparam, 5u);
    EXPECT_EQ(dlg.events[0].lparam, 6);
    dlg.DestroyWindow();
}

TEST(Dialog, UiSizeOnResizeButNotForADegenerateClientArea)
{
    RecordingDialog dlg;
    ASSERT_NE(dlg.Open(), nullptr);
    dlg.sizes.clear();
    dlg.MoveWindow(100, 100, 500, 350);
    ASSERT_FALSE(dlg.sizes.empty());
    EXPECT_EQ(dlg.sizes.back(), CRect(0, 0, 500, 350));
    EXPECT_EQ(dlg.GetClientRectCache(), CRect(0, 0, 500, 350));
    size_t before = dlg.sizes.size();
    dlg.MoveWindow(100, 100, 1, 350);
    EXPECT_EQ(dlg.sizes.size(), before);
    dlg.DestroyWindow();
}

TEST(Dialog, DefaultMessageRectangle)
{
    RecordingDialog dlg;
    ASSERT_NE(dlg.Open(WS_POPUP, CRect(0, 0, 1400, 788)), nullptr);
    dlg.SetMessage(CString(L"Saved"), CRect(), WEXA::MSG_LEVEL_INFO);
    EXPECT_EQ(dlg.GetPaintManager()->m_rcOverlay, CRect(600, 728, 800, 786));
    dlg.SetMessageOffset(-30);
    dlg.SetMessage(CString(L"Saved"), CRect(0, 0, 0, 0), WEXA::MSG_LEVEL_INFO);
    EXPECT_EQ(dlg.GetPaintManager()->m_rcOverlay, CRect(600, 698, 800, 756));
    dlg.SetMessage(CString(L"Saved"), CRect(5, 6, 7, 8), WEXA::MSG_LEVEL_INFO);
    EXPECT_EQ(dlg.GetPaintManager()->m_rcOverlay, CRect(5, 6, 7, 8));
    dlg.DestroyWindow();
}

TEST(Dialog, ShadowSettersRefuseOutOfRange)
{
    RecordingDialog dlg;
    ASSERT_NE(dlg.Open(), nullptr);
    EXPECT_EQ(dlg.SetDarkness(256), 0);
    EXPECT_EQ(dlg.GetPaintManager()->m_shadow.GetDarkness(), 150u);
    EXPECT_EQ(dlg.SetPosition(0, 36), 0);
    EXPECT_EQ(dlg.SetSize(36), 0);
    EXPECT_EQ(dlg.SetSharpness(36), 0);
    EXPECT_EQ(dlg.SetSize(8), 1);
    EXPECT_EQ(dlg.SetShadowColor(0x202020), 1);

    // A shadow created for the dialog follows it.
    SetWindowRgn(dlg.GetSafeHwnd(), CreateRectRgn(0, 0, 300, 200), FALSE);
    dlg.CreateShadow(1, false);
    HWND shadow = dlg.GetPaintManager()->m_shadow.GetHwnd();
    ASSERT_NE(shadow, nullptr);
    RECT r;
    GetWindowRect(shadow, &r);
    EXPECT_EQ(r.left, 97);
    EXPECT_EQ(r.right - r.left, 316);
    dlg.DestroyWindow();
    EXPECT_FALSE(IsWindow(shadow));
}

TEST(Dialog, BalloonPointAndRefusal)
{
    RecordingDialog dlg;
    SolidControl* c = nullptr;
    dlg.build = [&](RecordingDialog& d) {
        c = static_cast<SolidControl*>(
            d.CreateControl(L"CArea", 1, CRect(10, 20, 50, 40), L"", 1, 1));
    };
    ASSERT_NE(dlg.Open(), nullptr);
    POINT p = dlg.GetAirBladderPoint(c, 0);
    EXPECT_EQ(p.x, 110);
    EXPECT_EQ(p.y, 140);
    EXPECT_EQ(dlg.GetAirBladderPoint(c, 1).x, 130);
    EXPECT_EQ(dlg.GetAirBladderPoint(c, 2).x, 150);
    POINT none = dlg.GetAirBladderPoint(nullptr, 1);
    EXPECT_EQ(none.x, 0);
    EXPECT_EQ(none.y, 0);
    EXPECT_EQ(dlg.SetAirBladderMsg(L"Hint", POINT{0, 140}, WEXA::AIRBLADDER_TYPE_BUTTON), 0);
    EXPECT_EQ(dlg.GetPaintManager()->m_pAirBladder, nullptr);
    EXPECT_EQ(dlg.SetAirBladderMsg(L"Hint", p, WEXA::AIRBLADDER_TYPE_BUTTON), 1);
    ASSERT_NE(dlg.GetPaintManager()->m_pAirBladder, nullptr);
    EXPECT_EQ(dlg.GetPaintManager()->m_pAirBladder->GetMode(), 3);
    HWND balloon = dlg.GetPaintManager()->m_pAirBladder->GetSafeHwnd();
    EXPECT_TRUE(IsWindowVisible(balloon));
    // Without a text nothing is shown: not even the previous one.
    ShowWindow(balloon, SW_HIDE);
    EXPECT_EQ(dlg.SetAirBladderMsg(nullptr, p, WEXA::AIRBLADDER_TYPE_BUTTON), 0);
    EXPECT_FALSE(IsWindowVisible(balloon));
    dlg.DestroyWindow();
}

TEST(Dialog, TranslucentSettingsMakeTheWindowLayered)
{
    class Translucent : public RecordingDialog
    {
    public:
        Translucent() { m_nAlpha = 200; }
    } dlg;
    ASSERT_NE(dlg.Open(), nullptr);
    dlg.MoveWindow(100, 100, 320, 220);
    EXPECT_TRUE(GetWindowLongW(dlg.GetSafeHwnd(), GWL_EXSTYLE) & WS_EX_LAYERED);
    BYTE alpha = 0;
    DWORD flags = 0;
    GetLayeredWindowAttributes(dlg.GetSafeHwnd(), nullptr, &alpha, &flags);
    EXPECT_EQ(alpha, 200);
    EXPECT_TRUE(flags & LWA_ALPHA);
    dlg.DestroyWindow();
}

}  // namespace
