#pragma once
// A dialog that hosts an engine for the painting and timer tests, and a
// fixture that reads the engine's off-screen surface after each paint.
#include <gtest/gtest.h>

#include <vector>

#include "MDialog.h"
#include "PaintObservers.h"
#include "WindowTestHelpers.h"

class PaintHost : public WEXA::MDialog
{
public:
    int OnPaint() override
    {
        ++paints;
        return 0;
    }
    void Invalidate() { m_pm.Invalidate(); }
    int paints = 0;
};

class PaintTest : public ::testing::Test
{
protected:
    void SetUp() override { WEXA::SetPaintSurfaceObserver(&PaintTest::Observe); }
    void TearDown() override
    {
        WEXA::SetPaintSurfaceObserver(nullptr);
        if (host_) {
            host_->DestroyWindow();
            delete host_;
            host_ = nullptr;
        }
        testutil::PumpPending();
    }

    void Open(int w, int h)
    {
        host_ = new PaintHost();
        ASSERT_NE(host_->Create(nullptr, L"paint test", WS_POPUP | WS_VISIBLE, 0,
                                CRect(100, 100, 100 + w, 100 + h)),
                  nullptr);
        testutil::PumpPending();
    }
    HWND hwnd() const { return host_->GetSafeHwnd(); }
    WEXA::PaintManager& engine() { return *host_->GetPaintManager(); }

    // Paints what is invalid now (the whole window when nothing is) and returns
    // the surface the engine built, top row first.
    testutil::PixelBuffer PaintNow()
    {
        RECT r;
        if (!GetUpdateRect(hwnd(), &r, FALSE)) InvalidateRect(hwnd(), nullptr, FALSE);
        s_last = testutil::PixelBuffer();
        UpdateWindow(hwnd());
        return s_last;
    }
    // The bounding box of the window's pending update region.
    CRect UpdateBox()
    {
        RECT r = {};
        GetUpdateRect(hwnd(), &r, FALSE);
        return CRect(r);
    }

    static void Observe(WEXA::PaintManager*, const UINT32* bits, int w, int h)
    {
        s_last.width = w;
        s_last.height = h;
        s_last.pixels.resize(static_cast<size_t>(w) * h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                s_last.pixels[static_cast<size_t>(y) * w + x] =
                    bits[static_cast<size_t>(h - 1 - y) * w + x];
    }

    PaintHost* host_ = nullptr;
    static testutil::PixelBuffer s_last;
};
