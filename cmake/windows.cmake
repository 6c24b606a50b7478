# The Windows build: the real platform layer, the program and the tests that
# run under Wine.
enable_language(RC)

# No runtime DLLs beside the exe: libstdc++, libgcc and winpthreads go in
# statically. ASLR with high-entropy addresses and NX on.
add_link_options(-static -Wl,--dynamicbase -Wl,--high-entropy-va -Wl,--nxcompat)

add_library(tenebrolite_win32 STATIC
  src/platform/win32/app_info_win32.cpp
  src/platform/win32/input_win32.cpp
  src/platform/win32/registry_win32.cpp
  src/platform/win32/shell_win32.cpp
  src/platform/win32/sleeper_win32.cpp
  src/platform/win32/window_system_win32.cpp
)
target_link_libraries(tenebrolite_win32 PUBLIC tenebrolite_core version PRIVATE project_warnings)
target_compile_definitions(tenebrolite_win32 PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
  _WIN32_WINNT=0x0A00 WINVER=0x0A00 NTDDI_VERSION=0x0A000006)

add_executable(Tenebrolite WIN32
  src/platform/win32/win_main.cpp
  res/tenebrolite.rc
)
target_link_libraries(Tenebrolite PRIVATE tenebrolite_win32 project_warnings)
target_link_options(Tenebrolite PRIVATE -municode -s)
set_source_files_properties(res/tenebrolite.rc PROPERTIES
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/res/tenebrolite.ico;${CMAKE_SOURCE_DIR}/res/tenebrolite.manifest")

add_executable(win32_tests
  tests/win32/registry_win32_test.cpp
)
target_link_libraries(win32_tests PRIVATE tenebrolite_win32 project_warnings GTest::gtest_main)
add_test(NAME win32.registry COMMAND win32_tests)
set_tests_properties(win32.registry PROPERTIES LABELS win32)
