#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The tarnvel developers
# SPDX-License-Identifier: MIT
#
# sign_test.sh ROW SIGN_WINDOWS WORK_DIR FILE... (the programs, then the MSI)
#
# One row of checks on scripts/sign-windows: it signs copies of FILE... (the programs and the MSI) in
# WORK_DIR, emptied first, with a throwaway self-signed certificate, and osslsigncode verifies them
# against that certificate. The build's own files are never signed here.
set -euo pipefail

row="$1" sign="$2" work="$3"
shift 3
rm -rf "$work"
mkdir -p "$work"
cp -- "$@" "$work/"
cd "$work"
copies=()
for file in "$@"; do copies+=("$work/$(basename "$file")"); done

failed=0
fail() { echo "FAIL: $row: $*" >&2; failed=1; }
ok() { echo "ok: $*"; }
signed_by_test_certificate() { # FILE: osslsigncode finds a signature by the test's certificate that verifies
  local report
  report="$(osslsigncode verify -CAfile cert.pem -in "$1" 2>&1)" || { echo "$report"; return 1; }
  grep -q '^Signature verification: ok' <<<"$report" && grep -q 'Subject: /CN=tarnvel test signing' <<<"$report"
}
unsigned() { ! osslsigncode verify -in "$1" >/dev/null 2>&1; }

openssl req -x509 -newkey rsa:2048 -nodes -keyout key.pem -out cert.pem -days 2 -subj "/CN=tarnvel test signing" \
  -addext extendedKeyUsage=codeSigning 2>/dev/null
for copy in "${copies[@]}"; do unsigned "$copy" || { echo "$copy is signed already" >&2; exit 2; }; done

case "$row" in
  SignsProgramsAndPackage)
    status=0
    SIGN_CERT=cert.pem SIGN_KEY=key.pem "$sign" "${copies[@]}" >out 2>err || status=$?
    [ "$status" = 0 ] || fail "exit status $status: $(cat err)"
    for copy in "${copies[@]}"; do
      if signed_by_test_certificate "$copy" >/dev/null; then ok "$(basename "$copy") is signed"; else fail "$(basename "$copy") is not signed"; fi
    done
    if msiinfo suminfo "${copies[-1]}" >/dev/null; then ok "the signed MSI still opens"; else fail "the signed MSI does not open"; fi
    ;;
  NeedsCertificateAndKey)
    for material in "" "SIGN_CERT=cert.pem" "SIGN_KEY=key.pem"; do
      status=0
      env -u SIGN_CERT -u SIGN_KEY ${material:+"$material"} "$sign" "${copies[@]}" >out 2>err || status=$?
      if [ "$status" != 0 ] && [ "$(wc -l <err)" = 1 ] && grep -q 'SIGN_CERT=.*SIGN_KEY=' err; then
        ok "with only [${material}]: one line, exit status $status: $(cat err)"
      else
        fail "with only [${material}]: exit status $status, stderr: $(cat err)"
      fi
    done
    for copy in "${copies[@]}"; do unsigned "$copy" || fail "$(basename "$copy") was signed"; done
    ;;
  TimestampServerIsUsed)
    # Nothing listens on the discard port: the time stamp cannot be had, so nothing is signed.
    status=0
    SIGN_CERT=cert.pem SIGN_KEY=key.pem SIGN_TIMESTAMP_URL=http://127.0.0.1:9/ "$sign" "${copies[0]}" >out 2>err ||
      status=$?
    if [ "$status" != 0 ] && unsigned "${copies[0]}" && cmp -s "${copies[0]}" "$1"; then
      ok "without its time stamp the signing fails (exit status $status) and leaves the file as it was"
    else
      fail "exit status $status with an unreachable time-stamping server"
    fi
    ;;
  *) echo "sign_test.sh: no row $row" >&2; exit 2 ;;
esac
exit "$failed"
