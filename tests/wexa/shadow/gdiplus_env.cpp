#include "GdiplusTestEnvironment.h"
#include "MShadow.h"

static ::testing::Environment* const g_gdiplus = testutil::AddGdiplusEnvironment(
    [] { WEXA::MShadow::Initialize(GetModuleHandleW(nullptr), false); });
