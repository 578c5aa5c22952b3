// GDI+ runs for the whole test program (image lists draw with it), and the
// library's application instance is the test executable.
#include <gtest/gtest.h>

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
        // As the program does at start-up: window classes belong to the executable.
        WEXA::Manager::SetInstance(GetModuleHandleW(nullptr));
    }
    void TearDown() override { Gdiplus::GdiplusShutdown(token_); }

private:
    ULONG_PTR token_ = 0;
};

::testing::Environment* const g_gdiplus = ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

}  // namespace
