#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The tarnvel developers
# SPDX-License-Identifier: MIT
#
# pe_test.sh OBJDUMP TARNVEL_EXE: tarnvel.exe is one file for every 64-bit Windows: a PE32+ GUI program
# for x86-64 with ASLR and DEP, its resources and manifest inside, importing only DLLs that every Windows
# has (the C++ runtime, libgcc and winpthread are linked in).
set -euo pipefail
objdump="$1" exe="$2"
headers="$("$objdump" -p "$exe")"
failed=0
expect() { # description, extended regular expression that must match a line of the headers
  if grep -Eq "$2" <<<"$headers"; then echo "ok: $1"; else echo "FAIL: $1" >&2; failed=1; fi
}
expect "x86-64 PE file" 'file format pei-x86-64'
expect "PE32+" '^Magic[[:space:]]+020b'
expect "GUI subsystem" '^Subsystem[[:space:]]+00000002'
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
grep -q 'USER32' <<<"$imports" || { echo "FAIL: no USER32 import" >&2; failed=1; }

# The manifest: per-monitor DPI awareness, Windows 10/11, common controls 6.
for needle in 'PerMonitorV2' '8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a' 'Microsoft.Windows.Common-Controls'; do
  if grep -aq -- "$needle" "$exe"; then echo "ok: manifest has $needle"; else echo "FAIL: manifest lacks $needle" >&2; failed=1; fi
done
exit "$failed"
