# The real-capture test plays a tone through the sound server and times its level: other
# tests running beside it delay the tone.
set_tests_properties(${TEST_TARGET} PROPERTIES RUN_SERIAL TRUE)
