#pragma once
// The by-name control factories (the engine's and the container's) share this:
// each has its own fixed list of class names, and for each name the arguments
// its constructor takes after owner, id and rectangle. The constructor itself
// comes from the class registry (ControlRegistry.h), so a name whose class has
// not registered yet creates nothing.
#include <windows.h>

#include <cstddef>

#include "CRect.h"
#include "ControlRegistry.h"

namespace WEXA {

class MObject;
class MControl;

// Constructor arguments after owner, id and rectangle.
enum class FactoryArgs {
    TitleVisibleEnabled,  // (title, visible, enabled)
    TitleVisibleOne,      // (title, visible, 1)
    TitleVisible,         // (title, visible)
    VisibleEnabled,       // (visible, enabled)
    VisibleOne,           // (visible, 1)
    Visible,              // (visible)
};

struct FactoryEntry
{
    const wchar_t* className;
    FactoryArgs args;
};

// Constructs the class named className when it is in the table (compared whole
// and case-sensitively, first match in table order) and has a registered
// constructor; null otherwise. The title is dropped and enabled forced to 1 as
// the entry says; a null title is passed as "".
MControl* ConstructFromTable(const FactoryEntry* table, size_t count, MObject* owner,
                             const wchar_t* className, UINT id, CRect rect, const wchar_t* title,
                             int visible, int enabled);

template <size_t N>
MControl* ConstructFromTable(const FactoryEntry (&table)[N], MObject* owner,
                             const wchar_t* className, UINT id, CRect rect, const wchar_t* title,
                             int visible, int enabled)
{
    return ConstructFromTable(table, N, owner, className, id, rect, title, visible, enabled);
}

}  // namespace WEXA
