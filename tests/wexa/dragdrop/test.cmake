# Moves the real cursor and drops on a window under it: nothing else may move
# the pointer or cover the window meanwhile.
set_tests_properties(${TEST_TARGET} PROPERTIES RUN_SERIAL TRUE)
