# Unit tests of the program's logic against fakes of the platform seam.
include(GoogleTest)

add_executable(unit_tests
  tests/unit/app/application_test.cpp
  tests/unit/app/command_line_test.cpp
  tests/unit/power/hold_guard_test.cpp
  tests/unit/power/holdit_test.cpp
  tests/unit/power/numeric_text_test.cpp
  tests/unit/power/parse_number_test.cpp
  tests/unit/power/switch_off_test.cpp
  tests/unit/settings/registry_store_test.cpp
  tests/unit/tray/form1_test.cpp
)
target_include_directories(unit_tests PRIVATE tests/unit)
target_link_libraries(unit_tests PRIVATE tenebrolite_core project_warnings GTest::gtest_main)
gtest_discover_tests(unit_tests TEST_PREFIX "unit." PROPERTIES LABELS unit)

# A coverage-guided fuzzer (clang's libFuzzer, under ASan and UBSan). ctest runs
# it briefly; `make fuzz` runs it for a minute.
option(TENEBROLITE_FUZZ "Build the fuzzers (needs clang)" OFF)
set(TENEBROLITE_FUZZ_SECONDS 5 CACHE STRING "How long ctest runs each fuzzer")
if(TENEBROLITE_FUZZ)
  target_compile_options(tenebrolite_core PRIVATE -fsanitize=fuzzer-no-link)
  foreach(fuzzer number)
    add_executable(fuzz_${fuzzer} tests/fuzz/${fuzzer}_fuzz.cpp)
    target_link_libraries(fuzz_${fuzzer} PRIVATE tenebrolite_core project_warnings)
    target_link_options(fuzz_${fuzzer} PRIVATE -fsanitize=fuzzer)
    target_compile_options(fuzz_${fuzzer} PRIVATE -fsanitize=fuzzer)
    add_test(NAME fuzz.${fuzzer}
      COMMAND ${CMAKE_SOURCE_DIR}/tools/fuzz.sh $<TARGET_FILE:fuzz_${fuzzer}>
              ${CMAKE_SOURCE_DIR}/tests/fuzz/seeds/${fuzzer} ${TENEBROLITE_FUZZ_SECONDS})
    set_tests_properties(fuzz.${fuzzer} PROPERTIES LABELS fuzz)
  endforeach()
endif()
