#!/usr/bin/env python3
"""The text export opened by a real spreadsheet: LibreOffice Calc reads what zarnctl export
writes, and every cell lands where the export put it.

Skipped (exit 77) when LibreOffice (soffice) is not installed."""
import csv
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

ZARNCTL = sys.argv.pop(1)
FIXTURE = sys.argv.pop(1)
SOFFICE = shutil.which("soffice")

COLUMNS = {"tab": "\t", "semicolon": ";"}
ROWS = {"crlf": "\r\n", "cr": "\r", "lf": "\n"}
FORMATS = [("tab", "crlf"), ("semicolon", "lf"), ("tab", "cr")]


def trimmed(row):
    """A row without its trailing empty cells (the spreadsheet pads rows to one width)."""
    while row and row[-1] == "":
        row = row[:-1]
    return row


def export_cells(data, col, row):
    text = data.decode("utf-8")
    lines = text.split(ROWS[row])
    assert lines[-1] == "", "the export ends with a row delimiter"
    return [trimmed(line.split(COLUMNS[col])) for line in lines[:-1]]


def calc_cells(paths, workdir):
    """Every file opened as CSV (TAB or ";" between cells, UTF-8, every column text) and saved
    again as comma-separated CSV."""
    text_columns = "/".join(f"{c}/2" for c in range(1, 21))
    infilter = f"Text - txt - csv (StarCalc):9/59,34,76,1,{text_columns}"
    outdir = os.path.join(workdir, "calc")
    subprocess.run([SOFFICE, "--headless", "--norestore", "--nolockcheck",
                    f"-env:UserInstallation=file://{workdir}/profile",
                    f"--infilter={infilter}",
                    "--convert-to", "csv:Text - txt - csv (StarCalc):44,34,76,1",
                    "--outdir", outdir, *paths],
                   check=True, capture_output=True, timeout=540)
    result = {}
    for path in paths:
        name = os.path.splitext(os.path.basename(path))[0] + ".csv"
        with open(os.path.join(outdir, name), newline="", encoding="utf-8") as f:
            result[path] = [trimmed(r) for r in csv.reader(f)]
    return result


class Spreadsheet(unittest.TestCase):
    def test_every_cell_where_the_export_put_it(self):
        with tempfile.TemporaryDirectory() as tmp:
            exports = {}
            for col, row in FORMATS:
                path = os.path.join(tmp, f"{col}-{row}.txt")
                out = subprocess.run([ZARNCTL, "export", FIXTURE, "-o", path, "--col", col,
                                      "--row", row], capture_output=True)
                self.assertEqual(out.returncode, 0, out.stderr)
                with open(path, "rb") as f:
                    exports[path] = export_cells(f.read(), col, row)
            calc = calc_cells(list(exports), tmp)
            for path, cells in exports.items():
                with self.subTest(os.path.basename(path)):
                    self.assertEqual(calc[path], cells)
                    self.assertEqual(cells[0], ["Elektro Meritve d.o.o.", "", "Hiša Novak"])
                    self.assertIn(["", "Kitchen"], cells)
                    self.assertIn(["No.", "Place", "Function", "Results", "Parameters"], cells)
                    self.assertIn(["1", "Kitchen", "Insulation-resistance", "Riso > 1999 MΩ",
                                   "Um = 500 V"], cells)
                    self.assertIn(["4", "Garage", "Continuity-200 mA", "PASS"], cells)
                    self.assertIn(["1", "Kitchen", "B16", "16", "1.2", "0.35,0.36", "", "", "",
                                   ">1999", "ok"], cells)
                    self.assertEqual(cells[-1], ["E2", "0.8"])
                    self.assertFalse(any("skipped" in c for r in cells for c in r))


if __name__ == "__main__":
    if not SOFFICE:
        print("soffice not found: install libreoffice-calc-nogui to run this test")
        sys.exit(77)
    unittest.main()
