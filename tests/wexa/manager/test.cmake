# Holds Alt and F4 down with injected input.
set_tests_properties(${TEST_TARGET} PROPERTIES RUN_SERIAL TRUE)
