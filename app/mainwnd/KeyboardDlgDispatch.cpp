// KeyboardDlg: control events (OnMessage) and the frame's own handlers.
#include "KeyboardCtrl.h"
#include "MTabCtrl.h"
#include "MenuWnd.h"
#include "mainwnd/KeyboardDlg.h"
#include "services/hid/HidDeviceManager.h"

LONG KeyboardDlg::OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    // Controls whose every event goes to their handler.
    switch (id) {
        case 68: return OnMainTabChanged(int(wparam));
        case 53: return OnProfileListEvent(code, wparam, lparam);
        case 58: return OnKeyboardCtrlClick(code, wparam, lparam);
        case 126: return OnLightModeSelect(code, wparam, lparam);
        case 141:
            if (code == 27) return OnLightPaletteColor(code, wparam, lparam);
            break;
        case 177:
            if (code == 27) return OnMusicPaletteColor(code, wparam, lparam);
            break;
        case 95:
            if (code == 29) StoreMacroPlayMode(code, wparam, lparam);
            return 1;
        case 115: return OnKeyComboFieldEvent(code, wparam, lparam);
        case 145: return OnLightRedEdit(code, wparam, lparam);
        case 146: return OnLightGreenEdit(code, wparam, lparam);
        case 147: return OnLightBlueEdit(code, wparam, lparam);
        case 181: return OnMusicRedEdit(code, wparam, lparam);
        case 182: return OnMusicGreenEdit(code, wparam, lparam);
        case 183: return OnMusicBlueEdit(code, wparam, lparam);
        case 289: return OnMatrixModeSelect(code, wparam, lparam);
        case 304:
            if (code == 27) return OnMatrixPaletteColor(code, wparam, lparam);
            break;
        case 308: return OnMatrixRedEdit(code, wparam, lparam);
        case 309: return OnMatrixGreenEdit(code, wparam, lparam);
        case 310: return OnMatrixBlueEdit(code, wparam, lparam);
        case 209: return OnMacroListEvent(code, wparam, lparam);
        case 232: return OnMacroDelayTimeEdit(code, wparam, lparam);
        case 236: return OnMacroRecordValueEdit(code, wparam, lparam);
        case 220: return OnMacroRecordListEvent(code, wparam, lparam);
        case 366: return OnLcdSlotSelect(code, wparam, lparam);
        case 368: return OnLcdLayerSelect(code, wparam, lparam);
        case 377: return OnLcdCanvasEvent(code, wparam, lparam);
        case 381: return OnLcdFrameListEvent(code, wparam, lparam);
        case 387: return OnLcdFontSizeEdit(code, wparam, lparam);
        case 396: return OnLcdPaletteColor(code, wparam, lparam);
        case 397: return OnLcdPaletteBar();
        case 401: return OnLcdRedEdit(code, wparam, lparam);
        case 402: return OnLcdGreenEdit(code, wparam, lparam);
        case 403: return OnLcdBlueEdit(code, wparam, lparam);
        default: break;
    }
    if (code != 2) return 0;

    // Clicks and selections, by control id.
    if (id >= 91 && id <= 94) return OnMacroPlayModeRadio(id);
    if (id >= 148 && id <= 156) return OnLightDefaultColor(id);
    if (id >= 133 && id <= 136) return OnLightDirectionRadio(id);
    if (id >= 184 && id <= 192) return OnMusicDefaultColor(id);
    if (id >= 161 && id <= 172) return OnMusicLayerCheck(id);
    if (id >= 311 && id <= 319) return OnMatrixDefaultColor(id);
    if (id >= 296 && id <= 299) return OnMatrixDirectionRadio(id);
    if (id >= 228 && id <= 230) return OnMacroDelayModeRadio(id);
    if (id >= 404 && id <= 409) return OnLcdDefaultColor(id);
    switch (id) {
        case 39: return OnCloseButton();
        case 40: OnMinimize(); return 1;
        case 41: return 1;
        case 42: return OnSettingsButton();
        case 43: OpenLink(m_websiteUrl); return 1;
        case 44: OpenLink(m_storeUrl); return 1;
        case 45: return OnSkinButton();
        case 81: return OnDeviceSelected();
        case 54: return OnProfileAdd();
        case 55: return ImportProfileXml();
        case 50:
        case 62: return OnProfileManagerButton();
        case 64: return OnPictureButton();
        case 56: return OnKeyLayerChanged();
        case 60:
            if (auto* keyboard = static_cast<WEXA::KeyboardCtrl*>(Ctl(58)))
                m_selectedKey = keyboard->GetCurrentKeyValue();
            if (m_selectedKey > 0) RestoreDefaultKeys();
            return 1;
        case 61: return OnRestoreLayerButton();
        case 88: return OnKeyFunctionTypeTab();
        case 89: return OnKeyFunctionValue();
        case 116: return OnKeyComboSave();
        case 117: return OnLightZoneTab();
        case 125: return OnCustomLightSwitch();
        case 123: return OnLightEnableSwitch();
        case 138: return OnLightColorfulCheck();
        case 129: return OnLightBrightnessSlider();
        case 131: return OnLightSpeedSlider();
        case 159: return OnUserLightModeSelect();
        case 157: return OnLightApplyButton();
        case 174: return OnMusicColorfulCheck();
        case 194: return OnMusicForeModeSelect();
        case 200: return OnMusicBackModeSelect();
        case 196: return OnMusicForeAmplitudeSlider();
        case 202: return OnMusicBackBrightnessSlider();
        case 198: return OnMusicLightBrightnessSlider();
        case 242: return OnEffectModeChanged();
        case 269: return OnCaptureWindowSelect();
        case 272: return OnEffectFileButton();
        case 276: return 1;
        case 274: return OnEffectPresetSelect();
        case 277: return OnMatrixScreenEdit();
        case 279: return OnMatrixPresetSelect();
        case 288: return 1;
        case 286: return OnMatrixEnableSwitch();
        case 301: return OnMatrixColorfulCheck();
        case 292: return OnMatrixBrightnessSlider();
        case 294: return OnMatrixSpeedSlider();
        case 321: return OnMatrixAmplitudeSlider();
        case 210: return OnMacroNew();
        case 211: return OnMacroDelete();
        case 226: return OnMacroRecordToggle();
        case 222: return OnMacroRecordDelete();
        case 223: return OnMacroRecordClear();
        case 235: return OnMacroRecordTypeSelect();
        case 237: return OnMacroMouseButtonSelect();
        case 239: return OnMacroRecordMove(-1);
        case 240: return OnMacroRecordMove(+1);
        case 221: return OnMacroInsertMenu();
        case 369: return OnLcdLayerAdd();
        case 370: return OnLcdImportGif();
        case 371: return OnLcdLayerDelete();
        case 376: return OnLcdGridLineCheck();
        case 378: return ShowLcdEditMode();
        case 380: return ShowLcdPreviewMode();
        case 388: return OnLcdAddText();
        case 389:
            ImportLcdPictures();
            m_lcdDirty = 1;
            return 0;
        case 390: return OnLcdFrameCopy();
        case 393: return OnLcdFrameDelete();
        case 391:
        case 392: return OnLcdDrawModeButton(id);
        case 394: return OnLcdRecoverEdit();
        case 410: return OnLcdCommandButton();
        case 411: return SaveLcdFrames();
        case 412: return OnLcdExportGif();
        case 413: return SendLcdLayer();
        case 338: return OnMacModeSwitch();
        case 341: return OnGameModeSwitch();
        case 344: return OnLockWinSwitch();
        case 347: return OnWasdModeSwitch();
        case 350: return OnSleepTimeSelect();
        case 353: return OnKeyResponseSelect();
        case 333: return OnResetToDefaults();
        case 326: return OnDeviceMessageButton();
        case 415: return OnSettingsReturn();
        case 418:
        case 419:
        case 420: return OnLanguageRadio();
        case 425: return OnAutorunSwitch();
        case 426: return OnAutorunMinimizeSwitch();
        case 429:
        case 430: return OnExitModeRadio();
        case 434: return OnCheckVersionButton();
        case 436: OpenLink(m_websiteUrl); return 1;
        case 437: OpenLink(m_feedbackUrl); return 1;
        case 438: OpenLink(m_faqsUrl); return 1;
        default: return 0;
    }
}

void KeyboardDlg::OpenLink(const std::wstring& url)
{
    if (url.empty()) return;
    ShellExecuteW(nullptr, L"open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

LONG KeyboardDlg::OnSettingsButton()
{
    // The user's choice wins over the worker's page requests still on their way.
    ++m_tabRequestSerial;
    ShowIds({68, 39, 40, 42, 43, 45, 46, 47}, false);
    Show(79, true);
    ShowPageFrame(false);
    switch (m_currentPage.load()) {
        case 0:
            ShowIds({69, 31}, false);
            ShowPageBackground();
            break;
        case 4: ShowCustomKeyFrame(false); break;
        case 2: Show(59, false); break;
        default: break;
    }
    return 1;
}

LONG KeyboardDlg::OnSkinButton()
{
    WEXA::MControl* button = Ctl(45);
    if (!button) return 1;
    RECT rect = button->GetRect();
    ClientToScreen(&rect);
    // The menu deletes itself once its window is gone.
    auto* menu = new WEXA::MenuWnd(this);
    // Wide enough for the longest entry of every language ("Default background").
    if (!menu->Create(GetSafeHwnd(), CPoint(rect.left, rect.bottom), KBM_SKIN_MENU, L"img_menu.png",
                      4, 200, WEXA::BACK_MODE_FRAME)) {
        delete menu;
        return 1;
    }
    menu->AddMenu(LangText(7), 100, L"", 0, 0);
    menu->AddMenu(LangText(9), 101, L"", 0, 0);
    menu->ShowWindow(SW_SHOW);
    return 1;
}

LONG KeyboardDlg::OnProfileManagerButton()
{
    // The profile manager dialog comes with the profiles; the overlay is shown
    // and hidden around it.
    Show(65, true);
    RunProfileManager();
    Show(65, false);
    return 1;
}

LONG KeyboardDlg::OnPictureButton()
{
    Show(65, true);
    RunPictureDialog();
    Show(65, false);
    return 1;
}

LONG KeyboardDlg::OnDeviceSelected()
{
    int type = 0;
    TaskAfter after;
    {
        // A pick replaces the device state: no worker task may be using it.
        CAutoLock hold(m_deviceStateLock);
        ++m_tabRequestSerial;  // the page the pick opens wins over the worker's requests
        after = TakeAllTasks();
        m_deviceConnected = false;
        m_effectStreaming = 0;
        m_matrixStreaming = 0;
        type = SelectedCardDeviceType();
        m_selectedCardIndex = SelectedCardIndex();
        WriteDeviceTypeSetting(type);
        HidDeviceManager& manager = HidDeviceManager::Instance();
        manager.m_selectedDeviceType = type;
        manager.m_currentDevice = nullptr;
        m_deviceType = type;
        ShowIds({31, 80}, false);
        ShowIds({68, 35, 81, 46, 47}, true);
        // The page comes back for the keyboard picked, whose settings are not
        // loaded yet: opening it stores and sends nothing (the load does).
        m_connecting = true;
        if (MainTab()) MainTab()->SetSelectItem(m_currentTab);
        m_connecting = false;
        SelectDevice(type);
        AppendTask(TASK_DEVICE_SELECTED);
    }
    RunAfterSteps(after);
    return 1;
}
