#pragma once
// The group rule of the selectable buttons: at most one member of a group is
// selected, where a group is every button of the same class name with the same
// group name under the same owner. The owner's list is the dialog's top-level
// controls when the owner is a dialog, else the owner control's children; an
// owner that is neither has no list to walk.
#include <cwchar>
#include <vector>

#include "CLock.h"
#include "MControl.h"
#include "MDialog.h"
#include "PaintManager.h"

namespace WEXA {
namespace groupreset {

// Calls clear(member) for every other member of self's group. With
// liveOnly, hidden or disabled members are skipped. 1, or 0 without owner.
template <class T, class Clear>
int ResetGroup(T* self, bool liveOnly, Clear clear)
{
    MObject* owner = self->m_pParent;
    if (!owner) return 0;
    std::vector<MControl*>* list = nullptr;
    CCriticalLock* lock = nullptr;
    const wchar_t* ownerClass = owner->GetClassNameW();
    if (ownerClass && std::wcscmp(ownerClass, L"MDialog") == 0) {
        if (MDialog* dialog = dynamic_cast<MDialog*>(owner)) {
            list = &dialog->GetControls();
            lock = &dialog->GetPaintManager()->m_controlsLock;
        }
    } else if (MControl* control = dynamic_cast<MControl*>(owner)) {
        list = &control->m_controls;
        lock = &control->m_childLock;
    }
    if (!list) return 1;
    const wchar_t* name = self->GetClassNameW();
    // The members are picked under the list's lock and cleared after it is
    // released: a repaint request may take the engine's other list lock.
    std::vector<T*> members;
    {
        CAutoLock hold(*lock);
        for (size_t i = 0; i < list->size(); ++i) {
            MControl* member = (*list)[i];
            if (!member || member == self || !member->IsClass(name)) continue;
            T* other = dynamic_cast<T*>(member);
            if (!other) continue;
            if (liveOnly && (!other->m_bVisible || !other->m_bEnabled)) continue;
            if (other->m_strGroupName != self->m_strGroupName) continue;
            members.push_back(other);
        }
    }
    for (T* other : members) clear(other);
    return 1;
}

}  // namespace groupreset
}  // namespace WEXA
