# The tip tests read their windows back from the screen: no other test window may cover them.
set_tests_properties(${TEST_TARGET} PROPERTIES RUN_SERIAL TRUE)
