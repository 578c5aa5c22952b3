# These tests inject global keyboard and mouse input into a real main window on
# the screen: they run alone, so no other test's window takes the focus, the
# pointer or the tray meanwhile.
set_tests_properties(${TEST_TARGET} PROPERTIES RUN_SERIAL TRUE)
