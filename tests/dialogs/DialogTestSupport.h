#pragma once
// Helpers of the dialog tests: doing things from inside a modal loop (a thread
// timer that the loop dispatches), finding a dialog by its window name,
// clicking into a window, and the language the dialogs read their texts in.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <map>
#include <utility>

#include "CRect.h"
#include "EveryTick.h"
#include "Manager.h"
#include "services/LanguageText.h"

namespace dialogtest {

// Runs step every 15 ms on this thread (in whatever message loop runs) until it
// returns true or the object goes. Several may run at once.
using EveryTick = testutil::EveryTick;

// The library's top-level window of that name, null when there is none.
inline HWND FindDialog(const wchar_t* windowName)
{
    return FindWindowW(L"PavexWindow", windowName);
}

// A click of the left button at a client point, as the user makes it.
inline void Click(HWND hwnd, CPoint at)
{
    SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
    SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    SendMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
}

inline CPoint Centre(const CRect& r)
{
    return CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

// Texts in a language, drawn with a face that has its characters (the
// library's default face has no Chinese); restored when the object goes.
class InLanguage
{
public:
    explicit InLanguage(int language)
        : savedLanguage_(CurrentLanguageId.load()),
          savedFont_(WEXA::Manager::GetFontName())
    {
        CurrentLanguageId = language;
        if (language == 2052 || language == 1028)
            WEXA::Manager::SetFontName(L"WenQuanYi Micro Hei");
    }
    ~InLanguage()
    {
        CurrentLanguageId = savedLanguage_;
        WEXA::Manager::SetFontName(savedFont_);
    }

private:
    int savedLanguage_;
    CString savedFont_;
};

}  // namespace dialogtest
