#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The tarnvel developers
# SPDX-License-Identifier: MIT
#
# tarnvel_board_exe_test.sh ROW WINE_RUN PREFIX TARNVEL_BOARD_EXE WORK_DIR
#
# One row of checks on the real tarnvel-board.exe under Wine: it runs in WORK_DIR (emptied first) on
# parts lists written there, and its standard output, standard error, exit status and files are read.
set -euo pipefail

row="$1" wine_run="$2" prefix="$3" exe="$4" work="$5"
rm -rf "$work"
mkdir -p "$work"
cd "$work"

failed=0
fail() { echo "FAIL: $row: $*" >&2; failed=1; }
ok() { echo "ok: $*"; }

# Runs the program; its output lands in out, err and status.
status=0
run() {
  status=0
  "$wine_run" --prefix "$prefix" "$exe" "$@" >out 2>err || status=$?
}
run_stdin() { # FILE ARGS...: the same with FILE on standard input
  local input="$1"
  shift
  status=0
  "$wine_run" --prefix "$prefix" "$exe" "$@" <"$input" >out 2>err || status=$?
}
expect_status() {
  if [ "$status" = "$1" ]; then ok "exit status $1"; else fail "exit status $status, not $1 (stderr: $(cat err))"; fi
}
expect_line() { # description, extended regular expression a line of FILE must match, FILE
  if grep -Eq -- "$2" "$3"; then ok "$1"; else fail "$1: no line of $3 matches /$2/"; fi
}
no_cr() { # FILE: holds no carriage return
  if grep -q $'\r' "$1"; then fail "$1 has CR bytes"; else ok "$1 has LF line ends only"; fi
}
all_crlf() { # FILE: every line ends with one CR LF, and no other CR is there (no CR CR LF)
  local lines crlf cr
  lines="$(wc -l <"$1")" crlf="$(grep -c $'\r$' "$1" || true)" cr="$(tr -cd '\r' <"$1" | wc -c)"
  if [ "$lines" -gt 1 ] && [ "$crlf" = "$lines" ] && [ "$cr" = "$lines" ]; then
    ok "$1 has CR LF on every line"
  else
    fail "$1: $crlf of $lines lines end with CR LF, $cr CR bytes in all"
  fi
}
one_message() { # stderr holds exactly one line (CR LF or LF) that starts with the program's name
  local lines
  lines="$(tr -d '\r' <err | wc -l)"
  if [ "$lines" = 1 ] && grep -q '^tarnvel-board: ' err; then
    ok "one line on stderr: $(tr -d '\r' <err)"
  else
    fail "stderr should be one line 'tarnvel-board: ...', is: $(cat err)"
  fi
}
only_files() { # the files WORK_DIR must hold now, and nothing else (no temporary file left over)
  local expected actual
  expected="$(printf '%s\n' "$@" out err | sort)"
  actual="$(ls -A | sort)"
  if [ "$expected" = "$actual" ]; then ok "no other files"; else fail "the folder holds: $(tr '\n' ' ' <<<"$actual")"; fi
}

board=(--board 9x7x0.08in --mass 1.2lb --psd 20:0.04,2000:0.04)
printf '%s\n' 'ref,L,kind,parallel,x,y,notes' 'U1,1,dip,a,4.5,3.5,main CPU' 'U2,25mm,bga,b,2.25,1.75,' \
  'R1,0.25,resistor,a,1,1,' 'C1,0.3,capacitor,b,8,6,' >parts.csv

case "$row" in
  ExampleTable)
    run "${board[@]}" parts.csv
    expect_status 1
    expect_line "the header line" '^tarnvel-board: parts\.csv, 4 parts on a 9 x 7 x 0\.08 in board$' out
    expect_line "fn estimated for simple supports" '^  fn +68\.16 Hz +estimated: edges simply supported, 1\.2lb$' out
    expect_line "Q" '^  Q +8\.256 +sqrt\(fn\)$' out
    expect_line "response" '^  response +5\.95 G rms +Miles$' out
    expect_line "Z 3-sigma" '^  Z 3-sigma +0\.0376 in$' out
    expect_line "required fn" '^  required fn +103\.9 Hz' out
    order="$(sed -n '/^Parts, worst margin first/,/^$/p' out | awk 'NR > 2 && NF { print $1, $14 }' | tr '\n' ' ')"
    [ "$order" = "U2 FAIL U1 FAIL C1 pass R1 pass " ] && ok "parts by margin: $order" || fail "parts by margin: $order"
    no_cr out
    expect_line "the unknown column named" '^tarnvel-board: parts\.csv: ignoring column notes' err
    ;;
  Help)
    run --help
    expect_status 0
    expect_line "usage line" '^Usage: tarnvel-board \[OPTIONS\] PARTS' out
    expect_line "exit status described" 'Exit status: 0 every part passes' out
    [ -s err ] && fail "stderr: $(cat err)" || ok "nothing on stderr"
    ;;
  UsageErrors)
    # Each: a description, then the arguments.
    usage_rows=(
      "no parts list|--board 9x7x0.08in --psd navmat"
      "unknown option|--board 9x7x0.08in --psd navmat --colour red parts.csv"
      "board of two lengths|--board 9x7 --psd navmat parts.csv"
      "decimal comma in an option|--board 9x7x0,08in --psd navmat parts.csv"
      "unknown format|--board 9x7x0.08in --psd navmat --format xml parts.csv"
    )
    for entry in "${usage_rows[@]}"; do
      echo "-- ${entry%%|*}"
      read -r -a args <<<"${entry#*|}"
      run "${args[@]}"
      expect_status 2
      one_message
      [ -s out ] && fail "${entry%%|*}: stdout: $(cat out)" || ok "nothing on stdout"
    done
    ;;
  Json)
    run "${board[@]}" --format json parts.csv
    expect_status 1
    if python3 -m json.tool out >/dev/null; then ok "the output parses as JSON"; else fail "the output is not JSON"; fi
    expect_line '"fn_from": "simple"' '^ *"fn_from": "simple",?$' out
    if python3 -c '
import json, sys
doc = json.load(open("out"))
assert round(doc["board"]["fn_hz"], 2) == 68.16, doc["board"]["fn_hz"]
assert [p["ref"] for p in doc["parts"] if not p["pass"]] == ["U1", "U2"], doc["parts"]
'; then ok "fn 68.16 Hz, U1 and U2 fail"; else fail "the JSON report's figures"; fi
    no_cr out
    ;;
  OutputReplacesFile)
    run "${board[@]}" --format csv parts.csv
    cp out expected.csv
    # The old file is longer than the report: nothing of it may stay.
    head -c 100000 /dev/zero | tr '\0' 'x' >report.csv
    run "${board[@]}" --format csv -o report.csv parts.csv
    expect_status 1
    cmp -s report.csv expected.csv && ok "report.csv holds the report, whole" || fail "report.csv differs from the report"
    [ -s out ] && fail "stdout: $(cat out)" || ok "nothing on stdout"
    # A name the file did not have yet.
    run "${board[@]}" --format csv -o new.csv parts.csv
    expect_status 1
    cmp -s new.csv expected.csv && ok "new.csv holds the report" || fail "new.csv differs from the report"
    only_files parts.csv expected.csv report.csv new.csv
    ;;
  FailedRunKeepsFile)
    printf 'the old report\r\n' >report.txt
    cp report.txt old.txt
    mkdir folder
    # Each: a description, then the arguments.
    failing_rows=(
      "bad --psd|--board 9x7x0.08in --mass 1.2lb --psd 20:0.04,bad -o report.txt parts.csv"
      "no such parts list|--board 9x7x0.08in --mass 1.2lb --psd navmat -o report.txt missing.csv"
      "no fn and no mass|--board 9x7x0.08in --psd navmat -o report.txt parts.csv"
    )
    for entry in "${failing_rows[@]}"; do
      echo "-- ${entry%%|*}"
      read -r -a args <<<"${entry#*|}"
      run "${args[@]}"
      expect_status 2
      one_message
      cmp -s report.txt old.txt && ok "report.txt untouched" || fail "${entry%%|*}: report.txt changed"
    done
    run "${board[@]}" -o folder parts.csv
    expect_status 2
    expect_line "a folder is refused" '^tarnvel-board: cannot write folder: is a folder' err
    only_files parts.csv report.txt old.txt folder
    ;;
  LineEnds)
    run "${board[@]}" --format csv parts.csv
    expect_status 1
    no_cr out
    [ "$(wc -l <out)" = 5 ] && ok "a header and four rows" || fail "$(wc -l <out) lines"
    sed 's/$/\r/' parts.csv >crlf.csv
    run "${board[@]}" --format csv crlf.csv
    expect_status 1
    all_crlf out
    # Standard input is read as it is, too.
    run_stdin crlf.csv "${board[@]}" --format csv -
    expect_status 1
    all_crlf out
    run_stdin parts.csv "${board[@]}" --format csv -
    expect_status 1
    no_cr out
    ;;
  DecimalComma)
    printf '%s\r\n' 'ref;L;kind;parallel;x;y' 'U1;1;dip;a;4,5;3,5' 'U2;25mm;bga;b;2,25;1,75' \
      'R1;0,25;resistor;a;1;1' 'C1;0,3;capacitor;b;8;6' >comma.csv
    run "${board[@]}" parts.csv
    sed -n '/^Parts, worst margin first/,/^$/p' out | cut -c1-70 >points.table
    run "${board[@]}" comma.csv
    expect_status 1
    [ -s err ] && fail "stderr: $(cat err)" || ok "nothing on stderr"
    sed -n '/^Parts, worst margin first/,/^$/p' out | cut -c1-70 >commas.table
    cmp -s points.table commas.table && ok "the same parts table as with decimal points" ||
      fail "the parts differ: $(diff points.table commas.table)"
    run "${board[@]}" --format csv comma.csv
    expect_status 1
    expect_line "CSV in the list's own dialect" '^3;U2;bga;b;b;7;0,98[0-9]*;2,25;1,75;1,75;0,5[0-9]*;0,5[0-9]*;' out
    all_crlf out
    ;;
  NonAsciiNames)
    cp parts.csv 'pärts €.csv'
    printf 'old\n' >'rapport ß €.csv'
    run "${board[@]}" --format csv 'pärts €.csv'
    cp out expected.csv
    run "${board[@]}" --format csv -o 'rapport ß €.csv' 'pärts €.csv'
    expect_status 1
    expect_line "the name as given" '^tarnvel-board: pärts €\.csv: ignoring column notes' err
    cmp -s 'rapport ß €.csv' expected.csv && ok "the report replaced the old file" || fail "the old file was not replaced"
    only_files parts.csv 'pärts €.csv' 'rapport ß €.csv' expected.csv
    ;;
  Slips)
    # Each: a description, the arguments, and what the one line on stderr says.
    cp parts.csv keep.csv
    slip_rows=(
      "a board without its unit|--board 233.35x160x1.6 --mass 0.75kg --psd navmat parts.csv|has no unit: 233\.35 x 160 x 1\.6 in, or mm\?"
      "a damping ratio as Q|--board 9x7x0.08in --fn 100 --psd navmat --q 0.05 parts.csv|0\.05 as zeta is Q 10"
      "a mass lighter than the laminate|--board 9x7x0.08in --mass 10g --psd navmat parts.csv|less than half the bare laminate"
      "the report over the parts list|--board 9x7x0.08in --fn 100 --psd navmat -o parts.csv parts.csv|is the parts list, which the report would replace"
      "the same file spelt otherwise|--board 9x7x0.08in --fn 100 --psd navmat -o .\PARTS.CSV parts.csv|is the parts list, which the report would replace"
    )
    for entry in "${slip_rows[@]}"; do
      IFS='|' read -r what line expected <<<"$entry"
      echo "-- $what"
      read -r -a args <<<"$line"
      run "${args[@]}"
      expect_status 2
      one_message
      expect_line "$what" "$expected" err
      cmp -s parts.csv keep.csv && ok "parts.csv untouched" || fail "$what: parts.csv changed"
    done
    ;;
  Provenance)
    # A UTF-16 export of the list, with a header naming the unit, read as the list itself; the JSON report
    # carries the file's size and SHA-256 and the named profile.
    printf '%s\r\n' 'ref,L_mm,kind,parallel,x,y' 'U1,25.4,dip,a,4.5,3.5' >one.csv
    { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE one.csv; } >utf16.csv
    run --board 9x7x0.08in --fn 300 --psd gevs-qual --format json utf16.csv
    expect_status 0
    sum="$(sha256sum utf16.csv | cut -d' ' -f1)" size="$(stat -c %s utf16.csv)"
    if SUM="$sum" SIZE="$size" python3 -c '
import json, os
doc = json.load(open("out"))
files = doc["files"]
assert files == [{"role": "parts", "name": "utf16.csv", "size": int(os.environ["SIZE"]), "sha256": os.environ["SUM"]}], files
assert doc["inputs"]["profile"]["name"] == "gevs-qual", doc["inputs"]["profile"]
assert doc["parts"][0]["L_in"] == 1.0, doc["parts"][0]
'; then ok "the file's SHA-256, the profile's name, L in mm"; else fail "the JSON report's provenance"; fi
    ;;
  HeldBoard)
    # The plate model gives the same figures as on Linux: four screws near the corners, a heavy part.
    printf '%s\n' 'ref,L,kind,parallel,x,y,mass' 'U1,1.4,bga,a,4.5,3.5,' 'T1,30mm,two-row,a,2in,3.5in,45g' >held.csv
    run --board 9x7x0.08in --mass 1.2lb --psd 20:0.04,2000:0.04 --supports FFFF --point 0.2in,0.2in \
      --point 8.8in,0.2in --point 0.2in,6.8in --point 8.8in,6.8in held.csv
    expect_status 1
    expect_line "fn by finite elements" '^  fn +24\.75 Hz +finite elements, 24 x 19, edges FFFF, 1\.2lb$' out
    expect_line "U1's r from the board's bending" '^  U1 +bga +a +9 +1\.4 +4\.5 +3\.5 +1\.75 +0\.737 ' out
    run --board 9x7x0.08in --mass 1.2lb --psd navmat --supports FFFF --point 1in,1in held.csv
    expect_status 2
    one_message
    expect_line "a board free to move" 'free to move as a rigid body' err
    ;;
  Layout)
    # A KiCad board file and its position file give the same parts, held by the board's mounting holes.
    cat >board.kicad_pcb <<'BOARD'
(kicad_pcb (version 20240108) (generator "pcbnew")
  (general (thickness 1.6))
  (gr_rect (start 0 0) (end 100 80) (layer "Edge.Cuts"))
  (footprint "Package_BGA:BGA-64_9.0x9.0mm" (layer "F.Cu") (at 50 40)
    (property "Reference" "U1") (attr smd) (fp_rect (start -4.5 -4.5) (end 4.5 4.5) (layer "F.Fab")))
  (footprint "MountingHole:M3" (layer "F.Cu") (at 5 5) (property "Reference" "H1") (attr exclude_from_pos_files))
  (footprint "MountingHole:M3" (layer "F.Cu") (at 95 5) (property "Reference" "H2") (attr exclude_from_pos_files))
  (footprint "MountingHole:M3" (layer "F.Cu") (at 5 75) (property "Reference" "H3") (attr exclude_from_pos_files))
  (footprint "MountingHole:M3" (layer "F.Cu") (at 95 75) (property "Reference" "H4") (attr exclude_from_pos_files))
)
BOARD
    printf '%s\n' '## Unit = mm, Angle = deg.' '# Ref Val Package PosX PosY Rot Side' \
      'U1 FPGA BGA-64_9.0x9.0mm 50 40 0 top' >board.pos
    run --mass 60g --psd navmat board.kicad_pcb
    expect_status 1
    expect_line "the holes hold the board" '^  fn +[0-9.]+ Hz +finite elements, [0-9]+ x [0-9]+, edges FFFF, 60g$' out
    expect_line "the holes listed" 'not evaluated: H1 \(mounting hole\), H2' err
    grep '^  U1 ' out | cut -c1-90 >board.row
    run --board 100x80x1.6mm --mass 60g --psd navmat --supports FFFF --point 5mm,5mm --point 95mm,5mm \
      --point 5mm,75mm --point 95mm,75mm board.pos
    expect_status 1
    grep '^  U1 ' out | cut -c1-90 >pos.row
    if cmp -s board.row pos.row; then ok "the same U1 from both files: $(cat pos.row)"; else fail "U1 differs: $(cat board.row) / $(cat pos.row)"; fi
    ;;
  Report)
    # The README's board as a page and a figure, named as Windows names them: the same structure as on Linux.
    printf '%s\n' 'ref,kind,L,parallel,x,y,r' 'U1,bga,1.4,a,4.5,3.5,' 'U2,lccc,0.8,b,2.0,3.0,' \
      'U3,dip,1.0,a,7.2,1.8,' 'U4,lccc-j,1.1,a,3.0,5.2,' 'R1,resistor,10mm,b,1.0,1.0,' 'J1,two-row,2.5,a,,,0.5' >readme.csv
    here="Z:$(pwd | tr / '\\')"
    run "${board[@]}" readme.csv --format json --report "$here\\board.html" --plot board "$here\\board.svg"
    expect_status 1
    if xmllint --noout board.svg 2>/dev/null; then ok "the figure is well-formed SVG"; else fail "board.svg is not well-formed"; fi
    if tidy -q -e board.html >tidy.txt 2>&1; then ok "the page is valid HTML5"; else fail "tidy: $(cat tidy.txt)"; fi
    rm -f tidy.txt
    if python3 - <<'CHECK'
import html.parser, json
class Page(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.sections, self.svgs, self.rows, self.fails, self.tbody = [], 0, 0, 0, False
    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if tag == "section":
            self.sections.append(a.get("id"))
        elif tag == "svg":
            self.svgs += 1
        elif tag == "table" and a.get("id") == "parts-table":
            self.tbody = True
        elif tag == "tr" and self.tbody:
            self.rows += 1
            self.fails += a.get("class") == "fail"
    def handle_endtag(self, tag):
        if tag == "table":
            self.tbody = False
text = open("board.html", encoding="utf-8").read()
page = Page()
page.feed(text)
assert "http:" not in text and "https:" not in text
assert page.sections == ["verdict", "board-map", "profile", "parts", "inputs"], page.sections
assert page.svgs == 3, page.svgs
assert (page.rows, page.fails) == (7, 4), (page.rows, page.fails)  # the header row and six parts
doc = json.load(open("out"))
assert '68.16 Hz' in text and len(doc["parts"]) == 6
CHECK
    then ok "five sections, three figures, six parts of which four fail"; else fail "the page's structure"; fi
    only_files readme.csv parts.csv board.html board.svg
    ;;
  *)
    echo "tarnvel_board_exe_test.sh: no row $row" >&2
    exit 2
    ;;
esac

[ "$failed" = 0 ] && echo "$row: all checks passed"
exit "$failed"
