# The local update server of the transport tests serves the program's update
# cases too; its helper trusts a certificate (crypt32) and finds a closed port (ws2_32).
target_sources(${TEST_TARGET} PRIVATE ${CMAKE_SOURCE_DIR}/tests/services/update/UpdateTestServer.cpp)
target_include_directories(${TEST_TARGET} PRIVATE ${CMAKE_SOURCE_DIR}/tests/services/update)
target_link_libraries(${TEST_TARGET} PRIVATE crypt32 ws2_32)
# The main window is a real window on the screen with a tray icon.
set_tests_properties(${TEST_TARGET} PROPERTIES RUN_SERIAL TRUE)
