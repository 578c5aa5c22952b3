# These tests inject global keyboard and mouse input: they run alone, so no other
# test's window takes the focus or the pointer meanwhile.
set_tests_properties(${TEST_TARGET} PROPERTIES RUN_SERIAL TRUE)
