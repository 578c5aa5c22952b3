# The main window is a real window on the screen with a tray icon, and the
# profile manager's screenshot compares what the screen shows: no other test
# program may take the activation or cover it meanwhile.
set_tests_properties(${TEST_TARGET} PROPERTIES RUN_SERIAL TRUE)
