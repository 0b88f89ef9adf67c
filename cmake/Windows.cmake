# SPDX-FileCopyrightText: 2026 The tarnvel developers
# SPDX-License-Identifier: MIT
#
# The Windows build (toolchain cmake/mingw-w64-x86_64.cmake, preset `windows`). Programs of the build run
# under Wine in a prefix private to this build tree.
set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/scripts/wine-run --prefix ${CMAKE_BINARY_DIR}/wineprefix)

add_subdirectory(calc)

include(CTest)
if(BUILD_TESTING)
  # GoogleTest built for the target from Debian's sources (package googletest); it names its targets
  # GTest::gtest and GTest::gtest_main itself.
  set(TARNVEL_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources to build for the target")
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(${TARNVEL_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  foreach(lib gtest gtest_main)
    target_link_options(${lib} INTERFACE -static -static-libgcc -static-libstdc++)
  endforeach()
  include(GoogleTest)
  add_subdirectory(tests/calc)
endif()
