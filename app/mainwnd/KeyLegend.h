#pragma once
// The label the keyboard picture shows for a key's assigned function.
#include "KeyboardCtrl.h"
#include "services/db/DeviceDataRecords.h"

// A key of this keyboard pressed alone is shown by that key's own legend (the
// one the picture shows on every page: "~", "Caps", "Num 7" as "7"), so a key
// keeps the label printed on it; any other function is shown by its name.
inline CString KeyFunctionLabel(WEXA::KeyboardCtrl* picture, const KeyMacroData& row)
{
    if (picture && row.macro_type == 2 && row.macro_value2 == 0 && row.macro_value > 0) {
        const CString legend = picture->GetKeyLegend(row.macro_value);
        if (!legend.IsEmpty()) return legend;
    }
    return row.macro_desc;
}
