# SPDX-FileCopyrightText: 2026 The tarnvel developers
# SPDX-License-Identifier: MIT
#
# What only the Windows programs have: the application manifest in tarnvel.exe; the manifest (UTF-8 as the
# process code page) and the version block in tarnvel-board.exe.
target_sources(tarnvel PRIVATE ${CMAKE_CURRENT_LIST_DIR}/windows/manifest.rc)
set_property(SOURCE ${CMAKE_CURRENT_LIST_DIR}/windows/manifest.rc DIRECTORY ${PROJECT_SOURCE_DIR}/app
  PROPERTY OBJECT_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/windows/tarnvel.exe.manifest)

set(board_manifest ${CMAKE_BINARY_DIR}/tarnvel-board/tarnvel-board.exe.manifest)
configure_file(${CMAKE_CURRENT_LIST_DIR}/windows/tarnvel-board.exe.manifest.in ${board_manifest} @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/windows/tarnvel-board.rc.in
  ${CMAKE_BINARY_DIR}/tarnvel-board/tarnvel-board.rc @ONLY)
target_sources(tarnvel-board PRIVATE ${CMAKE_BINARY_DIR}/tarnvel-board/tarnvel-board.rc)
set_property(SOURCE ${CMAKE_BINARY_DIR}/tarnvel-board/tarnvel-board.rc
  DIRECTORY ${PROJECT_SOURCE_DIR}/tarnvel-board PROPERTY OBJECT_DEPENDS ${board_manifest})

# The package for Windows users: tarnvel-<version>-win64.zip with the two programs, the licence and a
# short README (`make windows-package`).
set(package_dir ${CMAKE_BINARY_DIR}/package/tarnvel-${PROJECT_VERSION}-win64)
set(package_zip ${CMAKE_BINARY_DIR}/tarnvel-${PROJECT_VERSION}-win64.zip)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
add_custom_command(OUTPUT ${package_zip}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${package_dir}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${package_dir}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:tarnvel> ${package_dir}/tarnvel.exe
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:tarnvel-board> ${package_dir}/tarnvel-board.exe
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/LICENSE ${package_dir}/LICENSE.txt
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_LIST_DIR}/windows/README.txt ${package_dir}/README.txt
  COMMAND ${CMAKE_COMMAND} -E rm -f ${package_zip}
  COMMAND ${CMAKE_COMMAND} -E tar cf ${package_zip} --format=zip tarnvel-${PROJECT_VERSION}-win64
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/package
  DEPENDS tarnvel tarnvel-board ${PROJECT_SOURCE_DIR}/LICENSE ${CMAKE_CURRENT_LIST_DIR}/windows/README.txt
  COMMENT "Packing tarnvel-${PROJECT_VERSION}-win64.zip"
  VERBATIM)
add_custom_target(windows_package DEPENDS ${package_zip})

add_subdirectory(${PROJECT_SOURCE_DIR}/bench/win32 ${CMAKE_BINARY_DIR}/bench)
