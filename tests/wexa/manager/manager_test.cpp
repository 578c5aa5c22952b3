// Library settings: defaults as loaded, setters, the skin folder, the GDI+/COM/OLE
// start and stop, and the Alt+F4 filter of the message loop.
// GDI+ is not started by this program except through Manager.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

#include "Manager.h"

using WEXA::Manager;

namespace {

std::vector<std::string> g_events;

void ReleaseWhileGdiplusRuns()
{
    // GDI+ must still work here: a bitmap can be made and drawn on.
    Gdiplus::Bitmap bitmap(4, 4, PixelFormat32bppARGB);
    bool ok = bitmap.GetLastStatus() == Gdiplus::Ok;
    if (ok) {
        Gdiplus::Graphics g(&bitmap);
        ok = g.Clear(Gdiplus::Color(0xFF112233)) == Gdiplus::Ok;
    }
    g_events.push_back(ok ? "first:gdiplus-alive" : "first:gdiplus-dead");
}

void SecondReleaser()
{
    g_events.push_back("second");
}

}  // namespace

// Runs first: nothing has changed a setting yet.
TEST(Manager, DefaultsAsLoaded)
{
    EXPECT_EQ(Manager::GetInstance(), nullptr);
    EXPECT_EQ(Manager::GetDeviceName(), CString(L"Kestrova"));
    EXPECT_EQ(Manager::GetThemeType(), 1);
    EXPECT_EQ(Manager::GetThemeSkins(), CString(L"theme1\\"));
    EXPECT_EQ(Manager::GetTheme(), CString(L"theme1\\"));
    EXPECT_EQ(Manager::GetFontName(), CString(L"Roboto-Medium"));
    EXPECT_EQ(Manager::GetFontWidth(), 14);
    EXPECT_EQ(Manager::GetKeyStrokeType(), 0);
    EXPECT_EQ(Manager::GetTextColor().GetValue(), 0xFF333333u);
    EXPECT_EQ(Manager::GetNormalColor().GetValue(), 0xFF3A4E60u);
    EXPECT_EQ(Manager::GetHoverColor().GetValue(), 0xFF3D4753u);
    EXPECT_EQ(Manager::GetDownColor().GetValue(), 0xFF4977E5u);
    EXPECT_EQ(Manager::GetSelectColor().GetValue(), 0xFF4977E5u);
    // The exported members are the same values, read directly.
    EXPECT_EQ(Manager::m_text_color.GetValue(), 0xFF333333u);
    EXPECT_EQ(Manager::m_down_color.GetValue(), 0xFF4977E5u);
    EXPECT_EQ(Manager::m_fontwidth, 14);
    EXPECT_EQ(Manager::m_theme_type, 1);
    EXPECT_EQ(Manager::m_gdiplusToken, 0u);
    EXPECT_EQ(Manager::m_gdiplusStartupInput.GdiplusVersion, 1u);
    EXPECT_EQ(Manager::m_gdiplusStartupInput.SuppressBackgroundThread, FALSE);
    EXPECT_EQ(Manager::m_gdiplusStartupInput.SuppressExternalCodecs, FALSE);
}

TEST(Manager, SettersChangeWhatIsReadAfterwards)
{
    HINSTANCE self = GetModuleHandleW(nullptr);
    Manager::SetInstance(self);
    Manager::SetDeviceName(L"Software X");
    Manager::SetThemeType(3);
    Manager::SetFont(L"Roboto-Bold", 18);
    Manager::SetKeyStrokeType(2);
    Manager::SetTextColor(Gdiplus::Color(0xFF010203));
    Manager::SetSelectColor(Gdiplus::Color(0x80FFFFFF));
    EXPECT_EQ(Manager::GetInstance(), self);
    EXPECT_EQ(Manager::GetDeviceName(), CString(L"Software X"));
    EXPECT_EQ(Manager::GetThemeType(), 3);
    EXPECT_EQ(Manager::GetFontName(), CString(L"Roboto-Bold"));
    EXPECT_EQ(Manager::GetFontWidth(), 18);
    EXPECT_EQ(Manager::GetKeyStrokeType(), 2);
    EXPECT_EQ(Manager::m_text_color.GetValue(), 0xFF010203u);
    EXPECT_EQ(Manager::GetSelectColor().GetValue(), 0x80FFFFFFu);
    Manager::SetFontName(L"Roboto-Regular");
    EXPECT_EQ(Manager::GetFontName(), CString(L"Roboto-Regular"));
    EXPECT_EQ(Manager::GetFontWidth(), 18);
}

TEST(Manager, SkinFolderFollowsTheThemeFolder)
{
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring folder(exe);
    folder.erase(folder.rfind(L'\\') + 1);

    wchar_t buffer[MAX_PATH];
    EXPECT_EQ(WEXA::GetAppPath(buffer), buffer);
    EXPECT_EQ(std::wstring(buffer), folder);
    EXPECT_EQ(WEXA::GetAppPath(nullptr), nullptr);
    EXPECT_EQ(std::wstring(WEXA::GetAppPath().GetString()), folder);

    Manager::SetThemeSkins(L"theme1\\");
    EXPECT_EQ(std::wstring(WEXA::GetSkinsPath().GetString()), folder + L"skins\\theme1\\");
    Manager::SetThemeSkins(L"dark\\");
    EXPECT_EQ(Manager::GetThemeSkins(), CString(L"dark\\"));
    EXPECT_EQ(Manager::GetTheme(), CString(L"theme1\\"));
    EXPECT_EQ(std::wstring(WEXA::GetSkinsPath().GetString()), folder + L"skins\\dark\\");
    Manager::SetThemeSkins(L"theme1\\");
}

TEST(Manager, StartAndStopOfGdiplusComAndOle)
{
    // Nothing started: stopping is harmless.
    Manager::UnInitGdiplus();

    Manager::InitGdiplus();
    ASSERT_NE(Manager::m_gdiplusToken, 0u);
    ULONG_PTR token = Manager::m_gdiplusToken;
    Manager::InitGdiplus();  // a second start keeps the running one
    EXPECT_EQ(Manager::m_gdiplusToken, token);
    // COM is running on this thread: another CoInitialize reports S_FALSE.
    HRESULT hr = CoInitialize(nullptr);
    EXPECT_EQ(hr, S_FALSE);
    if (SUCCEEDED(hr)) CoUninitialize();

    g_events.clear();
    Manager::AddGdiplusReleaser(&ReleaseWhileGdiplusRuns);
    Manager::AddGdiplusReleaser(&ReleaseWhileGdiplusRuns);  // one entry
    Manager::AddGdiplusReleaser(&SecondReleaser);
    Manager::UnInitGdiplus();
    // Newest first, each once, while GDI+ still ran.
    ASSERT_EQ(g_events.size(), 2u);
    EXPECT_EQ(g_events[0], "second");
    EXPECT_EQ(g_events[1], "first:gdiplus-alive");
    EXPECT_EQ(Manager::m_gdiplusToken, 0u);

    // OLE and COM were ended as often as they were started: COM starts afresh.
    hr = CoInitialize(nullptr);
    EXPECT_EQ(hr, S_OK);
    if (SUCCEEDED(hr)) CoUninitialize();

    // A second stop does nothing, releasers are gone.
    g_events.clear();
    Manager::UnInitGdiplus();
    EXPECT_TRUE(g_events.empty());

    // A removed releaser is not called.
    Manager::InitGdiplus();
    Manager::AddGdiplusReleaser(&SecondReleaser);
    Manager::RemoveGdiplusReleaser(&SecondReleaser);
    Manager::UnInitGdiplus();
    EXPECT_TRUE(g_events.empty());
}

namespace {

std::atomic<int> g_counted{0};

LRESULT CALLBACK CountingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_APP + 1) {
        ++g_counted;
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

void SendKey(WORD vk, bool down)
{
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &in, sizeof(in));
}

}  // namespace

TEST(Manager, MessageLoopDropsMessagesWhileAltF4IsHeld)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = CountingProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"WexaManagerTestWindow";
    ASSERT_NE(RegisterClassW(&wc), 0);
    HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                wc.hInstance, nullptr);
    ASSERT_NE(hwnd, nullptr);

    // Without the keys: messages are dispatched.
    EXPECT_EQ(Manager::PreTranslateMessage(nullptr), 0);
    g_counted = 0;
    PostMessageW(hwnd, WM_APP + 1, 0, 0);
    PostMessageW(hwnd, WM_APP + 1, 0, 0);
    PostQuitMessage(0);
    Manager::MessageLoop();
    EXPECT_EQ(g_counted.load(), 2);

    // With Alt and F4 held: dropped.
    SendKey(VK_MENU, true);
    SendKey(VK_F4, true);
    DWORD start = GetTickCount();
    while (!Manager::PreTranslateMessage(nullptr) && GetTickCount() - start < 2000) Sleep(10);
    EXPECT_EQ(Manager::PreTranslateMessage(nullptr), 1);
    // Leave the key messages of the injection out of the count.
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {}
    g_counted = 0;
    PostMessageW(hwnd, WM_APP + 1, 0, 0);
    PostQuitMessage(0);
    Manager::MessageLoop();
    SendKey(VK_F4, false);
    SendKey(VK_MENU, false);
    EXPECT_EQ(g_counted.load(), 0);

    start = GetTickCount();
    while (Manager::PreTranslateMessage(nullptr) && GetTickCount() - start < 2000) Sleep(10);
    EXPECT_EQ(Manager::PreTranslateMessage(nullptr), 0);
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {}
    DestroyWindow(hwnd);
    UnregisterClassW(wc.lpszClassName, wc.hInstance);
}
