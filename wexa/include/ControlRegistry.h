#pragma once
// Control classes creatable by name.
//
// The control factories (PaintManager::CreateControl, and the container's own
// factory) each accept a fixed list of class names. A name only creates a
// control once its class has registered a constructor here; until then the
// factory returns null for it, never a stand-in. A control class registers
// itself from its own source file:
//
//     WEXA_REGISTER_CONTROL(MButton,
//         new MButton(a.owner, a.id, a.rect, a.title, a.visible, a.enabled));
//
// The constructor receives the factory's arguments; the factory has already
// dropped the title (null) and forced enabled to 1 where the class's entry in
// the factory's list says so.
#include <windows.h>

#include "CRect.h"
#include "WexaExport.h"

namespace WEXA {

class MObject;
class MControl;

struct ControlArgs
{
    MObject* owner;
    UINT id;
    CRect rect;
    const wchar_t* title;  // never null: "" when the caller gave none
    int visible;
    int enabled;
};

typedef MControl* (*ControlCreator)(const ControlArgs& a);

// Registers (or, with a null creator, unregisters) the constructor of a class
// name; returns the creator registered before, or null. Names are compared
// exactly. Thread-safe.
WEXA_API ControlCreator RegisterControlClass(const wchar_t* className, ControlCreator creator);
// The creator registered for the name, or null.
WEXA_API ControlCreator FindControlClass(const wchar_t* className);

}  // namespace WEXA

#define WEXA_CONTROL_WIDEN2(text) L##text
#define WEXA_CONTROL_WIDEN(name)  WEXA_CONTROL_WIDEN2(#name)
#define WEXA_REGISTER_CONTROL(ClassName, ...)                                           \
    [[maybe_unused]] static const ::WEXA::ControlCreator s_wexaRegistered_##ClassName = \
        ::WEXA::RegisterControlClass(                                                   \
            WEXA_CONTROL_WIDEN(ClassName),                                              \
            [](const ::WEXA::ControlArgs& a) -> ::WEXA::MControl* { return __VA_ARGS__; })
