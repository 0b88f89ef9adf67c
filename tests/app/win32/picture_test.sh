#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The tarnvel developers
# SPDX-License-Identifier: MIT
#
# picture_test.sh WINE_RUN PREFIX TARNVEL_EXE READ_PICTURE_EXE BITMAP colours|resolution
#
# The formula picture of the real tarnvel.exe under Wine, as the screen shows it (read_picture):
#   colours     under an unusual colour scheme (button face, window text) the picture's ground is the face
#               colour and its ink the text colour, pixel for pixel;
#   resolution  at 96, 120, 144 and 192 dots per inch the picture is BITMAP's size times the scale, whole
#               scales pixel for pixel, and keeps its size against the dialog, which grows with its dialog
#               units.
# The prefix's settings are put back however the test ends.
set -euo pipefail

wine_run="$1" prefix="$2" exe="$3" reader="$4" bitmap="$5" mode="$6"
DISPLAY="$("$wine_run" --prefix "$prefix" --display)"
export DISPLAY

reg() { "$wine_run" --prefix "$prefix" reg "$@" >/dev/null 2>&1; }
value() { { "$wine_run" --prefix "$prefix" reg query "$1" /v "$2" 2>/dev/null || true; } | awk -v v="$2" '$1 == v { $1 = ""; $2 = ""; sub(/^ +/, ""); print }'; }

colours_key='HKCU\Control Panel\Colors'
desktop_key='HKCU\Control Panel\Desktop'
old_face="$(value "$colours_key" ButtonFace)"
old_text="$(value "$colours_key" WindowText)"
old_dpi="$(value "$desktop_key" LogPixels)"
pid=""
restore() {
  [ -z "$pid" ] || kill "$pid" 2>/dev/null || true
  [ -z "$old_face" ] || reg add "$colours_key" /v ButtonFace /d "$old_face" /f
  [ -z "$old_text" ] || reg add "$colours_key" /v WindowText /d "$old_text" /f
  if [ -n "$old_dpi" ]; then reg add "$desktop_key" /v LogPixels /t REG_DWORD /d "$((old_dpi))" /f
  else reg delete "$desktop_key" /v LogPixels /f || true; fi
}
trap restore EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
field() { printf '%s\n' "$1" | tr ' ' '\n' | sed -n "s/^$2=//p"; }

# Starts tarnvel.exe, prints what read_picture reads of its picture, and ends it with Escape.
measure() {
  "$wine_run" --prefix "$prefix" "$exe" &
  pid=$!
  local line
  line="$("$wine_run" --prefix "$prefix" "$reader" | tr -d '\r')" || fail "no picture: $line"
  local window
  window="$(xdotool search --onlyvisible --classname '^tarnvel\.exe$' | head -n 1)"
  xdotool windowfocus --sync "$window" key Escape
  wait "$pid" || fail "tarnvel.exe did not end with 0 after Escape"
  pid=""
  printf '%s\n' "$line"
}

case "$mode" in
colours)
  # Wine keeps colours set with SetSysColors (as the framework's own picture rows do) for the rest of the
  # session in a volatile key that wins over the Control Panel's: gone, the session's colours are the
  # Control Panel's again.
  reg delete 'HKCU\Software\Wine\Temporary System Parameters\Control Panel\Colors' /f || true
  reg add "$colours_key" /v ButtonFace /d "40 150 90" /f
  reg add "$colours_key" /v WindowText /d "0 0 140" /f
  line="$(measure)"
  echo "$line"
  [ "$(field "$line" face)" = 28965A ] || fail "the colour scheme did not take"
  [ "$(field "$line" text)" = 00008C ] || fail "the colour scheme did not take"
  [ "$(field "$line" face_pixels)" -gt 0 ] || fail "the picture's ground is not the face colour"
  [ "$(field "$line" text_pixels)" -gt 0 ] || fail "the picture's ink is not the text colour"
  [ "$(field "$line" other_pixels)" = 0 ] || fail "the picture has colours of its own"
  ;;
resolution)
  read -r bw bh < <(identify -format '%w %h\n' "$bitmap")
  ratio=""
  for dpi in 96 120 144 192; do
    reg add "$desktop_key" /v LogPixels /t REG_DWORD /d "$dpi" /f
    line="$(measure)"
    echo "$dpi dpi: $line"
    expected="$(((bw * dpi + 95) / 96))x$(((bh * dpi + 95) / 96))"
    [ "$(field "$line" picture)" = "$expected" ] || fail "at $dpi dpi the picture is not $expected"
    if [ $((dpi % 96)) = 0 ]; then
      [ "$(field "$line" other_pixels)" = 0 ] || fail "at $dpi dpi the picture is not enlarged pixel for pixel"
    fi
    # The dialog's width over the picture's: the same at every resolution, to within 3 %.
    dialog_width="$(field "$line" dialog | cut -dx -f1)"
    this=$((dialog_width * 1000 / ${expected%x*}))
    [ -n "$ratio" ] || ratio="$this"
    if [ $((this * 100)) -lt $((ratio * 97)) ] || [ $((this * 100)) -gt $((ratio * 103)) ]; then
      fail "at $dpi dpi the picture does not keep its size against the dialog ($this against $ratio)"
    fi
  done
  ;;
*)
  echo "usage: picture_test.sh WINE_RUN PREFIX TARNVEL_EXE READ_PICTURE_EXE BITMAP colours|resolution" >&2
  exit 2
  ;;
esac
