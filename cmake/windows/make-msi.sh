#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The tarnvel developers
# SPDX-License-Identifier: MIT
#
# make-msi.sh [-D NAME=VALUE]... OUTPUT.msi SOURCE.wxs FILE...: builds the Windows Installer package with
# wixl, SOURCE.wxs's variables given by -D and its files (named there by their base names) being FILE...,
# then writes into it with msibuild what wixl 0.101 cannot express:
#  - the Environment table: the install folder at the front of the user's PATH, set on install and taken
#    out again on uninstall (wixl has no <Environment>). At the front rather than the end: Wine's msi
#    leaves the separator of an appended entry behind when it takes the entry out.
#  - the upgrade row that finds older versions includes its maximum (wixl drops IncludeMaximum), so that
#    a version that differs from this one in the fourth field only replaces it or is replaced by it:
#    Windows Installer compares the first three fields.
# wixl finds files only relative to its working folder, so it runs in a scratch folder holding copies of
# FILE.... OUTPUT.msi appears whole or not at all.
set -euo pipefail

defines=()
while [ "${1:-}" = -D ]; do
  defines+=(-D "$2")
  shift 2
done
[ $# -ge 2 ] || { echo "usage: make-msi.sh [-D NAME=VALUE]... OUTPUT.msi SOURCE.wxs FILE..." >&2; exit 2; }
output="$(realpath -m "$1")" source="$(realpath "$2")"
shift 2

part="$output.part"
scratch="$output.files"
trap 'rm -rf "$part" "$scratch"' EXIT
rm -rf "$part" "$scratch"
mkdir -p "$scratch"
cp -- "$@" "$scratch/"
(cd "$scratch" && wixl --arch x64 "${defines[@]}" -o "$part" "$source")

# The row that finds older versions, as wixl wrote it: upgrade code, minimum, maximum.
read -r code minimum maximum < <(msiinfo export "$part" Upgrade | tr -d '\r' |
  awk -F'\t' '$7 == "OLDER_TARNVEL_FOUND" { print $1, $2, $3 }')
[ -n "${maximum:-}" ] || { echo "make-msi.sh: $source has no upgrade row OLDER_TARNVEL_FOUND" >&2; exit 1; }

# Attributes 769: migrate feature states (1), minimum inclusive (256), maximum inclusive (512).
msibuild "$part" \
  -q "CREATE TABLE \`Environment\` (\`Environment\` CHAR(72) NOT NULL, \`Name\` CHAR(255) NOT NULL LOCALIZABLE,
      \`Value\` CHAR(255) LOCALIZABLE, \`Component_\` CHAR(72) NOT NULL PRIMARY KEY \`Environment\`)" \
  -q "INSERT INTO \`Environment\` (\`Environment\`, \`Name\`, \`Value\`, \`Component_\`)
      VALUES ('PATH', '=-PATH', '[INSTALLDIR];[~]', 'Programs')" \
  -q "DELETE FROM \`Upgrade\` WHERE \`ActionProperty\` = 'OLDER_TARNVEL_FOUND'" \
  -q "INSERT INTO \`Upgrade\` (\`UpgradeCode\`, \`VersionMin\`, \`VersionMax\`, \`Attributes\`, \`ActionProperty\`)
      VALUES ('$code', '$minimum', '$maximum', 769, 'OLDER_TARNVEL_FOUND')"

mv -f "$part" "$output"
