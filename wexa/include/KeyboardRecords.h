#pragma once
// The records of the keyboard widgets that the program reads field by field:
// keys of the keyboard picture, rows of the profile, macro and macro event
// lists and the device cards. Their field order is part of the library's
// interface; append nothing in the middle.
//
// Every record is a heap object owned by the control that holds it; pointers
// a control hands out stay valid until the control deletes the record (its
// clear, delete or destruction).
#include <windows.h>

#include "CRect.h"
#include "CString.h"
#include "WexaGdiplus.h"

namespace WEXA {

// One key of the keyboard picture (KeyboardCtrl).
struct KEY_INFO
{
    int nIndex = 0;    // position in the list when it was added
    int nKeyCode = 0;  // the owner's key code; 255 marks a round key
    CString strName;   // label in the custom-key mode (the assigned function)
    CString strDesc;   // label in the plain and light modes; the default tooltip
    int nValue = 0;    // the owner's value (the assigned function's type)
    CString strTip1;   // tooltip lines 1 to 4
    CString strTip2;
    CString strTip3;
    CString strTip4;
    CString strTip5;                  // only tested for being non-empty
    RECT rcKey = {0, 0, 0, 0};        // picture coordinates
    int bCheck = 0;                   // checked (frame selection)
    int nReserved1 = 0;               // unused
    int nReserved2 = 0;               // unused
    COLORREF crBkg = 0;               // background colour (stored, not drawn)
    COLORREF crKey = 0;               // key colour of the light modes
    Gdiplus::Image* pIcon = nullptr;  // owned; stored, not drawn
    int nIconWidth = 0;
    int nIconHeight = 0;
    CString strLegend;  // the key's own legend (the name it was added with): drawn in
                        // the plain and light modes, and for a function that is
                        // this key pressed alone
};

// One row of the profile list (ProfileList) and of MListBoxEx.
struct PROFILEITEM_INFO
{
    CString strText;
    int nData = 0;
    Gdiplus::Image* pIcon = nullptr;  // owned by the list
    int nIconWidth = 0;
    int nIconHeight = 0;
    RECT rcItem = {0, 0, 0, 0};  // row rectangle of the last paint
};

// One row of the macro event list (CRecordList).
struct RecordItem
{
    CString strText;
    int nEventType = 0;  // 1: not an event; 2/3 key down/up, 4/5 button down/up, 6/7 mouse
    int nKeyCode = 0;
    int nTimeStamp = 0;          // the delay after the event in milliseconds
    RECT rcItem = {0, 0, 0, 0};  // row rectangle of the last paint
};

// One row of the macro list (MacroList) and of MListBox.
struct LISTITEM_INFO
{
    CString strText;
    int nImage = -1;  // kept, not drawn
    long lData = 0;
    CRect rcItem;  // row rectangle of the last paint
};

// One card of the device list (CDeviceList).
struct DEVICEITEM_INFO
{
    CString strName;
    int nDeviceId = 0;
    int nLink = 0;     // 0 USB, 1 2.4 GHz receiver
    int nOnline = 0;   // drawn while non-zero; selectable while positive
    int nBattery = 0;  // percent
    int nCharging = 0;
    // The pictures are read from their files when first needed (the online
    // one when the card is first drawn, both when the card is copied out).
    Gdiplus::Image* pOfflineImage = nullptr;  // owned; kept, not drawn
    int nOfflineWidth = 0;
    int nOfflineHeight = 0;
    Gdiplus::Image* pOnlineImage = nullptr;  // owned
    int nOnlineWidth = 0;
    int nOnlineHeight = 0;
    CRect rcItem;            // card rectangle of the last paint, control coordinates
    CString strOfflineFile;  // not read yet while not empty
    CString strOnlineFile;   // not read yet while not empty
};

}  // namespace WEXA
