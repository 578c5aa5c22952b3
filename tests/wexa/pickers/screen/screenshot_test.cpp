// What the custom-key pickers look like on the screen with the program's own
// skin theme: the category tabs, the function tiles, the layer selector, the
// grouped key picker and the on-screen keyboard picker, compared with a
// stored reference picture (see ScreenshotCompare.h; write a new one with
// KESTROVA_UPDATE_REFERENCE=1 and look at it before committing).
#include <gtest/gtest.h>

#include <string>

#include "KeyFuncControl.h"
#include "KeyFuncCtrl.h"
#include "KeyFuncValue.h"
#include "KeyLayerCtrl.h"
#include "MDialog.h"
#include "Manager.h"
#include "ScreenshotCompare.h"
#include "TabCtrlEx.h"
#include "WindowTestHelpers.h"

using namespace WEXA;

namespace {

const Gdiplus::Color kPageText(0xFF333333);

class PickerDialog : public MDialog
{
public:
    TabCtrlEx* tabs = nullptr;
    KeyFuncValue* tiles = nullptr;
    KeyLayerCtrl* layers = nullptr;
    KeyFuncCtrl* groups = nullptr;
    KeyFuncControl* keys = nullptr;

    void InitUI(CRect) override
    {
        m_pm.SetBackColor(RGB(245, 247, 250), RGB(214, 219, 227));

        tabs = dynamic_cast<TabCtrlEx*>(
            CreateControl(L"TabCtrlEx", 88, CRect(10, 10, 150, 268), L"", 1, 1));
        if (!tabs) tabs = new TabCtrlEx(this, 88, CRect(10, 10, 150, 268), 1, 1);
        Attach(tabs);
        tabs->SetFont(L"Roboto-Medium", 16, Gdiplus::FontStyleRegular);
        tabs->SetTextColor(kPageText);
        const wchar_t* categories[] = {L"Keyboard",  L"Mouse",  L"Multimedia",
                                       L"Shortcuts", L"Macros", L"Disable"};
        const int data[] = {2, 6, 12, 13, 5, 3};
        for (int i = 0; i < 6; ++i) tabs->AddItem(categories[i], data[i]);
        tabs->SetCurData(12);

        tiles = dynamic_cast<KeyFuncValue*>(
            CreateControl(L"KeyFuncValue", 89, CRect(165, 10, 490, 190), L"", 1, 1));
        tiles->SetImage(L"img_key_bkg.png", 4);
        tiles->SetTextColor(Gdiplus::Color(0xFF0A0A0A));
        tiles->SetFont(L"Roboto-Medium", 12, Gdiplus::FontStyleRegular);
        const wchar_t* functions[] = {L"Play/Pause", L"Stop",         L"Previous",
                                      L"Next",       L"Volume +",     L"Volume -",
                                      L"Mute",       L"Media player", L"Calculator"};
        for (int i = 0; i < 9; ++i) tiles->AddItem(functions[i], 100 + i, L"");
        tiles->SetAllHeight(180);
        tiles->SetControlRect(CRect(165, 10, 490, 190));
        tiles->SetCurData(101);

        layers = new KeyLayerCtrl(this, 56, CRect(505, 10, 567, 160), 1, 1);
        Attach(layers);
        layers->SetFont(L"Roboto-Medium", 14, Gdiplus::FontStyleRegular);
        layers->SetTextColor(kPageText);
        layers->SetTitle(L"Fn");
        for (int i = 0; i < 4; ++i) layers->AddLayer(CString(std::to_wstring(i + 1).c_str()), i);
        layers->SetCurrentLayer(1);

        groups = dynamic_cast<KeyFuncCtrl*>(
            CreateControl(L"KeyFuncCtrl", 90, CRect(585, 10, 1150, 330), L"", 1, 1));
        groups->SetImage(L"img_group_arrow.png", 3);
        groups->SetFont(L"Roboto-Medium", 12, Gdiplus::FontStyleRegular);
        groups->SetTextColor(kPageText);
        groups->InitItemInfo();
        groups->SetItemText(0, L"Basic keys");
        groups->SetItemText(1, L"Extended keys");
        groups->SetItemText(2, L"Special keys");

        keys = new KeyFuncControl(this, 91, CRect(10, 340, 890, 586), 1);
        Attach(keys);
        keys->SetFont(L"Roboto-Medium", 12, Gdiplus::FontStyleRegular);
        keys->SetTextColor(Gdiplus::Color(0xFFF2F2F2));
        keys->InitItemInfo();
        keys->SetItemCheckByItemData(4, 0, 0);
    }

private:
    // A control the factory of this window does not make, as a top-level one.
    void Attach(MControl* control)
    {
        if (control->GetManager()) return;
        control->SetManager(&m_pm);
        CAutoLock lock(m_pm.m_controlsLock);
        m_pm.m_controls.push_back(control);
    }
};

bool ThemeHas(std::initializer_list<const wchar_t*> files)
{
    Manager::SetThemeSkins(L"theme1\\");
    for (const wchar_t* f : files)
        if (GetFileAttributesW(GetSkinsPath() + f) == INVALID_FILE_ATTRIBUTES) return false;
    return true;
}

RECT Moved(CRect r, int dx, int dy)
{
    r.OffsetRect(dx, dy);
    return r;
}

TEST(PickerScreen, CustomKeyPickersMatchTheirReference)
{
    ASSERT_TRUE(ThemeHas({L"img_key_bkg.png", L"img_group_arrow.png", L"icon\\icon_pc.png"}))
        << "the skin theme is not built";
    // The grouped picker draws with the library's theme colours: light ones,
    // as a light theme sets them.
    struct ThemeColours
    {
        Gdiplus::Color normal = Manager::GetNormalColor(), hover = Manager::GetHoverColor();
        ThemeColours()
        {
            Manager::SetNormalColor(Gdiplus::Color(0xFFFFFFFF));
            Manager::SetHoverColor(Gdiplus::Color(0xFFE3E9F2));
        }
        ~ThemeColours()
        {
            Manager::SetNormalColor(normal);
            Manager::SetHoverColor(hover);
        }
    } light;
    const int left = 120, top = 90;
    SetCursorPos(5, 5);  // the pointer rests outside: no hover
    PickerDialog dlg;
    ASSERT_NE(dlg.Create(nullptr, L"custom keys", WS_POPUP | WS_VISIBLE, WS_EX_TOPMOST,
                         CRect(left, top, left + 1160, top + 600), nullptr),
              nullptr);
    UpdateWindow(dlg.GetSafeHwnd());
    // In the grouped picker the first group is closed and the third opened
    // by clicks on their headers, and "Web" is picked there.
    auto click = [&](CRect rect) {
        const CPoint at(585 + rect.CenterPoint().x, 10 + rect.CenterPoint().y);
        dlg.groups->OnControlMouseMove(0, at);
        dlg.groups->OnControlLButtonUp(0, at);
        dlg.groups->OnControlMouseMove(0, CPoint(2000, 2000));
        UpdateWindow(dlg.GetSafeHwnd());
    };
    auto header = [&](int group) {
        int expanded = 0, height = 0;
        CRect rect;
        dlg.groups->GetGroupInfo(group, expanded, height, rect);
        return rect;
    };
    click(header(0));
    click(header(2));
    {
        CString label;
        int code = 0;
        CRect rect;
        bool icon = false;
        dlg.groups->GetTileInfo(2, 11, label, code, rect, icon);
        click(rect);
        EXPECT_EQ(dlg.groups->GetPickedCode(), 511);
    }
    UpdateWindow(dlg.GetSafeHwnd());
    DWORD start = GetTickCount();
    testutil::PumpUntil([&] { return GetTickCount() - start > 300; }, 1000);
    UpdateWindow(dlg.GetSafeHwnd());

    RECT area = {left, top, left + 1160, top + 600};
    testutil::PixelBuffer actual = testutil::CaptureScreen(area);
    testutil::ScreenshotCompare compare;
    compare.AddControls(dlg.GetPaintManager(), dlg.GetSafeHwnd(), area);
    for (int i = 0; i < 6; ++i)
        compare.AddRegion("tab " + std::to_string(i),
                          RECT{25, 10 + 43 * i + 10, 135, 10 + 43 * i + 33});
    for (int i = 0; i < 9; ++i)
        compare.AddRegion("tile " + std::to_string(i), Moved(dlg.tiles->GetItemRect(i), 165, 10));
    for (int i = 0; i < 4; ++i)
        compare.AddRegion("layer " + std::to_string(i),
                          Moved(dlg.layers->GetLayerRect(i), 505, 10));
    compare.AddRegion("layer caption", RECT{510, 11, 560, 41});
    for (int g = 0; g < 3; ++g) {
        int expanded = 0, height = 0;
        CRect header;
        dlg.groups->GetGroupInfo(g, expanded, height, header);
        compare.AddRegion("group header " + std::to_string(g), Moved(header, 585, 10));
    }
    for (int i = 0; i < dlg.groups->GetTileCount(2); ++i) {
        CString label;
        int code = 0;
        CRect rect;
        bool icon = false;
        dlg.groups->GetTileInfo(2, i, label, code, rect, icon);
        CRect visible;
        if (visible.IntersectRect(&rect, CRect(0, 0, 560, 320)))
            compare.AddRegion("key tile " + std::to_string(i), Moved(visible, 585, 10));
    }
    for (int i = 0; i < dlg.keys->GetItemCount(); i += 4) {
        CString label;
        int code = 0;
        CRect rect;
        dlg.keys->GetItemInfo(i, label, code, rect);
        compare.AddRegion("keyboard key " + std::to_string(i), Moved(rect, 10, 340));
    }
    dlg.DestroyWindow();
    testutil::PumpPending();
    EXPECT_TRUE(compare.MatchesReference(
        actual, testutil::TestSourceFile(TEST_SOURCE_DIR, "pickers_reference.png")));
}

}  // namespace
