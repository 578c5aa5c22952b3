# The LCD page runs the real main window with modal boxes and the delay
# dialog, and its screenshots compare what the screen shows: no other test
# program may cover the window or take the activation meanwhile.
set_tests_properties(${TEST_TARGET} PROPERTIES RUN_SERIAL TRUE)
