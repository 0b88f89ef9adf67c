#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The tarnvel developers
# SPDX-License-Identifier: MIT
#
# tarnvel_exe_test.sh WINE_RUN PREFIX TARNVEL_EXE READ_CONTROL_EXE [ARGS...]
#
# The real tarnvel.exe under Wine, on the Wine session's X server, driven by real X input (xdotool): its
# window is mapped with the exact title, the worked request typed with the keyboard
# (tests/app/request.keys) gives 0.0213, and Escape ends it with exit code 0. ARGS are given to tarnvel.exe
# and must change nothing. With SCREENSHOT=file.png set, the window with the result is saved there.
set -euo pipefail

wine_run="$1" prefix="$2" exe="$3" reader="$4"
shift 4
title='Circuit Board Relative Displacement Limit    ver 1.2   by Ostrel '

DISPLAY="$("$wine_run" --prefix "$prefix" --display)"
export DISPLAY

fail() {
  echo "FAIL: $*" >&2
  [ -z "${pid:-}" ] || kill "$pid" 2>/dev/null || true
  exit 1
}

"$wine_run" --prefix "$prefix" "$exe" "$@" &
pid=$!

# The window, by its exact title (xdotool takes a regular expression).
pattern="^$(printf '%s' "$title" | sed 's/[.[\*^$()+?{|]/\\&/g')\$"
window=""
for _ in $(seq 600); do
  window="$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -n 1 || true)"
  [ -n "$window" ] && break
  kill -0 "$pid" 2>/dev/null || fail "tarnvel.exe ended before its window was mapped"
  sleep 0.1
done
[ -n "$window" ] || fail "no window titled \"$title\""
[ "$(xdotool getwindowname "$window")" = "$title" ] || fail "title is \"$(xdotool getwindowname "$window")\""
echo "window $window mapped: \"$title\""

# The worked request with the keyboard alone, step by step as the tests of the Linux program type it.
xdotool windowfocus --sync "$window"
# Through XTEST, as from the keyboard, to the window that has the focus.
keys() { xdotool key --delay 30 "$@"; }
while IFS= read -r step; do
  case "$step" in '' | '#'*) continue ;; esac
  # shellcheck disable=SC2086 # a step is a list of key names
  keys $step
done <"$(dirname "$0")/../request.keys"
"$wine_run" --prefix "$prefix" "$reader" "$title" 1005 "     0.0213 " || fail "the result field does not show 0.0213"
if [ -n "${SCREENSHOT:-}" ]; then
  xwd -silent -id "$window" | convert xwd:- -strip "png:$SCREENSHOT"
fi

keys Escape
status=0
wait "$pid" || status=$?
pid=""
[ "$status" = 0 ] || fail "tarnvel.exe ended with $status after Escape"
echo "Escape ended tarnvel.exe with exit code 0"
