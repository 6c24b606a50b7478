# The Windows build: the real platform layer, the program and the tests that
# run under Wine.
add_library(tenebrolite_win32 STATIC
  src/platform/win32/registry_win32.cpp
)
target_link_libraries(tenebrolite_win32 PUBLIC tenebrolite_core PRIVATE project_warnings)
target_compile_definitions(tenebrolite_win32 PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
  _WIN32_WINNT=0x0A00 WINVER=0x0A00)

# No runtime DLLs beside the exe: libstdc++, libgcc and winpthreads go in statically.
add_link_options(-static)

add_executable(win32_tests
  tests/win32/registry_win32_test.cpp
)
target_link_libraries(win32_tests PRIVATE tenebrolite_win32 project_warnings GTest::gtest_main)
add_test(NAME win32.registry COMMAND win32_tests)
set_tests_properties(win32.registry PROPERTIES LABELS win32)
