# The main window is a real window on the screen with a tray icon; no other
# test program may take the activation or the tray meanwhile.
set_tests_properties(${TEST_TARGET} PROPERTIES RUN_SERIAL TRUE)
