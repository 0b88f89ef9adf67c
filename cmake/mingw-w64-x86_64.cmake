# SPDX-FileCopyrightText: 2026 The tarnvel developers
# SPDX-License-Identifier: MIT
#
# Cross build for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64, binutils-mingw-w64-x86-64).
# Programs of the build run under Wine through scripts/wine-run, which ctest uses as the emulator.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TARNVEL_MINGW_PREFIX x86_64-w64-mingw32)
# The posix thread model, for std::mutex (GoogleTest needs it); winpthread is linked in statically.
set(CMAKE_C_COMPILER ${TARNVEL_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TARNVEL_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TARNVEL_MINGW_PREFIX}-windres)
set(CMAKE_AR ${TARNVEL_MINGW_PREFIX}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${TARNVEL_MINGW_PREFIX}-ranlib CACHE FILEPATH "")
set(CMAKE_OBJDUMP ${TARNVEL_MINGW_PREFIX}-objdump CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${TARNVEL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
