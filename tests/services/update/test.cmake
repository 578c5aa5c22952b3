# The test server helper trusts a certificate (crypt32) and finds a closed port (ws2_32).
target_link_libraries(${TEST_TARGET} PRIVATE crypt32 ws2_32)
