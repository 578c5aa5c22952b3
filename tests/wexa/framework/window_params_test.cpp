// Message parameters reach a window object whole, also where they carry
// pointers (64-bit builds) and for superclassed system windows.
#include <gtest/gtest.h>
#include <windows.h>

#include "MWindow.h"

namespace {

class Recorder : public WEXA::MWindow
{
public:
    explicit Recorder(const wchar_t* super) : super_(super) {}
    const wchar_t* GetWindowClassName() const override
    {
        return super_ ? L"ParamsEditWindow" : L"ParamsWindow";
    }
    const wchar_t* GetSuperClassName() const override { return super_; }
    LONG OnWindowMessage(UINT msg, UINT_PTR wparam, LONG_PTR lparam) override
    {
        if (msg == WM_APP + 7) {
            lastWparam = wparam;
            lastLparam = lparam;
            return 1;
        }
        return MWindow::OnWindowMessage(msg, wparam, lparam);
    }
    UINT_PTR lastWparam = 0;
    LONG_PTR lastLparam = 0;

private:
    const wchar_t* super_;
};

}  // namespace

TEST(WindowParameters, ReachTheObjectWhole)
{
    for (const wchar_t* super : {static_cast<const wchar_t*>(nullptr), L"Edit"}) {
        Recorder window(super);
        ASSERT_NE(window.Create(nullptr, L"", WS_POPUP, 0, CRect(0, 0, 10, 10)), nullptr);
        const UINT_PTR wide = static_cast<UINT_PTR>(~static_cast<UINT_PTR>(0) - 5);
        const LONG_PTR pointerLike = static_cast<LONG_PTR>(wide / 3);
        SendMessageW(window.GetSafeHwnd(), WM_APP + 7, wide, pointerLike);
        EXPECT_EQ(window.lastWparam, wide);
        EXPECT_EQ(window.lastLparam, pointerLike);
        // A pointer in lparam: the system edit reads the text through it.
        wchar_t text[] = L"whole";
        SendMessageW(window.GetSafeHwnd(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
        window.DestroyWindow();
    }
}
