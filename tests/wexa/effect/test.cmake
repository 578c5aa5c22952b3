# Screen and window capture and the screenshots read what the screen shows: no
# other test program may put windows up meanwhile.
set_tests_properties(${TEST_TARGET} PROPERTIES RUN_SERIAL TRUE)
