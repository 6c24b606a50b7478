# Tenebrolite.exe itself: mingw-w64's win32 thread model, whose C++ runtime
# uses Win32's own primitives instead of winpthreads (about 47 KB less). It has
# no <thread> or <mutex>, so the program's sources must not use them.
set(MINGW_THREAD_MODEL win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-x86_64.cmake)
