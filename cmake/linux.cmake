# The native Linux program: its file store and autostart entry (plain C++ and
# POSIX, tested in every host build), and, in the linux preset, the program
# itself on Qt 6 and xcb with its end-to-end tests.
add_library(tenebrolite_linux_files STATIC
  src/platform/linux/command_line.cpp
  src/platform/linux/settings/autostart.cpp
  src/platform/linux/settings/registry.cpp
  src/platform/linux/settings/files.cpp
  src/platform/linux/settings/file.cpp
  src/platform/linux/settings/line.cpp
  src/platform/linux/utf8.cpp
  src/platform/linux/x11/power_rule.cpp
)
target_include_directories(tenebrolite_linux_files PUBLIC src)
target_link_libraries(tenebrolite_linux_files PRIVATE project_warnings)

include(GoogleTest)
add_executable(linux_unit_tests
  tests/linux/unit/settings/autostart_test.cpp
  tests/linux/unit/settings/file_store_test.cpp
  tests/linux/unit/x11/power_rule_test.cpp
)
target_link_libraries(linux_unit_tests PRIVATE tenebrolite_linux_files tenebrolite_core
  project_warnings GTest::gtest_main)
gtest_discover_tests(linux_unit_tests TEST_PREFIX "linux." PROPERTIES LABELS unit)

if(TENEBROLITE_FUZZ)
  target_compile_options(tenebrolite_linux_files PRIVATE -fsanitize=fuzzer-no-link)
  add_executable(fuzz_file_store tests/fuzz/file_store_fuzz.cpp)
  target_link_libraries(fuzz_file_store PRIVATE tenebrolite_linux_files project_warnings)
  target_link_options(fuzz_file_store PRIVATE -fsanitize=fuzzer)
  target_compile_options(fuzz_file_store PRIVATE -fsanitize=fuzzer)
  add_test(NAME fuzz.file_store
    COMMAND ${CMAKE_SOURCE_DIR}/tools/fuzz.sh $<TARGET_FILE:fuzz_file_store>
            ${CMAKE_SOURCE_DIR}/tests/fuzz/seeds/file_store ${TENEBROLITE_FUZZ_SECONDS})
  set_tests_properties(fuzz.file_store PROPERTIES LABELS fuzz)
endif()

option(TENEBROLITE_LINUX_APP "Build the Linux program (Qt 6, xcb) and its end-to-end tests" OFF)
if(NOT TENEBROLITE_LINUX_APP)
  return()
endif()

find_package(Qt6 REQUIRED COMPONENTS Widgets DBus)
find_package(PkgConfig REQUIRED)
pkg_check_modules(XCB REQUIRED IMPORTED_TARGET xcb xcb-dpms)

# The compositor's own protocols, for the program's own Wayland connection:
# code generated from Debian's descriptions where it ships them, and from the
# project's own (src/platform/linux/wayland/protocols) for the wlroots ones
# and for the idle notification's version 2, which Debian 12's lacks.
pkg_check_modules(WAYLAND REQUIRED IMPORTED_TARGET wayland-client)
pkg_get_variable(WAYLAND_SCANNER wayland-scanner wayland_scanner)
pkg_get_variable(WAYLAND_PROTOCOLS wayland-protocols pkgdatadir)
find_package(PlasmaWaylandProtocols REQUIRED)
set(wayland_generated ${CMAKE_BINARY_DIR}/wayland)
set(wayland_sources)
function(wayland_protocol xml)
  get_filename_component(name ${xml} NAME_WE)
  add_custom_command(
    OUTPUT ${wayland_generated}/${name}-client.h ${wayland_generated}/${name}.c
    COMMAND ${CMAKE_COMMAND} -E make_directory ${wayland_generated}
    COMMAND ${WAYLAND_SCANNER} client-header ${xml} ${wayland_generated}/${name}-client.h
    COMMAND ${WAYLAND_SCANNER} private-code ${xml} ${wayland_generated}/${name}.c
    DEPENDS ${xml} VERBATIM)
  set(wayland_sources ${wayland_sources} ${wayland_generated}/${name}-client.h
      ${wayland_generated}/${name}.c PARENT_SCOPE)
endfunction()
set(own_protocols ${CMAKE_SOURCE_DIR}/src/platform/linux/wayland/protocols)
foreach(xml IN ITEMS
    ${WAYLAND_PROTOCOLS}/stable/xdg-shell/xdg-shell.xml
    ${WAYLAND_PROTOCOLS}/staging/xdg-activation/xdg-activation-v1.xml
    ${PLASMA_WAYLAND_PROTOCOLS_DIR}/dpms.xml
    ${PLASMA_WAYLAND_PROTOCOLS_DIR}/idle.xml
    ${PLASMA_WAYLAND_PROTOCOLS_DIR}/fake-input.xml
    ${own_protocols}/ext-idle-notify-v1.xml
    ${own_protocols}/wlr-input-inhibitor-unstable-v1.xml
    ${own_protocols}/wlr-layer-shell-unstable-v1.xml
    ${own_protocols}/wlr-output-power-management-unstable-v1.xml
    ${CMAKE_SOURCE_DIR}/tests/linux/e2e/wlr-virtual-pointer-unstable-v1.xml)
  wayland_protocol(${xml})
endforeach()
add_library(tenebrolite_wayland_protocols STATIC ${wayland_sources})
target_include_directories(tenebrolite_wayland_protocols PUBLIC ${wayland_generated})
target_link_libraries(tenebrolite_wayland_protocols PUBLIC PkgConfig::WAYLAND)

# The icon's pictures at the sizes of an icon theme, drawn by the same script
# as the exe's icon; and those a notification area shows (up to 48 px, a 24 px
# panel at twice the scale) as pixels in the program, so that its icon is made
# without reading an image file, which would load Qt's image plugins first.
set(TENEBROLITE_APP_ID example.velmarind.Tenebrolite)  # the site's domain, reversed
set(icon_sizes 16 22 24 32 48 64 128 256)
set(icons)
foreach(size IN LISTS icon_sizes)
  set(icon ${CMAKE_BINARY_DIR}/icons/${size}x${size}/${TENEBROLITE_APP_ID}.png)
  add_custom_command(OUTPUT ${icon}
    COMMAND /usr/bin/python3 ${CMAKE_SOURCE_DIR}/tools/make_icon.py --png ${size} ${icon}
    DEPENDS ${CMAKE_SOURCE_DIR}/tools/make_icon.py VERBATIM)
  list(APPEND icons ${icon})
endforeach()
add_custom_target(icons DEPENDS ${icons})
set(program_icon ${CMAKE_BINARY_DIR}/icons/program_icon.h)
add_custom_command(OUTPUT ${program_icon}
  COMMAND /usr/bin/python3 ${CMAKE_SOURCE_DIR}/tools/make_icon.py --cpp ${program_icon}
          16 22 24 32 48
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/make_icon.py VERBATIM)

add_executable(tenebrolite
  src/main/linux.cpp
  src/platform/linux/qt/dialog_layout.cpp
  src/platform/linux/qt/dialog_window.cpp
  src/platform/linux/qt/window_system.cpp
  src/platform/linux/qt/tray.cpp
  src/platform/linux/session.cpp
  src/platform/linux/session_bus/mutter.cpp
  src/platform/linux/session_bus/plasma.cpp
  src/platform/linux/x11/hold.cpp
  src/platform/linux/wayland/compositor.cpp
  src/platform/linux/wayland/connection.cpp
  src/platform/linux/wayland/globals.cpp
  src/platform/linux/wayland/idle_watch.cpp
  src/platform/linux/wayland/inhibitor_probe.cpp
  src/platform/linux/wayland/output_power.cpp
  src/platform/linux/wayland/overlay.cpp
  ${program_icon}
)
target_include_directories(tenebrolite PRIVATE ${CMAKE_BINARY_DIR}/icons)
add_dependencies(tenebrolite icons)
target_link_libraries(tenebrolite PRIVATE tenebrolite_linux_files tenebrolite_core project_warnings
  Qt6::Widgets Qt6::DBus PkgConfig::XCB tenebrolite_wayland_protocols)
set_target_properties(tenebrolite PROPERTIES AUTOMOC ON)
target_compile_definitions(tenebrolite PRIVATE QT_NO_KEYWORDS)
target_compile_options(tenebrolite PRIVATE -ffunction-sections -fdata-sections)
target_link_options(tenebrolite PRIVATE -s -Wl,--gc-sections -Wl,--as-needed)
# The help page lies beside the program, as it does beside the exe; a change
# of the page alone links the program again, and so copies the page.
set_property(TARGET tenebrolite APPEND PROPERTY LINK_DEPENDS ${CMAKE_SOURCE_DIR}/res/help.html)
add_custom_command(TARGET tenebrolite POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/res/help.html
          $<TARGET_FILE_DIR:tenebrolite>/help.html)

# End-to-end: the built program in a private session (tools/linux-session.sh)
# with the stand-in panel, driven over D-Bus and with xdotool.
pkg_check_modules(XCB_SCREENSAVER REQUIRED IMPORTED_TARGET xcb-screensaver)
add_executable(x_probe tests/linux/e2e/x_probe.cpp)
target_link_libraries(x_probe PRIVATE project_warnings PkgConfig::XCB PkgConfig::XCB_SCREENSAVER)
add_executable(wl_probe tests/linux/e2e/wl_probe.cpp)
target_link_libraries(wl_probe PRIVATE project_warnings tenebrolite_wayland_protocols)
add_executable(text_probe tests/linux/e2e/text_probe.cpp)
target_link_libraries(text_probe PRIVATE project_warnings Qt6::Widgets)
# Each test is SCRIPT:CASE, a unittest case of a script in tests/linux/e2e.
foreach(test IN ITEMS e2e_test:Tray e2e_test:Hold e2e_test:Display e2e_test:Dialog
                      e2e_test:HelpAbout e2e_test:Path e2e_test:Command e2e_test:NoIcon
                      e2e_test:Panel e2e_test:XEmbed kde_test:Kde kde_test:Sway kde_test:NoCompositor
                      gnome_test:Gnome shells_test:SwayWaybar shells_test:GnomeShell
                      shells_test:PlasmaShell)
  string(REPLACE ":" ";" parts ${test})
  list(GET parts 0 script)
  list(GET parts 1 case)
  add_test(NAME linux_e2e.${case}
    COMMAND ${CMAKE_SOURCE_DIR}/tools/linux-session.sh /usr/bin/python3
            ${CMAKE_SOURCE_DIR}/tests/linux/e2e/${script}.py ${case})
  set(environment "TENEBROLITE_BUILD=${CMAKE_BINARY_DIR}")
  if(case MATCHES "^(Panel|XEmbed|NoIcon|SwayWaybar|GnomeShell|PlasmaShell)$")
    list(APPEND environment "TENEBROLITE_NO_PANEL=1")  # the test starts its own
  endif()
  set_tests_properties(linux_e2e.${case} PROPERTIES LABELS e2e ENVIRONMENT "${environment}")
endforeach()

# Measurements (make bench-linux), not tests: built only for that.
add_executable(empty_qt_program EXCLUDE_FROM_ALL tools/bench/empty_qt_program.cpp)
target_link_libraries(empty_qt_program PRIVATE project_warnings Qt6::Widgets)
target_link_options(empty_qt_program PRIVATE -s)

add_test(NAME linux_tidy COMMAND ${CMAKE_SOURCE_DIR}/tools/tidy-linux.sh ${CMAKE_BINARY_DIR})
# One clang-tidy pass over every Linux source takes some 90 s on two idle
# cores: more than the end-to-end tests' 120 s on a busy machine.
set_tests_properties(linux_tidy PROPERTIES LABELS tidy TIMEOUT 300)
include(cmake/linux_package.cmake)
