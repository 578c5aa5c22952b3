# Cross-compiling for 64-bit Windows with MinGW-w64 (POSIX threads): the tests on hosts
# that cannot run 32-bit code use it (scripts/arch-env); they run under 64-bit Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOL_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   ${TOOL_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOOL_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER  ${TOOL_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TOOL_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
