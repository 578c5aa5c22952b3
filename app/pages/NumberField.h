#pragma once
// Number fields of the pages: what a field holds as a number and writing one
// back, and the colour-channel rule shared by the R, G and B fields.
#include <cwchar>

#include "MEdit.h"

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
