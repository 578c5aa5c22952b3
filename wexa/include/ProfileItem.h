#pragma once
// One row of a list control: label, the owner's value, an optional two-frame
// icon and the cell rectangle of the last paint.
#include <windows.h>

#include "CString.h"
#include "WexaGdiplus.h"

namespace WEXA {

struct PROFILEITEM_INFO
{
    CString strText;
    int nData = 0;
    Gdiplus::Image* pIcon = nullptr;  // owned by the list
    int nIconWidth = 0;               // image width / 2
    int nIconHeight = 0;
    RECT rcItem = {0, 0, 0, 0};  // control coordinates after scrolling, from the last paint
};

}  // namespace WEXA
