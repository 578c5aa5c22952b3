#include "BenchMeasures.h"

#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "BenchClock.h"
#include "MPicture.h"
#include "MTabCtrl.h"
#include "Manager.h"
#include "TabCtrlEx.h"
#include "WexaGdiplus.h"
#include "mainwnd/device/DeviceCommands.h"
#include "services/AppEnvironment.h"
#include "services/db/DeviceDataDB.h"

namespace bench {

namespace {

double FileTimeMs(const FILETIME& t)
{
    return double((uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0;
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

HWND CreateBareWindow()
{
    static bool registered = [] {
        WNDCLASSW cls = {};
        cls.lpfnWndProc = BareProc;
        cls.hInstance = GetModuleHandleW(nullptr);
        cls.lpszClassName = L"KestrovaBenchBare";
        cls.hCursor = LoadCursor(nullptr, IDC_ARROW);
        return RegisterClassW(&cls) != 0;
    }();
    if (!registered) return nullptr;
    return CreateWindowExW(0, L"KestrovaBenchBare", L"bare", WS_POPUP | WS_VISIBLE, 260, 146, 1400,
                           788, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

void PumpUntilPainted()
{
    MSG msg;
    while (!g_painted && GetMessageW(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
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

size_t Count(const testutil::MainWindowHarness& h, int code)
{
    size_t n = 0;
    for (const auto& task : h.Tasks())
        if (task.code == code) ++n;
    return n;
}

// GDI objects from the handle table the system maps into the process (what
// GetGuiResources would count), for systems where it is not implemented: Wine
// keeps a 24-byte entry per handle, its type non-zero while in use.
long GdiObjectsFromHandleTable()
{
    struct Entry
    {
        UINT64 object;
        ULONG owner;
        USHORT unique;
        UCHAR type;
        UCHAR flags;
        UINT64 user;
    };
    static_assert(sizeof(Entry) == 24, "handle table entry");
    typedef LONG(WINAPI * QueryFn)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    auto query = reinterpret_cast<QueryFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION basic = {};
    if (!query ||
        query(GetCurrentProcess(), ProcessBasicInformation, &basic, sizeof(basic), nullptr) != 0)
        return -1;
    auto* peb = reinterpret_cast<BYTE*>(basic.PebBaseAddress);
    const size_t offset = sizeof(void*) == 4 ? 0x94 : 0xF8;  // GdiSharedHandleTable
    const Entry* table = *reinterpret_cast<Entry* const*>(peb + offset);
    if (!table) return -1;
    long used = 0;
    for (int i = 0; i < 0x10000; ++i)
        if (table[i].type) ++used;
    return used;
}

BOOL CALLBACK CountChild(HWND, LPARAM count)
{
    ++*reinterpret_cast<long*>(count);
    return TRUE;
}

BOOL CALLBACK CountOwn(HWND window, LPARAM count)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId()) return TRUE;
    ++*reinterpret_cast<long*>(count);
    EnumChildWindows(window, CountChild, count);
    return TRUE;
}

// The process's windows, top-level and child, standing in for its USER objects.
long OwnWindows()
{
    long count = 0;
    EnumWindows(CountOwn, reinterpret_cast<LPARAM>(&count));
    return count;
}

bool GuiResourcesWork()
{
    SetLastError(0);
    const DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    return n != 0 || GetLastError() != ERROR_CALL_NOT_IMPLEMENTED;
}

}  // namespace

WindowProcess::WindowProcess()
{
    CountGdiplusObjects();
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token_, &input, nullptr);
    OleInitialize(nullptr);
    SetSupportedLanguageIds({2052, 1033, 1028});
    SetCurrentLanguageId(1033);
}

WindowProcess::~WindowProcess()
{
    OleUninitialize();
    Gdiplus::GdiplusShutdown(token_);
}

double ProcessCpuMs()
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    return FileTimeMs(kernel) + FileTimeMs(user);
}

double ThreadCpuMs(HANDLE thread)
{
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(thread, &created, &exited, &kernel, &user)) return 0;
    return FileTimeMs(kernel) + FileTimeMs(user);
}

double Median(std::vector<double> values)
{
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double BareWindowFirstPaintMs()
{
    g_painted = false;
    const double start = Milliseconds();
    HWND window = CreateBareWindow();
    PumpUntilPainted();
    const double ms = Milliseconds() - start;
    DestroyWindow(window);
    return ms;
}

double MainWindowFirstPaintMs(double* createMs)
{
    g_painted = false;
    const double start = Milliseconds();
    auto* dialog = new TimedMainWindow;
    dialog->CreateMainWindow(SW_SHOW);
    if (createMs) *createMs = Milliseconds() - start;
    PumpUntilPainted();
    const double ms = Milliseconds() - start;
    dialog->Shutdown();
    delete dialog;
    return ms;
}

double IdlePercent(testutil::MainWindowHarness& h, DWORD milliseconds)
{
    h.Pump(1500);  // start-up work and task 1 done
    const double cpu0 = ProcessCpuMs();
    const double t0 = Milliseconds();
    h.Pump(milliseconds);
    const double wall = Milliseconds() - t0;
    return wall > 0 ? (ProcessCpuMs() - cpu0) * 100.0 / wall : 0.0;
}

double BareWindowIdlePercent(DWORD milliseconds)
{
    HWND window = CreateBareWindow();
    auto pump = [](DWORD ms) {
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < ms) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 2, QS_ALLINPUT);
        }
    };
    pump(500);
    const double cpu0 = ProcessCpuMs();
    const double t0 = Milliseconds();
    pump(milliseconds);
    const double wall = Milliseconds() - t0;
    const double cpu = ProcessCpuMs() - cpu0;
    DestroyWindow(window);
    return wall > 0 ? cpu * 100.0 / wall : 0.0;
}

void StillBackground(testutil::MainWindowHarness& h)
{
    if (auto* gif = static_cast<WEXA::CGifPicture*>(h.Dlg().Ctl(31))) gif->SetRunState(0, 0);
}

void FreshDataFolder()
{
    DeviceDataDB::Instance()->CloseDevice();
    const std::wstring db = GetDataFolder() + L"db\\";
    CreateDirectoryTree(db);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((db + L"*_data_2.db*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        DeleteFileW((db + found.cFileName).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

bool OpenDevicePages(testutil::MainWindowHarness& h)
{
    const size_t before = Count(h, TASK_DEVICE_SELECTED);
    h.SendControlEvent(81, 2);
    if (!h.PumpUntil([&] { return Count(h, TASK_DEVICE_SELECTED) > before; }, 20000)) return false;
    h.Settle(300, 20000);
    WEXA::MTabCtrl* tab = h.Dlg().MainTab();
    return tab && tab->IsVisible();
}

bool StreamEffects(testutil::MainWindowHarness& h, int mode, Tone& tone, double toneSeconds)
{
    KeyboardDlg& dlg = h.Dlg();
    StillBackground(h);
    dlg.SetCaptureSource(KeyboardAudio::CaptureSource::DefaultRecording);
    dlg.StartCapture();
    const bool playing = toneSeconds > 0 &&
                         GetEnvironmentVariableW(L"PULSE_SERVER", nullptr, 0) > 0 &&
                         tone.Start(440.0, toneSeconds);
    dlg.MainTab()->SetSelectItem(3);  // the effect page
    if (auto* modes = dlg.CtlAs<WEXA::TabCtrlEx>(242)) modes->SetCurData(mode);
    h.SendControlEvent(242, 2);
    h.Pump(1500);
    return playing;
}

StreamFigures MeasureEffectStream(testutil::MainWindowHarness& h, sim::SimHidBus& bus, int port,
                                  int seconds)
{
    StreamFigures figures;
    HANDLE worker = OpenThread(THREAD_QUERY_INFORMATION, FALSE, h.Dlg().GetThreadId());
    bus.ClearLog();
    std::vector<double> frames;
    const double cpu0 = ThreadCpuMs(worker);
    const double t0 = Milliseconds();
    for (int s = 0; s < seconds; ++s) {
        h.Pump(1000);
        for (const sim::Request& request : bus.WritesTo(port))
            if (request.Command() == DeviceCommand::kEffectFrame && request.Offset() == 0)
                frames.push_back(request.atMs);
        bus.ClearLog();
    }
    const double wall = Milliseconds() - t0;
    const double cpu = ThreadCpuMs(worker) - cpu0;
    CloseHandle(worker);

    figures.seconds = wall / 1000.0;
    figures.frames = int(frames.size());
    figures.framesPerSecond = wall > 0 ? frames.size() * 1000.0 / wall : 0.0;
    figures.workerCpuPercent = wall > 0 ? cpu * 100.0 / wall : 0.0;
    for (size_t i = 1; i < frames.size(); ++i) {
        const double gap = frames[i] - frames[i - 1];
        figures.longestGapMs = std::max(figures.longestGapMs, gap);
        if (gap > 24.0) figures.ticksSkipped += int(gap / 16.0 + 0.5) - 1;
        ++figures.gapBins[std::min(9, int(gap / 4.0))];
    }
    return figures;
}

BusWaits WaitsOf(const sim::SimHidBus& bus, int reportPaceMs)
{
    BusWaits waits;
    waits.reports = double(bus.Writes().size() + size_t(bus.FailedWrites()));
    for (int ms : bus.Sleeps()) {
        waits.pausesMs += std::max(0, ms);
        waits.each.push_back(ms);
    }
    for (const sim::ReadRecord& read : bus.Reads()) {
        if (read.result != 0) continue;
        waits.readWaitsMs += std::max(0, read.timeoutMs);
        waits.each.push_back(read.timeoutMs);
    }
    waits.reportMs = waits.reports * reportPaceMs;
    waits.each.insert(waits.each.end(), size_t(waits.reports), reportPaceMs);
    return waits;
}

double SleepThrough(const std::vector<int>& waits)
{
    const double start = Milliseconds();
    for (int ms : waits)
        if (ms > 0) Sleep(DWORD(ms));
    return Milliseconds() - start;
}

ResourceFigures TakeResourceFigures()
{
    ResourceFigures figures;
    if (GuiResourcesWork()) {
        figures.gdiObjects = long(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));
        figures.userObjects = long(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS));
    } else {
        figures.gdiObjects = GdiObjectsFromHandleTable();
        figures.userObjects = OwnWindows();
    }
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof(memory);
    if (GetProcessMemoryInfo(GetCurrentProcess(),
                             reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof(memory)))
        // Where PrivateUsage is not filled in, the commit charge is the same figure.
        figures.privateBytes =
            double(memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage);
    figures.gdiplus = LiveGdiplusObjects();
    return figures;
}

std::string ResourceSources()
{
    std::string text = GuiResourcesWork()
                           ? "GDI and USER objects: GetGuiResources"
                           : "GDI objects: used entries of the process's GDI handle table "
                             "(GetGuiResources is not implemented here); USER objects: the "
                             "process's windows, top-level and child";
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof(memory);
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                         sizeof(memory));
    text += memory.PrivateUsage ? "; private bytes: PrivateUsage"
                                : "; private bytes: PagefileUsage (PrivateUsage is not filled in "
                                  "here)";
    text +=
        "; GDI+ objects: created and not deleted, counted at the program's and Wexa.dll's "
        "imports of gdiplus.dll";
    return text;
}

}  // namespace bench
