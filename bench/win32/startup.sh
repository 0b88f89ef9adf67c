#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The tarnvel developers
# SPDX-License-Identifier: MIT
#
# startup.sh WINE_RUN PREFIX RUNS TARNVEL_EXE BARE_EXE: start-up to mapped window under Wine, tarnvel.exe
# against the bare dialog program with the same template, alternating, RUNS times each. Prints each
# program's median and the ratio. A benchmark, not a test.
set -euo pipefail
wine_run="$1" prefix="$2" runs="$3" tarnvel="$4" bare="$5"
title='Circuit Board Relative Displacement Limit    ver 1.2   by Ostrel '
pattern="^$(printf '%s' "$title" | sed 's/[.[\*^$()+?{|]/\\&/g')\$"
DISPLAY="$("$wine_run" --prefix "$prefix" --display)"
export DISPLAY
# One run first, so that both programs meet a warm wineserver and page cache.
measure() { # program → milliseconds from start to its window being mapped
  local start end pid window=""
  start=$(date +%s%N)
  "$wine_run" --prefix "$prefix" "$1" &
  pid=$!
  while [ -z "$window" ]; do
    window="$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -n 1 || true)"
  done
  end=$(date +%s%N)
  xdotool windowfocus --sync "$window" key Escape
  wait "$pid" || true
  echo $(((end - start) / 1000000))
}
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
measure "$bare" >/dev/null
measure "$tarnvel" >/dev/null
t=() b=()
for _ in $(seq "$runs"); do
  t+=("$(measure "$tarnvel")")
  b+=("$(measure "$bare")")
done
mt=$(printf '%s\n' "${t[@]}" | median)
mb=$(printf '%s\n' "${b[@]}" | median)
echo "tarnvel.exe   start-up to mapped window, median of $runs: $mt ms  (${t[*]})"
echo "bare dialog   start-up to mapped window, median of $runs: $mb ms  (${b[*]})"
awk -v t="$mt" -v b="$mb" 'BEGIN { printf "ratio %.3f (target <= 1.15)\n", t / b }'
