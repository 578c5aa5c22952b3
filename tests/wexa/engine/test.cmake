# The test executable carries image resources of "the program" for the cache.
target_sources(${TEST_TARGET} PRIVATE ${CMAKE_CURRENT_LIST_DIR}/engine_test.rc)
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/engine_test.rc PROPERTIES
  OBJECT_DEPENDS "${CMAKE_CURRENT_LIST_DIR}/strip.png;${CMAKE_CURRENT_LIST_DIR}/tile.png")
