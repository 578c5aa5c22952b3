// Prints how long Kestrova's main window takes from construction to its first
// painted frame, against a bare Win32 window of the same size under the same
// Wine (created, shown, first WM_PAINT handled). The main window runs against
// an empty simulated HID bus, with its settings under "Kestrova Bench". Median
// of several runs; never fails on a time.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "MainWindowHarness.h"
#include "Manager.h"
#include "WexaGdiplus.h"
#include "mainwnd/KeyboardDlg.h"
#include "services/AppEnvironment.h"

namespace {

double Now()
{
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return double(t.QuadPart) * 1000.0 / double(freq.QuadPart);
}

bool g_painted = false;

LRESULT CALLBACK BareProc(HWND window, UINT msg, WPARAM wparam, LPARAM lparam)
{
    if (msg == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
        EndPaint(window, &paint);
        g_painted = true;
        return 0;
    }
    return DefWindowProcW(window, msg, wparam, lparam);
}

void PumpUntilPainted()
{
    MSG msg;
    while (!g_painted && GetMessageW(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

double BareWindowMs()
{
    g_painted = false;
    double start = Now();
    HWND window = CreateWindowExW(0, L"KestrovaBenchBare", L"bare", WS_POPUP | WS_VISIBLE, 260, 146,
                                  1400, 788, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    PumpUntilPainted();
    double ms = Now() - start;
    DestroyWindow(window);
    return ms;
}

// The main window, telling when its first paint is done.
class TimedMainWindow : public KeyboardDlg
{
public:
    LONG OnWindowMessage(UINT msg, UINT_PTR wparam, LONG_PTR lparam) override
    {
        LONG result = KeyboardDlg::OnWindowMessage(msg, wparam, lparam);
        if (msg == WM_PAINT) g_painted = true;
        return result;
    }
};

double g_createMs = 0;

double MainWindowMs()
{
    g_painted = false;
    double start = Now();
    auto* dialog = new TimedMainWindow;
    dialog->CreateMainWindow(SW_SHOW);
    g_createMs = Now() - start;
    PumpUntilPainted();
    double ms = Now() - start;
    dialog->Shutdown();
    delete dialog;
    return ms;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main()
{
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    OleInitialize(nullptr);
    testutil::SimulatedHid();  // no keyboard: the program's own HID stack is not asked
    WEXA::Manager::SetDeviceName(L"Kestrova Bench");
    WEXA::Manager::SetInstance(GetModuleHandleW(nullptr));
    SetSupportedLanguageIds({2052, 1033, 1028});
    SetCurrentLanguageId(1033);

    WNDCLASSW cls = {};
    cls.lpfnWndProc = BareProc;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.lpszClassName = L"KestrovaBenchBare";
    cls.hCursor = LoadCursor(nullptr, IDC_ARROW);
    RegisterClassW(&cls);

    const int runs = 7;
    std::vector<double> bare, main, create;
    BareWindowMs();  // warm both paths (DLLs, fonts, picture files)
    MainWindowMs();
    for (int i = 0; i < runs; ++i) {
        bare.push_back(BareWindowMs());
        main.push_back(MainWindowMs());
        create.push_back(g_createMs);
    }
    double b = Median(bare), m = Median(main);
    std::printf("start-up to first paint, 1400 x 788, median of %d runs\n", runs);
    std::printf("  bare Win32 window:  %8.2f ms\n", b);
    std::printf("  Kestrova main window: %6.2f ms\n", m);
    std::printf("    of which window creation (frame built, tray icon, worker started): %.2f ms\n",
                Median(create));
    std::printf("  ratio: %.2f (goal: under 2)\n", b > 0 ? m / b : 0.0);
    OleUninitialize();
    Gdiplus::GdiplusShutdown(token);
    return 0;
}
