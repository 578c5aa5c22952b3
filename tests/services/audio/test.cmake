# The real-capture test plays a tone through the sound server and times its level: other
# tests running beside it delay the tone, so it runs alone, not only on a display of its own.
set_tests_properties(${TEST_TARGET} PROPERTIES RUN_SERIAL TRUE)
set(TEST_KEEP_SERIAL ON)
