#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The tarnvel developers
# SPDX-License-Identifier: MIT
#
# msi_test.sh ROW WINE_RUN PREFIX MSI OLDER_MSI READ_SHORTCUT_EXE PROGRAMS_DIR [EXE_TEST READ_CONTROL_EXE]
#
# One step of the MSI's life under Wine, in a Wine prefix of the tests' own (PREFIX), as a user would take
# it with msiexec /qn. The rows run in this order (CTest fixtures):
#   InstallOlder      a fresh prefix whose user PATH holds two folders; OLDER_MSI installed: one entry
#   UpgradeToThis     MSI installed over it: one entry remains, of MSI's version
#   Files ... TarnvelExeRequest   what the installation holds
#   Uninstall         msiexec /x: nothing of tarnvel remains, the user's PATH is as it was
# PROGRAMS_DIR holds the programs the MSI was made of; EXE_TEST (tests/app/win32/tarnvel_exe_test.sh)
# types the worked request (0.0213) into the installed tarnvel.exe.
set -euo pipefail

row="$1" wine_run="$2" prefix="$3" msi="$4" older="$5" read_shortcut="$6" programs="$7"
source_dir="$(cd "$(dirname "$0")/../../.." && pwd)"
# No menu entries of the installed shortcut in the desktop of the machine that runs the tests.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
user_path='C:\tools;C:\more'

failed=0
fail() { echo "FAIL: $row: $*" >&2; failed=1; }
ok() { echo "ok: $*"; }
expect_eq() { # description, actual, expected
  if [ "$2" = "$3" ]; then ok "$1: $2"; else fail "$1 is \"$2\", not \"$3\""; fi
}
# Wine starts its services (and, on demand, more) from whichever program needs them first, and they keep
# that program's standard output and error open until the session ends; CTest would wait for them. So no
# program here writes to this script's own output: each writes to files, which are then shown.
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
isolated() { # COMMAND...: runs it with its output through files
  local status=0
  "$@" >"$scratch/out" 2>"$scratch/err" </dev/null || status=$?
  cat "$scratch/out"
  cat "$scratch/err" >&2
  return "$status"
}
wine() { isolated "$wine_run" --prefix "$prefix" "$@"; }
windows_path() { wine winepath -w "$1" | tr -d '\r'; }
unix_path() { wine winepath -u "$1" | tr -d '\r'; }
msiexec() { # /i|/x MSI: exit status of a silent msiexec
  local status=0
  wine msiexec "$1" "$(windows_path "$2")" /qn || status=$?
  return "$status"
}
reg_value() { # KEY NAME: the value's data, nothing when there is none
  { wine reg query "$1" /v "$2" 2>/dev/null || true; } | tr -d '\r' | sed -n "s/^    $2    REG_[A-Z_]*    //p"
}
product_version() { msiinfo export "$1" Property | tr -d '\r' | awk -F'\t' '$1 == "ProductVersion" { print $2 }'; }
# Keys under ROOT (HKCU or HKLM)\Software\Microsoft\Windows\CurrentVersion\Uninstall whose DisplayName is
# tarnvel: the entries of Installed apps.
uninstall_entries() {
  local root
  for root in HKCU HKLM; do
    { wine reg query "$root\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall" /s 2>/dev/null || true; } |
      tr -d '\r' | awk '/^HKEY_/ { key = $0 } /^    DisplayName    REG_SZ    tarnvel$/ { print key }'
  done
}
expect_one_entry() { # VERSION
  local entries
  entries="$(uninstall_entries)"
  if [ "$(grep -c . <<<"$entries")" = 1 ]; then ok "one entry: $entries"; else fail "entries: [$entries]"; return; fi
  expect_eq "its version" "$(reg_value "$entries" DisplayVersion)" "$1"
  expect_eq "its publisher" "$(reg_value "$entries" Publisher)" "The tarnvel developers"
}
expect_shell_icon() { # DESCRIPTION WINDOWS_PATH: an icon file in the seven sizes of the installer's icon
  local sizes
  sizes="$(identify -format '%w ' "$(unix_path "$2")" 2>/dev/null || true)"
  expect_eq "$1 ($2), sizes" "$sizes" "16 24 32 48 64 128 256 "
}

if [ "$row" = InstallOlder ]; then
  case "$prefix" in */msi-wineprefix) ;; *) echo "msi_test.sh: $prefix is not a prefix of these tests" >&2; exit 2 ;; esac
  isolated "$wine_run" --prefix "$prefix" --stop
  rm -rf "$prefix"
fi
local_appdata="$(wine cmd /c 'echo %LOCALAPPDATA%' | tr -d '\r')"
install_dir="$local_appdata\\Programs\\tarnvel"
install_dir_unix="$(unix_path "$install_dir")"

case "$row" in
  InstallOlder)
    wine reg add 'HKCU\Environment' /v PATH /d "$user_path" /f >/dev/null
    msiexec /i "$older" || fail "msiexec /i $older failed"
    expect_one_entry "$(product_version "$older")"
    ;;
  UpgradeToThis)
    msiexec /i "$msi" || fail "msiexec /i $msi failed"
    expect_one_entry "$(product_version "$msi")"
    ;;
  Files)
    expect_eq "$install_dir" "$(cd "$install_dir_unix" && echo *)" "LICENSE.txt README.txt tarnvel-board.exe tarnvel.exe"
    for pair in "tarnvel.exe:$programs/tarnvel.exe" "tarnvel-board.exe:$programs/tarnvel-board.exe" \
      "LICENSE.txt:$source_dir/LICENSE" "README.txt:$source_dir/cmake/windows/README.txt"; do
      if cmp -s "$install_dir_unix/${pair%%:*}" "${pair#*:}"; then ok "${pair%%:*} is ${pair#*:}"; else fail "${pair%%:*} is not ${pair#*:}"; fi
    done
    ;;
  StartMenuShortcut)
    status=0
    shortcut="$(wine "$read_shortcut" tarnvel | tr -d '\r')" || status=$?
    [ "$status" = 0 ] || fail "no Start menu shortcut tarnvel: $shortcut"
    field() { sed -n "s/^$1=//p" <<<"$shortcut"; }
    expect_eq "shortcut's target" "$(field target)" "$install_dir\\tarnvel.exe"
    folder="$(field folder)"
    expect_eq "shortcut's working folder" "${folder%\\}" "$install_dir"
    expect_shell_icon "shortcut's icon" "$(field icon)"
    ;;
  InstalledAppsEntry)
    expect_one_entry "$(product_version "$msi")"
    entry="$(uninstall_entries)"
    location="$(reg_value "$entry" InstallLocation)"
    expect_eq "its install location" "${location%\\}" "$install_dir"
    # The entry's icon: the product icon (ARPPRODUCTICON) that Windows Installer publishes for the user.
    product="$(wine reg query 'HKCU\Software\Microsoft\Installer\Products' /s | tr -d '\r' |
      awk '/^HKEY_/ { key = $0 } /^    ProductName    REG_SZ    tarnvel$/ { print key }')"
    expect_shell_icon "product icon" "$(reg_value "$product" ProductIcon)"
    ;;
  UserPath)
    # The install folder first, then the user's own folders as they were.
    path="$(reg_value 'HKCU\Environment' PATH)"
    first="${path%%;*}"
    expect_eq "first folder of the user's PATH" "${first%\\}" "$install_dir"
    expect_eq "the rest of the user's PATH" "${path#*;}" "$user_path"
    ;;
  BoardOnPath)
    # A new console finds tarnvel-board through the PATH.
    status=0
    wine cmd /c 'tarnvel-board --help' >"$scratch/help" 2>"$scratch/help-err" || status=$?
    expect_eq "exit status of tarnvel-board --help in a new console" "$status" 0
    if grep -q '^Usage: tarnvel-board \[OPTIONS\] PARTS' "$scratch/help" && grep -q -- '--psd PROFILE' "$scratch/help"; then
      ok "it prints its usage and options"
    else
      fail "tarnvel-board --help printed: $(cat "$scratch/help" "$scratch/help-err")"
    fi
    ;;
  TarnvelExeRequest)
    isolated "$8" "$wine_run" "$prefix" "$install_dir_unix/tarnvel.exe" "$9" || failed=1
    ;;
  Uninstall)
    msiexec /x "$msi" || fail "msiexec /x $msi failed"
    absent() { # DESCRIPTION, command that succeeds while the thing is there
      if "${@:2}" >/dev/null 2>&1; then fail "$1 remains"; else ok "no $1"; fi
    }
    absent "$install_dir" test -e "$install_dir_unix"
    absent "$local_appdata\\Programs, emptied" test -e "$(unix_path "$local_appdata\\Programs")"
    absent "Start menu shortcut" wine "$read_shortcut" tarnvel
    absent "HKCU\\Software\\tarnvel" wine reg query 'HKCU\Software\tarnvel'
    expect_eq "entries" "$(uninstall_entries)" ""
    expect_eq "the user's PATH" "$(reg_value 'HKCU\Environment' PATH)" "$user_path"
    leftovers="$(find "$prefix/drive_c" -iname '*tarnvel*' 2>/dev/null)"
    expect_eq "files named tarnvel in the prefix" "$leftovers" ""
    ;;
  *) echo "msi_test.sh: no row $row" >&2; exit 2 ;;
esac
exit "$failed"
