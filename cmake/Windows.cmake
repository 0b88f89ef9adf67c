# SPDX-FileCopyrightText: 2026 The tarnvel developers
# SPDX-License-Identifier: MIT
#
# What only the Windows program has: the application manifest in tarnvel.exe.
target_sources(tarnvel PRIVATE ${CMAKE_CURRENT_LIST_DIR}/windows/manifest.rc)
set_property(SOURCE ${CMAKE_CURRENT_LIST_DIR}/windows/manifest.rc DIRECTORY ${PROJECT_SOURCE_DIR}/app
  PROPERTY OBJECT_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/windows/tarnvel.exe.manifest)
