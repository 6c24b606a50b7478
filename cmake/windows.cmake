# The Windows build: the real platform layer, the program and the tests that
# run under Wine. Tenebrolite.exe is built apart from the tests (an inner
# build of this same project with TENEBROLITE_PROGRAM_ONLY), with the compiler
# of the win32 thread model; the tests need the posix one for GoogleTest.
enable_language(RC)

# No runtime DLLs beside the exe: libstdc++ and libgcc go in statically. ASLR
# with high-entropy addresses and NX on. Every function and datum in a section
# of its own, so that the linker drops what nothing uses.
add_compile_options(-ffunction-sections -fdata-sections)
target_compile_options(tenebrolite_core PRIVATE -ffunction-sections -fdata-sections)
add_link_options(-static -Wl,--gc-sections -Wl,--dynamicbase -Wl,--high-entropy-va -Wl,--nxcompat)

add_library(tenebrolite_win32 STATIC
  src/platform/win32/app_info_win32.cpp
  src/platform/win32/hold_guard_win32.cpp
  src/platform/win32/input_win32.cpp
  src/platform/win32/locale_win32.cpp
  src/platform/win32/registry_win32.cpp
  src/platform/win32/shell_win32.cpp
  src/platform/win32/sleeper_win32.cpp
  src/platform/win32/dialog_win32.cpp
  src/platform/win32/window_system_win32.cpp
)
target_link_libraries(tenebrolite_win32 PUBLIC tenebrolite_core PRIVATE project_warnings)
target_compile_definitions(tenebrolite_win32 PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
  _WIN32_WINNT=0x0A00 WINVER=0x0A00 NTDDI_VERSION=0x0A000006)

if(TENEBROLITE_PROGRAM_ONLY)
  add_executable(Tenebrolite WIN32
    src/platform/win32/runtime_win32.cpp
    src/main/win32.cpp
    res/tenebrolite.rc
  )
  # Optimised across the whole program at link time, and without run-time
  # type information (nothing asks a type at run time; exceptions keep theirs).
  set_property(TARGET tenebrolite_core tenebrolite_win32 Tenebrolite
    PROPERTY INTERPROCEDURAL_OPTIMIZATION ON)
  foreach(target tenebrolite_core tenebrolite_win32 Tenebrolite)
    target_compile_options(${target} PRIVATE -fno-rtti)
  endforeach()
  target_link_libraries(Tenebrolite PRIVATE tenebrolite_win32 project_warnings)
  # Subsystem version 10.0: the exe calls per-monitor dpi functions of Windows
  # 10 1607, and older Windows then refuses it at start instead of failing
  # later on a missing entry point.
  target_link_options(Tenebrolite PRIVATE -municode -s -Wl,--major-subsystem-version,10
    -Wl,--minor-subsystem-version,0)
  set_source_files_properties(res/tenebrolite.rc PROPERTIES
    OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/res/tenebrolite.ico;${CMAKE_SOURCE_DIR}/res/tenebrolite.manifest")

  # help.html lies beside the exe, where Help looks for it; a change of the
  # page alone links the exe again, and so copies the page.
  set_property(TARGET Tenebrolite APPEND PROPERTY LINK_DEPENDS ${CMAKE_SOURCE_DIR}/res/help.html)
  add_custom_command(TARGET Tenebrolite POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/res/help.html
            $<TARGET_FILE_DIR:Tenebrolite>/help.html)

  # Measurements (make bench), built with the same compiler and flags as the
  # exe, and only when asked for.
  foreach(yardstick empty_program icon_program)
    add_executable(${yardstick} WIN32 EXCLUDE_FROM_ALL tools/bench/empty_program.cpp)
    target_link_options(${yardstick} PRIVATE -municode -s)
    target_link_libraries(${yardstick} PRIVATE project_warnings)
  endforeach()
  target_compile_definitions(icon_program PRIVATE ADD_ICON)
  add_executable(startup_bench EXCLUDE_FROM_ALL tools/bench/startup_bench.cpp)
  target_link_options(startup_bench PRIVATE -municode)
  target_link_libraries(startup_bench PRIVATE project_warnings)
  return()
endif()

# The program as it ships, from the inner build, written into this build's
# folder beside the test programs.
include(ExternalProject)
set(TENEBROLITE_EXE ${CMAKE_BINARY_DIR}/Tenebrolite.exe)
ExternalProject_Add(program
  SOURCE_DIR ${CMAKE_SOURCE_DIR}
  BINARY_DIR ${CMAKE_BINARY_DIR}/program
  CMAKE_ARGS
    -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-w64-x86_64-win32.cmake
    -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
    -DCMAKE_RUNTIME_OUTPUT_DIRECTORY=${CMAKE_BINARY_DIR}
    -DTENEBROLITE_PROGRAM_ONLY=ON
  BUILD_ALWAYS ON
  BUILD_BYPRODUCTS ${TENEBROLITE_EXE}
  INSTALL_COMMAND ""
)
# make bench: the measurement programs of the inner build.
add_custom_target(bench_programs
  COMMAND ${CMAKE_COMMAND} -E env MAKEFLAGS= ${CMAKE_COMMAND} --build ${CMAKE_BINARY_DIR}/program
          --target empty_program icon_program startup_bench)
add_dependencies(bench_programs program)

add_executable(win32_tests
  tests/win32/hold_guard_win32_test.cpp
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
add_dependencies(e2e_tests program)
# Wine writes the relay trace of the programs the tests start to stderr: the
# runner sends it to a file that the tests read.
gtest_discover_tests(e2e_tests TEST_PREFIX "e2e." DISCOVERY_MODE PRE_TEST
  PROPERTIES LABELS e2e ENVIRONMENT "TENEBROLITE_RELAY_LOG=${CMAKE_BINARY_DIR}/e2e-relay.log")

# The built exe is small, needs no DLL but the system's own and has its
# hardening flags.
add_test(NAME exe.hardening COMMAND ${CMAKE_SOURCE_DIR}/tools/check_exe.sh ${TENEBROLITE_EXE})
set_tests_properties(exe.hardening PROPERTIES LABELS exe)

# The installer takes the product's name, maker and version from the exe's
# version resource, and the zip's version must be the same.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/res/tenebrolite.rc)
file(READ ${CMAKE_SOURCE_DIR}/res/tenebrolite.rc version_resource)
string(REGEX MATCH "\nPRODUCTVERSION ([0-9]+),([0-9]+),([0-9]+),([0-9]+)" found "${version_resource}")
set(product_version ${CMAKE_MATCH_1}.${CMAKE_MATCH_2}.${CMAKE_MATCH_3}.${CMAKE_MATCH_4})
set(installer_version ${CMAKE_MATCH_1}.${CMAKE_MATCH_2}.${CMAKE_MATCH_3})
set(fourth_field ${CMAKE_MATCH_4})
foreach(field CompanyName ProductName)
  string(REGEX MATCH "VALUE \"${field}\", \"([^\"]+)\"" found "${version_resource}")
  set(resource_${field} "${CMAKE_MATCH_1}")
endforeach()
if(NOT product_version STREQUAL PROJECT_VERSION OR NOT resource_CompanyName OR NOT resource_ProductName)
  message(FATAL_ERROR "res/tenebrolite.rc: PRODUCTVERSION ${product_version} (project ${PROJECT_VERSION}), "
    "CompanyName \"${resource_CompanyName}\", ProductName \"${resource_ProductName}\"")
endif()
# Windows Installer compares only the first three fields of a version: the
# installer's version is those three, and a release that differs from another
# only in the fourth would install beside it, or over a later one.
if(NOT fourth_field EQUAL 0)
  message(FATAL_ERROR "res/tenebrolite.rc: PRODUCTVERSION ${product_version}: the fourth field must be 0; "
    "the installer's version is the first three fields, and each release must differ in them")
endif()

# make dist: Tenebrolite-1.1.0.0-x64.msi, the per-user installer (res/tenebrolite.wxs),
# built by msitools' wixl (a Windows host without it builds none). wixl looks
# for the files in its working folder before the .wxs's: both are res/. The
# upgrade test builds its later version with the same command there.
if(CMAKE_HOST_WIN32)
  find_program(WIXL wixl)
else()
  find_program(WIXL wixl REQUIRED)
endif()
if(WIXL)
  set(TENEBROLITE_MSI ${CMAKE_BINARY_DIR}/${resource_ProductName}-${product_version}-x64.msi)
  file(RELATIVE_PATH exe_dir ${CMAKE_SOURCE_DIR}/res ${CMAKE_BINARY_DIR})
  set(wixl_command ${WIXL} --arch x64 -D "ProductName=${resource_ProductName}"
    -D "Manufacturer=${resource_CompanyName}" -D "ExeDir=${exe_dir}" ${CMAKE_SOURCE_DIR}/res/tenebrolite.wxs)
  add_custom_command(OUTPUT ${TENEBROLITE_MSI}
    COMMAND ${wixl_command} -D Version=${installer_version} -o ${TENEBROLITE_MSI}
    DEPENDS ${TENEBROLITE_EXE} ${CMAKE_SOURCE_DIR}/LICENSE
            ${CMAKE_SOURCE_DIR}/res/tenebrolite.wxs ${CMAKE_SOURCE_DIR}/res/help.html
            ${CMAKE_SOURCE_DIR}/res/tenebrolite.ico
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/res
    VERBATIM)
  add_custom_target(msi ALL DEPENDS ${TENEBROLITE_MSI})
  add_dependencies(msi program)
  add_test(NAME installer.Msi COMMAND /usr/bin/python3 ${CMAKE_SOURCE_DIR}/tests/e2e/msi_test.py
    ${TENEBROLITE_MSI} ${wixl_command})
  set_tests_properties(installer.Msi PROPERTIES LABELS installer)
endif()

# make dist: Tenebrolite-1.1.0.0-win64.zip with the exe, the help page and the licence.
install(PROGRAMS ${TENEBROLITE_EXE} DESTINATION .)
install(FILES res/help.html LICENSE DESTINATION .)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME ${resource_ProductName})
set(CPACK_PACKAGE_VENDOR "${resource_CompanyName}")
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
