// The page gallery: for each model of config.xml, with its simulated keyboard
// plugged, the real main window is walked through as a user does (settings
// page and its language radios, every main tab and the states of its page
// worth showing, the windows the frame and the pages open) in each of the
// three languages. Every picture is compared with its reference in
// references\ and written with index.html to "gallery\" in the build folder
// (see Gallery.h).
//
// What moves stands still for the pictures: the home background on its first
// frame, the spinners on one frame, the effect preview on a clock that does
// not run, the visualiser off; the pointer rests off the window; each picture
// is taken once the worker has done what the window asked of it.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>
#include <tuple>
#include <string>

#include "CRecordList.h"
#include "Gallery.h"
#include "MComboBox.h"
#include "MDialog.h"
#include "MPicture.h"
#include "ImageViewList.h"
#include "MTabCtrl.h"
#include "MacroList.h"
#include "MainWindowHarness.h"
#include "Manager.h"
#include "MatrixScreen.h"
#include "NimbrelEffect.h"
#include "ProfileList.h"
#include "SimKeyboardModels.h"
#include "TabCtrlEx.h"
#include "mainwnd/DeleteFolder.h"
#include "services/LanguageText.h"
#include "dialogs/AboutVIPDlg.h"
#include "dialogs/CUIMessageBox.h"
#include "dialogs/LCDDelayEditDlg.h"
#include "dialogs/LEDWaitDlg.h"
#include "dialogs/LEDWaitDlg2.h"
#include "pages/ProfileDlg.h"
#include "dialogs/UpdateProcessDlg.h"
#include "dialogs/WaitDlg.h"
#include "services/AppEnvironment.h"
#include "services/db/DeviceDataDB.h"

namespace {

// The settings page's radio of each language.
UINT LanguageRadio(int language)
{
    return language == 2052 ? 418u : language == 1028 ? 420u : 419u;
}

// A clock that stands still and random numbers that repeat, for the effect
// preview.
DWORD StillTick()
{
    return 100000;
}
double StillMilliseconds()
{
    return 100000.0;
}
unsigned FixedSeed()
{
    return 7;
}
int FixedRandom()
{
    return 12345;
}
void FixedTime(SYSTEMTIME* time)
{
    *time = SYSTEMTIME{2026, 12, 5, 11, 10, 8, 0, 0};
}
const WEXA::NimbrelEffectSources kStillEffect = {&StillTick, &StillMilliseconds, &FixedSeed,
                                                 &FixedRandom};
const WEXA::MatrixScreenSources kStillMatrix = {&StillTick, &FixedTime, &FixedRandom};

// Stops the spinner of a wait dialog on one frame of its animation.
void StillSpinner(HWND window)
{
    auto* dialog = dynamic_cast<WEXA::MDialog*>(
        reinterpret_cast<WEXA::MWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA)));
    if (!dialog) return;
    if (auto* gif = dynamic_cast<WEXA::CGifPicture*>(dialog->GetControl(30)))
        gif->SetRunState(0, 3);
}

class GalleryWalk : public ::testing::TestWithParam<std::tuple<const char*, int>>
{
protected:
    void SetUp() override
    {
        WEXA::NimbrelEffect::SetSources(&kStillEffect);
        WEXA::MatrixScreen::SetSources(&kStillMatrix);
        SetSupportedLanguageIds({2052, 1033, 1028});
        SetCurrentLanguageId(1033);
        UseFontForLanguage(1033);
        model_ = std::get<0>(GetParam());
        language_ = std::get<1>(GetParam());
        // Traditional Chinese is the language the program starts in, as a
        // user who chose it before sees it.
        if (language_ == 1028) {
            SetCurrentLanguageId(1028);
            UseFontForLanguage(1028);
        }
        h_.reset(new testutil::MainWindowHarness);
        // Every model starts as on a first start: no database, no LCD folders.
        DeleteFolder(GetDataFolder());
        // The settings page shows the program started with Windows, so that its
        // second switch shows too; other programs on this prefix may have left
        // either state behind.
        autorunBefore_ = IsAutorunEntryPresent();
        WriteAutorunEntry(true);
        keyboard_.reset(new sim::SimKeyboard(sim::Model(model_.c_str())));
        h_->Bus().AddModel(*keyboard_);
    }
    void TearDown() override
    {
        h_.reset();
        keyboard_.reset();
        WriteAutorunEntry(autorunBefore_);
        gallery::WriteIndex();
        SetCurrentLanguageId(1033);
        UseFontForLanguage(1033);
        WEXA::NimbrelEffect::SetSources(nullptr);
        WEXA::MatrixScreen::SetSources(nullptr);
    }

    KeyboardDlg& Dlg() { return h_->Dlg(); }
    HWND Window() { return h_->Window(); }

    void StartWindow()
    {
        ASSERT_TRUE(h_->Start(SW_SHOW));
        ASSERT_TRUE(h_->WaitForTasks({TASK_INIT, TASK_CHECK_VERSION}, 15000));
        SetWindowPos(Window(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
        PointerAway();
        FreezeHome();
        ASSERT_TRUE(h_->Settle());
    }

    // The real pointer rests off the window, so that nothing shows a hover.
    void PointerAway()
    {
        RECT placed;
        GetWindowRect(Window(), &placed);
        SetCursorPos(placed.right + 50, placed.bottom + 50);
        SendMessageW(Window(), WM_MOUSEMOVE, 0, MAKELPARAM(2, 780));
    }

    void FreezeHome()
    {
        if (auto* gif = Dlg().CtlAs<WEXA::CGifPicture>(31)) gif->SetRunState(0, 0);
    }

    // The main window as it is now, once the worker is done.
    void ShootWindow(const std::string& state, const std::string& caption)
    {
        ASSERT_TRUE(h_->Settle());
        FreezeHome();
        Dlg().m_visualizer.SetActive(false);
        InvalidateRect(Window(), nullptr, FALSE);
        UpdateWindow(Window());
        h_->Pump(150);
        gallery::Take(model_, language_, state, caption, gallery::ClientArea(Window()),
                      Dlg().GetPaintManager(), Window());
    }

    // A capture armed for the library window named `windowName`: once the
    // window has been shown for a while it is captured and `close` ends it.
    // The watch runs on a thread of its own: a modal loop busy with the
    // window's messages may hold back this thread's timers.
    struct PopupShot
    {
        std::atomic<bool> taken{false};
        std::atomic<bool> stop{false};
        std::thread watch;
        ~PopupShot()
        {
            stop = true;
            if (watch.joinable()) watch.join();
        }
    };
    std::unique_ptr<PopupShot> ArmPopup(const std::string& state, const std::string& caption,
                                        const wchar_t* windowName,
                                        const std::function<void(HWND)>& close)
    {
        std::unique_ptr<PopupShot> shot(new PopupShot);
        PopupShot* s = shot.get();
        const DWORD uiThread = GetCurrentThreadId();
        s->watch = std::thread([this, s, uiThread, state, caption, windowName, close] {
            HWND seen = nullptr;
            DWORD shownAt = 0;
            const DWORD start = GetTickCount();
            while (!s->stop && GetTickCount() - start < 8000) {
                Sleep(15);
                HWND window = gallery::FindShownWindow(windowName, uiThread);
                if (!window) continue;
                if (window != seen) {
                    seen = window;
                    shownAt = GetTickCount();
                    SetCursorPos(0, 0);
                    continue;
                }
                if (GetTickCount() - shownAt < 300) continue;
                StillSpinner(window);
                RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
                Sleep(30);
                gallery::Take(model_, language_, state, caption, gallery::WindowArea(window),
                              gallery::EngineOf(window), window);
                s->taken = true;
                close(window);
                return;
            }
        });
        return shot;
    }

    void WaitForShot(PopupShot& shot, const std::string& state)
    {
        EXPECT_TRUE(h_->PumpUntil([&] { return shot.taken.load(); }, 8000)) << state;
        h_->Pump(30);
        PointerAway();
    }

    // Runs `open`, which brings up the window (a modal one runs its loop
    // inside `open`), and takes it as ArmPopup does.
    void ShootPopup(const std::string& state, const std::string& caption, const wchar_t* windowName,
                    const std::function<void()>& open, const std::function<void(HWND)>& close)
    {
        std::unique_ptr<PopupShot> shot = ArmPopup(state, caption, windowName, close);
        open();
        WaitForShot(*shot, state);
    }

    static void CloseWith(HWND window, int result)
    {
        PostMessageW(window, WEXA::WM_USER_CLOSE_WINDOW, result, 0);
    }

    void OpenTab(int position)
    {
        Dlg().MainTab()->SetSelectItem(position);
        h_->Pump(30);
        ASSERT_TRUE(h_->Settle());
    }

    void LightMode(int mode)
    {
        Dlg().CtlAs<WEXA::MComboBox>(126)->SelectData(mode);
        h_->SendControlEvent(126, 2);
    }

    void KeyCategory(int category)
    {
        auto* tabs = Dlg().CtlAs<WEXA::TabCtrlEx>(88);
        for (int i = 0; i < tabs->GetItemCount(); ++i)
            if (tabs->GetItemData(i) == category) tabs->SetSelectKeyType(i);
        h_->SendControlEvent(88, 2);
    }

    // A click on the item of a vertical tab list (items 43 pixels apart).
    void ClickTabItem(UINT id, int index)
    {
        WEXA::MControl* tabs = Dlg().Ctl(id);
        ASSERT_NE(tabs, nullptr);
        const RECT rect = tabs->GetRect();
        const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, rect.top + 43 * index + 21);
        SendMessageW(Window(), WM_MOUSEMOVE, 0, at);
        SendMessageW(Window(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(Window(), WM_LBUTTONUP, 0, at);
        PointerAway();
    }

    void SettingsPage()
    {
        ASSERT_TRUE(h_->Click(42));
        if (GetCurrentLanguageId() != language_) {
            ASSERT_TRUE(h_->Click(LanguageRadio(language_)));
        }
        ASSERT_EQ(GetCurrentLanguageId(), language_);
        PointerAway();
        ShootWindow("settings", "Settings page");
        ASSERT_TRUE(h_->Click(415));
        PointerAway();
    }

    void FramePopups()
    {
        ShootPopup(
            "skin_menu", "Skin menu", L"Menu Window", [&] { h_->Click(45); },
            [](HWND window) { PostMessageW(window, WEXA::WM_USER_CLOSE_WINDOW, 0, 0); });
        ShootPopup(
            "profile_manager", "Profile manager", kProfileDlgWindowName, [&] { h_->Click(50); },
            [](HWND window) { CloseWith(window, 2); });
        ProfileListMenu();
        ShootPopup(
            "picture_window", "Picture window", kAboutVIPDlgWindowName, [&] { h_->Click(64); },
            [](HWND window) { CloseWith(window, 1); });
        // The wait dialog, as the program shows it while the worker applies a
        // profile or resets the keyboard.
        ShootPopup(
            "wait_dialog", "Wait dialog", kWaitDlgWindowName,
            [&] {
                WaitDlg* wait = Dlg().m_waitDlg.Reset(new WaitDlg);
                wait->DoModal(Window());
            },
            [](HWND window) { CloseWith(window, 1); });
    }

    // The profile card below the main tab with the current profile's row
    // menu open: the main window as the screen shows it, the menu over it.
    void ProfileListMenu()
    {
        auto* list = Dlg().CtlAs<WEXA::ProfileList>(53);
        ASSERT_NE(list, nullptr);
        const int row = list->GetSelectItem();
        ASSERT_TRUE(row >= list->GetFirstDrawn() && row <= list->GetLastDrawn());
        CRect rowRect(list->m_items[size_t(row)]->rcItem);
        rowRect.OffsetRect(list->GetRect().left, list->GetRect().top - list->GetRowOffset());
        CRect button = list->m_rcButton;
        button.OffsetRect(rowRect.left, rowRect.top);
        const POINT at = button.CenterPoint();
        // The menu opens where the pointer is.
        POINT screen = at;
        ClientToScreen(Window(), &screen);
        SetCursorPos(screen.x, screen.y);
        // Taken on this thread, inside the menu's own loop: a helper thread's
        // redraw would make this thread serve it while the worker may hold
        // the device-state lock.
        bool taken = false;
        DWORD shownAt = 0;
        {
            gallery::EveryTick shoot([&] {
                HWND menu = gallery::FindShownWindow(L"Menu Window", GetCurrentThreadId());
                if (!menu) return false;
                if (!shownAt) {
                    shownAt = GetTickCount();
                    return false;
                }
                if (GetTickCount() - shownAt < 300) return false;
                RedrawWindow(Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
                RedrawWindow(menu, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
                gallery::Take(model_, language_, "profile_list", "Profile list with a row's menu",
                              gallery::ClientArea(Window()), Dlg().GetPaintManager(), Window());
                taken = true;
                PostMessageW(menu, WEXA::WM_USER_CLOSE_WINDOW, 0, 0);
                return true;
            });
            const LPARAM where = MAKELPARAM(at.x, at.y);
            SendMessageW(Window(), WM_MOUSEMOVE, 0, where);
            SendMessageW(Window(), WM_LBUTTONDOWN, MK_LBUTTON, where);
            SendMessageW(Window(), WM_LBUTTONUP, 0, where);
            EXPECT_TRUE(h_->PumpUntil([&] { return taken; }, 8000)) << "profile_list";
        }
        h_->Pump(30);
        PointerAway();
    }

    void UpdateWindows()
    {
        // The answers of a version check, as the worker posts them.
        Dlg().m_serverVersion = L"1.0.0.2";
        ShootPopup(
            "update_offer", "Update offer", kMessageBoxWindowName,
            [&] { PostMessageW(Window(), KBM_VERSION_RESULT, 1, 1); },
            [](HWND window) { CloseWith(window, 2); });
        // The download's progress window, as a yes to the offer opens it.
        ShootPopup(
            "update_progress", "Update download", kUpdateDlgWindowName,
            [&] {
                UpdateProcessDlg dialog;
                dialog.DoModal(Window());
            },
            [](HWND window) { CloseWith(window, 1); });
    }

    void DevicePages()
    {
        const int type = Dlg().m_deviceType;
        const bool lighting = type < 150;
        if (lighting) {
            OpenTab(1);
            LightMode(1);
            ShootWindow("lighting_static", "Lighting: static mode");
            LightMode(128);
            ShootWindow("lighting_user", "Lighting: per-key colours");
            LightMode(1);
        }
        if (lighting && type == 102) {
            OpenTab(2);
            ShootWindow("matrix", "Matrix screen");
        }
        if (lighting) {
            OpenTab(3);
            const char* captions[] = {"Effects: first mode", "Effects: second mode",
                                      "Effects: third mode", "Effects: fourth mode"};
            for (int item = 0; item < 4; ++item) {
                ClickTabItem(242, item);
                ShootWindow("effects_" + std::to_string(item + 1), captions[item]);
            }
            ClickTabItem(242, 0);
        }
        OpenTab(4);
        KeyCategory(1);
        ShootWindow("keys_keys", "Key mapping: keys");
        KeyCategory(13);
        ShootWindow("keys_combo", "Key mapping: key combination");
        KeyCategory(3);
        ShootWindow("keys_macro", "Key mapping: macros");
        KeyCategory(1);
        OpenTab(5);
        ShootWindow("macros", "Macros");
        // "New macro": with the table full (ten macros from the first start)
        // the program says so in a message box; else a new macro is shown.
        auto* macros = Dlg().CtlAs<WEXA::MacroList>(209);
        ASSERT_NE(macros, nullptr);
        if (macros->GetItemCount() >= 10) {
            ShootPopup(
                "macro_limit", "Macros: the table is full", kMessageBoxWindowName,
                [&] { h_->SendControlEvent(210, 2); }, [](HWND window) { CloseWith(window, 1); });
        } else {
            h_->SendControlEvent(210, 2);
            PointerAway();
            ShootWindow("macro_new", "Macros: a new macro");
        }
        MacroEditor();
        OpenTab(6);
        ShootWindow("performance", "Performance");
        OpenTab(7);
        ShootWindow("device", "Device");
        ShootPopup(
            "reset_question", "Device: factory reset question", kMessageBoxWindowName,
            [&] { h_->Click(333); }, [](HWND window) { CloseWith(window, 2); });
        if (Dlg().m_hasLcdPage && type == 104) LcdPage();
    }

    // The macro editor: the first macro with recorded events, one of them
    // clicked into the record editor; then its event menu and the insert menu.
    void MacroEditor()
    {
        auto* macros = Dlg().CtlAs<WEXA::MacroList>(209);
        auto* events = Dlg().CtlAs<WEXA::CRecordList>(220);
        ASSERT_TRUE(macros && events && macros->GetItemCount() > 0);
        const int macroId = int(macros->GetItemData(0));
        struct Event
        {
            int type, value, delay;
            const wchar_t* text;
        };
        const Event recorded[] = {
            {2, 0xA2, 80, L"\x2193  Ctrl"}, {2, 'C', 120, L"\x2193  C"},
            {3, 'C', 80, L"\x2191  C"},     {3, 0xA2, 120, L"\x2191  Ctrl"},
            {1, 250, 10, L"250 ms"},        {4, 1, 90, L"\x2193  MouseL"},
            {5, 1, 10, L"\x2191  MouseL"},
        };
        std::vector<MacroRecordData> rows;
        for (const Event& e : recorded) {
            MacroRecordData row;
            row.type = e.type;
            row.value = e.value;
            row.delay_time = e.delay;
            row.desc = e.text;
            row.record_index = int(rows.size());
            rows.push_back(row);
        }
        ASSERT_TRUE(DeviceDataDB::Instance()->ReplaceMacroRecords(macroId, rows));
        macros->SetCurSel(0);
        Dlg().ShowMacro(macroId);
        InvalidateRect(Window(), nullptr, FALSE);
        UpdateWindow(Window());
        h_->Pump(100);
        // The second event, clicked as a user does.
        auto rowPoint = [&](int row, bool more) -> POINT {
            CRect r(events->GetRecordItems()[size_t(row)]->rcItem);
            r.OffsetRect(events->GetRect().left, events->GetRect().top);
            if (!more) return POINT{r.left + 120, r.CenterPoint().y};
            CRect button = events->GetMoreRect();
            button.OffsetRect(r.left, r.top);
            return button.CenterPoint();
        };
        h_->ClickAt(rowPoint(1, false));
        PointerAway();
        ShootWindow("macro_editor", "Macros: an event in the record editor");
        ShootPopup(
            "macro_record_menu", "Macros: an event's menu", L"Menu Window",
            [&] { h_->ClickAt(rowPoint(1, true)); },
            [](HWND window) { PostMessageW(window, WEXA::WM_USER_CLOSE_WINDOW, 0, 0); });
        ShootPopup(
            "macro_insert_menu", "Macros: the insert menu", L"Menu Window", [&] { h_->Click(221); },
            [](HWND window) { PostMessageW(window, WEXA::WM_USER_CLOSE_WINDOW, 0, 0); });
    }

    // The LCD page, from its tab, with the screen's animation open; the
    // frame delay dialog from the first frame's delay badge.
    void LcdPage()
    {
        OpenTab(KeyboardDlg::kLcdTabPosition);
        ShootWindow("lcd", "LCD screen");
        ShootPopup(
            "lcd_send", "LCD: sending", kLEDWaitDlg2WindowName,
            [&] {
                LEDWaitDlg2 dialog;
                dialog.DoModal(nullptr);
            },
            [](HWND window) { CloseWith(window, 1); });
        ShootPopup(
            "lcd_wait", "LCD: picture import", kWaitDlgWindowName,
            [&] {
                LEDWaitDlg dialog;
                dialog.DoModal(Window());
            },
            [](HWND window) { CloseWith(window, 1); });
        auto* strip = Dlg().CtlAs<WEXA::ImageViewList>(381);
        ASSERT_NE(strip, nullptr);
        ASSERT_GT(strip->GetItemCount(), 0);
        ShootPopup(
            "lcd_delay", "LCD: frame delay", kDelayDialogWindowName,
            [&] {
                const CRect card = strip->GetCardRect(0);
                const LPARAM badge = MAKELPARAM(card.right - 20, card.bottom - 29);
                SendMessageW(Window(), WM_MOUSEMOVE, 0, badge);
                SendMessageW(Window(), WM_LBUTTONDOWN, MK_LBUTTON, badge);
                SendMessageW(Window(), WM_LBUTTONUP, 0, badge);
            },
            [](HWND window) { CloseWith(window, 2); });
        PointerAway();
        OpenTab(7);
    }

    std::unique_ptr<testutil::MainWindowHarness> h_;
    std::unique_ptr<sim::SimKeyboard> keyboard_;
    std::string model_;
    int language_ = 1033;
    bool autorunBefore_ = false;
};

// The window starts in English (Traditional Chinese starts in its own); the
// settings page's radio switches it to the language, as a user does, before
// the model's card is picked.
TEST_P(GalleryWalk, EveryPageAndWindow)
{
    StartWindow();
    if (HasFatalFailure()) return;
    SettingsPage();
    if (HasFatalFailure()) return;
    ShootWindow("home", "Home page");
    h_->SendControlEvent(81, 2);
    ASSERT_TRUE(h_->WaitForTasks({TASK_DEVICE_SELECTED}));
    ASSERT_TRUE(h_->Settle());
    DevicePages();
    FramePopups();
    UpdateWindows();
}

INSTANTIATE_TEST_SUITE_P(
    Models, GalleryWalk,
    ::testing::Combine(::testing::Values("Kestrova-K87", "Kestrova-K75-Air", "Kestrova-K75-LCD",
                                         "Kestrova-K80-Matrix", "Kestrova-K104"),
                       ::testing::Values(2052, 1033, 1028)),
    [](const ::testing::TestParamInfo<std::tuple<const char*, int>>& info) {
        return gallery::ShortName(std::get<0>(info.param)) + "_" +
               std::to_string(std::get<1>(info.param));
    });

}  // namespace
