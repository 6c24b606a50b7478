# Unit tests of the program's logic against fakes of the platform seam.
include(GoogleTest)

add_executable(unit_tests
  tests/unit/fakes/fake_platform.cpp
  tests/unit/fakes/fake_registry.cpp
  tests/unit/app/application_test.cpp
  tests/unit/power/parse_number_test.cpp
  tests/unit/power/switch_off_test.cpp
  tests/unit/settings/registry_store_test.cpp
  tests/unit/tray/form1_test.cpp
)
target_include_directories(unit_tests PRIVATE tests/unit)
target_link_libraries(unit_tests PRIVATE tenebrolite_core project_warnings GTest::gtest_main)
gtest_discover_tests(unit_tests TEST_PREFIX "unit." PROPERTIES LABELS unit)
