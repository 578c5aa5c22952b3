// KeyboardDlg: the pages' builders, layouts and handlers. The pages are built
// page by page; until a page is, its builder creates nothing, its layout places
// nothing and its handlers report the event as not handled (0).
#include "mainwnd/KeyboardDlg.h"

void KeyboardDlg::ApplyLanguageToPageItems() {}

void KeyboardDlg::InitCustomKeyPage() {}

void KeyboardDlg::InitMacroPage() {}

void KeyboardDlg::InitLightPage() {}

void KeyboardDlg::InitMatrixScreenPage() {}

void KeyboardDlg::InitEffectPage() {}

void KeyboardDlg::InitMusicPage() {}

void KeyboardDlg::InitPerformancePage() {}

void KeyboardDlg::LayoutCustomKeyPage(CRect client) {}

void KeyboardDlg::LayoutMacroPage(CRect client) {}

void KeyboardDlg::LayoutLightPage(CRect client) {}

void KeyboardDlg::LayoutMatrixScreenPage(CRect client) {}

void KeyboardDlg::LayoutEffectPage(CRect client) {}

void KeyboardDlg::LayoutMusicPage(CRect client) {}

void KeyboardDlg::LayoutPerformancePage(CRect client) {}

void KeyboardDlg::LoadLightModes() {}

void KeyboardDlg::LoadMatrixModes() {}

LONG KeyboardDlg::OnKeyboardCtrlClick(UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    return 0;
}

LONG KeyboardDlg::OnLightModeSelect(UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    return 0;
}

LONG KeyboardDlg::OnLightPaletteColor(UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    return 0;
}

LONG KeyboardDlg::OnMusicPaletteColor(UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    return 0;
}

LONG KeyboardDlg::StoreMacroPlayMode(UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    return 0;
}

LONG KeyboardDlg::OnKeyComboFieldEvent(UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    return 0;
}

LONG KeyboardDlg::OnLightRedEdit(UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    return 0;
}

LONG KeyboardDlg::OnLightGreenEdit(UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    return 0;
}

LONG KeyboardDlg::OnLightBlueEdit(UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    return 0;
}

LONG KeyboardDlg::OnMusicRedEdit(UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    return 0;
}

LONG KeyboardDlg::OnMusicGreenEdit(UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    return 0;
}

LONG KeyboardDlg::OnMusicBlueEdit(UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    return 0;
}

LONG KeyboardDlg::OnMatrixModeSelect(UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    return 0;
}

LONG KeyboardDlg::OnMatrixPaletteColor(UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    return 0;
}

LONG KeyboardDlg::OnMatrixRedEdit(UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    return 0;
}

LONG KeyboardDlg::OnMatrixGreenEdit(UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    return 0;
}

LONG KeyboardDlg::OnMatrixBlueEdit(UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    return 0;
}

LONG KeyboardDlg::OnMacroListEvent(UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    return 0;
}

LONG KeyboardDlg::OnMacroDelayTimeEdit(UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    return 0;
}

LONG KeyboardDlg::OnMacroRecordValueEdit(UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    return 0;
}

LONG KeyboardDlg::OnMacroRecordListEvent(UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    return 0;
}

LONG KeyboardDlg::OnKeyLayerChanged()
{
    return 0;
}

LONG KeyboardDlg::OnRestoreLayerButton()
{
    return 0;
}

LONG KeyboardDlg::OnKeyFunctionTypeTab()
{
    return 0;
}

LONG KeyboardDlg::OnKeyFunctionValue()
{
    return 0;
}

LONG KeyboardDlg::OnKeyComboSave()
{
    return 0;
}

LONG KeyboardDlg::OnMacroPlayModeRadio(UINT id)
{
    return 0;
}

LONG KeyboardDlg::OnLightZoneTab()
{
    return 0;
}

LONG KeyboardDlg::OnCustomLightSwitch()
{
    return 0;
}

LONG KeyboardDlg::OnLightEnableSwitch()
{
    return 0;
}

LONG KeyboardDlg::OnLightColorfulCheck()
{
    return 0;
}

LONG KeyboardDlg::OnLightDefaultColor(UINT id)
{
    return 0;
}

LONG KeyboardDlg::OnLightBrightnessSlider()
{
    return 0;
}

LONG KeyboardDlg::OnLightSpeedSlider()
{
    return 0;
}

LONG KeyboardDlg::OnLightDirectionRadio(UINT id)
{
    return 0;
}

LONG KeyboardDlg::OnUserLightModeSelect()
{
    return 0;
}

LONG KeyboardDlg::OnLightApplyButton()
{
    return 0;
}

LONG KeyboardDlg::OnMusicColorfulCheck()
{
    return 0;
}

LONG KeyboardDlg::OnMusicDefaultColor(UINT id)
{
    return 0;
}

LONG KeyboardDlg::OnMusicLayerCheck(UINT id)
{
    return 0;
}

LONG KeyboardDlg::OnMusicForeModeSelect()
{
    return 0;
}

LONG KeyboardDlg::OnMusicBackModeSelect()
{
    return 0;
}

LONG KeyboardDlg::OnMusicForeAmplitudeSlider()
{
    return 0;
}

LONG KeyboardDlg::OnMusicBackBrightnessSlider()
{
    return 0;
}

LONG KeyboardDlg::OnMusicLightBrightnessSlider()
{
    return 0;
}

LONG KeyboardDlg::OnEffectModeChanged()
{
    return 0;
}

LONG KeyboardDlg::OnCaptureWindowSelect()
{
    return 0;
}

LONG KeyboardDlg::OnEffectFileButton()
{
    return 0;
}

LONG KeyboardDlg::OnMatrixScreenEdit()
{
    return 0;
}

LONG KeyboardDlg::OnMatrixPresetSelect()
{
    return 0;
}

LONG KeyboardDlg::OnMatrixEnableSwitch()
{
    return 0;
}

LONG KeyboardDlg::OnMatrixColorfulCheck()
{
    return 0;
}

LONG KeyboardDlg::OnMatrixDefaultColor(UINT id)
{
    return 0;
}

LONG KeyboardDlg::OnMatrixBrightnessSlider()
{
    return 0;
}

LONG KeyboardDlg::OnMatrixSpeedSlider()
{
    return 0;
}

LONG KeyboardDlg::OnMatrixDirectionRadio(UINT id)
{
    return 0;
}

LONG KeyboardDlg::OnMatrixAmplitudeSlider()
{
    return 0;
}

LONG KeyboardDlg::OnMacroNew()
{
    return 0;
}

LONG KeyboardDlg::OnMacroDelete()
{
    return 0;
}

LONG KeyboardDlg::OnMacroRecordToggle()
{
    return 0;
}

LONG KeyboardDlg::OnMacroRecordDelete()
{
    return 0;
}

LONG KeyboardDlg::OnMacroRecordClear()
{
    return 0;
}

LONG KeyboardDlg::OnMacroDelayModeRadio(UINT id)
{
    return 0;
}

LONG KeyboardDlg::OnMacroRecordTypeSelect()
{
    return 0;
}

LONG KeyboardDlg::SaveMacroRecords()
{
    return 0;
}

LONG KeyboardDlg::OnMacroRecordUp()
{
    return 0;
}

LONG KeyboardDlg::OnMacroRecordDown()
{
    return 0;
}

LONG KeyboardDlg::OnMacroInsertMenu()
{
    return 0;
}

LONG KeyboardDlg::OnMacModeSwitch()
{
    return 0;
}

LONG KeyboardDlg::OnGameModeSwitch()
{
    return 0;
}

LONG KeyboardDlg::OnLockWinSwitch()
{
    return 0;
}

LONG KeyboardDlg::OnWasdModeSwitch()
{
    return 0;
}

LONG KeyboardDlg::OnSleepTimeSelect()
{
    return 0;
}

LONG KeyboardDlg::OnKeyResponseSelect()
{
    return 0;
}

LONG KeyboardDlg::OnEffectPresetSelect()
{
    return 0;
}

LONG KeyboardDlg::OnMacroHookKey(UINT_PTR wparam, LONG_PTR lparam)
{
    return 0;
}

LONG KeyboardDlg::OnMacroHookMouse(UINT_PTR wparam, LONG_PTR lparam)
{
    return 0;
}

LONG KeyboardDlg::OnKeyFunctionMenuCommand(UINT_PTR wparam)
{
    return 0;
}

LONG KeyboardDlg::OnDragOverNotify(LONG_PTR point)
{
    return 0;
}
