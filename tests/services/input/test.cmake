# These tests inject global keyboard and mouse input: no other input test may run at once.
set_tests_properties(${TEST_TARGET} PROPERTIES RESOURCE_LOCK input)
