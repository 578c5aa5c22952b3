// KeyboardDlg: the pages' builders, layouts and handlers. The pages are built
// page by page; until a page is, its builder creates nothing, its layout places
// nothing and its handlers report the event as not handled (0).
#include "mainwnd/KeyboardDlg.h"

void KeyboardDlg::ApplyLanguageToPageItems() {}

void KeyboardDlg::InitLcdPage() {}

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
