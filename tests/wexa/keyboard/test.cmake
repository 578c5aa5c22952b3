# The macro list's delay box is typed into with injected keys: no other test
# program may put windows up or take the activation meanwhile.
set_tests_properties(${TEST_TARGET} PROPERTIES RUN_SERIAL TRUE)
