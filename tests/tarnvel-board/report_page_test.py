#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The tarnvel developers
# SPDX-License-Identifier: MIT
# tarnvel-board's page and figures as a reviewer gets them: the real program's --report and --plot files,
# read back with real parsers (XML for the SVG, tidy for the HTML, an HTML parser for the numbers), checked
# against the JSON of the same run, and opened in a real browser.
#
# Usage: report_page_test.py TARNVEL_BOARD SOURCE_DIR [unittest arguments]

import html.parser
import json
import math
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ET
import zlib

BINARY = ""
SOURCE = ""
SVG = "{http://www.w3.org/2000/svg}"
README_BOARD = ["--board", "9x7x0.08in", "--mass", "1.2lb", "--psd", "20:0.04,2000:0.04"]


class Node:
    def __init__(self, tag, attrs, parent):
        self.tag, self.attrs, self.parent = tag, dict(attrs), parent
        self.children, self.text = [], ""

    def iter(self, tag=None):
        if tag is None or self.tag == tag:
            yield self
        for child in self.children:
            yield from child.iter(tag)

    def all_text(self):
        return self.text + "".join(c.all_text() for c in self.children)

    def classes(self):
        return self.attrs.get("class", "").split()


class Page(html.parser.HTMLParser):
    """The page as a tree of elements, as a browser's parser sees it (void elements closed at once)."""
    VOID = {"meta", "br", "hr", "img", "link", "input"}

    def __init__(self, text):
        super().__init__(convert_charrefs=True)
        self.root = Node("#root", [], None)
        self.at = self.root
        self.feed(text)
        self.close()

    def handle_starttag(self, tag, attrs):
        node = Node(tag, attrs, self.at)
        self.at.children.append(node)
        if tag not in self.VOID:
            self.at = node

    def handle_startendtag(self, tag, attrs):
        self.at.children.append(Node(tag, attrs, self.at))

    def handle_endtag(self, tag):
        node = self.at
        while node is not self.root and node.tag != tag:
            node = node.parent
        if node is not self.root:
            self.at = node.parent

    def handle_data(self, data):
        self.at.text += data


def run(*arguments, cwd=None):
    done = subprocess.run([BINARY, *arguments], capture_output=True, text=True, cwd=cwd,
                          env={**os.environ, "SOURCE_DATE_EPOCH": "1796836500"})
    return done.returncode, done.stdout, done.stderr


def log10_between(x1, v1, x2, v2, value):
    return x1 + (x2 - x1) * (math.log10(value) - math.log10(v1)) / (math.log10(v2) - math.log10(v1))


def tick_x(svg, label):
    for text in svg.iter(SVG + "text"):
        if "tick-label" in text.get("class", "").split() and text.text == label \
                and text.get("text-anchor") == "middle":
            return float(text.get("x"))
    raise AssertionError("no tick labelled " + label)


def structure(page):
    """The page's outline: each section with its headings, tables (rows) and figures (shapes by role)."""
    lines = []
    for section in page.iter("section"):
        lines.append("section " + section.attrs.get("id", ""))
        for node in section.iter():
            if node.tag in ("h2", "h3"):
                lines.append(f"  {node.tag} {node.all_text()}")
            elif node.tag == "table":
                rows = list(node.iter("tr"))
                lines.append(f"  table {node.attrs.get('id', '')}: {len(rows)} rows of {len(list(rows[0].children))}")
            elif node.tag == "svg":
                roles = {}
                for shape in node.iter():
                    for role in shape.classes():
                        roles[role] = roles.get(role, 0) + 1
                title = next(node.iter("title")).all_text()
                lines.append(f"  figure {title}: " + ", ".join(f"{k} {v}" for k, v in sorted(roles.items())))
            elif node.tag == "p" and "verdict" in node.classes():
                lines.append("  verdict " + node.all_text())
            elif node.tag == "dt":
                lines.append("  figure of the verdict: " + node.all_text())
    return "\n".join(lines) + "\n"


def part_cells(page, tr):
    """A row of the parts table by the JSON's keys, which the table's heading names."""
    table = next(t for t in page.iter("table") if t.attrs.get("id") == "parts-table")
    keys = [th.attrs["data-key"] for th in table.iter("th")]
    return dict(zip(keys, [td for td in tr.children if td.tag == "td"]))


def lightness(colour):
    def linear(c):
        c = c / 255
        return c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4
    r, g, b = (int(colour[i:i + 2], 16) for i in (1, 3, 5))
    y = 0.2126 * linear(r) + 0.7152 * linear(g) + 0.0722 * linear(b)
    return 116 * y ** (1 / 3) - 16 if y > 216 / 24389 else y * 24389 / 27


class ReadmeBoard(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.mkdtemp(prefix="tarnvel-report-")
        parts = os.path.join(SOURCE, "docs", "board-example.csv")
        cls.status, _, cls.err = run(*README_BOARD, parts, "--format", "json", "-o", "out.json",
                                     "--report", "board.html", "--plot", "psd", "psd.svg", "--plot",
                                     "response", "response.svg", "--plot", "board", "board.svg", cwd=cls.dir)
        with open(os.path.join(cls.dir, "out.json"), encoding="utf-8") as f:
            cls.json = json.load(f)
        with open(os.path.join(cls.dir, "board.html"), encoding="utf-8") as f:
            cls.html = f.read()
        cls.page = Page(cls.html).root

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.dir)

    def svg(self, name):
        return ET.parse(os.path.join(self.dir, name)).getroot()

    def test_run_fails_as_the_table_says(self):
        self.assertEqual(self.status, 1, self.err)

    def test_figures_are_well_formed_svg(self):
        for name in ("psd.svg", "response.svg", "board.svg"):
            self.assertEqual(self.svg(name).tag, SVG + "svg")
            done = subprocess.run(["xmllint", "--noout", os.path.join(self.dir, name)], capture_output=True)
            self.assertEqual(done.returncode, 0, done.stderr)

    def test_page_is_valid_html5_without_a_network_reference(self):
        done = subprocess.run(["tidy", "-q", "-e", os.path.join(self.dir, "board.html")], capture_output=True,
                              text=True)
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertTrue(self.html.startswith("<!DOCTYPE html>"))
        for reference in ("http:", "https:", "<script", "src=", "href=", "@import", "url("):
            self.assertNotIn(reference, self.html.lower())
        for name in ("psd.svg", "response.svg", "board.svg"):
            with open(os.path.join(self.dir, name), encoding="utf-8") as f:
                text = f.read().replace('xmlns="http://www.w3.org/2000/svg"', "")
            self.assertNotIn("http", text)

    def test_structure_is_the_golden_one(self):
        # Sections, headings, rows and the figures' shapes by role: the page's structure, not its bytes.
        golden = os.path.join(SOURCE, "tests", "tarnvel-board", "golden", "readme-board-page.txt")
        text = structure(self.page)
        if os.environ.get("TARNVEL_UPDATE_GOLDEN"):
            with open(golden, "w", encoding="utf-8") as f:
                f.write(text)
        with open(golden, encoding="utf-8") as f:
            self.assertEqual(text, f.read())

    def test_sections_come_in_order(self):
        ids = [s.attrs.get("id") for s in self.page.iter("section")]
        self.assertEqual(ids, ["verdict", "board-map", "profile", "parts", "inputs"])
        headings = [h.all_text() for h in self.page.iter("h2")]
        self.assertEqual(headings, ["Verdict", "Board map", "Vibration profile", "Parts, worst margin first",
                                    "Inputs and assumptions"])
        svgs = {s.parent.parent.attrs.get("id"): 0 for s in self.page.iter("svg")}
        for s in self.page.iter("svg"):
            svgs[s.parent.parent.attrs["id"]] += 1
        self.assertEqual(svgs, {"board-map": 1, "profile": 2})

    def test_parts_table_has_every_part_worst_first_failing_ones_said_in_text(self):
        rows = [tr for tr in self.page.iter("tr") if tr.parent.tag == "tbody"
                and tr.parent.parent.attrs.get("id") == "parts-table"]
        self.assertEqual(len(rows), 6)
        refs = [part_cells(self.page, r)["ref"].all_text() for r in rows]
        self.assertEqual(refs, ["U1", "U2", "U4", "J1", "U3", "R1"])
        results = [next(td for td in r.iter("td") if "result" in td.classes()).all_text() for r in rows]
        self.assertEqual(results, ["FAIL"] * 4 + ["pass"] * 2)
        self.assertEqual(["fail" in r.classes() for r in rows], [True] * 4 + [False] * 2)
        verdict = next(p for p in self.page.iter("p") if "verdict" in p.classes())
        self.assertEqual(verdict.all_text(), "FAIL: 4 of 6 parts fall short")

    def test_numbers_on_the_page_are_the_json_ones(self):
        by_ref = {p["ref"]: p for p in self.json["parts"]}
        checked = 0
        for tr in self.page.iter("tr"):
            if tr.parent.tag != "tbody" or tr.parent.parent.attrs.get("id") != "parts-table":
                continue
            cells = part_cells(self.page, tr)
            part = by_ref[cells["ref"].all_text()]
            for key, td in cells.items():
                if "data-value" not in td.attrs:
                    continue
                self.assertEqual(float(td.attrs["data-value"]), part[key], key)
                shown = td.all_text().replace("\u25a0", "").strip()
                if not shown.startswith(">"):
                    self.assertAlmostEqual(float(shown) / part[key], 1.0, delta=5e-3, msg=key)
                checked += 1
        self.assertGreater(checked, 6 * 8)
        figures = {dd.attrs["data-key"]: dd for dd in self.page.iter("dd") if "data-key" in dd.attrs}
        board = self.json["board"]
        self.assertEqual(float(figures["fn_hz"].attrs["data-value"]), board["fn_hz"])
        self.assertEqual(float(figures["required_fn_hz"].attrs["data-value"]), board["required_fn_hz"])
        self.assertEqual(float(figures["z3sigma_in"].attrs["data-value"]), board["z3sigma_in"])
        self.assertEqual(float(figures["input_grms"].attrs["data-value"]), board["input_grms"])
        self.assertIn("208.2 Hz", figures["required_fn_hz"].all_text())
        worst = min(self.json["parts"], key=lambda p: p["margin"])
        self.assertEqual(float(figures["worst_margin"].attrs["data-value"]), worst["margin"])
        hashes = [td.all_text() for td in self.page.iter("td") if "hash" in td.classes()]
        self.assertEqual(hashes, [f["sha256"] for f in self.json["files"]])

    def test_fn_sits_at_its_logarithm_on_both_plots(self):
        fn = self.json["board"]["fn_hz"]
        required = self.json["board"]["required_fn_hz"]
        for name, marks in (("psd.svg", {"fn": fn}), ("response.svg", {"fn": fn, "required-fn": required})):
            svg = self.svg(name)
            x100, x1000 = tick_x(svg, "100"), tick_x(svg, "1000")
            for role, hz in marks.items():
                line = next(p for p in svg.iter(SVG + "path") if p.get("class") == role)
                x = float(re.match(r"M([-\d.]+) ", line.get("d")).group(1))
                self.assertAlmostEqual(x, log10_between(x100, 100, x1000, 1000, hz), delta=0.02, msg=name + role)

    def test_parts_lie_at_their_place_and_size_coloured_by_margin(self):
        svg = self.svg("board.svg")
        outline = next(p for p in svg.iter(SVG + "path") if p.get("class") == "outline")
        corners = [tuple(map(float, c.split())) for c in re.findall(r"[ML]([-\d.]+ [-\d.]+)", outline.get("d"))]
        xs, ys = [c[0] for c in corners], [c[1] for c in corners]
        left, right, top, bottom = min(xs), max(xs), min(ys), max(ys)
        scale = (right - left) / 9.0
        self.assertAlmostEqual((bottom - top) / 7.0, scale, delta=0.01)
        legend = {}
        for r in svg.iter(SVG + "rect"):
            if r.get("class") == "legend-band":
                legend[r.find(SVG + "title").text] = r.get("fill")
        failing = [lightness(c) for label, c in legend.items() if label.endswith("FAIL")]
        passing = [lightness(c) for label, c in legend.items() if label.endswith("pass")]
        self.assertEqual((len(failing), len(passing)), (4, 4))
        by_ref = {p["ref"]: p for p in self.json["parts"]}
        drawn = 0
        for r in svg.iter(SVG + "rect"):
            classes = r.get("class", "").split()
            if "part" not in classes:
                continue
            drawn += 1
            part = by_ref[r.find(SVG + "title").text.split(",")[0]]
            w, h = float(r.get("width")), float(r.get("height"))
            cx, cy = float(r.get("x")) + w / 2, float(r.get("y")) + h / 2
            self.assertAlmostEqual(cx, left + part["x_in"] * scale, delta=0.02, msg=part["ref"])
            self.assertAlmostEqual(cy, bottom - part["y_in"] * scale, delta=0.02, msg=part["ref"])
            self.assertAlmostEqual(w, part["L_in"] * scale, delta=0.02, msg=part["ref"])
            turned = "rotate(90 " in r.get("transform", "")
            self.assertEqual(turned, part["parallel"] == "b", part["ref"])
            self.assertEqual("fail" in classes, not part["pass"])
            if part["pass"]:
                self.assertGreaterEqual(lightness(r.get("fill")), min(passing) - 1e-6, part["ref"])
            else:
                self.assertLessEqual(lightness(r.get("fill")), max(failing) + 1e-6, part["ref"])
                self.assertLess(lightness(r.get("fill")), min(passing), part["ref"])
        self.assertEqual(drawn, 5)  # J1 is placed by r


class OtherBoards(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="tarnvel-report-")

    def tearDown(self):
        shutil.rmtree(self.dir)

    def page(self, *arguments):
        status, _, err = run(*arguments, "--report", "r.html", cwd=self.dir)
        self.assertIn(status, (0, 1), err)
        with open(os.path.join(self.dir, "r.html"), encoding="utf-8") as f:
            return Page(f.read()).root

    def classes(self, page, tag):
        return [c for n in page.iter(tag) for c in n.classes()]

    def test_a_clamped_board_shows_its_mode_shape_and_clamped_edges(self):
        page = self.page(*README_BOARD, "--supports", "CCFF", os.path.join(SOURCE, "docs", "board-example.csv"))
        paths = self.classes(page, "path")
        self.assertEqual(paths.count("edge-clamped"), 2)
        self.assertGreater(paths.count("mode-contour"), 0)

    def test_a_kicad_board_shows_its_mounting_holes(self):
        page = self.page("--mass", "60g", "--psd", "navmat", os.path.join(SOURCE, "docs", "board-example.kicad_pcb"))
        self.assertEqual(self.classes(page, "path").count("support-point"), 4)
        self.assertIn("Footprints not evaluated", [h.all_text() for h in page.iter("h3")])

    def test_thousands_of_parts_are_drawn_by_colour_band_and_all_listed(self):
        rows = ["ref,kind,L,parallel,x,y"]
        for i in range(3500):
            rows.append(f"R{i},resistor,0.1,{'ab'[i % 2]},{0.2 + (i % 70) * 0.12:.2f},{0.2 + (i // 70) * 0.12:.2f}")
        with open(os.path.join(self.dir, "many.csv"), "w", encoding="utf-8") as f:
            f.write("\n".join(rows) + "\n")
        page = self.page(*README_BOARD, "many.csv")
        rects = self.classes(page, "rect")
        self.assertNotIn("part", rects)
        self.assertGreater(self.classes(page, "path").count("part-band"), 0)
        # In tables of 1000 rows, each with its heading, drawn as they are scrolled to.
        tables = [t for t in page.iter("table") if "parts" in t.classes()]
        self.assertEqual(len(tables), 4)
        rows = [tr for t in tables for tr in t.iter("tr") if tr.parent.tag == "tbody"]
        self.assertEqual(len(rows), 3500)
        self.assertEqual(len({tr.children[0].all_text() for tr in rows}), 3500)  # every ref once

    def test_markup_in_a_reference_is_text(self):
        with open(os.path.join(self.dir, "odd.csv"), "w", encoding="utf-8") as f:
            f.write('ref,kind,L,parallel,x,y\n"<b>U1</b>&amp;",bga,1,a,4,3\n')
        self.page(*README_BOARD, "odd.csv")
        with open(os.path.join(self.dir, "r.html"), encoding="utf-8") as f:
            text = f.read()
        self.assertNotIn("<b>U1", text)
        self.assertIn("&lt;b&gt;U1&lt;/b&gt;&amp;amp;", text)


class Refusals(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="tarnvel-report-")
        shutil.copy(os.path.join(SOURCE, "docs", "board-example.csv"), os.path.join(self.dir, "parts.csv"))

    def tearDown(self):
        shutil.rmtree(self.dir)

    def test_slips_are_refused_in_one_line_and_nothing_is_written(self):
        with open(os.path.join(self.dir, "old.html"), "w", encoding="utf-8") as f:
            f.write("old")
        rows = [
            ("the page onto the parts list", ["--report", "parts.csv"], "--report"),
            ("the page onto a CSV name", ["--report", "board.csv"], "no .html file"),
            ("an unknown figure", ["--plot", "spectrum", "a.svg"], "--plot"),
            ("a figure without its file", ["--plot", "psd"], "--plot"),
            ("--plot alone", ["--plot"], "--plot"),
            ("the page without its file", ["--report"], "--report"),
            ("a figure without .svg", ["--plot", "psd", "a.png"], "no .svg file"),
            ("one file for two figures", ["--plot", "psd", "a.svg", "--plot", "board", "a.svg"], "named twice"),
            ("the page onto -o", ["-o", "old.html", "--report", "old.html"], "also the file of --output"),
        ]
        for name, arguments, said in rows:
            status, out, err = run(*README_BOARD, "parts.csv", *arguments, cwd=self.dir)
            self.assertEqual(status, 2, name)
            self.assertEqual(out, "", name)
            self.assertEqual(err.count("\n"), 1, name + ": " + err)
            self.assertIn(said, err, name)
        self.assertEqual(sorted(os.listdir(self.dir)), ["old.html", "parts.csv"])
        with open(os.path.join(self.dir, "old.html"), encoding="utf-8") as f:
            self.assertEqual(f.read(), "old")

    def test_a_board_that_cannot_be_evaluated_leaves_the_old_page(self):
        with open(os.path.join(self.dir, "r.html"), "w", encoding="utf-8") as f:
            f.write("old")
        status, _, err = run("--board", "9x7x0.08in", "--psd", "navmat", "parts.csv", "--report", "r.html",
                             cwd=self.dir)
        self.assertEqual(status, 2, err)
        with open(os.path.join(self.dir, "r.html"), encoding="utf-8") as f:
            self.assertEqual(f.read(), "old")


def png_pixels(path):
    """The RGB(A) rows of a PNG (8-bit, non-interlaced, as Chromium writes it)."""
    with open(path, "rb") as f:
        data = f.read()
    assert data[:8] == b"\x89PNG\r\n\x1a\n"
    at, idat, width, height, kind = 8, b"", 0, 0, 0
    while at < len(data):
        length, tag = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if tag == b"IHDR":
            width, height, depth, kind = struct.unpack(">IIBB", body[:10])
            assert depth == 8 and kind in (2, 6)
        elif tag == b"IDAT":
            idat += body
        at += 12 + length
    channels = 3 if kind == 2 else 4
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        filter_type = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - channels] if i >= channels else 0
            b = previous[i]
            c = previous[i - channels] if i >= channels else 0
            if filter_type == 1:
                line[i] = (line[i] + a) & 255
            elif filter_type == 2:
                line[i] = (line[i] + b) & 255
            elif filter_type == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif filter_type == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(bytes(line))
        previous = line
    return width, height, channels, rows


class Browser(unittest.TestCase):
    """The page in headless Chromium, at a desktop's size and at A4's (96 dpi), and printed."""

    def test_page_opens_and_prints(self):
        chromium = shutil.which("chromium")
        self.assertIsNotNone(chromium, "chromium is not installed: run scripts/install-deps")
        work = tempfile.mkdtemp(prefix="tarnvel-browser-")
        try:
            # As the README runs it, from the source tree.
            status, _, err = run(*README_BOARD, os.path.join("docs", "board-example.csv"), "--report",
                                 os.path.join(work, "board.html"), cwd=SOURCE)
            self.assertEqual(status, 1, err)
            url = "file://" + os.path.join(work, "board.html")
            pictures = os.environ.get("TARNVEL_REPORT_PICTURES")
            # A desktop's window, an A4 sheet at 96 dpi, and a desktop in a dark colour scheme.
            for name, size, more in (("desktop", "1280,2200", []), ("print", "794,1123", []),
                                     ("dark", "1280,2200", ["--blink-settings=preferredColorScheme=0"])):
                profile = tempfile.mkdtemp(prefix="chromium-", dir=work)
                shot = os.path.join(work, name + ".png")
                done = subprocess.run(
                    [chromium, "--headless", "--no-sandbox", "--disable-gpu", "--disable-background-networking",
                     "--disable-component-update", "--disable-sync", "--no-first-run", "--hide-scrollbars",
                     "--user-data-dir=" + profile, "--window-size=" + size, "--screenshot=" + shot, *more, url],
                    capture_output=True, text=True, timeout=120)
                self.assertEqual(done.returncode, 0, done.stderr)
                # What the page itself could cause: a console message, a resource that failed to load.
                for line in done.stderr.splitlines():
                    self.assertNotRegex(line, r"CONSOLE|Failed to load|net::ERR|Uncaught", line)
                width, height, channels, rows = png_pixels(shot)
                self.assertEqual(f"{width},{height}", size)
                colours = set()
                dark = 0
                for row in rows[::7]:
                    for i in range(0, len(row), channels * 7):
                        pixel = row[i:i + 3]
                        colours.add(pixel)
                        dark += sum(pixel) < 200
                self.assertGreater(len(colours), 20, name + " is blank")
                self.assertGreater(dark, 100, name + " has no dark pixels")
                if pictures:
                    shutil.copy(shot, os.path.join(pictures, "report-" + name + ".png"))
            profile = tempfile.mkdtemp(prefix="chromium-", dir=work)
            pdf = os.path.join(work, "board.pdf")
            done = subprocess.run(
                [chromium, "--headless", "--no-sandbox", "--disable-gpu", "--disable-background-networking",
                 "--disable-component-update", "--disable-sync", "--no-first-run", "--user-data-dir=" + profile,
                 "--no-pdf-header-footer", "--print-to-pdf=" + pdf, url],
                capture_output=True, text=True, timeout=120)
            self.assertEqual(done.returncode, 0, done.stderr)
            with open(pdf, "rb") as f:
                pages = len(re.findall(rb"/Type\s*/Page[^s]", f.read()))
            # Each of the five sections starts a page of its own.
            self.assertGreaterEqual(pages, 5)
        finally:
            shutil.rmtree(work)


if __name__ == "__main__":
    BINARY, SOURCE = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    unittest.main(argv=[sys.argv[0], *sys.argv[3:]])
