# SPDX-FileCopyrightText: 2026 The tarnvel developers
# SPDX-License-Identifier: MIT
#
# What only the Windows programs have: the application manifest in tarnvel.exe; the manifest (UTF-8 as the
# process code page) and the version block in tarnvel-board.exe. Their packages: the zip and the MSI.
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

# The packaging tools come from Debian (scripts/install-deps --windows): ImageMagick, and wixl and msibuild
# (msitools), which cmake/windows/make-msi.sh runs.
foreach(tool convert wixl msibuild msiinfo)
  string(TOUPPER TARNVEL_${tool} variable)
  find_program(${variable} ${tool})
  if(NOT ${variable})
    message(FATAL_ERROR "${tool} not found: run scripts/install-deps --windows")
  endif()
endforeach()

# The programs as the packages carry them: copies of the build's, which `make windows-sign` replaces with
# signed ones before it makes the packages.
set(tarnvel_packed_programs ${CMAKE_BINARY_DIR}/package/programs/tarnvel.exe
    ${CMAKE_BINARY_DIR}/package/programs/tarnvel-board.exe)
add_custom_command(OUTPUT ${tarnvel_packed_programs}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/package/programs
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:tarnvel> $<TARGET_FILE:tarnvel-board> ${CMAKE_BINARY_DIR}/package/programs
  DEPENDS tarnvel tarnvel-board
  COMMENT "Staging tarnvel.exe and tarnvel-board.exe for the packages"
  VERBATIM)
add_custom_target(windows_programs DEPENDS ${tarnvel_packed_programs})

# The package for Windows users: tarnvel-<version>-win64.zip with the two programs, the licence and a
# short README (`make windows-package`).
set(package_dir ${CMAKE_BINARY_DIR}/package/tarnvel-${PROJECT_VERSION}-win64)
set(package_zip ${CMAKE_BINARY_DIR}/tarnvel-${PROJECT_VERSION}-win64.zip)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
add_custom_command(OUTPUT ${package_zip}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${package_dir}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${package_dir}
  COMMAND ${CMAKE_COMMAND} -E copy ${tarnvel_packed_programs} ${package_dir}
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/LICENSE ${package_dir}/LICENSE.txt
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_LIST_DIR}/windows/README.txt ${package_dir}/README.txt
  COMMAND ${CMAKE_COMMAND} -E rm -f ${package_zip}
  COMMAND ${CMAKE_COMMAND} -E tar cf ${package_zip} --format=zip tarnvel-${PROJECT_VERSION}-win64
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/package
  DEPENDS ${tarnvel_packed_programs} ${PROJECT_SOURCE_DIR}/LICENSE ${CMAKE_CURRENT_LIST_DIR}/windows/README.txt
  COMMENT "Packing tarnvel-${PROJECT_VERSION}-win64.zip"
  VERBATIM)
add_custom_target(windows_package DEPENDS ${package_zip})

# The shell's icon for the installer (the Start menu shortcut, Installed apps), from the art of the hicolor
# icons: 16, 32, 128 and 256 pixels are those images; 48 and 64 the 16 and the 32 enlarged three and two
# times with nearest neighbour, so that the pixel art stays crisp; 24, which no whole factor reaches, the
# 32 averaged down.
set(tarnvel_shell_icon ${CMAKE_BINARY_DIR}/package/tarnvel.ico)
set(art ${PROJECT_SOURCE_DIR}/resources/icons)
add_custom_command(OUTPUT ${tarnvel_shell_icon}
  COMMAND ${TARNVEL_CONVERT} ${art}/16x16/tarnvel.png "(" ${art}/32x32/tarnvel.png -scale 24x24 ")"
          ${art}/32x32/tarnvel.png "(" ${art}/16x16/tarnvel.png -sample 48x48 ")"
          "(" ${art}/32x32/tarnvel.png -sample 64x64 ")" ${art}/128x128/tarnvel.png ${art}/256x256/tarnvel.png
          -strip ${tarnvel_shell_icon}
  DEPENDS ${art}/16x16/tarnvel.png ${art}/32x32/tarnvel.png ${art}/128x128/tarnvel.png ${art}/256x256/tarnvel.png
  COMMENT "Making the installer's icon tarnvel.ico"
  VERBATIM)
add_custom_target(windows_shell_icon DEPENDS ${tarnvel_shell_icon})

# tarnvel_add_msi(TARGET OUTPUT VERSION): TARGET makes OUTPUT, the Windows Installer package of the staged
# programs as product version VERSION. Each version has a product code of its own, derived from the
# version and the upgrade code that all share (cmake/windows/tarnvel.wxs).
function(tarnvel_add_msi target output version)
  set(windows ${PROJECT_SOURCE_DIR}/cmake/windows)
  string(UUID product_code NAMESPACE E49F4959-BB42-4780-9D2C-64376A1A3D25 NAME "tarnvel ${version} x64"
         TYPE SHA1 UPPER)
  set(files ${tarnvel_packed_programs} ${PROJECT_SOURCE_DIR}/LICENSE ${windows}/README.txt ${tarnvel_shell_icon})
  add_custom_command(OUTPUT ${output}
    COMMAND ${windows}/make-msi.sh -D Version=${version} -D ProductCode=${product_code}
            -D "Description=${PROJECT_DESCRIPTION}" ${output} ${windows}/tarnvel.wxs ${files}
    DEPENDS ${windows}/make-msi.sh ${windows}/tarnvel.wxs ${files}
    COMMENT "Building the Windows Installer package ${output}"
    VERBATIM)
  add_custom_target(${target} DEPENDS ${output})
  add_dependencies(${target} windows_programs windows_shell_icon)
endfunction()

# `make windows-msi`: build/windows/tarnvel-<version>-x64.msi.
set(TARNVEL_MSI ${CMAKE_BINARY_DIR}/tarnvel-${PROJECT_VERSION}-x64.msi)
tarnvel_add_msi(windows_msi ${TARNVEL_MSI} ${PROJECT_VERSION})

add_subdirectory(${PROJECT_SOURCE_DIR}/bench/win32 ${CMAKE_BINARY_DIR}/bench)
