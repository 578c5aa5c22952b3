#pragma once
// A real window with an engine that owns the widgets under test, records the
// notifications they send and counts their repaint requests.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <vector>

#include "MControl.h"
#include "MObject.h"
#include "MWindow.h"
#include "PaintManager.h"
#include "WindowTestHelpers.h"

namespace kbtest {

struct Event
{
    UINT id;
    UINT code;
    long long wparam;
    long long lparam;
    bool operator==(const Event& o) const
    {
        return id == o.id && code == o.code && wparam == o.wparam && lparam == o.lparam;
    }
};

inline std::ostream& operator<<(std::ostream& os, const Event& e)
{
    return os << "{id " << e.id << ", code " << e.code << ", " << e.wparam << ", " << e.lparam
              << "}";
}

class WidgetHost : public WEXA::MWindow, public WEXA::MObject
{
public:
    WEXA::PaintManager engine;
    std::vector<Event> events;
    std::atomic<int> updates{0};

    const wchar_t* GetClassNameW() const override { return L"MDialog"; }
    LONG OnBaseMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override
    {
        events.push_back({id, code, static_cast<long long>(static_cast<INT_PTR>(wparam)),
                          static_cast<long long>(lparam)});
        return 0;
    }
    LONG OnControlUpdate(CRect rect, int erase, WEXA::MControl* control) override
    {
        ++updates;
        return engine.OnControlUpdate(rect, erase, control);
    }
    int OnInitDialog() override
    {
        engine.Init(GetSafeHwnd(), this);
        return 1;
    }
    LONG OnWindowMessage(UINT msg, UINT_PTR wparam, LONG_PTR lparam) override
    {
        if (msg == WM_ERASEBKGND) return 1;
        if (LRESULT handled = engine.OnWindowMessage(msg, wparam, lparam))
            return static_cast<LONG>(handled);
        return MWindow::OnWindowMessage(msg, wparam, lparam);
    }
    void OnDestroyMessage(HWND hwnd) override { engine.OnDestroyMessage(hwnd); }

    // A top-level control built by the engine's factory, owned by the engine.
    template <typename T>
    T* Make(const wchar_t* className, UINT id, CRect rect)
    {
        return dynamic_cast<T*>(engine.CreateControl(1, this, className, id, rect, L"", 1, 1));
    }
};

class WidgetTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(host.Create(nullptr, L"widget test", WS_POPUP | WS_VISIBLE, 0,
                              CRect(40, 40, 40 + kWidth, 40 + kHeight)),
                  nullptr);
        hwnd = host.GetSafeHwnd();
        BYTE keys[256] = {};
        SetKeyboardState(keys);
    }
    void TearDown() override
    {
        BYTE keys[256] = {};
        SetKeyboardState(keys);
        host.DestroyWindow();
    }

    LRESULT Mouse(UINT msg, int x, int y, WPARAM flags = 0)
    {
        return ::SendMessageW(hwnd, msg, flags, MAKELPARAM(x, y));
    }
    void Click(int x, int y)
    {
        Mouse(WM_MOUSEMOVE, x, y);
        Mouse(WM_LBUTTONDOWN, x, y, MK_LBUTTON);
        Mouse(WM_LBUTTONUP, x, y);
    }
    static void HoldCtrl(bool held)
    {
        BYTE keys[256] = {};
        if (held) keys[VK_CONTROL] = 0x80;
        SetKeyboardState(keys);
    }
    // The control rendered afresh over a white window-sized canvas.
    testutil::PixelBuffer Paint(WEXA::MControl* control)
    {
        testutil::MemoryCanvas canvas(kWidth, kHeight);
        canvas.Fill(0xFFFFFFFF);
        HDC dc = canvas.dc();
        control->SetUpdate(0, 0);
        control->DrawControl(dc, control->GetRect());
        return canvas.Read();
    }
    std::vector<Event> Codes(UINT id)
    {
        std::vector<Event> out;
        for (const Event& e : host.events)
            if (e.id == id) out.push_back(e);
        return out;
    }

    static const int kWidth = 1300, kHeight = 560;
    WidgetHost host;
    HWND hwnd = nullptr;
};

}  // namespace kbtest
