#include "GdiplusTestEnvironment.h"

static ::testing::Environment* const g_gdiplus = testutil::AddGdiplusEnvironment();
