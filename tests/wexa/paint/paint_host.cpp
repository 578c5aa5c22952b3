#include "paint_host.h"

testutil::PixelBuffer PaintTest::s_last;
