#!/usr/bin/env python3
"""zarnctl report end to end: a structure received from the simulated instrument is written as
PDF (page count by pdfinfo, texts by pdftotext), page ranges, landscape, printer queues and
option values that make no sense."""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

ZARNCTL = sys.argv.pop(1)
SIM = sys.argv.pop(1)
DATA = sys.argv.pop(1)
RICH = os.path.join(sys.argv.pop(1), "rich.zrn")
ROWS = 120


def run(*args, program_dir=None):
    pre = ["--program-dir", program_dir] if program_dir else []
    return subprocess.run([ZARNCTL, *pre, *args], capture_output=True, text=True, timeout=120)


def tool(*args):
    return subprocess.run(args, capture_output=True, text=True, check=True).stdout


def pages(pdf):
    return int(re.search(r"Pages:\s+(\d+)", tool("pdfinfo", pdf)).group(1))


def text(pdf):
    return tool("pdftotext", "-layout", pdf, "-")


def setUpModule():
    global WORK, SITE, PROGRAM
    if not shutil.which("pdfinfo") or not shutil.which("pdftotext"):
        raise unittest.SkipTest("poppler-utils (pdfinfo, pdftotext) are not installed")
    WORK = tempfile.mkdtemp(prefix="zarnctl-report-")
    # A program directory of its own, so the test can set margins.
    PROGRAM = os.path.join(WORK, "program")
    os.makedirs(PROGRAM)
    for name in os.listdir(DATA):
        if os.path.isfile(os.path.join(DATA, name)):
            shutil.copy(os.path.join(DATA, name), PROGRAM)
    # ROWS results of one place (node 1.1), received as from an instrument.
    records = [{"block": 1, "element": 1, "function": 7,
                "items": [{"letter": "R", "quantity": 1, "unit": 5, "text": f"{i}.5"}]}
               for i in range(1, ROWS + 1)]
    fixture = os.path.join(WORK, "fixture.json")
    with open(fixture, "w") as f:
        json.dump({"type_code": 16, "records": records}, f)
    sim = subprocess.Popen([SIM, "--fixture", fixture, "--once"], stdout=subprocess.PIPE, text=True)
    device = sim.stdout.readline().strip()
    SITE = os.path.join(WORK, "site.zrn")
    out = run("receive", "--port", device, "-o", SITE)
    sim.wait(timeout=30)
    assert out.returncode == 0, out.stderr


def tearDownModule():
    shutil.rmtree(WORK, ignore_errors=True)


class Pdf(unittest.TestCase):
    def out(self, name):
        return os.path.join(WORK, name)

    def test_every_row_on_numbered_pages(self):
        pdf = self.out("all.pdf")
        r = run("report", SITE, "--node", "1.1", "-o", pdf)
        self.assertEqual(r.returncode, 0, r.stderr)
        n = pages(pdf)
        self.assertGreaterEqual(n, 2)
        self.assertIn(f"{n} of {n} pages", r.stdout)
        t = text(pdf)
        for expected in ("Operator:", "Results", "R = 1.5", f"R = {ROWS}.5", "-1-", f"-{n}-"):
            self.assertIn(expected, t)
        # The heading row is repeated on every page.
        self.assertEqual(len(re.findall(r"Results", t)), n)

    def test_page_range(self):
        pdf = self.out("range.pdf")
        r = run("report", SITE, "--node", "1.1", "--pages", "2-2", "-o", pdf)
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(pages(pdf), 1)
        t = text(pdf)
        self.assertIn("-2-", t)
        self.assertNotIn("-1-", t)

    def test_landscape(self):
        pdf = self.out("landscape.pdf")
        self.assertEqual(run("report", SITE, "--node", "1.1", "--landscape", "-o", pdf).returncode, 0)
        w, h = map(float, re.search(r"Page size:\s+([\d.]+) x ([\d.]+)", tool("pdfinfo", pdf)).groups())
        self.assertGreater(w, h)

    def test_default_node_is_the_first_root(self):
        pdf = self.out("rich.pdf")
        r = run("report", RICH, "-o", pdf)
        self.assertEqual(r.returncode, 0, r.stderr)
        t = text(pdf)
        self.assertIn("Socket", t)
        self.assertIn("Earth resistance", t)

    def test_bad_margin_setting_writes_nothing(self):
        pdf = self.out("margin.pdf")
        with open(pdf, "wb") as f:
            f.write(b"old")
        with open(os.path.join(PROGRAM, "ZARN.INI"), "w") as f:
            f.write("[MARGINS]\nMarginLeft=wide\n")
        try:
            r = run("report", SITE, "--node", "1.1", "-o", pdf, program_dir=PROGRAM)
        finally:
            os.remove(os.path.join(PROGRAM, "ZARN.INI"))
        self.assertEqual(r.returncode, 1)
        self.assertIn("left margin", r.stderr)
        with open(pdf, "rb") as f:
            self.assertEqual(f.read(), b"old")

    def test_margins_from_the_settings(self):
        default = self.out("default.pdf")
        self.assertEqual(run("report", SITE, "--node", "1.1", "-o", default).returncode, 0)
        with open(os.path.join(PROGRAM, "ZARN.INI"), "w") as f:
            f.write("[MARGINS]\nMarginTop=8,0\nMarginBottom=8.0\n")
        try:
            pdf = self.out("deep.pdf")
            r = run("report", SITE, "--node", "1.1", "-o", pdf, program_dir=PROGRAM)
        finally:
            os.remove(os.path.join(PROGRAM, "ZARN.INI"))
        self.assertEqual(r.returncode, 0, r.stderr)
        # 8 cm instead of 2.54 cm at top and bottom, with a decimal comma and a point: fewer
        # rows on a page.
        self.assertGreater(pages(pdf), pages(default))

    def test_unwritable_output(self):
        r = run("report", SITE, "-o", os.path.join(WORK, "no", "such", "dir", "x.pdf"))
        self.assertEqual(r.returncode, 1)
        self.assertIn("Unable to write", r.stderr)


class Options(unittest.TestCase):
    def test_garbage_values_exit_2(self):
        pdf = os.path.join(WORK, "garbage.pdf")
        cases = [
            ["--pages", "3-1", "-o", pdf], ["--pages", "x", "-o", pdf],
            ["--pages", "0-2", "-o", pdf], ["--pages", "2-", "-o", pdf],
            ["--pages", "99-99", "-o", pdf], ["--pages", "-1", "-o", pdf],
            ["--printer", "zarn-test", "--copies", "0"], ["--printer", "zarn-test", "--copies", "abc"],
            ["--printer", "zarn-test", "--copies", "1000"],
            ["--printer", "no-such-queue-here"], ["-o", pdf, "--copies", "2"],
            [], ["-o", pdf, "--printer", "zarn-test"], ["-o", ""],
            ["--node", "a.b", "-o", pdf], ["--bogus", "-o", pdf],
        ]
        for args in cases:
            with self.subTest(args=args):
                r = run("report", SITE, "--node", "1.1", *args) if "--node" not in args \
                    else run("report", SITE, *args)
                self.assertEqual(r.returncode, 2, r.stdout + r.stderr)
                self.assertTrue(r.stderr.strip())
        self.assertFalse(os.path.exists(pdf))

    def test_missing_node_or_file_exit_1(self):
        self.assertEqual(run("report", SITE, "--node", "9", "-o", "x.pdf").returncode, 1)
        self.assertEqual(run("report", os.path.join(WORK, "none.zrn"), "-o", "x.pdf").returncode, 1)


class Printer(unittest.TestCase):
    QUEUE = "zarn-test"

    def test_prints_on_a_queue(self):
        if not shutil.which("lpstat") or subprocess.run(["lpstat", "-p", self.QUEUE],
                                                        capture_output=True).returncode != 0:
            self.skipTest(f"no CUPS queue {self.QUEUE} (scripts/cups-test-queue.sh start)")
        r = run("report", SITE, "--node", "1.1", "--printer", self.QUEUE, "--pages", "1-2",
                "--copies", "2", "--no-collate")
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertIn(f"sent 2 of", r.stdout)
        self.assertIn("2 copies", r.stdout)


if __name__ == "__main__":
    unittest.main(verbosity=2)
