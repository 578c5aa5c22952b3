# The probes read LogPixels, which this program changes for the whole prefix
# while it runs: no other test program may start meanwhile.
set_tests_properties(${TEST_TARGET} PROPERTIES RUN_SERIAL TRUE)
