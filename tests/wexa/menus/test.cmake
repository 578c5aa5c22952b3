# Menus close when they lose activation: another test's window taking it would close them mid-test.
set_tests_properties(${TEST_TARGET} PROPERTIES RUN_SERIAL TRUE)
