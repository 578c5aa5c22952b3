#pragma once
// The grouped key picker's key table (KeyFuncCtrl::InitItemInfo).
#include <cstddef>

namespace WEXA {
namespace keyfuncctrl {

struct KeyTileEntry
{
    const wchar_t* label;
    int code;
    const wchar_t* icon;  // skin-relative; "" for none
};

struct KeyGroupEntry
{
    const wchar_t* name;
    int expanded;
    int tileAreaHeight;  // until the group is first drawn
    const KeyTileEntry* tiles;
    size_t count;
};

// Initial tile places: 42 x 42 at x = 5 + 50 x column, y = 50 x row, twelve
// to a row, counted within each group.
enum { INITIAL_TILE = 42, INITIAL_PITCH = 50, INITIAL_LEFT = 5, INITIAL_PER_ROW = 12 };

const KeyGroupEntry* Groups(size_t& count);

}  // namespace keyfuncctrl
}  // namespace WEXA
