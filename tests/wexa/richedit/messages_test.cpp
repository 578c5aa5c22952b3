// Which window messages a field hands to its text services, and what it
// answers to the engine.
#include <gtest/gtest.h>

#include "CTxtWinHost.h"
#include "PaintManager.h"
#include "RichEditFixture.h"

using richedit_test::HostedField;
using richedit_test::RecordingField;

namespace {

LPARAM At(int x, int y)
{
    return MAKELPARAM(x, y);
}

TEST(RichEditMessages, MouseKeyboardAndWheelReachTheServicesOnlyWhenTheyShould)
{
    HostedField hosted;
    // Control (10, 10)-(210, 110); text area inset by 5.
    RecordingField field(&hosted.dialog, CRect(10, 10, 210, 110));
    field.SetManager(hosted.dialog.GetPaintManager());
    ASSERT_NE(field.GetHost(), nullptr);

    struct Case
    {
        const char* name;
        bool focused, captured;
        UINT msg;
        WPARAM w;
        LPARAM l;
        bool forwarded;
        bool focusAfter;
    };
    const Case cases[] = {
        {"press outside", false, false, WM_LBUTTONDOWN, 0, At(240, 140), false, false},
        {"press in the padding", false, false, WM_LBUTTONDOWN, 0, At(12, 12), false, false},
        {"press in the text", false, false, WM_LBUTTONDOWN, 0, At(60, 40), true, true},
        {"right press in the text", false, false, WM_RBUTTONDOWN, 0, At(60, 40), true, true},
        {"move outside", true, false, WM_MOUSEMOVE, 0, At(240, 140), false, true},
        {"move outside while the services capture", true, true, WM_MOUSEMOVE, 0, At(240, 140), true,
         true},
        {"release outside while the services capture", true, true, WM_LBUTTONUP, 0, At(-50, -50),
         true, true},
        {"key without focus", false, false, WM_KEYDOWN, 'A', 0, false, false},
        {"character without focus", false, false, WM_CHAR, 'a', 0, false, false},
        {"key with focus", true, false, WM_KEYDOWN, 'A', 0, true, true},
        {"character with focus", true, false, WM_CHAR, 'a', 0, true, true},
        {"wheel without Ctrl", true, false, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0, false, true},
        {"help", false, false, WM_HELP, 0, 0, true, false},
        {"other message", true, false, WM_NCHITTEST, 0, 0, false, true},
    };
    for (const Case& c : cases) {
        field.SetControlFocus(c.focused ? 1 : 0);
        field.GetHost()->TxSetCapture(c.captured ? TRUE : FALSE);
        field.sent.clear();
        field.OnWindowMessage(c.msg, c.w, c.l);
        EXPECT_EQ(field.Sent(c.msg), c.forwarded) << c.name;
        EXPECT_EQ(field.IsFocused() != 0, c.focusAfter) << c.name;
    }
    field.GetHost()->TxSetCapture(FALSE);

    // A right release in the field is claimed (the window then offers its
    // context menu) without reaching the services; outside it is left alone.
    field.sent.clear();
    EXPECT_EQ(field.OnWindowMessage(WM_RBUTTONUP, 0, At(60, 40)), 1);
    EXPECT_EQ(field.OnWindowMessage(WM_RBUTTONUP, 0, At(240, 140)), 0);
    EXPECT_FALSE(field.Sent(WM_RBUTTONUP));

    // Hidden or disabled fields take nothing.
    field.SetControlFocus(1);
    for (int variant = 0; variant < 2; ++variant) {
        if (variant == 0) field.SetVisible(0);
        if (variant == 1) {
            field.SetVisible(1);
            field.SetControlEnabled(0);
        }
        field.sent.clear();
        EXPECT_EQ(field.OnWindowMessage(WM_CHAR, 'a', 0), 0);
        EXPECT_EQ(field.OnWindowMessage(WM_LBUTTONDOWN, 0, At(60, 40)), 0);
        EXPECT_TRUE(field.sent.empty()) << "variant " << variant;
    }
}

TEST(RichEditMessages, EnabledStateSetsFaceAndTextColour)
{
    HostedField hosted;
    RecordingField field(&hosted.dialog, CRect(10, 10, 210, 110));
    field.SetManager(hosted.dialog.GetPaintManager());
    ASSERT_NE(field.GetHost(), nullptr);
    WEXA::PaintManager* engine = hosted.dialog.GetPaintManager();
    engine->SetDefaultEnabledColor(RGB(0x80, 0x80, 0x80));
    field.SetTextColor(Gdiplus::Color(255, 0, 0, 0));
    EXPECT_EQ(field.GetTextColor(), RGB(0, 0, 0));
    EXPECT_EQ(field.GetHost()->GetCharFormat().crTextColor, RGB(1, 0, 0));
    struct Case
    {
        int enabled;
        int state;
        COLORREF colour;
    };
    const Case cases[] = {{0, 3, RGB(0x80, 0x80, 0x80)}, {1, 0, RGB(1, 0, 0)}};
    for (const Case& c : cases) {
        field.SetControlEnabled(c.enabled);
        EXPECT_EQ(field.GetVisualState(), c.state);
        EXPECT_EQ(field.GetHost()->GetCharFormat().crTextColor, c.colour);
    }
    // Focus gives the focused face; losing it the normal one.
    EXPECT_EQ(field.SetControlFocus(1), 1);
    EXPECT_EQ(field.GetVisualState(), 2);
    EXPECT_EQ(field.SetControlFocus(1), 0);
    EXPECT_EQ(field.SetControlFocus(0), 1);
    EXPECT_EQ(field.GetVisualState(), 0);
}

}  // namespace
