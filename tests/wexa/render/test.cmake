# The test executable carries an image resource for the resource loader.
target_sources(${TEST_TARGET} PRIVATE ${CMAKE_CURRENT_LIST_DIR}/render_test.rc)
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/render_test.rc PROPERTIES
  OBJECT_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/strip.png)
