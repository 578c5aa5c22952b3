// KeyboardDlg: the pages' builders, layouts and handlers. The pages are built
// page by page; until a page is, its builder creates nothing, its layout places
// nothing and its handlers report the event as not handled (0).
#include "mainwnd/KeyboardDlg.h"

void KeyboardDlg::ApplyLanguageToPageItems() {}

void KeyboardDlg::InitMatrixScreenPage() {}

void KeyboardDlg::InitEffectPage() {}

void KeyboardDlg::InitMusicPage() {}

void KeyboardDlg::InitLcdPage() {}

void KeyboardDlg::LayoutMatrixScreenPage(CRect client) {}

void KeyboardDlg::LayoutEffectPage(CRect client) {}

void KeyboardDlg::LayoutMusicPage(CRect client) {}

void KeyboardDlg::LoadMatrixModes() {}

LONG KeyboardDlg::OnMusicPaletteColor(UINT code, UINT_PTR wparam, LONG_PTR lparam)
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

LONG KeyboardDlg::OnLcdSlotSelect(UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    return 0;
}

LONG KeyboardDlg::OnLcdLayerSelect(UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    return 0;
}

LONG KeyboardDlg::OnLcdCanvasEvent(UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    return 0;
}

LONG KeyboardDlg::OnLcdFrameListEvent(UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    return 0;
}

LONG KeyboardDlg::OnLcdFontSizeEdit(UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    return 0;
}

LONG KeyboardDlg::OnLcdPaletteColor(UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    return 0;
}

LONG KeyboardDlg::OnLcdRedEdit(UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    return 0;
}

LONG KeyboardDlg::OnLcdGreenEdit(UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    return 0;
}

LONG KeyboardDlg::OnLcdBlueEdit(UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    return 0;
}

LONG KeyboardDlg::OnLcdPaletteBar()
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

LONG KeyboardDlg::OnLcdLayerAdd()
{
    return 0;
}

LONG KeyboardDlg::OnLcdImportGif()
{
    return 0;
}

LONG KeyboardDlg::OnLcdLayerDelete()
{
    return 0;
}

LONG KeyboardDlg::ShowLcdEditMode()
{
    return 0;
}

LONG KeyboardDlg::ShowLcdPreviewMode()
{
    return 0;
}

LONG KeyboardDlg::OnLcdAddText()
{
    return 0;
}

LONG KeyboardDlg::ImportLcdPictures()
{
    return 0;
}

LONG KeyboardDlg::OnLcdFrameCopy()
{
    return 0;
}

LONG KeyboardDlg::OnLcdFrameDelete()
{
    return 0;
}

LONG KeyboardDlg::OnLcdDefaultColor(UINT id)
{
    return 0;
}

LONG KeyboardDlg::OnLcdCommandButton()
{
    return 0;
}

LONG KeyboardDlg::SaveLcdFrames()
{
    return 0;
}

LONG KeyboardDlg::OnLcdExportGif()
{
    return 0;
}

LONG KeyboardDlg::SendLcdLayer()
{
    return 0;
}

LONG KeyboardDlg::OnEffectPresetSelect()
{
    return 0;
}

LONG KeyboardDlg::OnLcdGridLineCheck()
{
    return 0;
}

LONG KeyboardDlg::OnLcdDrawModeButton(UINT id)
{
    return 0;
}

LONG KeyboardDlg::OnLcdRecoverEdit()
{
    return 0;
}
