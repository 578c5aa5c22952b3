# The click test puts the real cursor over its window: no other test program
# may move it meanwhile.
set_tests_properties(${TEST_TARGET} PROPERTIES RUN_SERIAL TRUE)
