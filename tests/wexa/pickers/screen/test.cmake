# Moves the real pointer for a drag and compares what the screen shows: no
# other test program may move the pointer, put windows up or take the
# activation meanwhile.
set_tests_properties(${TEST_TARGET} PROPERTIES RUN_SERIAL TRUE)
