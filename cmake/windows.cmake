# The Windows build: the real platform layer, the program and the tests that
# run under Wine.
enable_language(RC)

# No runtime DLLs beside the exe: libstdc++, libgcc and winpthreads go in
# statically. ASLR with high-entropy addresses and NX on.
add_compile_options(-ffunction-sections -fdata-sections)
add_link_options(-static -Wl,--gc-sections -Wl,--dynamicbase -Wl,--high-entropy-va -Wl,--nxcompat)

add_library(tenebrolite_win32 STATIC
  src/platform/win32/app_info_win32.cpp
  src/platform/win32/input_win32.cpp
  src/platform/win32/locale_win32.cpp
  src/platform/win32/registry_win32.cpp
  src/platform/win32/shell_win32.cpp
  src/platform/win32/sleeper_win32.cpp
  src/platform/win32/window_system_win32.cpp
)
target_link_libraries(tenebrolite_win32 PUBLIC tenebrolite_core version shcore PRIVATE project_warnings)
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
  tests/win32/platform_win32_test.cpp
  tests/win32/registry_win32_test.cpp
)
target_link_libraries(win32_tests PRIVATE tenebrolite_win32 project_warnings GTest::gtest_main)
include(GoogleTest)
# Listed when ctest runs, inside the Wine session, not at build time.
gtest_discover_tests(win32_tests TEST_PREFIX "win32." DISCOVERY_MODE PRE_TEST
  PROPERTIES LABELS win32)

# End-to-end tests: the built exe, driven from outside under Wine. They take
# the program's ids, texts and layout from its own headers.
add_library(e2e_harness INTERFACE)
target_include_directories(e2e_harness INTERFACE tests/e2e)
target_link_libraries(e2e_harness INTERFACE tenebrolite_core)
target_compile_definitions(e2e_harness INTERFACE UNICODE _UNICODE NOMINMAX _WIN32_WINNT=0x0A00)
add_executable(e2e_tests tests/e2e/info_test.cpp tests/e2e/power_test.cpp tests/e2e/tray_test.cpp)
target_link_libraries(e2e_tests PRIVATE e2e_harness project_warnings GTest::gtest_main)
add_dependencies(e2e_tests Tenebrolite)
# Wine writes the relay trace of the programs the tests start to stderr: the
# runner sends it to a file that the tests read.
gtest_discover_tests(e2e_tests TEST_PREFIX "e2e." DISCOVERY_MODE PRE_TEST
  PROPERTIES LABELS e2e ENVIRONMENT "TENEBROLITE_RELAY_LOG=${CMAKE_BINARY_DIR}/e2e-relay.log")

# The built exe needs no DLL but the system's own and has its hardening flags.
add_test(NAME exe.hardening
  COMMAND ${CMAKE_SOURCE_DIR}/tools/check_exe.sh $<TARGET_FILE:Tenebrolite>)
set_tests_properties(exe.hardening PROPERTIES LABELS exe)

# Measurements (make bench), not tests.
add_executable(empty_program WIN32 tests/bench/empty_program.cpp)
target_link_options(empty_program PRIVATE -municode -s)
add_executable(startup_bench tests/bench/startup_bench.cpp)
target_link_options(startup_bench PRIVATE -municode)
target_link_libraries(startup_bench PRIVATE project_warnings)
target_link_libraries(empty_program PRIVATE project_warnings)

# help.html lies beside the exe, where Help looks for it.
add_custom_command(TARGET Tenebrolite POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/res/help.html
          $<TARGET_FILE_DIR:Tenebrolite>/help.html)

# make dist: Tenebrolite-1.1.0.0-win64.zip with the exe, the help page and the licence.
install(TARGETS Tenebrolite RUNTIME DESTINATION .)
install(FILES res/help.html LICENSE DESTINATION .)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Tenebrolite)
set(CPACK_PACKAGE_VENDOR "Velmarind Media")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME Tenebrolite-${PROJECT_VERSION}-win64)
include(CPack)

# make screenshots: the pictures in docs/, built only for that.
add_executable(screenshot_driver EXCLUDE_FROM_ALL tools/screenshot_driver.cpp)
target_link_libraries(screenshot_driver PRIVATE e2e_harness project_warnings)
target_link_options(screenshot_driver PRIVATE -municode)

# The program's sources compile warning-free with clang for Windows too, and
# clang-tidy finds nothing in them: one pass over the compile commands.
add_test(NAME exe.clang COMMAND /usr/bin/python3 ${CMAKE_SOURCE_DIR}/tools/clang_check.py
  ${CMAKE_BINARY_DIR})
set_tests_properties(exe.clang PROPERTIES LABELS exe)
