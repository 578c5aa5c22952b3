#pragma once
// Number fields of the pages: what a field holds as a number and writing one
// back, the colour-channel rule shared by the R, G and B fields, and a page's
// three channel fields shown or read as one colour.
#include <windows.h>

#include <cwchar>

#include "MEdit.h"
#include "mainwnd/KeyboardDef.h"

// The field's text read as a decimal number; 0 without a field.
inline int FieldNumber(WEXA::MEdit* field)
{
    return field ? int(wcstol(field->GetEditText(), nullptr, 10)) : 0;
}

inline void ShowNumber(WEXA::MEdit* field, int value)
{
    if (!field) return;
    wchar_t text[16];
    swprintf(text, 16, L"%d", value);
    field->SetEditText(text);
}

// A colour channel holds 0..255: a typed value outside is shown clamped, in
// the open edit box too, with the caret after it so that typing goes on there.
inline void ClampChannelField(WEXA::MEdit* field)
{
    const int typed = FieldNumber(field);
    const int value = typed < 0 ? 0 : (typed > 255 ? 255 : typed);
    if (!field || value == typed) return;
    wchar_t text[16];
    const int length = swprintf(text, 16, L"%d", value);
    field->SetControlTitle(text);
    if (HWND edit = field->GetEditHwnd())
        ::SendMessageW(edit, EM_SETSEL, WPARAM(length), LPARAM(length));
}

// A page's red, green and blue fields (control ids).
struct ColourFields
{
    UINT red, green, blue;
};

inline void ShowColour(const KeyboardDef& dlg, const ColourFields& fields, COLORREF colour)
{
    ShowNumber(dlg.CtlAs<WEXA::MEdit>(fields.red), GetRValue(colour));
    ShowNumber(dlg.CtlAs<WEXA::MEdit>(fields.green), GetGValue(colour));
    ShowNumber(dlg.CtlAs<WEXA::MEdit>(fields.blue), GetBValue(colour));
}

// The colour the fields hold (each channel's low byte).
inline COLORREF FieldsColour(const KeyboardDef& dlg, const ColourFields& fields)
{
    return RGB(FieldNumber(dlg.CtlAs<WEXA::MEdit>(fields.red)) & 0xFF,
               FieldNumber(dlg.CtlAs<WEXA::MEdit>(fields.green)) & 0xFF,
               FieldNumber(dlg.CtlAs<WEXA::MEdit>(fields.blue)) & 0xFF);
}

// A channel field's change (event 26): the field is clamped, then the page
// applies the fields' colour and ends its rainbow (apply()). Always 1.
template <class Apply>
LONG ChannelEdited(const KeyboardDef& dlg, UINT field, UINT code, Apply apply)
{
    if (code != 26) return 1;
    ClampChannelField(dlg.CtlAs<WEXA::MEdit>(field));
    apply();
    return 1;
}
