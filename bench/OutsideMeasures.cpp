#include "OutsideMeasures.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "BenchClock.h"

namespace bench {
namespace outside {

namespace {

// The host's root as Wine shows it.
const wchar_t kRoot[] = L"Z:\\";

std::string ReadHostFile(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0)
        text.append(buffer, got);
    CloseHandle(file);
    return text;
}

std::wstring ProcPath(int pid, const wchar_t* name)
{
    return std::wstring(kRoot) + L"proc\\" + std::to_wstring(pid) + L"\\" + name;
}

std::vector<int> HostPids()
{
    std::vector<int> pids;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((std::wstring(kRoot) + L"proc\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return pids;
    do {
        if (found.cFileName[0] >= L'0' && found.cFileName[0] <= L'9')
            pids.push_back(_wtoi(found.cFileName));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return pids;
}

// The NUL-separated fields of a /proc file (cmdline, environ).
std::vector<std::string> Fields(const std::string& text)
{
    std::vector<std::string> out;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\0', start);
        if (end == std::string::npos) end = text.size();
        out.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

std::string Comm(int pid)
{
    std::string comm = ReadHostFile(ProcPath(pid, L"comm"));
    while (!comm.empty() && (comm.back() == '\n' || comm.back() == '\0')) comm.pop_back();
    return comm;
}

std::string EnvironValue(int pid, const char* name)
{
    const std::string prefix = std::string(name) + "=";
    for (const std::string& f : Fields(ReadHostFile(ProcPath(pid, L"environ"))))
        if (f.compare(0, prefix.size(), prefix) == 0) return f.substr(prefix.size());
    return {};
}

std::string Narrow(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text) out += c < 128 ? static_cast<char>(c) : '?';
    return out;
}

struct FindContext
{
    DWORD process;
    int minWidth;
    HWND found;
};

BOOL CALLBACK FindWindowOf(HWND window, LPARAM param)
{
    auto* context = reinterpret_cast<FindContext*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != context->process || !IsWindowVisible(window)) return TRUE;
    RECT r;
    GetWindowRect(window, &r);
    if (r.right - r.left < context->minWidth) return TRUE;
    context->found = window;
    return FALSE;
}

const COLORREF kBareColour = RGB(40, 90, 160);

LRESULT CALLBACK BareProc(HWND window, UINT msg, WPARAM wparam, LPARAM lparam)
{
    if (msg == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        HBRUSH brush = CreateSolidBrush(kBareColour);
        FillRect(dc, &paint.rcPaint, brush);
        DeleteObject(brush);
        EndPaint(window, &paint);
        return 0;
    }
    if (msg == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(window, msg, wparam, lparam);
}

}  // namespace

void Wait(DWORD milliseconds)
{
    // This process has no window to serve: a plain sleep.
    Sleep(milliseconds);
}

double CpuSeconds(int pid)
{
    if (pid <= 0) return -1;
    const std::string stat = ReadHostFile(ProcPath(pid, L"stat"));
    // The name in brackets may hold spaces: the fields count from its end.
    const size_t close = stat.rfind(')');
    if (close == std::string::npos) return -1;
    std::vector<std::string> fields;
    size_t pos = close + 2;
    while (pos < stat.size()) {
        size_t end = stat.find(' ', pos);
        if (end == std::string::npos) end = stat.size();
        fields.push_back(stat.substr(pos, end - pos));
        pos = end + 1;
    }
    // Field 3 is the state; utime and stime are fields 14 and 15.
    if (fields.size() < 13) return -1;
    const double ticks = atof(fields[11].c_str()) + atof(fields[12].c_str());
    return ticks / 100.0;  // the host's clock ticks: 100 a second
}

double ResidentMb(int pid)
{
    if (pid <= 0) return -1;
    const std::string status = ReadHostFile(ProcPath(pid, L"status"));
    const size_t at = status.find("VmRSS:");
    if (at == std::string::npos) return -1;
    return atof(status.c_str() + at + 6) / 1024.0;
}

Servers FindServers()
{
    Servers servers;
    // This run's prefix as this very process sees it on the host.
    const std::string prefix = [] {
        for (const std::string& f : Fields(ReadHostFile(L"Z:\\proc\\self\\environ")))
            if (f.compare(0, 11, "WINEPREFIX=") == 0) return f.substr(11);
        return std::string();
    }();
    if (prefix.empty()) return servers;
    for (int pid : HostPids()) {
        const std::string comm = Comm(pid);
        if (comm.rfind("wineserver", 0) != 0 && comm != "Xvfb") continue;
        if (EnvironValue(pid, "WINEPREFIX") != prefix) continue;
        if (comm == "Xvfb")
            servers.x = pid;
        else
            servers.wineserver = pid;
    }
    return servers;
}

Launched::Launched(const std::wstring& exe, const std::wstring& arguments)
{
    static int count = 0;
    tag_ = L"bench-run-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++count);
    std::wstring command = L"\"" + exe + L"\" " + arguments + L" " + tag_;
    const std::wstring folder = exe.substr(0, exe.find_last_of(L'\\') + 1);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    started_ = Milliseconds();
    if (!CreateProcessW(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &info_))
        info_ = {};
}

Launched::~Launched()
{
    if (!info_.hProcess) return;
    TerminateProcess(info_.hProcess, 0);
    WaitForSingleObject(info_.hProcess, 10000);
    CloseHandle(info_.hProcess);
    CloseHandle(info_.hThread);
    // The host process goes a moment later than the Windows one.
    for (int i = 0; i < 100 && hostPid_ && CpuSeconds(hostPid_) >= 0; ++i) Sleep(20);
}

bool Launched::Running() const
{
    return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

int Launched::HostPid()
{
    if (hostPid_ || !info_.hProcess) return hostPid_;
    const std::string tag = Narrow(tag_);
    for (int pid : HostPids()) {
        const std::string cmdline = ReadHostFile(ProcPath(pid, L"cmdline"));
        if (cmdline.find(tag) != std::string::npos && cmdline.find("wine") == std::string::npos) {
            hostPid_ = pid;
            break;
        }
    }
    if (!hostPid_) {
        // Some loaders keep their own name first: any process with the tag.
        for (int pid : HostPids())
            if (ReadHostFile(ProcPath(pid, L"cmdline")).find(tag) != std::string::npos) {
                hostPid_ = pid;
                break;
            }
    }
    return hostPid_;
}

HWND Launched::MainWindow(int minWidth) const
{
    FindContext context = {info_.dwProcessId, minWidth, nullptr};
    EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&context));
    return context.found;
}

double IdleFigures::All() const
{
    return std::max(program, 0.0) + std::max(x, 0.0) + std::max(wineserver, 0.0);
}

IdleFigures MeasureIdle(Launched& program, const Servers& servers, double seconds)
{
    IdleFigures figures;
    const int pid = program.HostPid();
    const double p0 = CpuSeconds(pid), x0 = CpuSeconds(servers.x),
                 w0 = CpuSeconds(servers.wineserver);
    const double t0 = Milliseconds();
    Wait(static_cast<DWORD>(seconds * 1000));
    const double wall = (Milliseconds() - t0) / 1000.0;
    auto percent = [&](double before, int who) {
        const double after = CpuSeconds(who);
        return before >= 0 && after >= 0 && wall > 0 ? (after - before) * 100.0 / wall : -1.0;
    };
    figures.program = percent(p0, pid);
    figures.x = percent(x0, servers.x);
    figures.wineserver = percent(w0, servers.wineserver);
    figures.residentMb = ResidentMb(pid);
    return figures;
}

StartFigures MeasureStart(const std::wstring& exe, const std::wstring& arguments, double timeoutMs)
{
    StartFigures figures;
    Launched program(exe, arguments);
    HDC screen = GetDC(nullptr);
    while (Milliseconds() - program.StartedAtMs() < timeoutMs && program.Running()) {
        HWND window = program.MainWindow();
        if (window) {
            const double at = Milliseconds() - program.StartedAtMs();
            if (figures.mappedMs < 0) figures.mappedMs = at;
            RECT client;
            GetClientRect(window, &client);
            POINT origin = {0, 0};
            ClientToScreen(window, &origin);
            // Nine points over the client area, clear of the title bar.
            bool lit = false;
            for (int i = 1; i <= 3 && !lit; ++i)
                for (int j = 1; j <= 3 && !lit; ++j) {
                    const int x = origin.x + client.right * i / 4;
                    const int y = origin.y + client.bottom * j / 4;
                    const COLORREF c = GetPixel(screen, x, y);
                    if (c != CLR_INVALID && c != 0) lit = true;
                }
            if (lit) {
                figures.paintedMs = at;
                break;
            }
            figures.blackSeen = true;
        }
        Sleep(2);
    }
    ReleaseDC(nullptr, screen);
    return figures;
}

int RunBareWindow()
{
    WNDCLASSW cls = {};
    cls.lpfnWndProc = BareProc;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.hCursor = LoadCursor(nullptr, IDC_ARROW);
    cls.lpszClassName = L"KestrovaBenchBare";
    RegisterClassW(&cls);
    HWND window = CreateWindowExW(0, cls.lpszClassName, L"bare", WS_POPUP | WS_VISIBLE, 100, 100,
                                  1400, 788, nullptr, nullptr, cls.hInstance, nullptr);
    if (!window) return 1;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

std::wstring OwnFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

std::wstring ProgramPath(int argc, wchar_t** argv)
{
    for (int i = 1; i + 1 < argc; ++i)
        if (wcscmp(argv[i], L"--program") == 0) {
            std::wstring folder = argv[i + 1];
            if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
            return folder + L"Kestrova.exe";
        }
    return OwnFolder() + L"Kestrova.exe";
}

bool HasArgument(int argc, wchar_t** argv, const wchar_t* name)
{
    for (int i = 1; i < argc; ++i)
        if (wcscmp(argv[i], name) == 0) return true;
    return false;
}

double NumberArgument(int argc, wchar_t** argv, const wchar_t* name, double fallback)
{
    for (int i = 1; i + 1 < argc; ++i)
        if (wcscmp(argv[i], name) == 0) return _wtof(argv[i + 1]);
    return fallback;
}

}  // namespace outside
}  // namespace bench
