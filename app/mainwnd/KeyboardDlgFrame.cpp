// KeyboardDlg: the frame (InitUI), the main tab, the key test and the layout
// of the frame (UISize).
#include "CArea.h"
#include "CDeviceList.h"
#include "CSwitchButton.h"
#include "KeyLayerCtrl.h"
#include "KeyboardCtrl.h"
#include "ProfileList.h"
#include "CTextButton.h"
#include "MButton.h"
#include "MPicture.h"
#include "MTabCtrl.h"
#include "MText.h"
#include "mainwnd/KeyboardDlg.h"
#include "mainwnd/UISize.h"
#include "services/AppEnvironment.h"
#include "services/input/RawInput.h"
#include "services/keys/KeyCodeTable.h"

using namespace WEXA;

namespace {

template <class T>
T* As(MControl* control)
{
    return static_cast<T*>(control);
}

// Main tab: position -> (item id, text id, icon, panel).
struct TabRow
{
    UINT itemId;
    int textId;
    const wchar_t* icon;
    UINT panel;
};
// The LCD page's item is the last one, so that the other pages keep their
// positions; it is shown only for a keyboard with an LCD screen.
const TabRow kTabs[] = {
    {0, 50, L"icon\\tab_home.png", 69},      {1, 51, L"icon\\tab_light.png", 71},
    {3, 58, L"icon\\tab_light.png", 76},     {2, 52, L"icon\\tab_nimbrel.png", 75},
    {4, 53, L"icon\\tab_customkey.png", 70}, {5, 54, L"icon\\tab_macro.png", 72},
    {7, 57, L"icon\\tab_perf.png", 78},      {8, 56, L"icon\\tab_config.png", 73},
    {6, 55, L"icon\\tab_lcd.png", 77},
};

}  // namespace

MControl* KeyboardDlg::Make(const wchar_t* className, UINT id, bool area, const wchar_t* title)
{
    MControl* control = area ? CreateArea(className, id, CRect(), title, 1, 1)
                             : CreateControl(className, id, CRect(), title, 1, 1);
    return Keep(control);
}

MControl* KeyboardDlg::MakeIn(MControl* panel, const wchar_t* className, UINT id,
                              const wchar_t* title)
{
    if (!panel) return nullptr;
    return Keep(static_cast<MPanel*>(panel)->CreateControl(className, id, CRect(), title, 1, 1));
}

void KeyboardDlg::ResetBackgrounds(bool gif, bool picture)
{
    std::wstring skins = GetExeFolder() + L"skins\\theme1\\";
    if (picture) {
        m_pageBackgroundRead = true;
        if (auto* bkg = As<MPicture>(Ctl(30))) {
            // A stored picture that no longer loads gives the default, not a
            // white window.
            std::wstring file = RegString(L"theme_bkg");
            bkg->SetImageFile(
                (IsReadablePicture(file.c_str()) ? file : skins + L"main_bkg.png").c_str());
        }
    }
    if (gif) {
        if (auto* bkg = As<CGifPicture>(Ctl(31))) {
            std::wstring file = RegString(L"theme_bkg_gif");
            bkg->SetImageFile(
                (IsReadablePicture(file.c_str()) ? file : skins + L"home_bg.gif").c_str());
        }
    }
}

void KeyboardDlg::ShowPageBackground()
{
    if (!m_pageBackgroundRead.exchange(true)) ResetBackgrounds(false, true);
    Show(30, true);
}

void KeyboardDlg::InitUI(CRect client)
{
    CreateFrame();
    FillMainTab();
    InitCustomKeyPage();
    InitMacroPage();
    InitLightPage();
    InitMatrixScreenPage();
    InitEffectPage();
    InitMusicPage();
    InitPerformancePage();
    InitDevicePage();
    if (m_hasLcdPage) InitLcdPage();
    InitSettingsPage();
    if (auto* overlay = As<CRoundArea>(Make(L"CRoundArea", 65, false))) {
        overlay->SetColor(Gdiplus::Color(0x7D050505));
        overlay->SetRound(0);
        overlay->SetVisible(0);
    }
    UISize(client);
}

void KeyboardDlg::CreateFrame()
{
    const Gdiplus::Color textColor(m_textColor);
    // The title bar and the side bar are dark: their captions are light.
    const Gdiplus::Color wordmarkColor(0xFFE8ECF3);
    const Gdiplus::Color captionColor(0xFFC9D0DC);

    if (auto* bkg = As<MPicture>(Make(L"MPicture", 30, true))) {
        bkg->SetShowMode(SHOW_MODE_FRAME, 6);
        bkg->SetVisible(0);  // its picture is read when it is first shown
    }
    if (auto* gif = As<CGifPicture>(Make(L"CGifPicture", 31, true))) {
        ResetBackgrounds(true, false);
        gif->AddMTimer();
        gif->SetRunState(1, 0);
    }
    if (auto* left = As<MPicture>(Make(L"MPicture", 35, true)))
        left->SetImage(L"img_leftarea.png", 1);
    if (auto* logo = As<MPicture>(Make(L"MPicture", 36, true)))
        logo->SetImage(L"logo\\logo.png", 1);
    if (auto* oem = As<MText>(Make(L"MText", 37, true, LangText(1, L"OEM")))) {
        oem->SetTextColor(wordmarkColor);
        oem->SetFont(L"Roboto-Bold", 32, Gdiplus::FontStyleBold);
    }
    if (auto* model = As<MText>(Make(L"MText", 38, true, L"Nimbrel 80"))) {
        model->SetAlignment(1);
        model->SetTextColor(captionColor);
        model->SetFont(L"Roboto-Bold", 28, Gdiplus::FontStyleBold);
    }
    struct SysButton
    {
        UINT id;
        const wchar_t* image;
        int tip;
    };
    const SysButton buttons[] = {{39, L"main_sysbtn_close.png", 0},
                                 {40, L"main_sysbtn_min.png", 3},
                                 {42, L"main_sysbtn_setting.png", 10},
                                 {43, L"main_sysbtn_website.png", 5},
                                 {45, L"main_sysbtn_skins.png", 7}};
    for (const SysButton& b : buttons) {
        if (auto* button = As<MControlFont>(Make(L"CImageButton", b.id, false))) {
            button->SetImage(b.image, 4);
            button->SetTooltip(b.tip ? LangText(b.tip)
                                     : LangText(RegInt(L"exit_mode") == 2 ? 509 : 510));
        }
    }
    for (UINT id : {33u, 32u}) {
        if (auto* line = As<CArea>(Make(L"CArea", id, true))) line->SetTransparent(0, 0, 0xE6E6E6);
    }
    if (auto* battery = As<MControlFont>(Make(L"BatteryCtrl", 46, true))) {
        battery->SetImage(L"icon\\icon_devicestatus.png", 6);
        battery->SetTextColor(textColor);
    }
    if (auto* usb = As<MPicture>(Make(L"MPicture", 47, true)))
        usb->SetImage(L"icon\\usb_mode.png", 1);
    if (auto* area = As<MPicture>(Make(L"MPicture", 51, true))) {
        area->SetImage(L"img_area1.png", 1);
        area->SetShowMode(SHOW_MODE_FRAME, 12);
    }
    Make(L"MText", 52, true, LangText(65));
    if (auto* add = As<MControlFont>(Make(L"CImageButton", 54, false))) {
        add->SetImage(L"img_btn_addprofile.png", 4);
        add->SetTooltip(LangText(66));
    }
    if (auto* import = As<MControlFont>(Make(L"CImageButton", 55, false))) {
        import->SetImage(L"img_btn_inportprofile.png", 4);
        import->SetTooltip(LangText(79));
    }
    if (auto* profiles = As<ProfileList>(Make(L"ProfileList", 53, false))) {
        profiles->SetImage(L"img_profile_more.png", 2);
        profiles->SetItemBkg(L"img_tab_item.png");
        // The card below the main tab shows three rows at a time, in the
        // tab's face and colour.
        profiles->m_nItemHeight = 23;
        profiles->SetFont(L"Roboto-Medium", 14, Gdiplus::FontStyleRegular);
        profiles->SetTextColor(Gdiplus::Color(0xFF2D3347));
    }
    if (auto* round = As<CRoundArea>(Make(L"CRoundArea", 48, true))) {
        round->SetColor(Gdiplus::Color(0xFFC5D8FD));
        round->SetRound(12);
    }
    if (auto* file = As<MPicture>(Make(L"MPicture", 49, true)))
        file->SetImage(L"icon\\icon_file.png", 1);
    if (auto* manager = As<CTextButton>(Make(L"CTextButton", 50, false, LangText(67)))) {
        manager->SetFont(L"Roboto-Bold", 16, Gdiplus::FontStyleRegular);
        // Dark accent on the pale plate (the plain accent reads faint there).
        manager->SetTextButtonColor(Gdiplus::Color(0xFF2A4FA8), Gdiplus::Color(0xFF1E3E8C),
                                    Gdiplus::Color(0xFF1E3E8C), Gdiplus::Color(0xFF808080));
    }
    if (auto* layers = As<KeyLayerCtrl>(Make(L"KeyLayerCtrl", 56, false, L"Fn"))) {
        layers->SetTitle(L"Fn");
        layers->SetTitleColor(captionColor);
        const wchar_t* names[] = {L"1", L"2", L"3", L"4"};
        for (int layer = 0; layer < 4; ++layer) layers->AddLayer(names[layer], layer);
    }
    for (UINT id : {60u, 61u}) {
        if (auto* button =
                As<MButton>(Make(L"MButton", id, false, LangText(id == 60 ? 201 : 202)))) {
            button->SetImage(L"img_button.png", 4);
            button->SetTextColor(textColor);
        }
    }
    if (auto* keyboard = As<KeyboardCtrl>(Make(L"KeyboardCtrl", 58, false))) {
        keyboard->SetImage(L"img_key_bkg.png", 4);
        keyboard->SetKeyboardCtrlMode(101);
    }
    if (auto* effect = As<MControlFont>(Make(L"NimbrelEffect", 59, false))) {
        effect->SetImage(L"img_key_bkg.png", 4);
        effect->AddMTimer();
        effect->SetVisible(0);
    }
    if (auto* vip = As<MControlFont>(Make(L"CImageButton", 64, false)))
        vip->SetImage(L"img_joinvip.png", 4);
    if (auto* vipText = As<CTextButton>(Make(L"CTextButton", 64, false, LangText(8)))) {
        vipText->SetTextColor(Gdiplus::Color(0xFFFFFFFF));
        vipText->SetFont(L"Roboto-Bold", 14, Gdiplus::FontStyleRegular);
    }
    Make(L"MTabLayout", 69, false);
    for (UINT id : {70u, 71u, 72u, 74u, 75u, 76u, 73u, 78u, 77u, 79u}) {
        if (MControl* panel = Make(L"MTabLayout", id, false)) panel->SetVisible(0);
    }
    if (auto* keyTest = As<MControlFont>(Make(L"CKeyTestCtrl", 57, false))) {
        keyTest->SetImage(L"img_key_bkg.png", 4);
        keyTest->SetTextColor(Gdiplus::Color(0xFF2D3347));
        keyTest->SetRunTimer(1);
        keyTest->AddMTimer();
        keyTest->SetVisible(0);
    }
    if (auto* area = As<MPicture>(Make(L"MPicture", 66, true))) {
        area->SetImage(L"img_area1.png", 1);
        area->SetShowMode(SHOW_MODE_FRAME, 12);
    }
    Make(L"MText", 67, true, LangText(12));
    if (auto* tab = As<MTabCtrl>(Make(L"MTabCtrl", 68, false))) {
        tab->SetImage(L"img_tab_item.png", 4);
        tab->SetFont(L"Roboto-Medium", 16, Gdiplus::FontStyleRegular);
        tab->SetTextColor(Gdiplus::Color(0xFF2D3347));
        tab->SetTabCtrlWidth(239);
        tab->SetTabCtrlHeight(50);
        tab->SetLeftRightPading(0, 50);
        tab->SetTopBottomPading(0, 400);
        tab->SetTabType(TAB_TYPE_VERTICAL);
    }
}

void KeyboardDlg::FillMainTab()
{
    MTabCtrl* tab = MainTab();
    if (tab) {
        for (const TabRow& row : kTabs) {
            if (row.panel == 77 && !m_hasLcdPage) continue;
            tab->InsertItem(row.itemId, LangText(row.textId), row.icon, Ctl(row.panel), 4, 0);
        }
        tab->SetItemWidth(239, 239, 1);
        tab->SetItemHeight(50, 50, 1);
        tab->SetItemVisible(2, 0);
        tab->SetItemVisible(kLcdTabPosition, 0);
        tab->SetSelectItem(0);
        tab->SetVisible(0);
    }
    MControl* home = Ctl(69);
    if (auto* list = As<MControlFont>(MakeIn(home, L"CDeviceList", 81))) {
        list->SetTextColor(Gdiplus::Color(m_textColor));
        list->SetImage(L"icon\\icon_devicestatus.png", 6);
    }
    if (auto* caption = As<MText>(MakeIn(home, L"MText", 80, LangText(63)))) {
        caption->SetTextColor(Gdiplus::Color(0xFF191919));
        caption->SetFont(L"Roboto-Regular", 20, Gdiplus::FontStyleRegular);
        caption->SetAlignment(1, 4);
        caption->SetVisible(0);
    }
}

void KeyboardDlg::UISize(CRect client)
{
    if (!GetControl(39)) return;
    // The frame's rectangles; controls are found by id among those kept, so the
    // home page's two controls inside panel 69 are placed too.
    CSize logo(0, 0);
    if (auto* picture = As<MControlFont>(Ctl(36))) logo = picture->GetImageSize();
    for (const ControlPlacement& placement : FrameLayout(client, logo)) {
        if (MControl* control = Ctl(placement.id)) control->SetRect(placement.rect);
    }
    LayoutCustomKeyPage(client);
    LayoutMacroPage(client);
    LayoutLightPage(client);
    LayoutMatrixScreenPage(client);
    LayoutEffectPage(client);
    LayoutMusicPage(client);
    LayoutPerformancePage(client);
    LayoutDevicePage(client);
    if (m_hasLcdPage) LayoutLcdPage(client);
    LayoutSettingsPage(client);
}

void KeyboardDlg::SelectMainTab(int position)
{
    HWND window = GetSafeHwnd();
    if (window && GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId()) {
        ::PostMessageW(window, KBM_SELECT_MAIN_TAB, WPARAM(position),
                       LPARAM(m_tabRequestSerial.load()));
        return;
    }
    if (MTabCtrl* tab = MainTab()) tab->SetSelectItem(position);
}

LONG KeyboardDlg::OnMainTabRequest(int position, LONG_PTR serial)
{
    if (long(serial) != m_tabRequestSerial.load()) return 0;  // a later pick decided
    // The settings page stands alone over the pages: a page opened now would
    // be drawn with it and take the pointer through it. Its Back button brings
    // the user's page again.
    MControl* settings = Ctl(79);
    if (settings && settings->IsVisible()) return 0;
    if (MTabCtrl* tab = MainTab()) tab->SetSelectItem(position);
    return 1;
}

LONG KeyboardDlg::OnMainTabChanged(int position)
{
    // A page chosen here (by the user or a request handled now) wins over the
    // worker's requests still on their way.
    ++m_tabRequestSerial;
    MTabCtrl* tab = MainTab();
    // Leave the current page.
    switch (m_currentPage.load()) {
        case 4:
            StopKeyTestInput();
            m_keyTestPressed.clear();
            ClearKeyTest();
            break;
        case 6: ShowLcdEditMode(); break;
        default: break;
    }
    Show(59, false);
    EnableKeyboardTips(false);
    ShowCustomKeyFrame(false);
    ShowPageBackground();

    int id = tab ? tab->GetItemID(position) : -1;
    switch (id) {
        case 0:
            ShowIds({68, 30}, false);
            Show(31, true);
            ShowPageFrame(false);
            break;
        case 4:
            m_currentTab = position;
            ShowPageFrame(true);
            PrepareKeyboardForCustomKeys();
            EnableKeyboardTips(true);
            ShowCustomKeyFrame(true);
            m_keyTestInput.reset(new char(1));
            RegisterRawInput(GetSafeHwnd());
            m_keyTestPressed.clear();
            ClearKeyTest();
            OnKeyFunctionTypeTab();
            break;
        case 1:
            m_effectStreaming = 0;
            m_currentTab = position;
            ShowPageFrame(true);
            PrepareKeyboardForLighting();
            // The page opens without live mirroring, and its switch says so.
            if (auto* live = CtlAs<WEXA::CSwitchButton>(125)) live->SetCheck(0);
            m_currentPage = 1;
            m_liveKeyColors = 0;
            if (!m_connecting) OnLightModeSelect(2);
            break;
        case 2:
            m_effectStreaming = 1;
            m_currentTab = position;
            ShowPageFrame(true);
            Show(59, true);
            Show(58, false);
            OnEffectModeChanged();
            AppendTask(TASK_START_EFFECT_STREAM);
            break;
        case 8:
            m_currentTab = position;
            ShowPageFrame(true);
            Show(58, true);
            break;
        case 3:
        case 5:
        case 6:
        case 7:
            m_currentTab = position;
            ShowPageFrame(true);
            Show(58, false);
            break;
        default: break;
    }
    m_currentPage = id;
    return 1;
}

void KeyboardDlg::OnKeyTestInput(HRAWINPUT input)
{
    if (!m_keyTestInput) return;
    RawInputEvent event;
    TranslateRawInput(input, event);
    HandleKeyTestEvent(event);
}

void KeyboardDlg::HandleKeyTestEvent(const RawInputEvent& event)
{
    int key = 0;
    CString name;
    if (event.kind == RawInputEvent::KindKeyboard) {
        int vk = event.code;
        unsigned usage = KeyCodeTable::VirtualKeyToHidUsage(vk);
        name = KeyCodeTable::HidUsageToKeyName(usage);
        key = int(usage);
        if (name.IsEmpty()) {
            key = event.code;
            name = event.name;
        }
        if (name.IsEmpty()) return;
    } else if (event.kind == RawInputEvent::KindMouse) {
        if (event.name.IsEmpty()) return;
        key = event.code;
        switch (event.code) {
            case 1: name = LangText(220); break;
            case 2: name = LangText(222); break;
            case 3: name = LangText(223); break;
            default: name = event.name; break;
        }
        // A click is shown as an event that fades at once: a button's release
        // can come in one record with another button's press, which reports
        // only one of them, and a click whose release went unseen would stay
        // in the strip for good.
        if (!event.keyUp) {
            AddKeyTestKey(name, key);
            RemoveKeyTestKey(key);
        }
        return;
    } else {
        return;
    }
    if (!event.keyUp) {
        if (m_keyTestPressed.insert(key).second) AddKeyTestKey(name, key);
    } else {
        m_keyTestPressed.erase(key);
        RemoveKeyTestKey(key);
    }
}
