// The keyboard picture: its key records and setters, the draw modes over a
// real layout, the pointer and buttons with their events, and the key tips.
#include <gtest/gtest.h>

#include "CKeyboardTips.h"
#include "KeyboardCtrl.h"
#include "KeyboardLayout.h"
#include "MPanel.h"
#include "Manager.h"
#include "WidgetHost.h"

namespace kbtest {
namespace {

using WEXA::KEY_INFO;
using WEXA::KeyboardCtrl;

const UINT kId = 58;
// Where the tests place the picture; the k87 picture is 882 x 310.
const CRect kPlace(100, 60, 982, 370);
const int kEsc = 0x29, kSpace = 0x2C, kA = 0x04;

class KeyboardTest : public WidgetTest
{
protected:
    void SetUp() override
    {
        WidgetTest::SetUp();
        keyboard = host.Make<KeyboardCtrl>(L"KeyboardCtrl", kId, CRect(0, 0, 0, 0));
        ASSERT_NE(keyboard, nullptr);
        ASSERT_EQ(keyboard->SetImage(L"img_key_bkg.png", 4), 1);
        keyboard->SetKeyboardCtrlMode(101);
        layout = ReadLayout(L"kestrova_k87");
        FillFromLayout(keyboard, layout, kPlace);
    }

    const LayoutKey& Key(int code) const
    {
        for (const LayoutKey& k : layout.keys)
            if (k.code == code) return k;
        return layout.keys.front();
    }
    int IndexOf(int code) const
    {
        for (size_t i = 0; i < layout.keys.size(); ++i)
            if (layout.keys[i].code == code) return static_cast<int>(i);
        return -1;
    }
    // The key's rectangle in window client coordinates.
    CRect Hit(int code) const
    {
        CRect r = Key(code).rect;
        r.OffsetRect(kPlace.left + 20, kPlace.top + 25);
        return r;
    }
    CPoint Centre(int code) const { return Hit(code).CenterPoint(); }

    KeyboardCtrl* keyboard = nullptr;
    Layout layout;
};

// ---- records and setters ----

TEST_F(KeyboardTest, KeysAreAddedInOrderAndFoundByTheirFirstRecord)
{
    const std::vector<KEY_INFO*> keys = keyboard->GetKeyItems();
    ASSERT_EQ(keys.size(), layout.keys.size());
    for (size_t i = 0; i < keys.size(); ++i) {
        EXPECT_EQ(keys[i]->nIndex, static_cast<int>(i));
        EXPECT_EQ(keys[i]->nKeyCode, layout.keys[i].code);
        EXPECT_EQ(CRect(keys[i]->rcKey), layout.keys[i].rect);
        EXPECT_EQ(keys[i]->crKey, kBaseKeyColour);
        EXPECT_EQ(keys[i]->crBkg, kBaseKeyColour);
        EXPECT_EQ(keys[i]->pIcon, nullptr);
    }

    keyboard->ClearItem();
    EXPECT_EQ(keyboard->AddKeyItem(L"A", L"Letter A", kA, CRect(0, 0, 10, 10), L"", 1), 0);
    for (int i = 1; i < 9; ++i) keyboard->AddKeyItem(L"k", L"k", 100 + i, CRect(), nullptr, 1);
    EXPECT_EQ(keyboard->AddKeyItem(L"A2", L"Second A", kA, CRect(), L"no_such_icon.png", 1), 9);
    const std::vector<KEY_INFO*> two = keyboard->GetKeyItems();
    EXPECT_EQ(two[9]->nIconWidth, 0);

    keyboard->SetKeyColor(kA, RGB(1, 2, 3));
    keyboard->SetKeyBkgColor(kA, RGB(4, 5, 6));
    keyboard->SetKeyItemInfo(kA, L"Macro 1", 7, L"Runs macro 1");
    keyboard->SetKeyCheck(kA, 1);
    EXPECT_EQ(two[0]->crKey, RGB(1, 2, 3));
    EXPECT_EQ(two[0]->crBkg, RGB(4, 5, 6));
    EXPECT_EQ(two[0]->strName, CString(L"Macro 1"));
    EXPECT_EQ(two[0]->nValue, 7);
    EXPECT_EQ(two[0]->strTip1, CString(L"Runs macro 1"));
    EXPECT_EQ(two[0]->strDesc, CString(L"Letter A"));
    EXPECT_EQ(two[0]->bCheck, 1);
    EXPECT_EQ(two[9]->crKey, 1u);
    EXPECT_EQ(two[9]->strName, CString(L"A2"));
    EXPECT_EQ(two[9]->bCheck, 0);

    keyboard->SetKeyDesc(kA, L"Fire");
    EXPECT_EQ(two[0]->strName, CString(L"Fire"));
    EXPECT_EQ(two[0]->strDesc, CString(L"Fire"));
    keyboard->SetKeyDesc(999, L"nobody");  // no such key: nothing changes
    keyboard->ResetTipKey();
    EXPECT_TRUE(two[0]->strTip1.IsEmpty());
}

TEST_F(KeyboardTest, LightModeColourAppliesToModeZeroOnly)
{
    const int before = host.updates;
    keyboard->SetLightModeColor(1, RGB(9, 9, 9));
    EXPECT_EQ(host.updates, before);
    for (KEY_INFO* key : keyboard->GetKeyItems()) EXPECT_EQ(key->crKey, kBaseKeyColour);
    keyboard->SetLightModeColor(0, RGB(9, 9, 9));
    EXPECT_EQ(host.updates, before + 1);
    for (KEY_INFO* key : keyboard->GetKeyItems()) {
        EXPECT_EQ(key->crKey, RGB(9, 9, 9));
        EXPECT_EQ(key->crBkg, RGB(9, 9, 9));
    }
    // Per-key setters never ask for a repaint.
    keyboard->SetKeyColor(kEsc, 0);
    keyboard->SetKeyItemInfo(kEsc, L"x", 1, L"y");
    EXPECT_EQ(host.updates, before + 1);
}

TEST_F(KeyboardTest, PictureOffsetDependsOnWhenTheRectangleIsKnown)
{
    KeyboardCtrl loose(&host, 1, CRect(0, 0, 0, 0), 1);
    EXPECT_EQ(loose.GetPictureOffset(), CPoint(6, 6));
    loose.SetWidthAndHeight(900, 300);
    EXPECT_EQ(loose.GetPictureOffset(), CPoint(6, 6));  // empty rectangle: kept

    KeyboardCtrl placed(&host, 2, CRect(0, 0, 800, 300), 0);
    placed.SetWidthAndHeight(900, 300);
    EXPECT_EQ(placed.GetPictureOffset(), CPoint(20, 25));
    placed.SetControlRect(CRect(0, 0, 1000, 400));
    EXPECT_EQ(placed.GetPictureOffset(), CPoint(50, 20));
    placed.SetControlRect(CRect(0, 0, 800, 400));
    EXPECT_EQ(placed.GetPictureOffset(), CPoint(-50, 20));
    EXPECT_EQ(placed.GetRealRect(CRect(1, 2, 3, 4)), CRect(-49, 22, -47, 24));

    // As the program fills it: rectangle first, then the size.
    EXPECT_EQ(keyboard->GetPictureOffset(), CPoint(20, 25));
}

TEST_F(KeyboardTest, ChecksAreCountedAndResetWithThePressedKey)
{
    Click(Centre(kEsc).x, Centre(kEsc).y);
    EXPECT_EQ(keyboard->GetPressedIndex(), IndexOf(kEsc));
    EXPECT_EQ(keyboard->GetCheckItemCount(), 0);
    keyboard->ResetAllItemCheck(1);
    EXPECT_EQ(keyboard->GetCheckItemCount(), static_cast<int>(layout.keys.size()));
    EXPECT_EQ(keyboard->GetPressedIndex(), -1);
    keyboard->ResetAllItemCheck();
    EXPECT_EQ(keyboard->GetCheckItemCount(), 0);
}

TEST_F(KeyboardTest, KeyCodeByPointUsesHalfOpenRectangles)
{
    const CRect esc = Hit(kEsc);
    struct Case
    {
        CPoint point;
        int code;
    } cases[] = {
        {esc.TopLeft(), kEsc},           {CPoint(esc.right - 1, esc.bottom - 1), kEsc},
        {CPoint(esc.right, esc.top), 0}, {CPoint(esc.left, esc.bottom), 0},
        {Centre(kSpace), kSpace},        {CPoint(kPlace.left + 2, kPlace.top + 2), 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(keyboard->GetKeyCodeByPoint(c.point), c.code) << c.point.x << "," << c.point.y;
}

TEST_F(KeyboardTest, BothFactoriesBuildIt)
{
    WEXA::MPanel panel(&host, 3, CRect(0, 0, 100, 100), 1);
    panel.SetManager(&host.engine);
    WEXA::MControl* child = panel.CreateControl(L"KeyboardCtrl", 4, CRect(0, 0, 50, 50), L"", 1, 1);
    ASSERT_NE(dynamic_cast<KeyboardCtrl*>(child), nullptr);
    EXPECT_STREQ(child->GetClassNameW(), L"MControl");
}

// ---- drawing ----

// A pixel's colour as COLORREF.
COLORREF At(const testutil::PixelBuffer& p, CPoint point)
{
    return p.ColorAt(point.x, point.y);
}

TEST_F(KeyboardTest, DrawModesPaintTheKeysAsTheirModeSays)
{
    keyboard->SetKeyColor(kEsc, RGB(200, 30, 40));
    const CRect esc = Hit(kEsc);
    const CPoint inside(esc.left + 4, esc.top + 4);  // inside the key, clear of its label

    keyboard->SetKeyboardCtrlMode(102);
    const testutil::PixelBuffer picture = Paint(keyboard);
    keyboard->SetKeyboardCtrlMode(100);
    const testutil::PixelBuffer none = Paint(keyboard);
    keyboard->SetKeyboardCtrlMode(101);
    const testutil::PixelBuffer custom = Paint(keyboard);
    keyboard->SetKeyboardCtrlMode(103);
    const testutil::PixelBuffer light = Paint(keyboard);
    keyboard->SetKeyboardCtrlMode(104);
    const testutil::PixelBuffer user = Paint(keyboard);
    keyboard->SetKeyboardCtrlMode(7);
    const testutil::PixelBuffer unknown = Paint(keyboard);

    // 102 and unknown modes: the picture alone; the key caps cover it in 100.
    EXPECT_EQ(picture.pixels, unknown.pixels);
    EXPECT_NE(At(picture, inside), At(none, inside));
    // Nothing pressed or hovered: 101 differs from 100 only in the labels.
    EXPECT_EQ(At(none, inside), At(custom, inside));
    // 103: filled with the key colour; 104: outlined in it, the middle shows the picture.
    EXPECT_EQ(At(light, inside), RGB(200, 30, 40));
    EXPECT_EQ(At(light, CPoint(Hit(kA).left + 4, Hit(kA).top + 4)), kBaseKeyColour);
    EXPECT_EQ(At(user, CPoint(esc.left, esc.CenterPoint().y)), RGB(200, 30, 40));
    EXPECT_EQ(At(user, inside), At(picture, inside));
    // Outside every key all modes show the same picture.
    const CPoint gap(kPlace.left + 5, kPlace.top + 5);
    for (const testutil::PixelBuffer* p : {&none, &custom, &light, &user})
        EXPECT_EQ(At(*p, gap), At(picture, gap));
}

TEST_F(KeyboardTest, EachSwappedPictureIsDrawnEvenWithoutAPaintBetweenSwaps)
{
    // The picture alone, so that only the picture decides the pixels.
    keyboard->SetKeyboardCtrlMode(102);
    keyboard->SetKeyboardImage(L"keyboard\\kestrova_k104.png");
    const testutil::PixelBuffer wanted = Paint(keyboard);
    for (int round = 0; round < 8; ++round) {
        keyboard->SetKeyboardImage(L"keyboard\\kestrova_k87.png");
        const testutil::PixelBuffer first = Paint(keyboard);
        ASSERT_NE(first.pixels, wanted.pixels);
        // Two swaps before the next paint: the last picture may be loaded
        // where the first one was freed.
        keyboard->SetKeyboardImage(L"keyboard\\kestrova_k75_air.png");
        keyboard->SetKeyboardImage(L"keyboard\\kestrova_k104.png");
        EXPECT_EQ(Paint(keyboard).pixels, wanted.pixels) << "round " << round;
    }
}

TEST_F(KeyboardTest, CustomModeLightsThePressedHoveredAndCheckedKeys)
{
    const CPoint probe(Hit(kA).left + 4, Hit(kA).top + 4);
    const COLORREF plain = At(Paint(keyboard), probe);
    Mouse(WM_MOUSEMOVE, Centre(kA).x, Centre(kA).y);
    const COLORREF hovered = At(Paint(keyboard), probe);
    EXPECT_NE(hovered, plain);
    Mouse(WM_MOUSEMOVE, kPlace.left + 2, kPlace.top + 2);
    EXPECT_EQ(At(Paint(keyboard), probe), plain);
    keyboard->SetKeyCheck(kA, 1);
    EXPECT_EQ(At(Paint(keyboard), probe), hovered);
    keyboard->SetKeyCheck(kA, 0);
    Click(Centre(kA).x, Centre(kA).y);
    Mouse(WM_MOUSEMOVE, kPlace.left + 2, kPlace.top + 2);
    EXPECT_EQ(At(Paint(keyboard), probe), hovered);  // the pressed key stays selected
}

// ---- pointer and buttons ----

TEST_F(KeyboardTest, ClicksReportTheKeyIndexAndCode)
{
    Click(Centre(kEsc).x, Centre(kEsc).y);
    const int esc = IndexOf(kEsc);
    EXPECT_EQ(Codes(kId), (std::vector<Event>{{kId, 1, esc, kEsc}, {kId, 2, esc, 0}}));
    EXPECT_EQ(keyboard->GetCurrentKeyValue(), kEsc);
    EXPECT_EQ(keyboard->m_nCurKeyValue, kEsc);

    // Right button over a key, then over no key inside the picture.
    host.events.clear();
    Mouse(WM_MOUSEMOVE, Centre(kSpace).x, Centre(kSpace).y);
    Mouse(WM_RBUTTONDOWN, Centre(kSpace).x, Centre(kSpace).y, MK_RBUTTON);
    Mouse(WM_RBUTTONUP, Centre(kSpace).x, Centre(kSpace).y);
    EXPECT_EQ(Codes(kId), (std::vector<Event>{{kId, 5, IndexOf(kSpace), kSpace}}));
    EXPECT_EQ(keyboard->GetPressedIndex(), IndexOf(kSpace));
    host.events.clear();
    const CPoint empty(kPlace.left + 3, kPlace.top + 3);
    Mouse(WM_MOUSEMOVE, empty.x, empty.y);
    Mouse(WM_RBUTTONDOWN, empty.x, empty.y, MK_RBUTTON);
    Mouse(WM_RBUTTONUP, empty.x, empty.y);
    EXPECT_EQ(Codes(kId), (std::vector<Event>{{kId, 5, -1, 0}}));
    EXPECT_EQ(keyboard->GetCurrentKeyValue(), 0);
    EXPECT_EQ(keyboard->GetPressedIndex(), -1);

    // Left click over no key: code 1 (-1, 0), code 2 (-1, 0), current value -1.
    host.events.clear();
    Click(empty.x, empty.y);
    EXPECT_EQ(Codes(kId), (std::vector<Event>{{kId, 1, -1, 0}, {kId, 2, -1, 0}}));
    EXPECT_EQ(keyboard->GetCurrentKeyValue(), -1);
}

TEST_F(KeyboardTest, ReleaseOutsideReportsNoKeyAndKeepsTheValue)
{
    Mouse(WM_MOUSEMOVE, Centre(kA).x, Centre(kA).y);
    Mouse(WM_LBUTTONDOWN, Centre(kA).x, Centre(kA).y, MK_LBUTTON);
    host.events.clear();
    keyboard->OnControlLButtonUp(0, CPoint(kPlace.right + 10, kPlace.bottom + 10));
    EXPECT_EQ(Codes(kId), (std::vector<Event>{{kId, 2, -1, 0}}));
    EXPECT_EQ(keyboard->GetCurrentKeyValue(), kA);
    EXPECT_EQ(keyboard->GetPressedIndex(), IndexOf(kA));
}

TEST_F(KeyboardTest, FrameSelectionTogglesChecksAndTheSelectColour)
{
    const COLORREF select = RGB(0, 200, 100);
    keyboard->SetKeyboardCtrlMode(103);
    keyboard->EnableFrameSelect(1);
    keyboard->ResetAllItemsColor(select);  // Esc already has the select colour
    keyboard->SetAllSelectColor(select);
    KEY_INFO* esc = keyboard->GetKeyItems()[IndexOf(kEsc)];
    KEY_INFO* a = keyboard->GetKeyItems()[IndexOf(kA)];

    Click(Centre(kEsc).x, Centre(kEsc).y);
    EXPECT_EQ(esc->bCheck, 1);
    EXPECT_EQ(esc->crKey, 0u);
    Click(Centre(kEsc).x, Centre(kEsc).y);  // Ctrl up: all cleared, then toggled on again
    EXPECT_EQ(esc->bCheck, 1);
    EXPECT_EQ(esc->crKey, select);
    HoldCtrl(true);
    Click(Centre(kA).x, Centre(kA).y);  // Ctrl held: Esc keeps its check
    EXPECT_EQ(keyboard->GetCheckItemCount(), 2);
    Click(Centre(kA).x, Centre(kA).y);  // and A's check toggles off
    HoldCtrl(false);
    EXPECT_EQ(a->bCheck, 0);
    EXPECT_EQ(esc->bCheck, 1);
    EXPECT_EQ(keyboard->GetCheckItemCount(), 1);

    // The checked key is outlined in the theme's select colour in mode 103.
    const Gdiplus::Color theme = WEXA::Manager::m_select_color;
    const testutil::PixelBuffer p = Paint(keyboard);
    EXPECT_EQ(At(p, CPoint(Hit(kEsc).left, Hit(kEsc).CenterPoint().y)),
              RGB(theme.GetR(), theme.GetG(), theme.GetB()));
}

TEST_F(KeyboardTest, HoverAsksForOneRepaintPerChangeOfKey)
{
    Mouse(WM_MOUSEMOVE, Centre(kEsc).x, Centre(kEsc).y);
    const int start = host.updates;
    Mouse(WM_MOUSEMOVE, Centre(kEsc).x + 1, Centre(kEsc).y);
    Mouse(WM_MOUSEMOVE, Centre(kEsc).x + 2, Centre(kEsc).y + 1);
    EXPECT_EQ(host.updates, start);
    Mouse(WM_MOUSEMOVE, Centre(kA).x, Centre(kA).y);
    EXPECT_EQ(host.updates, start + 1);
    EXPECT_EQ(keyboard->GetHoverIndex(), IndexOf(kA));

    keyboard->DragMove(Centre(kSpace));
    EXPECT_EQ(keyboard->GetHoverIndex(), IndexOf(kSpace));
    keyboard->DragMove(CPoint(kPlace.right + 5, kPlace.top));
    EXPECT_EQ(keyboard->GetHoverIndex(), -1);
    EXPECT_EQ(host.updates, start + 3);
}

TEST_F(KeyboardTest, DisabledPictureTakesNoInput)
{
    keyboard->SetControlEnabled(0);
    EXPECT_EQ(keyboard->OnControlLButtonDown(0, Centre(kEsc)), 0);
    EXPECT_EQ(keyboard->OnControlLButtonUp(0, Centre(kEsc)), 0);
    EXPECT_EQ(keyboard->OnControlRButtonUp(0, Centre(kEsc)), 0);
    EXPECT_EQ(keyboard->OnControlMouseMove(0, Centre(kEsc)), 0);
    EXPECT_TRUE(Codes(kId).empty());
    EXPECT_EQ(keyboard->GetPressedIndex(), -1);
}

// ---- tips ----

TEST_F(KeyboardTest, TipsShowTheKeysTextsOnlyWhenEnabled)
{
    keyboard->OnControlMouseMove(0, Centre(kEsc));
    keyboard->OnControlMouseMove(0, Centre(kEsc) + CSize(1, 0));
    EXPECT_EQ(keyboard->GetTipsWindow(), nullptr);

    keyboard->EnableKBTips(true);
    keyboard->SetKeyItemInfo(kEsc, L"Volume up", 3, L"Volume up");
    keyboard->OnControlMouseMove(0, Centre(kEsc) + CSize(2, 0));
    WEXA::CKeyboardTips* tips = keyboard->GetTipsWindow();
    ASSERT_NE(tips, nullptr);
    EXPECT_TRUE(IsWindowVisible(tips->GetSafeHwnd()));
    EXPECT_EQ(std::wstring(tips->GetText(1)), L"Volume up");
    POINT anchor = {Hit(kEsc).left + Hit(kEsc).Width() / 2, Hit(kEsc).top};
    ClientToScreen(hwnd, &anchor);
    EXPECT_EQ(tips->GetAnchor().x, anchor.x);
    EXPECT_EQ(tips->GetAnchor().y, anchor.y);

    // Without tooltip texts the description is shown.
    keyboard->OnControlMouseMove(0, Centre(kA));
    EXPECT_FALSE(IsWindowVisible(tips->GetSafeHwnd()));
    keyboard->OnControlMouseMove(0, Centre(kA) + CSize(1, 0));
    EXPECT_TRUE(IsWindowVisible(tips->GetSafeHwnd()));
    EXPECT_EQ(std::wstring(tips->GetText(1)), Key(kA).desc);
}

TEST_F(KeyboardTest, TipsForARecordThatIsGoneShowNothing)
{
    keyboard->EnableKBTips(true);
    KEY_INFO* stale = keyboard->GetKeyItems()[0];
    const CRect where = Hit(layout.keys[0].code);
    keyboard->SetTips(stale, where, true);
    ASSERT_NE(keyboard->GetTipsWindow(), nullptr);
    EXPECT_TRUE(IsWindowVisible(keyboard->GetTipsWindow()->GetSafeHwnd()));
    // The worker clears the keys: the old record is freed.
    keyboard->ClearItem();
    keyboard->SetTips(stale, where, true);
    EXPECT_FALSE(IsWindowVisible(keyboard->GetTipsWindow()->GetSafeHwnd()));
}

}  // namespace
}  // namespace kbtest
