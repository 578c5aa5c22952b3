#pragma once
// A real window whose messages go to a window engine, owning the controls the
// tests create through the engine's factory, and recording their events.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <vector>

#include "MControl.h"
#include "MObject.h"
#include "MWindow.h"
#include "PaintManager.h"

namespace nav {

struct Event
{
    UINT id, code;
    UINT_PTR wparam;
    LONG_PTR lparam;
};

class Host : public WEXA::MWindow, public WEXA::MObject
{
public:
    WEXA::PaintManager engine;
    std::vector<Event> events;
    // Runs inside OnBaseMessage, before it returns to the control.
    std::function<void(const Event&)> onEvent;

    const wchar_t* GetClassNameW() const override { return L"MDialog"; }
    LONG OnBaseMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override
    {
        events.push_back({id, code, wparam, lparam});
        if (onEvent) onEvent(events.back());
        return 0;
    }
    LONG OnControlUpdate(CRect rect, int erase, WEXA::MControl* control) override
    {
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
};

class HostTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(host.Create(nullptr, L"navigation test", WS_POPUP | WS_VISIBLE, 0,
                              CRect(40, 40, 40 + 700, 40 + 560)),
                  nullptr);
        engine = &host.engine;
        hwnd = host.GetSafeHwnd();
    }
    void TearDown() override { host.DestroyWindow(); }

    template <typename T>
    T* Make(const wchar_t* className, UINT id, CRect rect, const wchar_t* title = L"")
    {
        auto* control = engine->CreateControl(&host, className, id, rect, title, 1, 1);
        return dynamic_cast<T*>(control);
    }
    std::vector<Event> EventsWithCode(UINT code) const
    {
        std::vector<Event> out;
        for (const Event& e : host.events)
            if (e.code == code) out.push_back(e);
        return out;
    }

    Host host;
    WEXA::PaintManager* engine = nullptr;
    HWND hwnd = nullptr;
};

}  // namespace nav
