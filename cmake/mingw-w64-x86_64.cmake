# 64-bit Windows with mingw-w64: cross from Linux with Debian's compilers, or
# natively on Windows with MSYS2's. The -posix cross compilers are the ones
# with std::thread and std::mutex (winpthreads), which GoogleTest needs; the
# program itself is built with the -win32 ones (mingw-w64-x86_64-win32.cmake),
# which leave winpthreads out.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
if(NOT MINGW_THREAD_MODEL)
  set(MINGW_THREAD_MODEL posix)
endif()

if(CMAKE_HOST_WIN32)
  set(CMAKE_C_COMPILER gcc)
  set(CMAKE_CXX_COMPILER g++)
  set(CMAKE_RC_COMPILER windres)
else()
  set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
  set(CMAKE_C_COMPILER ${TOOLCHAIN_PREFIX}-gcc-${MINGW_THREAD_MODEL})
  set(CMAKE_CXX_COMPILER ${TOOLCHAIN_PREFIX}-g++-${MINGW_THREAD_MODEL})
  set(CMAKE_RC_COMPILER ${TOOLCHAIN_PREFIX}-windres)

  set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
  set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
  set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
  set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

  # ctest runs the Windows test programs through Wine in the project's prefix.
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run.sh)
endif()
