#include "ControlRegistry.h"

#include <map>
#include <string>

#include "CLock.h"

namespace WEXA {

namespace {

struct Registry
{
    CCriticalLock lock;
    std::map<std::wstring, ControlCreator> creators;
};

// Built on first use: control classes register from static initialisers of
// their own files, in no particular order.
Registry& GetRegistry()
{
    static Registry registry;
    return registry;
}

}  // namespace

ControlCreator RegisterControlClass(const wchar_t* className, ControlCreator creator)
{
    if (!className || !*className) return nullptr;
    Registry& registry = GetRegistry();
    CAutoLock lock(registry.lock);
    ControlCreator previous = nullptr;
    auto it = registry.creators.find(className);
    if (it != registry.creators.end()) {
        previous = it->second;
        if (creator)
            it->second = creator;
        else
            registry.creators.erase(it);
    } else if (creator) {
        registry.creators.emplace(className, creator);
    }
    return previous;
}

ControlCreator FindControlClass(const wchar_t* className)
{
    if (!className || !*className) return nullptr;
    Registry& registry = GetRegistry();
    CAutoLock lock(registry.lock);
    auto it = registry.creators.find(className);
    return it == registry.creators.end() ? nullptr : it->second;
}

}  // namespace WEXA
