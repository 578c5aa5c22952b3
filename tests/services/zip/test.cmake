# A zone away from UTC, so that the local-to-UTC conversion of DOS stamps shows.
set_tests_properties(${TEST_TARGET} PROPERTIES ENVIRONMENT "TZ=JST-9")
