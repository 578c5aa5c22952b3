// Kestrova entry point. The start-up sequence (configuration, single instance,
// language, main window) is added with the main window; until then the program
// starts and ends without showing a window.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    return 0;
}
