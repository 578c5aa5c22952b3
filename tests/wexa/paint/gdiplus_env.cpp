// GDI+ runs for the whole test program, the library's application instance
// is the test executable, and the factory can build the test controls.
#include <gtest/gtest.h>

#include "MShadow.h"
#include "Manager.h"
#include "WexaGdiplus.h"
#include "WexaTestControls.h"

namespace {

class GdiplusEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        Gdiplus::GdiplusStartupInput input;
        ASSERT_EQ(Gdiplus::GdiplusStartup(&token_, &input, nullptr), Gdiplus::Ok);
        WEXA::Manager::SetInstance(GetModuleHandleW(nullptr));
        testutil::RegisterTestControls();
    }
    void TearDown() override { Gdiplus::GdiplusShutdown(token_); }

private:
    ULONG_PTR token_ = 0;
};

::testing::Environment* const g_gdiplus = ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

}  // namespace
