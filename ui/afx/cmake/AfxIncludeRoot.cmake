# SPDX-FileCopyrightText: 2026 The tarnvel developers
# SPDX-License-Identifier: MIT
#
# afx_include_root(TARGET SCOPE NAME SOURCE): gives TARGET an include root under which only the folder
# SOURCE lies, as NAME ("ui/afx"), so that its files and its users include "NAME/…" and reach nothing
# the target does not link.
function(afx_include_root target scope name source)
  set(root ${CMAKE_BINARY_DIR}/include-roots/${target})
  get_filename_component(parent ${root}/${name} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  file(CREATE_LINK ${source} ${root}/${name} SYMBOLIC)
  target_include_directories(${target} ${scope} ${root})
endfunction()
