#pragma once
// The on-screen keyboard picker's built-in layout: 111 keys.
#include <cstddef>

namespace WEXA {
namespace keyfunccontrol {

struct KeyEntry
{
    const wchar_t* label;
    int code;
    int left, top, right, bottom;
};

const KeyEntry* Keys(size_t& count);

}  // namespace keyfunccontrol
}  // namespace WEXA
