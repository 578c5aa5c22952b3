// The DPI test program. Started with "--dpi-probe" it is the probe the tests
// start as a new process (the system dpi is fixed when a process starts): it
// applies the start-up DPI rule and reports what it saw in its exit code.
#include <gtest/gtest.h>
#include <windows.h>

#include <cwchar>

#include "DpiProbe.h"

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], kDpiProbeArgument) == 0) return RunDpiProbe();
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
