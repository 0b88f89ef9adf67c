#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The tarnvel developers
# SPDX-License-Identifier: MIT
#
# packages_test.sh ROW MSI OLDER_MSI ICON ZIP PROGRAMS_DIR
#
# One row of checks on the Windows packages as files, read on the build machine: the MSI (msiinfo), the
# installer's icon (ImageMagick) and the zip. PROGRAMS_DIR holds the programs the packages were made of.
set -euo pipefail

row="$1" msi="$2" older="$3" icon="$4" zip="$5" programs="$6"
source_dir="$(cd "$(dirname "$0")/../../.." && pwd)"
failed=0
fail() { echo "FAIL: $row: $*" >&2; failed=1; }
ok() { echo "ok: $*"; }
expect_eq() { # description, actual, expected
  if [ "$2" = "$3" ]; then ok "$1: $2"; else fail "$1 is \"$2\", not \"$3\""; fi
}
property() { # MSI NAME: the value of a row of the Property table
  msiinfo export "$1" Property | tr -d '\r' | awk -F'\t' -v name="$2" '$1 == name { print $2 }'
}

case "$row" in
  ShellIcon)
    # Seven sizes, each the hicolor art: a drawn image as it is or enlarged by a whole factor with
    # nearest neighbour, pixel for pixel; a size that no whole factor reaches close to the 32-pixel one.
    expect_eq "icon sizes" "$(identify -format '%w ' "$icon")" "16 24 32 48 64 128 256 "
    for frame in 0 1 2 3 4 5 6; do
      size="$(identify -format '%w' "${icon}[$frame]")"
      match=""
      for art in 16 32 128 256; do
        [ $((size % art)) = 0 ] || continue
        differing="$(convert "$source_dir/resources/icons/${art}x$art/tarnvel.png" -sample "${size}x$size" png:- |
          compare -metric AE "${icon}[$frame]" - null: 2>&1 || true)"
        [ "$differing" != 0 ] || match="the ${art}-pixel art"
      done
      if [ -z "$match" ]; then
        distance="$(convert "$source_dir/resources/icons/32x32/tarnvel.png" -resize "${size}x$size" png:- |
          compare -metric RMSE "${icon}[$frame]" - null: 2>&1 || true)"
        distance="${distance#*(}"
        awk -v d="${distance%)}" 'BEGIN { exit !(d < 0.1) }' && match="close to the 32-pixel art (RMSE ${distance%)})"
      fi
      if [ -n "$match" ]; then ok "$size px: $match"; else fail "the $size px image is none of the art"; fi
    done
    ;;
  PerUserPackage)
    # No elevation (word count bit 8) and no ALLUSERS: Windows Installer installs it for the user alone.
    source_flags="$(msiinfo suminfo "$msi" | sed -n 's/^Source: \([0-9]*\).*/\1/p')"
    if [ $((source_flags & 8)) = 8 ]; then ok "asks for no elevation"; else fail "word count $source_flags asks for elevation"; fi
    expect_eq "ALLUSERS" "$(property "$msi" ALLUSERS)" ""
    expect_eq "platform and language" "$(msiinfo suminfo "$msi" | sed -n 's/^Template: //p')" "x64;1033"
    expect_eq "publisher" "$(property "$msi" Manufacturer)" "The tarnvel developers"
    ;;
  VersionOfTheVersionBlock)
    block="$(sed -n 's/^ *FILEVERSION *\([0-9]*\), *\([0-9]*\), *\([0-9]*\), *\([0-9]*\).*/\1.\2.\3.\4/p' \
      "$source_dir/resources/tarnvel.rc")"
    expect_eq "product version" "$(property "$msi" ProductVersion)" "$block"
    ;;
  UpgradeCodeStaysProductCodeChanges)
    expect_eq "upgrade code of the older package" "$(property "$older" UpgradeCode)" "$(property "$msi" UpgradeCode)"
    if [ "$(property "$older" ProductCode)" != "$(property "$msi" ProductCode)" ]; then
      ok "each version has a product code of its own"
    else
      fail "both versions have the product code $(property "$msi" ProductCode)"
    fi
    ;;
  ZipHoldsBothPrograms)
    folder="$(basename "$zip" .zip)"
    expect_eq "zip" "$(python3 -c 'import sys, zipfile; print(" ".join(sorted(n for n in zipfile.ZipFile(sys.argv[1]).namelist() if not n.endswith("/"))))' "$zip")" \
      "$folder/LICENSE.txt $folder/README.txt $folder/tarnvel-board.exe $folder/tarnvel.exe"
    for program in tarnvel.exe tarnvel-board.exe; do
      if python3 -c 'import sys, zipfile; sys.exit(zipfile.ZipFile(sys.argv[1]).read(sys.argv[2]) != open(sys.argv[3], "rb").read())' \
        "$zip" "$folder/$program" "$programs/$program"; then
        ok "$program is the packed program"
      else
        fail "$program in the zip differs from $programs/$program"
      fi
    done
    ;;
  *) echo "packages_test.sh: no row $row" >&2; exit 2 ;;
esac
exit "$failed"
