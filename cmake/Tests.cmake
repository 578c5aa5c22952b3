# GoogleTest, cross-built from Debian's sources.
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

enable_testing()

# Shared test helpers (simulated devices, window and pixel helpers).
file(GLOB_RECURSE TEST_SUPPORT_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/support/*.cpp)
set(TEST_GDIPLUS_ENV ${CMAKE_SOURCE_DIR}/tests/support/GdiplusEnvironment.cpp)
list(REMOVE_ITEM TEST_SUPPORT_SOURCES ${TEST_GDIPLUS_ENV})
add_library(test_support STATIC ${TEST_SUPPORT_SOURCES})
target_include_directories(test_support PUBLIC ${CMAKE_SOURCE_DIR}/tests/support ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(test_support PUBLIC kestrova_core Wexa gmock gtest)
# GDI+ started once for a whole test program (GdiplusEnvironment.h): an object,
# so that its global test environment registers itself in every program linking it.
add_library(test_gdiplus_env OBJECT ${TEST_GDIPLUS_ENV})
target_link_libraries(test_gdiplus_env PUBLIC test_support)

# Every folder below tests/ holding files named *_test.cpp is one test executable
# (one Wine process, one CTest entry) named after its path: tests/services/hid -> services_hid_test.
# The folder's other .cpp files are linked in too. A main.cpp replaces gtest_main.
# Every program outside tests/services/ runs with GDI+ started (test_gdiplus_env)
# unless its test.cmake sets TEST_WITHOUT_GDIPLUS.
# An optional test.cmake in the folder can set properties on ${TEST_TARGET}.
# A program whose test.cmake asks to run alone (RUN_SERIAL: it reads the screen,
# injects input, takes the activation or shows a tray icon) instead asks for a
# display of its own: CTest hands it one of the slots scripts/with-wine prepares
# (a virtual display and a copy of the Wine prefix), and scripts/wine-test starts
# it there, so such programs run side by side. A program that times what it
# measures, or plays sound through the shared sound server, sets TEST_KEEP_SERIAL
# in its test.cmake and still runs alone.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine-test)
file(GLOB_RECURSE TEST_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/*_test.cpp)
# A new test.cmake also makes the build configure again.
file(GLOB_RECURSE TEST_SETTINGS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/*/test.cmake)
set(TEST_DIRS "")
foreach(f ${TEST_FILES})
  get_filename_component(d ${f} DIRECTORY)
  list(APPEND TEST_DIRS ${d})
endforeach()
list(REMOVE_DUPLICATES TEST_DIRS)
foreach(d ${TEST_DIRS})
  file(RELATIVE_PATH rel ${CMAKE_SOURCE_DIR}/tests ${d})
  string(REPLACE "/" "_" TEST_TARGET "${rel}_test")
  file(GLOB srcs CONFIGURE_DEPENDS ${d}/*.cpp)
  add_executable(${TEST_TARGET} ${srcs})
  target_link_libraries(${TEST_TARGET} PRIVATE test_support)
  if(NOT EXISTS ${d}/main.cpp)
    target_link_libraries(${TEST_TARGET} PRIVATE gtest_main)
  endif()
  target_compile_definitions(${TEST_TARGET} PRIVATE TEST_SOURCE_DIR="${d}"
    PROJECT_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  add_dependencies(${TEST_TARGET} runtime_files)
  add_test(NAME ${TEST_TARGET} COMMAND ${TEST_TARGET} WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
  set_tests_properties(${TEST_TARGET} PROPERTIES TIMEOUT 300)
  set(TEST_WITHOUT_GDIPLUS OFF)
  set(TEST_KEEP_SERIAL OFF)
  if(EXISTS ${d}/test.cmake)
    include(${d}/test.cmake)
  endif()
  get_test_property(${TEST_TARGET} RUN_SERIAL TEST_ALONE)
  if(TEST_ALONE AND NOT TEST_KEEP_SERIAL)
    # Beside others on a busy machine such a program takes longer than alone.
    set_tests_properties(${TEST_TARGET} PROPERTIES RUN_SERIAL FALSE RESOURCE_GROUPS display:1
      TIMEOUT 1200)
    set_property(TEST ${TEST_TARGET} APPEND PROPERTY ENVIRONMENT KESTROVA_NEEDS_DISPLAY=1)
  endif()
  if(NOT rel MATCHES "^services/" AND NOT TEST_WITHOUT_GDIPLUS)
    target_link_libraries(${TEST_TARGET} PRIVATE test_gdiplus_env)
  endif()
endforeach()

# Checks on the build host that the generated data agrees with the sources.
add_test(NAME data_sources_check COMMAND python3 ${CMAKE_SOURCE_DIR}/tests/data/sources_check.py)

# Benchmarks: every folder below bench/ is one program that prints figures.
# They are built with everything else but never run by CTest. The .cpp files
# directly in bench/ are the measuring code they share.
file(GLOB BENCH_SUPPORT_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*.cpp)
add_library(bench_support STATIC ${BENCH_SUPPORT_SOURCES})
target_include_directories(bench_support PUBLIC ${CMAKE_SOURCE_DIR}/bench)
target_link_libraries(bench_support PUBLIC test_support psapi)
file(GLOB BENCH_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*/*.cpp
  ${CMAKE_SOURCE_DIR}/bench/*/CMakeLists.txt)
set(BENCH_DIRS "")
foreach(f ${BENCH_FILES})
  get_filename_component(d ${f} DIRECTORY)
  list(APPEND BENCH_DIRS ${d})
endforeach()
list(REMOVE_DUPLICATES BENCH_DIRS)
foreach(d ${BENCH_DIRS})
  if(IS_DIRECTORY ${d})
    if(EXISTS ${d}/CMakeLists.txt)
      add_subdirectory(${d})
    else()
      get_filename_component(name ${d} NAME)
      file(GLOB srcs CONFIGURE_DEPENDS ${d}/*.cpp)
      if(srcs)
        add_executable(bench_${name} ${srcs})
        target_link_libraries(bench_${name} PRIVATE bench_support)
      endif()
    endif()
  endif()
endforeach()
