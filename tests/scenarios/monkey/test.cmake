# Real input on the screen, the main window on top and a tray icon: no other
# test program may take the activation, the pointer or the tray meanwhile.
set_tests_properties(${TEST_TARGET} PROPERTIES RUN_SERIAL TRUE)
