# SPDX-FileCopyrightText: 2026 The tarnvel developers
# SPDX-License-Identifier: MIT
#
# afx_add_resources(<target> <script.rc> [INCLUDE_DIRECTORIES dir...] [DEPENDS file...])
#
# Compiles a resource script with the Windows resource compiler (windres) into the binary resource
# format and makes it the resources of the executable that links <target>, an OBJECT library created
# here: the compiled resources go into the executable's "afx_rsrc" section, where the framework
# finds them as the loader finds a module's resource section.

find_program(AFX_WINDRES NAMES x86_64-w64-mingw32-windres windres
             DOC "The Windows resource compiler (Debian: binutils-mingw-w64-x86-64)")
if(NOT AFX_WINDRES)
  message(FATAL_ERROR "afx: no resource compiler; install binutils-mingw-w64-x86-64 (scripts/install-deps)")
endif()

set(AFX_EMBED_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/AfxEmbedResources.cmake)

# In a Windows build the script is compiled by CMake's RC language (windres as well) into an object that
# the linker makes the executable's real .rsrc section, which USER32 and KERNEL32 read.
if(WIN32)
  enable_language(RC)
endif()

function(afx_add_resources target script)
  cmake_parse_arguments(PARSE_ARGV 2 ARG "" "" "INCLUDE_DIRECTORIES;DEPENDS")
  get_filename_component(script ${script} ABSOLUTE)
  if(WIN32)
    add_library(${target} OBJECT ${script})
    get_filename_component(script_dir ${script} DIRECTORY)
    target_include_directories(${target} PRIVATE ${script_dir} ${ARG_INCLUDE_DIRECTORIES})
    set(depends)
    foreach(file IN LISTS ARG_DEPENDS)
      get_filename_component(file ${file} ABSOLUTE)
      list(APPEND depends ${file})
    endforeach()
    set_source_files_properties(${script} PROPERTIES OBJECT_DEPENDS "${depends}")
    return()
  endif()
  get_filename_component(script_dir ${script} DIRECTORY)
  get_filename_component(name ${script} NAME_WE)
  set(res ${CMAKE_CURRENT_BINARY_DIR}/${name}.res)
  set(cpp ${CMAKE_CURRENT_BINARY_DIR}/${name}_res.cpp)
  set(includes --include-dir=${script_dir})
  foreach(dir IN LISTS ARG_INCLUDE_DIRECTORIES)
    list(APPEND includes --include-dir=${dir})
  endforeach()
  # The headers the script includes are tracked through the preprocessor's depfile; the files its
  # resources name (icons, bitmaps) are listed in DEPENDS.
  add_custom_command(
    OUTPUT ${res}
    COMMAND ${AFX_WINDRES} ${includes} --input-format=rc --output-format=res
            --preprocessor-arg=-MD --preprocessor-arg=-MF --preprocessor-arg=${res}.d
            --preprocessor-arg=-MT --preprocessor-arg=${res}
            -i ${script} -o ${res}
    DEPENDS ${script} ${ARG_DEPENDS}
    DEPFILE ${res}.d
    WORKING_DIRECTORY ${script_dir}
    COMMENT "Compiling the resources ${name}.rc"
    VERBATIM)
  add_custom_command(
    OUTPUT ${cpp}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${res} -DOUTPUT=${cpp} -P ${AFX_EMBED_SCRIPT}
    DEPENDS ${res} ${AFX_EMBED_SCRIPT}
    COMMENT "Embedding the resources ${name}.res"
    VERBATIM)
  add_library(${target} OBJECT ${cpp})
  set_target_properties(${target} PROPERTIES AFX_RES_FILE ${res})
endfunction()
