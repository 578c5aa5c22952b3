#include "framework/ControlFactory.h"

#include <cwchar>

#include "MControl.h"

namespace WEXA {

MControl* ConstructFromTable(const FactoryEntry* table, size_t count, MObject* owner,
                             const wchar_t* className, UINT id, CRect rect, const wchar_t* title,
                             int visible, int enabled)
{
    if (!className || !*className) return nullptr;
    for (size_t i = 0; i < count; ++i) {
        if (wcscmp(table[i].className, className) != 0) continue;
        ControlCreator create = FindControlClass(table[i].className);
        if (!create) return nullptr;
        ControlArgs args{owner, id, rect, title ? title : L"", visible, enabled};
        switch (table[i].args) {
            case FactoryArgs::TitleVisibleOne: args.enabled = 1; break;
            case FactoryArgs::TitleVisible: args.enabled = 1; break;
            case FactoryArgs::VisibleOne:
            case FactoryArgs::Visible:
                args.title = L"";
                args.enabled = 1;
                break;
            case FactoryArgs::VisibleEnabled: args.title = L""; break;
            case FactoryArgs::TitleVisibleEnabled: break;
        }
        return create(args);
    }
    return nullptr;
}

}  // namespace WEXA
