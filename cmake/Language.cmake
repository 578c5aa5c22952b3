# Language files beside the executable: data/language/<id>.lan.txt (UTF-8) is
# written as language/<id>.lan in UTF-16 LE with a byte-order mark.
find_program(PYTHON3 python3 REQUIRED)
file(GLOB LANGUAGE_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/data/language/*.lan.txt)
set(LANGUAGE_FILES "")
foreach(source ${LANGUAGE_SOURCES})
  get_filename_component(name ${source} NAME)
  string(REGEX REPLACE "\\.txt$" "" name ${name})
  set(target ${CMAKE_BINARY_DIR}/language/${name})
  add_custom_command(OUTPUT ${target}
    COMMAND ${PYTHON3} ${CMAKE_SOURCE_DIR}/cmake/write-utf16.py ${source} ${target}
    DEPENDS ${source} ${CMAKE_SOURCE_DIR}/cmake/write-utf16.py
    COMMENT "Writing language/${name}" VERBATIM)
  list(APPEND LANGUAGE_FILES ${target})
endforeach()
add_custom_target(language_files ALL DEPENDS ${LANGUAGE_FILES})
