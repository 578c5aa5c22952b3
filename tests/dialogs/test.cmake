# The dialogs put windows up and run modal loops; the screenshots compare what
# the screen shows: no other test program may cover them or take the activation.
set_tests_properties(${TEST_TARGET} PROPERTIES RUN_SERIAL TRUE)
