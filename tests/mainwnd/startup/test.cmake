# The software-name checks list the user's folders and registry before and
# after: no other test program may create or remove anything there meanwhile.
set_tests_properties(${TEST_TARGET} PROPERTIES RUN_SERIAL TRUE)
