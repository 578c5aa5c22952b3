#pragma once
// The key functions the custom-key page offers as tiles: keys, mouse functions,
// media and application functions, shortcuts and the keyboard's special
// functions, in the order of the tiles. An entry's category is the function type
// a key row gets when the tile is picked, its code the function value (the
// meaning of both on the keyboard: KeyFuncCodec.h).
#include <functional>
#include <vector>

#include "CString.h"

// Looks up a language text of section "KB.DIALOG" by its id ("" when missing).
using KeyFuncTextFn = std::function<CString(int textId)>;

struct KeyFunctionItem
{
    int category = 0;     // function type: 2, 5, 6, 7 or 12
    int code = 0;         // function value
    CString name;         // tile text; also the description stored with the key
    CString description;  // empty; the page passes it to the tile as its icon file
};

// Number of entries BuildKeyFunctionList makes.
const int kKeyFunctionCount = 213;

// Appends one entry holding copies of the four values.
void AddKeyFunctionItem(std::vector<KeyFunctionItem>& list, int category, int code, CString name,
                        CString description);

// Empties the list, then appends every entry in tile order: 103 keys (category 2),
// 7 mouse functions (5), 18 media and application functions (6), 11 shortcuts (7)
// and 74 special functions (12). Names of categories 5-7 are language texts, read
// now in the current language.
void BuildKeyFunctionList(std::vector<KeyFunctionItem>& list, const KeyFuncTextFn& text);

// The catalogue's name of a key (category 2) by its HID usage; null for a usage
// the catalogue does not offer.
const wchar_t* CatalogueKeyName(int usage);

// Name of special keyboard function 1-74 as a record read from the keyboard shows
// it (18 is "Color" here, "COLOUR" in the catalogue); null outside 1-74.
const wchar_t* SpecialFunctionName(int number);
