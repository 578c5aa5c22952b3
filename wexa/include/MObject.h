#pragma once
// MObject: the root of everything in the library that can own controls
// (dialogs, containers, controls). It carries the two upward channels of the
// control protocol:
//   OnBaseMessage(id, code, wparam, lparam)  a control reports an event to the
//                                            object that created it;
//   OnControlUpdate(rect, erase, control)    a control asks its owner to repaint.
//
// Control event codes (the code of OnBaseMessage; wparam and lparam are defined
// by the sending control):
//   1 left button down          2 click completed / selection made
//   3 double click on an item   5 right button released
//   7 check state toggled       8 scroll or slider position changing
//   9 click on an item's inner button   11 pointer over an item
//   22 drop-down window destroyed       24 right button released during a drag
//   26 text changed   27 colour changed   28 numeric value changed
//   29 inline edit committed or field left   30 inline edit opened
//   31 button released on a field's icon     32 edited image saved
#include <windows.h>

#include "CRect.h"
#include "WexaExport.h"

namespace WEXA {

class MControl;

// A layout position, resolved by MControl::PositionItem2Value.
struct FS_POSITION_ITEM
{
    int type;     // 0 offset from one end, 1 offset from the centre, 2 percentage of the span
    int fromEnd;  // type 0: measure from the high end; type 1: offset towards the low end
    float value;  // pixels (types 0 and 1, truncated) or percent (type 2)
};

class WEXA_API MObject
{
public:
    MObject() = default;
    virtual ~MObject();

    // 1 when GetClassNameW() equals name exactly (case-sensitive); 0 for a null
    // name or a null class name.
    virtual int IsClass(const wchar_t* name);
    // Null for MObject; every concrete class returns its own class name.
    virtual const wchar_t* GetClassNameW() const;
    virtual const wchar_t* GetObjectClass();
    virtual const wchar_t* BaseObjectClassName();
    // A child control's notification. Default 0.
    virtual LONG OnBaseMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam);
    // A child control's repaint request. Default: nothing, 0.
    virtual LONG OnControlUpdate(CRect rect, int erase, MControl* control);
};

}  // namespace WEXA
