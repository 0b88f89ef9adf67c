# SPDX-FileCopyrightText: 2026 The tarnvel developers
# SPDX-License-Identifier: MIT
#
# The Windows build (toolchain cmake/mingw-w64-x86_64.cmake, preset `windows`). Programs of the build run
# under Wine in a prefix private to this build tree.
set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/scripts/wine-run --prefix ${CMAKE_BINARY_DIR}/wineprefix)

enable_language(RC)

add_subdirectory(calc)
# The resource IDs; the resources themselves are the executable's, compiled by windres from the script.
add_library(resources INTERFACE)
target_include_directories(resources INTERFACE ${PROJECT_SOURCE_DIR})
target_compile_features(resources INTERFACE cxx_std_20)
add_subdirectory(ui/afx/win32)
add_subdirectory(ui)
add_subdirectory(app)
target_sources(tarnvel PRIVATE ${PROJECT_SOURCE_DIR}/resources/tarnvel.rc ${PROJECT_SOURCE_DIR}/cmake/windows/manifest.rc)


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
  add_subdirectory(tests/support/win32)
  add_subdirectory(tests/ui/win32)
endif()

# The folders whose targets compile the resource script and the manifest.
set(tarnvel_rc_users ${PROJECT_SOURCE_DIR}/app)
if(BUILD_TESTING)
  list(APPEND tarnvel_rc_users ${PROJECT_SOURCE_DIR}/tests/ui/win32)
endif()
# windres reads these files; the script's dependency scan does not see them.
set_property(SOURCE ${PROJECT_SOURCE_DIR}/cmake/windows/manifest.rc DIRECTORY ${tarnvel_rc_users}
  PROPERTY OBJECT_DEPENDS ${PROJECT_SOURCE_DIR}/cmake/windows/tarnvel.exe.manifest)
set_property(SOURCE ${PROJECT_SOURCE_DIR}/resources/tarnvel.rc DIRECTORY ${tarnvel_rc_users}
  PROPERTY OBJECT_DEPENDS ${PROJECT_SOURCE_DIR}/resources/tarnvel.ico ${PROJECT_SOURCE_DIR}/resources/formula.bmp)
