# The Debian package and the RPM of the Linux program (make dist), from the
# same install rules: the binary, the help page where the binary finds it, the
# desktop entry with its icons and AppStream data under one reverse-DNS id,
# the licence.
include(GNUInstallDirs)
# Installing builds nothing (the build preset builds the program and its
# icons): "all" would also build the unit tests and GoogleTest here.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
# The package's folders are 755 whatever the umask of the build.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
  GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The icon theme's pictures (cmake/linux.cmake draws them).
foreach(size IN LISTS icon_sizes)
  install(FILES ${CMAKE_BINARY_DIR}/icons/${size}x${size}/${TENEBROLITE_APP_ID}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

install(TARGETS tenebrolite RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES res/help.html DESTINATION ${CMAKE_INSTALL_DATADIR}/tenebrolite)
install(FILES res/linux/${TENEBROLITE_APP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES res/linux/${TENEBROLITE_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tenebrolite RENAME copyright)

set(CPACK_GENERATOR DEB RPM)
set(CPACK_PACKAGE_NAME tenebrolite)
set(CPACK_PACKAGE_VENDOR "Velmarind Media")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "switch the display off from the notification area")
set(CPACK_PACKAGE_DESCRIPTION "Tenebrolite puts an icon in the notification area and
powers the display down when you click it. For a few seconds after, a hand on
the mouse or a shaken desk cannot wake the display straight away.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Velmarind Media <tenebrolite@velmarind.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://velmarind.example/)
# Qt 6 and xcb, as dpkg-shlibdeps finds them in the binary.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Help and About open pages through xdg-open; in a Wayland session Qt runs the
# program as a native client through its Wayland platform, and without it
# through Xwayland, or not at all where the session has none.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, qt6-wayland")
# The RPM, named without rpm's release number: its requirements are the
# sonames that rpm's own scan of the binary finds. CPack has no variables for
# Recommends and Packager, so they go into rpmbuild's preamble as lines; no
# build-id links, which the Debian package has none of either.
set(CPACK_RPM_FILE_NAME tenebrolite-${PROJECT_VERSION}.x86_64.rpm)
string(SUBSTRING "${CPACK_PACKAGE_DESCRIPTION_SUMMARY}" 0 1 first)
string(SUBSTRING "${CPACK_PACKAGE_DESCRIPTION_SUMMARY}" 1 -1 rest)
string(TOUPPER "${first}" first)
set(CPACK_RPM_PACKAGE_SUMMARY "${first}${rest}")  # rpm's summaries start with a capital
set(CPACK_RPM_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_RPM_PACKAGE_LICENSE MIT)
set(CPACK_RPM_PACKAGE_GROUP Applications/System)
set(CPACK_RPM_PACKAGE_URL ${CPACK_DEBIAN_PACKAGE_HOMEPAGE})
set(CPACK_PACKAGE_RELOCATABLE OFF)
# Qt's Wayland platform is packaged as qt6-qtwayland (Fedora) or qt6-wayland
# (openSUSE).
set(CPACK_RPM_SPEC_MORE_DEFINE "Recommends: xdg-utils
Recommends: (qt6-qtwayland or qt6-wayland)
Packager: ${CPACK_DEBIAN_PACKAGE_MAINTAINER}
%define _build_id_links none")
# The package owns its own folders only, not those of the desktop's standards.
set(CPACK_RPM_EXCLUDE_FROM_AUTO_FILELIST_ADDITION /usr/share/applications /usr/share/metainfo
  /usr/share/icons /usr/share/icons/hicolor)
foreach(size IN ITEMS 16 22 24 32 48 64 128 256)
  list(APPEND CPACK_RPM_EXCLUDE_FROM_AUTO_FILELIST_ADDITION
    /usr/share/icons/hicolor/${size}x${size} /usr/share/icons/hicolor/${size}x${size}/apps)
endforeach()
include(CPack)

# The package made, installed, run in the private session and removed: the
# installing may wait on another apt on the machine.
# The RPM made, its files, requirements and modes installed into a private
# root checked, and rpmlint run with cmake/rpmlint.toml.
foreach(package Package Rpm)
  add_test(NAME linux_e2e.${package}
    COMMAND ${CMAKE_SOURCE_DIR}/tools/linux-session.sh /usr/bin/python3
            ${CMAKE_SOURCE_DIR}/tests/linux/e2e/package_test.py ${package})
  set_tests_properties(linux_e2e.${package} PROPERTIES LABELS e2e TIMEOUT 300
    ENVIRONMENT "TENEBROLITE_BUILD=${CMAKE_BINARY_DIR}")
endforeach()
