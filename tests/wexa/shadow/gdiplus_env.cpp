// GDI+ runs for the whole test program, and the library's application
// instance is the test executable (window classes belong to it).
#include <gtest/gtest.h>

#include "MShadow.h"
#include "Manager.h"
#include "WexaGdiplus.h"

namespace {

class GdiplusEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        Gdiplus::GdiplusStartupInput input;
        ASSERT_EQ(Gdiplus::GdiplusStartup(&token_, &input, nullptr), Gdiplus::Ok);
        WEXA::Manager::SetInstance(GetModuleHandleW(nullptr));
        WEXA::MShadow::Initialize(GetModuleHandleW(nullptr), false);
    }
    void TearDown() override { Gdiplus::GdiplusShutdown(token_); }

private:
    ULONG_PTR token_ = 0;
};

::testing::Environment* const g_gdiplus = ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

}  // namespace
