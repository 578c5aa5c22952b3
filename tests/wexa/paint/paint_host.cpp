#include "paint_host.h"

#include "GdiplusEnvironment.h"
#include "WexaTestControls.h"

// The factory builds the test controls for "CArea" in this program.
static const bool g_testControls = testutil::AtTestStart([] { testutil::RegisterTestControls(); });

testutil::PixelBuffer PaintTest::s_last;
