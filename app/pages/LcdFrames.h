#pragma once
// The LCD page's frame strip (381) and canvas (377) emptied before a layer's
// frames are loaded or its first pictures imported: no frames, no picture on
// the canvas, the first frame current.
#include "ImageView.h"
#include "ImageViewList.h"
#include "mainwnd/KeyboardDlg.h"

inline void ClearLcdFrames(KeyboardDlg& dlg)
{
    if (auto* strip = dlg.CtlAs<WEXA::ImageViewList>(381)) strip->DeleteAllItems();
    if (auto* canvas = dlg.CtlAs<WEXA::ImageView>(377)) {
        canvas->SetImage(L"");
        canvas->DeleteAllItems();
    }
    dlg.m_lcdCurrentFrame = 0;
}
