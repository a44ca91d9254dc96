# Cross build of the 32-bit Windows plug-ins and of everything that loads
# them. The tree's own programs (the stand-in host, the tests) are built by
# the -posix compilers: GoogleTest needs std::mutex. The shipped DLLs are
# built by the -win32 compilers in a tree of their own (cmake/Plugins.cmake):
# the posix runtime would bring its threads library into them, with imports
# that Windows XP lacks and a thread-local-storage slot lost at every unload.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

if(NOT KORVELANT_THREAD_MODEL)
  set(KORVELANT_THREAD_MODEL posix)
endif()
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-${KORVELANT_THREAD_MODEL})
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-${KORVELANT_THREAD_MODEL})
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Tests and the stand-in host run under Wine, in a prefix of the build tree.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run)
