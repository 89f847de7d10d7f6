#!/usr/bin/env python3
"""zarnctl end to end: show, view, convert and export on structure files written by the program."""
import json
import os
import subprocess
import sys
import tempfile
import unittest

ZARNCTL = sys.argv.pop(1)
CORPUS = sys.argv.pop(1)
RICH = os.path.join(CORPUS, "rich.zrn")
V10 = os.path.join(CORPUS, "version10.zrn")


def run(*args):
    return subprocess.run([ZARNCTL, *args], capture_output=True)


class Show(unittest.TestCase):
    def test_json_has_the_fixed_names_and_decoded_text(self):
        out = run("show", RICH, "--json")
        self.assertEqual(out.returncode, 0, out.stderr)
        d = json.loads(out.stdout)
        self.assertEqual(list(d), ["version", "family", "trusted", "heading", "comments",
                                   "autotest_comments", "checks", "tree", "table", "protocol"])
        self.assertEqual((d["version"], d["family"], d["trusted"]), (11, 16, True))
        self.assertEqual(list(d["heading"]), ["OP1", "OP2", "OP3", "FOOTER", "FOOTER2", "FOOTER3",
                                              "site1", "site2", "site3", "Logo", "LogoText"])
        self.assertEqual(d["heading"]["LogoText"], 1)
        self.assertEqual(len(d["comments"]), 200)
        self.assertEqual(d["comments"][199], "last š")  # a legacy code-page byte
        self.assertEqual(len(d["autotest_comments"]), 5)
        self.assertEqual(d["checks"], "011")
        root = d["tree"][0]
        self.assertEqual(list(root), ["name", "kind", "id", "measures", "children"])
        self.assertEqual(root["children"][1]["name"], "Line\rtwo")
        self.assertEqual((d["table"]["rows"], d["table"]["cols"]), (4, 10))
        self.assertEqual(d["table"]["cells"][2][4], "AAAPASS\r001003 0.41!")
        pages = d["protocol"]
        self.assertEqual([p["kind"] for p in pages], [1, 2, 3, 4, 5, 6, 1])
        self.assertEqual(list(pages[0]), ["kind", "index", "object", "edits"])
        self.assertEqual(list(pages[1]), ["kind", "index", "object", "block", "edits", "checks"])
        self.assertEqual(pages[1]["checks"], "1" + "0" * 27 + "1")
        self.assertEqual(pages[3]["picture"], "/nonexistent/plan è.jpg")
        table = pages[4]["tables"][0]
        self.assertEqual(list(table), ["object", "block", "sub", "cells"])
        self.assertEqual(table["sub"], ["sub one", "sub two"])
        self.assertEqual(table["cells"][4][3], "0.35\r0.36")
        self.assertEqual(pages[6]["index"], 2)

    def test_not_a_structure_file_gives_null_version(self):
        with tempfile.NamedTemporaryFile(suffix=".zrn") as f:
            f.write(b"hello\r\n")
            f.flush()
            d = json.loads(run("show", f.name, "--json").stdout)
            self.assertIsNone(d["version"])
            self.assertEqual(d["tree"], [])

    def test_errors_exit_non_zero(self):
        self.assertEqual(run("show", "/nonexistent.zrn").returncode, 1)
        self.assertEqual(run("show").returncode, 2)
        self.assertEqual(run("show", RICH, "--bogus").returncode, 2)
        self.assertEqual(run("nosuchcommand").returncode, 2)
        self.assertEqual(run("--help").returncode, 0)
        self.assertIn(b"convert", run("--help").stdout)


class View(unittest.TestCase):
    def test_node_paths(self):
        d = json.loads(run("view", RICH, "--json").stdout)
        self.assertEqual(d["caption"], "")
        self.assertEqual(len(d["headings"]), 5)
        self.assertEqual([r[0] for r in d["rows"]], ["1", "2"])
        leaf = json.loads(run("view", RICH, "--node", "1.2", "--json").stdout)
        self.assertEqual(len(leaf["rows"]), 1)
        self.assertEqual(leaf["rows"][0][1], "Line")
        empty = json.loads(run("view", RICH, "--node", "3", "--json").stdout)
        self.assertEqual(empty["rows"], [])
        self.assertTrue(empty["caption"].endswith(" Empty root"), empty["caption"])
        self.assertEqual(run("view", RICH, "--node", "9").returncode, 1)
        self.assertEqual(run("view", RICH, "--node", "1..2").returncode, 2)


class Convert(unittest.TestCase):
    def test_round_trip_and_version_10(self):
        with tempfile.TemporaryDirectory() as tmp:
            out = os.path.join(tmp, "out.zrn")
            self.assertEqual(run("convert", RICH, "-o", out).returncode, 0)
            with open(RICH, "rb") as a, open(out, "rb") as b:
                self.assertEqual(a.read(), b.read())
            self.assertEqual(run("convert", V10, "-o", out).returncode, 0)
            with open(out, "rb") as f:
                converted = f.read()
            self.assertTrue(converted.startswith(b"*** INSTAL STRUCTURE v11\r\n16\r\nhead 0 "))
            again = os.path.join(tmp, "again.zrn")
            self.assertEqual(run("convert", out, "-o", again).returncode, 0)
            with open(again, "rb") as f:
                self.assertEqual(f.read(), converted)
            self.assertEqual(run("convert", RICH).returncode, 2)
            self.assertEqual(run("convert", "/etc/hostname", "-o", out).returncode, 1)


class Export(unittest.TestCase):
    def test_defaults_are_tab_and_crlf_and_options_change_them(self):
        with tempfile.TemporaryDirectory() as tmp:
            out = os.path.join(tmp, "rich.txt")
            done = run("export", RICH, "-o", out)
            self.assertEqual(done.returncode, 0, done.stderr)
            with open(out, "rb") as f:
                default = f.read()
            self.assertTrue(default.startswith(b"head 0 \xde\t\thead 6 \xde\r\n"))
            lines = default.split(b"\r\n")
            self.assertEqual(lines[lines.index(b"Block A") + 1], b"\tSocket \xe8rna")
            numbered = [l for l in lines if l[:2] in (b"1\t", b"2\t", b"3\t")]
            self.assertEqual([l.split(b"\t")[:2] for l in numbered],
                             [[b"1", b"Socket"], [b"2", b"Line"]])
            other = os.path.join(tmp, "other.txt")
            self.assertEqual(run("export", RICH, "-o", other, "--col", "semicolon",
                                 "--row", "lf").returncode, 0)
            with open(other, "rb") as f:
                self.assertEqual(f.read(), default.replace(b"\t", b";").replace(b"\r\n", b"\n"))

    def test_garbage_options_are_refused(self):
        with tempfile.TemporaryDirectory() as tmp:
            out = os.path.join(tmp, "x.txt")
            for args in (["--col", "comma"], ["--col", ""], ["--row", "CRLF"], ["--row"],
                         ["--col", "tab;"], ["--frobnicate"]):
                with self.subTest(args=args):
                    done = run("export", RICH, "-o", out, *args)
                    self.assertEqual(done.returncode, 2, done.stderr)
                    self.assertIn(b"zarnctl export:", done.stderr)
                    self.assertFalse(os.path.exists(out))
            done = run("export", RICH, "-o", out, "--col", "comma")
            self.assertIn(b'--col takes one of tab, semicolon, not "comma"', done.stderr)
            self.assertEqual(run("export", RICH).returncode, 2)
            self.assertEqual(run("export", "/etc/hostname", "-o", out).returncode, 1)
            self.assertEqual(run("export", RICH, "-o", os.path.join(tmp, "no", "x.txt")).returncode, 1)


if __name__ == "__main__":
    unittest.main()
