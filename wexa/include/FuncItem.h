#pragma once
// FUNCITEM_INFO: one entry of the function pickers (the function tiles, the
// function type grid and the menu's function rows): captions, the owner's data
// value, an optional icon owned by the record, and the place the last drawing
// gave it in the control's own coordinates.
#include <windows.h>

#include "CString.h"
#include "WexaGdiplus.h"

namespace WEXA {

struct FUNCITEM_INFO
{
    CString text;
    CString secondText;  // the menu rows' second line; empty elsewhere
    int data = 0;
    Gdiplus::Image* icon = nullptr;  // owned
    int iconWidth = 0;
    int iconHeight = 0;
    RECT rect = {0, 0, 0, 0};

    FUNCITEM_INFO() = default;
    FUNCITEM_INFO(const FUNCITEM_INFO&) = delete;
    FUNCITEM_INFO& operator=(const FUNCITEM_INFO&) = delete;
    ~FUNCITEM_INFO() { delete icon; }
};

}  // namespace WEXA
