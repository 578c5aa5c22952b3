// The factory can also build the test controls.
#include "GdiplusTestEnvironment.h"
#include "WexaTestControls.h"

static ::testing::Environment* const g_gdiplus =
    testutil::AddGdiplusEnvironment([] { testutil::RegisterTestControls(); });
