# The shipped plug-in DLLs: the win32-thread-model compilers, whose runtime
# imports no threads library.
set(KORVELANT_THREAD_MODEL win32)
include(${CMAKE_CURRENT_LIST_DIR}/i686-w64-mingw32.cmake)
