# The main window is a real window on the screen with a tray icon, and the
# page screenshots compare what the screen shows. The stream test also plays a
# tone through the shared sound server and counts the frames a paced keyboard
# gets per second: beside other programs on a busy machine it would count the
# machine, not the stream, so this program runs alone, not only on a display
# of its own.
set_tests_properties(${TEST_TARGET} PROPERTIES RUN_SERIAL TRUE)
set(TEST_KEEP_SERIAL ON)
