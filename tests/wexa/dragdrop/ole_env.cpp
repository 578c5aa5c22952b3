// OLE (and with it COM) runs on the test thread for the whole program, as the
// program starts it before it creates windows.
#include <gtest/gtest.h>
#include <ole2.h>

#include "Manager.h"
#include "WexaGdiplus.h"

namespace {

class OleEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        Gdiplus::GdiplusStartupInput input;
        ASSERT_EQ(Gdiplus::GdiplusStartup(&token_, &input, nullptr), Gdiplus::Ok);
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        WEXA::Manager::SetInstance(GetModuleHandleW(nullptr));
    }
    void TearDown() override
    {
        OleUninitialize();
        Gdiplus::GdiplusShutdown(token_);
    }

private:
    ULONG_PTR token_ = 0;
};

::testing::Environment* const g_ole = ::testing::AddGlobalTestEnvironment(new OleEnvironment);

}  // namespace
