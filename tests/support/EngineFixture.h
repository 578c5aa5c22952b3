#pragma once
// A real window under the virtual display whose messages go to a PaintManager,
// with a recording owner for the controls' notifications.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "MControl.h"
#include "MObject.h"
#include "MWindow.h"
#include "PaintManager.h"
#include "ControlProbe.h"

namespace enginetest {

// Plays the part of a dialog: a window, the owner of its controls ("MDialog")
// and the host of one engine.
class HostWindow : public WEXA::MWindow, public WEXA::MObject
{
public:
    WEXA::PaintManager engine;
    std::vector<probe::Event> events;
    int windowDrags = 0;  // WM_NCLBUTTONDOWN with HTCAPTION

    const wchar_t* GetClassNameW() const override { return L"MDialog"; }
    LONG OnBaseMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override
    {
        events.push_back({id, code, static_cast<UINT>(wparam), lparam});
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
        if (msg == WM_NCLBUTTONDOWN) {
            if (wparam == HTCAPTION) ++windowDrags;
            return 0;  // no system move loop in tests
        }
        if (msg == WM_ERASEBKGND) return 1;
        if (LRESULT handled = engine.OnWindowMessage(msg, wparam, lparam))
            return static_cast<LONG>(handled);
        return MWindow::OnWindowMessage(msg, wparam, lparam);
    }
    void OnDestroyMessage(HWND hwnd) override { engine.OnDestroyMessage(hwnd); }
};

class EngineTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(host.Create(nullptr, L"engine test", WS_POPUP | WS_VISIBLE, 0,
                              CRect(100, 100, 500, 400)),
                  nullptr);
        engine = &host.engine;
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

    // A top-level control of the engine, owned by the host.
    probe::Probe* AddTop(UINT id, CRect rect)
    {
        auto* p = new probe::Probe(&host, id, rect, &log);
        p->SetManager(engine);
        CAutoLock lock(engine->m_controlsLock);
        engine->m_controls.push_back(p);
        return p;
    }
    probe::Probe* AddArea(UINT id, CRect rect)
    {
        auto* p = new probe::Probe(&host, id, rect, &log);
        p->SetManager(engine);
        CAutoLock lock(engine->m_areasLock);
        engine->m_areas.push_back(p);
        return p;
    }

    LRESULT Send(UINT msg, WPARAM wparam, LPARAM lparam)
    {
        return ::SendMessageW(hwnd, msg, wparam, lparam);
    }
    LRESULT Mouse(UINT msg, int x, int y, WPARAM flags = 0)
    {
        return Send(msg, flags, MAKELPARAM(x, y));
    }
    LRESULT Wheel(short delta, int clientX, int clientY)
    {
        POINT pt{clientX, clientY};
        ::ClientToScreen(hwnd, &pt);
        return Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)), MAKELPARAM(pt.x, pt.y));
    }
    // Sets which modifier keys the thread sees as held.
    static void HoldKeys(bool shift, bool ctrl, bool alt)
    {
        BYTE keys[256] = {};
        if (shift) keys[VK_SHIFT] = 0x80;
        if (ctrl) keys[VK_CONTROL] = 0x80;
        if (alt) keys[VK_MENU] = 0x80;
        SetKeyboardState(keys);
    }

    HostWindow host;
    WEXA::PaintManager* engine = nullptr;
    HWND hwnd = nullptr;
    probe::Log log;
};

}  // namespace enginetest
