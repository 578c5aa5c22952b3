// GDI+ runs for the whole test program.
#include "GdiplusTestEnvironment.h"

static ::testing::Environment* const g_gdiplus = testutil::AddGdiplusEnvironment();
