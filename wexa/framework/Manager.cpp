#include "Manager.h"

#include <map>
#include <mutex>
#include <vector>

#include "framework/WexaModule.h"

namespace WEXA {

// Definition order is initialisation order: font, theme folder, device name.
HINSTANCE Manager::m_hInstance = nullptr;
CString Manager::m_fontname = L"Roboto-Medium";
CString Manager::m_theme_skins = L"theme1\\";
CString Manager::m_dev_name = L"Kestrova";
int Manager::m_theme_type = 1;
int Manager::m_fontwidth = 14;
Gdiplus::Color Manager::m_text_color(0xFF333333);
Gdiplus::Color Manager::m_normal_color(0xFF3A4E60);
Gdiplus::Color Manager::m_hover_color(0xFF3D4753);
Gdiplus::Color Manager::m_down_color(0xFF4977E5);
Gdiplus::Color Manager::m_select_color(0xFF4977E5);
int Manager::m_key_stroketype = 0;
Gdiplus::GdiplusStartupInput Manager::m_gdiplusStartupInput;
ULONG_PTR Manager::m_gdiplusToken = 0;

namespace {

std::map<MWindow*, int>& WindowRegistry()
{
    static std::map<MWindow*, int> registry;
    return registry;
}

struct StartupState
{
    std::mutex lock;
    std::vector<void (*)()> releasers;
    bool comStarted = false;
    bool oleStarted = false;
};

StartupState& Startup()
{
    static StartupState state;
    return state;
}

// Touch the window registry during load so that it exists after the settings.
const bool g_registryReady = (WindowRegistry(), true);

}  // namespace

void Manager::SetInstance(HINSTANCE instance)
{
    m_hInstance = instance;
}
HINSTANCE Manager::GetInstance()
{
    return m_hInstance;
}

void Manager::SetDeviceName(CString name)
{
    m_dev_name = name;
}
CString Manager::GetDeviceName()
{
    return m_dev_name;
}

void Manager::SetThemeType(int type)
{
    m_theme_type = type;
}
int Manager::GetThemeType()
{
    return m_theme_type;
}

void Manager::SetThemeSkins(CString folder)
{
    m_theme_skins = folder;
}
CString Manager::GetThemeSkins()
{
    return m_theme_skins;
}
CString Manager::GetTheme()
{
    return CString(L"theme1\\");
}

void Manager::SetFont(CString face, int size)
{
    m_fontname = face;
    m_fontwidth = size;
}
void Manager::SetFontName(CString face)
{
    m_fontname = face;
}
CString Manager::GetFontName()
{
    return m_fontname;
}
int Manager::GetFontWidth()
{
    return m_fontwidth;
}

void Manager::SetTextColor(Gdiplus::Color color)
{
    m_text_color = color;
}
Gdiplus::Color Manager::GetTextColor()
{
    return m_text_color;
}
void Manager::SetNormalColor(Gdiplus::Color color)
{
    m_normal_color = color;
}
Gdiplus::Color Manager::GetNormalColor()
{
    return m_normal_color;
}
void Manager::SetHoverColor(Gdiplus::Color color)
{
    m_hover_color = color;
}
Gdiplus::Color Manager::GetHoverColor()
{
    return m_hover_color;
}
void Manager::SetDownColor(Gdiplus::Color color)
{
    m_down_color = color;
}
Gdiplus::Color Manager::GetDownColor()
{
    return m_down_color;
}
void Manager::SetSelectColor(Gdiplus::Color color)
{
    m_select_color = color;
}
Gdiplus::Color Manager::GetSelectColor()
{
    return m_select_color;
}

void Manager::SetKeyStrokeType(int type)
{
    m_key_stroketype = type;
}
int Manager::GetKeyStrokeType()
{
    return m_key_stroketype;
}

void Manager::InitGdiplus()
{
    StartupState& state = Startup();
    if (m_gdiplusToken == 0) {
        ULONG_PTR token = 0;
        if (Gdiplus::GdiplusStartup(&token, &m_gdiplusStartupInput, nullptr) == Gdiplus::Ok)
            m_gdiplusToken = token;
    }
    // S_FALSE (already initialised on this thread) still counts and must be ended.
    if (!state.comStarted) state.comStarted = SUCCEEDED(CoInitialize(nullptr));
    if (!state.oleStarted) state.oleStarted = SUCCEEDED(OleInitialize(nullptr));
    WindowRegistry().clear();
}

void Manager::UnInitGdiplus()
{
    StartupState& state = Startup();
    // Objects that hold GDI+ resources go first, while GDI+ still runs.
    std::vector<void (*)()> releasers;
    {
        std::lock_guard<std::mutex> guard(state.lock);
        releasers.swap(state.releasers);
    }
    for (auto it = releasers.rbegin(); it != releasers.rend(); ++it) (*it)();
    // OLE and COM end before GDI+: COM objects may still use GDI+ while released.
    if (state.oleStarted) {
        OleUninitialize();
        state.oleStarted = false;
    }
    if (state.comStarted) {
        CoUninitialize();
        state.comStarted = false;
    }
    if (m_gdiplusToken != 0) {
        Gdiplus::GdiplusShutdown(m_gdiplusToken);
        m_gdiplusToken = 0;
    }
    WindowRegistry().clear();
}

void Manager::AddGdiplusReleaser(void (*release)())
{
    if (!release) return;
    StartupState& state = Startup();
    std::lock_guard<std::mutex> guard(state.lock);
    for (auto fn : state.releasers)
        if (fn == release) return;
    state.releasers.push_back(release);
}

void Manager::RemoveGdiplusReleaser(void (*release)())
{
    StartupState& state = Startup();
    std::lock_guard<std::mutex> guard(state.lock);
    for (auto it = state.releasers.begin(); it != state.releasers.end(); ++it) {
        if (*it == release) {
            state.releasers.erase(it);
            return;
        }
    }
}

int Manager::PreTranslateMessage(MSG*)
{
    bool alt = (GetAsyncKeyState(VK_MENU) & 0x8000) != 0;
    bool f4 = (GetAsyncKeyState(VK_F4) & 0x8000) != 0;
    return (alt && f4) ? 1 : 0;
}

void Manager::MessageLoop()
{
    MSG msg;
    for (;;) {
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) break;
        if (PreTranslateMessage(&msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void Manager::AddWnd(MWindow* window)
{
    WindowRegistry()[window] = 0;
}
void Manager::DeleteWnd(MWindow* window)
{
    WindowRegistry().erase(window);
}

void M_Trace(const wchar_t*, ...) {}

wchar_t* GetAppPath(wchar_t* buffer)
{
    if (!buffer) return nullptr;
    buffer[0] = L'\0';
    wchar_t path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return buffer;
    wchar_t* slash = wcsrchr(path, L'\\');
    if (slash) slash[1] = L'\0';
    lstrcpynW(buffer, path, MAX_PATH);
    return buffer;
}

CString GetAppPath()
{
    wchar_t buffer[MAX_PATH];
    return CString(GetAppPath(buffer));
}

CString GetSkinsPath()
{
    return GetAppPath() + L"skins\\" + Manager::GetThemeSkins();
}

HINSTANCE GetLibraryInstance()
{
    return WexaModuleInstance();
}

}  // namespace WEXA
