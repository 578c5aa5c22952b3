#pragma once
// A keyboard model's layout file ("<exe folder>\layouts\<layout name>.xml"):
// where the keyboard picture sits, its picture file, the key grid's size and
// one record per key. Values that do not fit the tables they index are
// refused or clamped here, so nothing downstream indexes past an array:
//   key_index and light_index  0-127 (the keyboard's key and LED tables); a
//                              key outside is still shown on the picture but
//                              gets no map entry
//   row_count, col_count       clamped to the effect grid (8 rows, 32 columns)
//   grid row / column          clamped into that grid
//   rectangle sizes            negative sizes become 0
#include <windows.h>

#include <string>
#include <vector>

struct LayoutKey
{
    int code = 0;
    std::wstring name;
    std::wstring desc;
    int keyIndex = 0;
    int lightIndex = 0;
    bool indexesValid = true;  // both indexes lie in their tables
    RECT rect = {0, 0, 0, 0};
    int gridRow = 0;
    int gridColumn = 0;
};

struct KeyboardLayout
{
    bool loaded = false;       // the file was read and has device.info
    bool hasKeyboard = false;  // it has the Keyboard element
    bool hasKeyItems = false;  // and KeyItems inside it
    COLORREF background = 0;
    RECT rect = {0, 0, 0, 0};  // xpos, ypos, xpos + width, ypos + height
    int width = 0, height = 0;
    std::wstring image;  // "keyboard\" + image
    int rowCount = 0, columnCount = 0;
    std::vector<LayoutKey> keys;
};

const int kLayoutTableSize = 128;  // key and LED indexes: 0-127
const int kEffectGridRows = 8;
const int kEffectGridColumns = 32;

// Grid row and column of a row_col text: the row is the first character's
// decimal value; the column that of the last character when the text has
// exactly three characters, else of the last two (the whole text when shorter).
void ParseNumberPair(const std::wstring& text, int& row, int& column);

// Reads a layout file; loaded stays false when it cannot be read or parsed or
// has no device.info.
KeyboardLayout LoadKeyboardLayout(const std::wstring& path);
