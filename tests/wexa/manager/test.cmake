# Holds Alt and F4 down with injected input.
set_tests_properties(${TEST_TARGET} PROPERTIES RUN_SERIAL TRUE)
# Checks the library's state as loaded: nothing may start GDI+ or set the instance first.
set(TEST_WITHOUT_GDIPLUS ON)
