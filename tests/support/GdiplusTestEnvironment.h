#pragma once
// GDI+ running for the whole test program, with the library's application instance set
// to the test executable (window classes belong to it), as the program does at start-up.
// A test folder registers it once:
//     static auto* const g_env = testutil::AddGdiplusEnvironment();
// optionally with more set-up to run after GDI+ has started.
#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "Manager.h"
#include "WexaGdiplus.h"

namespace testutil {

class GdiplusTestEnvironment : public ::testing::Environment
{
public:
    explicit GdiplusTestEnvironment(std::function<void()> extraSetUp)
        : extra_(std::move(extraSetUp))
    {}
    void SetUp() override
    {
        Gdiplus::GdiplusStartupInput input;
        ASSERT_EQ(Gdiplus::GdiplusStartup(&token_, &input, nullptr), Gdiplus::Ok);
        WEXA::Manager::SetInstance(GetModuleHandleW(nullptr));
        if (extra_) extra_();
    }
    void TearDown() override { Gdiplus::GdiplusShutdown(token_); }

private:
    std::function<void()> extra_;
    ULONG_PTR token_ = 0;
};

inline ::testing::Environment* AddGdiplusEnvironment(std::function<void()> extraSetUp = {})
{
    return ::testing::AddGlobalTestEnvironment(new GdiplusTestEnvironment(std::move(extraSetUp)));
}

}  // namespace testutil
