// Kestrova entry point: prepares the process, runs the main window and shuts
// down again.
#include <windows.h>
#include <objbase.h>
#include <ole2.h>

#include <memory>

#include "Manager.h"
#include "WexaGdiplus.h"
#include "mainwnd/KeyboardDlg.h"
#include "services/AppEnvironment.h"
#include "services/TraceLog.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int)
{
    ApplyDpiRule();
    LoadAppConfig();
    HANDLE instanceMutex = nullptr;
    if (!ClaimSingleInstance(&instanceMutex)) return 0;
    TraceLog(2, "KBLog");
    EnableDebugPrivilege();

    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR gdiplusToken = 0;
    Gdiplus::GdiplusStartup(&gdiplusToken, &input, nullptr);

    ChooseLanguage();
    WEXA::Manager::SetInstance(instance);
    CreateDirectoryTree(GetDataFolder() + L"db");
    CoInitialize(nullptr);
    OleInitialize(nullptr);
    int showCommand = ShowCommandFor(commandLine);

    {
        // The window object goes before GDI+ does: its image lists, pictures
        // and shadows are GDI+ objects.
        auto dialog = std::make_unique<KeyboardDlg>();
        dialog->ShowMainWindow(showCommand);
        dialog->StopWorker();
    }

    CoUninitialize();
    OleUninitialize();
    Gdiplus::GdiplusShutdown(gdiplusToken);
    (void)instanceMutex;  // held for the life of the process
    return 1;
}
