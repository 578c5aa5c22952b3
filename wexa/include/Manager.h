#pragma once
// Library-wide settings and process-level services of Wexa.
//
// Manager has static members only. The program sets the application instance and
// the device name at start-up, before it creates any window; fonts, theme and
// colours are optional and affect only what is created or loaded afterwards.
// The settings are plain values read without a lock: set them on the UI thread
// before windows exist.
#include <windows.h>

#include "CString.h"
#include "WexaExport.h"
#include "WexaGdiplus.h"

namespace WEXA {

class MWindow;

class WEXA_API Manager
{
public:
    static void SetInstance(HINSTANCE instance);
    static HINSTANCE GetInstance();

    static void SetDeviceName(CString name);
    static CString GetDeviceName();

    static void SetThemeType(int type);
    static int GetThemeType();

    // The theme folder below "skins\", with its trailing backslash ("theme1\").
    static void SetThemeSkins(CString folder);
    static CString GetThemeSkins();
    // Always "theme1\", whatever SetThemeSkins stored.
    static CString GetTheme();

    static void SetFont(CString face, int size);
    static void SetFontName(CString face);
    static CString GetFontName();
    static int GetFontWidth();

    static void SetTextColor(Gdiplus::Color color);
    static Gdiplus::Color GetTextColor();
    static void SetNormalColor(Gdiplus::Color color);
    static Gdiplus::Color GetNormalColor();
    static void SetHoverColor(Gdiplus::Color color);
    static Gdiplus::Color GetHoverColor();
    static void SetDownColor(Gdiplus::Color color);
    static Gdiplus::Color GetDownColor();
    static void SetSelectColor(Gdiplus::Color color);
    static Gdiplus::Color GetSelectColor();

    static void SetKeyStrokeType(int type);
    static int GetKeyStrokeType();

    // Starts GDI+, then COM and OLE, and empties the window registry.
    static void InitGdiplus();
    // Releases the library's process-wide GDI+ objects (see AddGdiplusReleaser),
    // then ends OLE and COM, then shuts GDI+ down, and empties the window registry.
    // Only what InitGdiplus actually started is ended; a second call does nothing.
    static void UnInitGdiplus();
    // Registers a function that frees process-wide GDI+ objects; UnInitGdiplus calls
    // every registered function (newest first) while GDI+ is still running.
    // Registering the same function twice keeps one entry.
    static void AddGdiplusReleaser(void (*release)());
    static void RemoveGdiplusReleaser(void (*release)());

    // 1 while Alt and F4 are both held down (the message is not examined), else 0.
    static int PreTranslateMessage(MSG* msg);
    // Runs the thread's message loop until WM_QUIT; messages that arrive while
    // Alt and F4 are held down are dropped.
    static void MessageLoop();

    // Window registry (UI thread only).
    static void AddWnd(MWindow* window);
    static void DeleteWnd(MWindow* window);

    static HINSTANCE m_hInstance;
    static CString m_dev_name;
    static int m_theme_type;
    static CString m_theme_skins;
    static CString m_fontname;
    static int m_fontwidth;
    static Gdiplus::Color m_text_color;
    static Gdiplus::Color m_normal_color;
    static Gdiplus::Color m_hover_color;
    static Gdiplus::Color m_down_color;
    static Gdiplus::Color m_select_color;
    static int m_key_stroketype;
    static Gdiplus::GdiplusStartupInput m_gdiplusStartupInput;
    static ULONG_PTR m_gdiplusToken;
};

// Trace output of the library: writes nothing.
WEXA_API void M_Trace(const wchar_t* format, ...);

// The folder of the process's executable with a trailing backslash, written into
// buffer (MAX_PATH characters); returns buffer, or null for a null buffer.
WEXA_API wchar_t* GetAppPath(wchar_t* buffer);
WEXA_API CString GetAppPath();
// The skin folder: GetAppPath() + "skins\" + Manager::GetThemeSkins().
// Skin image file names are appended to it.
WEXA_API CString GetSkinsPath();

// The module handle of Wexa.dll itself (its built-in resources).
WEXA_API HINSTANCE GetLibraryInstance();

}  // namespace WEXA
