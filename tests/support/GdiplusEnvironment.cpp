#include "GdiplusEnvironment.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "Manager.h"
#include "WexaGdiplus.h"

namespace testutil {

namespace {

struct Step
{
    std::function<void()> setUp, tearDown;
};

// Filled during static initialisation, from any translation unit.
std::vector<Step>& Steps()
{
    static std::vector<Step> steps;
    return steps;
}

class GdiplusEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        Gdiplus::GdiplusStartupInput input;
        ASSERT_EQ(Gdiplus::GdiplusStartup(&token_, &input, nullptr), Gdiplus::Ok);
        WEXA::Manager::SetInstance(GetModuleHandleW(nullptr));
        for (const Step& step : Steps())
            if (step.setUp) step.setUp();
    }
    void TearDown() override
    {
        for (auto it = Steps().rbegin(); it != Steps().rend(); ++it)
            if (it->tearDown) it->tearDown();
        Gdiplus::GdiplusShutdown(token_);
    }

private:
    ULONG_PTR token_ = 0;
};

::testing::Environment* const g_environment =
    ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

}  // namespace

bool AtTestStart(std::function<void()> setUp, std::function<void()> tearDown)
{
    Steps().push_back({std::move(setUp), std::move(tearDown)});
    return true;
}

}  // namespace testutil
