#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The tarnvel developers
# SPDX-License-Identifier: MIT
#
# pe_test.sh OBJDUMP EXE gui|console [MANIFEST_TEXT...]: EXE is one file for every 64-bit Windows: a PE32+
# program of the given subsystem for x86-64 with ASLR and DEP, its resources and manifest (which holds
# each MANIFEST_TEXT) inside, importing only DLLs that every Windows has (the C++ runtime, libgcc and
# winpthread are linked in). A GUI program imports USER32.
set -euo pipefail
objdump="$1" exe="$2" subsystem="$3"
shift 3
headers="$("$objdump" -p "$exe")"
failed=0
expect() { # description, extended regular expression that must match a line of the headers
  if grep -Eq "$2" <<<"$headers"; then echo "ok: $1"; else echo "FAIL: $1" >&2; failed=1; fi
}
expect "x86-64 PE file" 'file format pei-x86-64'
expect "PE32+" '^Magic[[:space:]]+020b'
case "$subsystem" in
  gui) expect "GUI subsystem" '^Subsystem[[:space:]]+00000002' ;;
  console) expect "console subsystem" '^Subsystem[[:space:]]+00000003' ;;
  *) echo "pe_test.sh: subsystem is gui or console, not $subsystem" >&2; exit 2 ;;
esac
expect "ASLR" 'DYNAMIC_BASE'
expect "high-entropy addresses" 'HIGH_ENTROPY_VA'
expect "DEP" 'NX_COMPAT'
expect "a resource section" 'Resource Directory'

# Every imported DLL is one of Windows' own.
allowed='^(KERNEL32|USER32|GDI32|msvcrt)\.dll$'
imports="$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")"
echo "imports: $(tr '\n' ' ' <<<"$imports")"
while IFS= read -r dll; do
  [ -n "$dll" ] || continue
  if ! grep -Eiq "$allowed" <<<"$dll"; then echo "FAIL: imports $dll" >&2; failed=1; fi
done <<<"$imports"
if [ "$subsystem" = gui ]; then
  grep -q 'USER32' <<<"$imports" || { echo "FAIL: no USER32 import" >&2; failed=1; }
fi

for needle in "$@"; do
  if grep -aq -- "$needle" "$exe"; then echo "ok: manifest has $needle"; else echo "FAIL: manifest lacks $needle" >&2; failed=1; fi
done
exit "$failed"
