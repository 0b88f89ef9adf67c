# SPDX-FileCopyrightText: 2026 The tarnvel developers
# SPDX-License-Identifier: MIT
# The Debian package. `make package` (the `package` target) writes tarnvel_<version>_<arch>.deb into the
# build tree; its library dependencies are found by dpkg-shlibdeps (Debian package dpkg-dev).
include(GNUInstallDirs)

# What Debian wants besides the programs: the copyright, and the changelog and manual pages gzipped without
# a timestamp. Installed by `cmake --install` as well, so an install under a prefix has the manual pages
# too.
set(tarnvel_packaging ${PROJECT_SOURCE_DIR}/resources/packaging)
foreach(file changelog tarnvel.1 tarnvel-board.1)
  add_custom_command(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/${file}.gz
    COMMAND gzip -9nc ${tarnvel_packaging}/${file} > ${CMAKE_CURRENT_BINARY_DIR}/${file}.gz
    DEPENDS ${tarnvel_packaging}/${file}
    VERBATIM)
endforeach()
add_custom_target(tarnvel_docs ALL DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz
                  ${CMAKE_CURRENT_BINARY_DIR}/tarnvel.1.gz ${CMAKE_CURRENT_BINARY_DIR}/tarnvel-board.1.gz)
install(FILES ${tarnvel_packaging}/copyright ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/tarnvel.1.gz ${CMAKE_CURRENT_BINARY_DIR}/tarnvel-board.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarnvel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The tarnvel developers")
set(CPACK_PACKAGE_CONTACT "tarnvel developers <tarnvel@example.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "relative displacement limit of circuit boards under vibration")
# Debian shows the description as it is: lines of at most 80 characters, paragraphs apart.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "tarnvel is a small desktop calculator for engineers who design electronic"
  "equipment that must survive random vibration. It evaluates Steinberg's"
  "relative displacement criterion, Z = 0.00022 B / (C h r sqrt(L)): the largest"
  "relative displacement (inch, 3-sigma) a circuit board may undergo so that a"
  "component on it survives 20 million stress cycles."
  ""
  "Board edge, board thickness, component length, component kind (or constant)"
  "and position on the board are entered in one dialog; Calculate shows Z to"
  "three significant digits and warns about inputs outside the criterion's range."
  ""
  "tarnvel-board, its command-line companion, evaluates a whole board: it reads"
  "the parts list from a CSV file, takes the board's natural frequency (given, or"
  "estimated as a plate from its size and mass) and a random-vibration PSD, and"
  "reports each part's allowable displacement, the board's response by Miles'"
  "equation, the margin, the fatigue life and the board frequency needed, as a"
  "table, CSV or JSON.")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The dialogs ask for Arial, which fontconfig resolves to Liberation Sans.
set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-liberation)
# Natively on Wayland with Qt's Wayland platform, else through XWayland.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-wayland)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

include(CPack)
