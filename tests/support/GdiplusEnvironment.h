#pragma once
// GDI+ running for the whole test program, with the library's application
// instance set to the test executable (window classes belong to it), as the
// program does at start-up.
//
// GdiplusEnvironment.cpp is one object that the build links into every test
// program outside tests/services/, unless the folder's test.cmake says
// `set(TEST_WITHOUT_GDIPLUS ON)`; a services test that needs GDI+ adds
// `target_link_libraries(${TEST_TARGET} PRIVATE test_gdiplus_env)` to its
// test.cmake. A test folder never starts GDI+ itself.
//
// More set-up that must run after GDI+ has started (and be undone before it
// stops) is registered once per folder at namespace scope:
//     const bool g_registered = testutil::AtTestStart([] { testutil::RegisterTestControls(); });
//     const bool g_ole = testutil::AtTestStart([] { OleInitialize(nullptr); }, [] { OleUninitialize(); });
// Steps run in the order registered; their clean-ups in reverse order.
#include <functional>

namespace testutil {

bool AtTestStart(std::function<void()> setUp, std::function<void()> tearDown = {});

}  // namespace testutil
