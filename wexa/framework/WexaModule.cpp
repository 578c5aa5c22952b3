#include "framework/WexaModule.h"

namespace {
HINSTANCE g_wexaInstance = nullptr;
}

namespace WEXA {
HINSTANCE WexaModuleInstance()
{
    return g_wexaInstance;
}
}  // namespace WEXA

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_wexaInstance = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}
