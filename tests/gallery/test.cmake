# The main window is a real window on the screen with a tray icon; no other
# test program may take the activation or the tray meanwhile.
set_tests_properties(${TEST_TARGET} PROPERTIES RUN_SERIAL TRUE)
# The program's own "PNG" resources (the macro page's event menu background).
target_sources(${TEST_TARGET} PRIVATE ${CMAKE_SOURCE_DIR}/app/KestrovaPictures.rc)
target_include_directories(${TEST_TARGET} PRIVATE ${CMAKE_BINARY_DIR}/res)
