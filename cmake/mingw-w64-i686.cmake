# Cross-compiles the 32-bit Windows console program with mingw-w64 and runs
# its test programs under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

# The posix-thread compilers: GoogleTest needs std::thread and friends.
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Wine takes its ANSI code page from the locale: Japanese gives code page
# 932, whose double-byte characters the tests exercise.
set(CMAKE_CROSSCOMPILING_EMULATOR env LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 WINEDEBUG=-all wine)
