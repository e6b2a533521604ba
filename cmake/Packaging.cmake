# Installing and packaging: the programs, the data, the menu entry with its icon and the manual
# pages in Debian's layout (`cmake --install`), and the .deb CPack makes of them (`make package`).
include(GNUInstallDirs)
# Folders made by the installation are open to all to read, whatever the umask of who builds.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(KALETH_GAMES_DIR games CACHE STRING "Where the demo itself is installed, under the prefix")
set(KALETH_DATA_DIR ${CMAKE_INSTALL_DATAROOTDIR}/games/kaleth CACHE STRING "Where kaleth.pak is installed, under the prefix")
set(KALETH_MAINTAINER "KALETH maintainers <kaleth@example.org>" CACHE STRING "The package's maintainer")

# The programs find the data relative to their own folder, so an unpacked or relocated copy works.
file(RELATIVE_PATH KALETH_DATA_FROM_GAMES /prefix/${KALETH_GAMES_DIR} /prefix/${KALETH_DATA_DIR})
file(RELATIVE_PATH KALETH_DATA_FROM_PROGRAMS /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${KALETH_DATA_DIR})
configure_file(cmake/kaleth_build.h.in ${CMAKE_BINARY_DIR}/generated/kaleth_build.h @ONLY)
# Only the start-ups that report the version or find the data read it, so a new version rebuilds
# them alone.
set_source_files_properties(apps/kaleth/main.cpp apps/capture/main.cpp apps/bench/main.cpp
  apps/pak/main.cpp apps/pakgen/main.cpp tests/apps/help_test.cpp
  PROPERTIES INCLUDE_DIRECTORIES ${CMAKE_BINARY_DIR}/generated)

# The icon in the sizes desktops ask for, cut from the production's own opening picture.
set(KALETH_ICON_SIZES 16 32 48 64 128 256)
set(icon_arguments)
set(icon_files)
foreach(size ${KALETH_ICON_SIZES})
  set(icon ${CMAKE_BINARY_DIR}/icons/${size}x${size}/kaleth.png)
  list(APPEND icon_arguments --icon ${size} ${icon})
  list(APPEND icon_files ${icon})
  install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
set(icon_folders ${icon_files})
list(TRANSFORM icon_folders REPLACE "/kaleth.png$" "")
add_custom_command(OUTPUT ${icon_files}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${icon_folders}
  COMMAND kaleth-pakgen ${icon_arguments}
  DEPENDS kaleth-pakgen
  VERBATIM
  COMMENT "Cutting the icon from the production's pictures")

# Manual pages and the Debian changelog, compressed as Debian keeps them. The version is written
# into each from the one in project().
set(KALETH_MANUAL_PAGES kaleth.6 kaleth-capture.1 kaleth-bench.1 kaleth-pak.1 kaleth-pakgen.1)
set(compressed_files)
foreach(page ${KALETH_MANUAL_PAGES})
  configure_file(packaging/man/${page}.in ${CMAKE_BINARY_DIR}/man/${page} @ONLY)
  string(REGEX MATCH "[0-9]$" section ${page})
  install(FILES ${CMAKE_BINARY_DIR}/man/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
  list(APPEND compressed_files ${CMAKE_BINARY_DIR}/man/${page})
endforeach()
configure_file(packaging/changelog.in ${CMAKE_BINARY_DIR}/packaging/changelog @ONLY)
list(APPEND compressed_files ${CMAKE_BINARY_DIR}/packaging/changelog)
set(compressed_outputs)
foreach(file ${compressed_files})
  add_custom_command(OUTPUT ${file}.gz
    COMMAND gzip -9nkf ${file}
    DEPENDS ${file}
    VERBATIM)
  list(APPEND compressed_outputs ${file}.gz)
endforeach()
add_custom_target(kaleth_install_files ALL DEPENDS ${icon_files} ${compressed_outputs})

# Installed programs resolve every library symbol at start-up, so their relocation tables can be
# made read-only (Debian's hardening of packaged programs).
foreach(program kaleth kaleth-capture kaleth-pak kaleth-pakgen kaleth-bench)
  target_link_options(${program} PRIVATE -Wl,-z,relro,-z,now)
endforeach()
install(TARGETS kaleth RUNTIME DESTINATION ${KALETH_GAMES_DIR})
install(TARGETS kaleth-capture kaleth-pak kaleth-pakgen kaleth-bench RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_BINARY_DIR}/kaleth.pak DESTINATION ${KALETH_DATA_DIR})
install(FILES packaging/kaleth.desktop DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
install(FILES packaging/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/kaleth)
install(FILES packaging/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides RENAME kaleth)

# The Debian package: kaleth_<version>_<architecture>.deb in the build folder.
execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE KALETH_DEB_ARCHITECTURE
  OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
if(NOT KALETH_DEB_ARCHITECTURE)
  set(KALETH_DEB_ARCHITECTURE amd64)
endif()
set(KALETH_DEB_FILE kaleth_${PROJECT_VERSION}_${KALETH_DEB_ARCHITECTURE}.deb)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kaleth)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CONTACT "${KALETH_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KALETH_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time audiovisual demo drawn in software, with its own music")
# Debian shows the description as it is written: lines under 80 characters, a blank line between
# paragraphs.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "KALETH is a demo in the old tradition of the demoscene: fourteen timed scenes"
  "of pixel effects and textured, lit 3D, played to tracker music whose notes the"
  "scenes react to. Every pixel is drawn by the processor, so it needs no 3D"
  "driver and plays the same on every machine. Start it from the games menu or"
  "as kaleth; Escape leaves."
  ""
  "kaleth-capture keeps the production as pictures, sound or a video (with"
  "ffmpeg) on machines without a screen; kaleth-pak takes its package of"
  "pictures and music apart so it can be shown with your own.")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The capture's contact sheet and the package generator set their text in DejaVu.
set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-dejavu-core)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS ffmpeg)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${KALETH_DEB_ARCHITECTURE})
set(CPACK_DEBIAN_FILE_NAME ${KALETH_DEB_FILE})
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)

# The package's own checks run on the package the tests build: an instrumented build makes none.
if(NOT KALETH_SANITIZE AND NOT KALETH_FUZZ)
  file(GLOB KALETH_PACKAGE_TEST_SOURCES CONFIGURE_DEPENDS tests/package/*.cpp)
  add_executable(kaleth-package-tests ${KALETH_PACKAGE_TEST_SOURCES} tests/support/run_program.cpp)
  target_include_directories(kaleth-package-tests PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
  target_link_libraries(kaleth-package-tests PRIVATE GTest::gtest GTest::gtest_main)
  target_compile_definitions(kaleth-package-tests PRIVATE
    KALETH_BUILD_DIR="${CMAKE_BINARY_DIR}"
    KALETH_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    KALETH_DEB_FILE="${KALETH_DEB_FILE}")
  add_test(NAME Package.Build COMMAND ${CMAKE_COMMAND} --build ${CMAKE_BINARY_DIR} --target package)
  set_tests_properties(Package.Build PROPERTIES FIXTURES_SETUP kaleth_deb)
  gtest_discover_tests(kaleth-package-tests
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    PROPERTIES FIXTURES_REQUIRED kaleth_deb
    DISCOVERY_TIMEOUT 60)
endif()
