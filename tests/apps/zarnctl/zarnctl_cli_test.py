#!/usr/bin/env python3
"""zarnctl end to end: show, view and convert on structure files written by the program,
numbers on the command line of zarnctl and zarn-sim, and Ctrl-C during a reception."""

"""zarnctl end to end: show, view, convert and export on structure files written by the program."""
import json
import os
import signal
import subprocess
import sys
import tempfile
import time
import unittest

ZARNCTL = sys.argv.pop(1)
SAMPLES = sys.argv.pop(1)
ZARN_SIM = sys.argv.pop(1)
RICH = os.path.join(SAMPLES, "rich.zrn")
V10 = os.path.join(SAMPLES, "version10.zrn")


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

    def test_file_not_taken_whole_is_not_written_without_force(self):
        with open(RICH, "rb") as f:
            rich = f.read()
        lines = rich.split(b"\r\n")
        table = lines.index(b"*** TABLE DATA")

        def with_line(index, text):
            changed = list(lines)
            changed[index] = text
            return b"\r\n".join(changed)

        cases = {
            "rows over the limit": (with_line(table + 1, b"65537"), b"65536 rows"),
            "rows beyond 32 bits": (with_line(table + 1, b"4294967296"), b"65536 rows"),
            "columns over the limit": (with_line(table + 2, b"1001"), b"1000 columns"),
            "ends early": (rich[: rich.index(b"*** PROTOCOL DATA") + 30], b"ends before"),
            "checksum": (with_line(lines.index(b"*** STRUCTURE DATA") + 1, b"1"), b"checksum"),
        }
        with tempfile.TemporaryDirectory() as tmp:
            src = os.path.join(tmp, "in.zrn")
            out = os.path.join(tmp, "out.zrn")
            for name, (data, reason) in cases.items():
                with self.subTest(name):
                    with open(src, "wb") as f:
                        f.write(data)
                    with open(out, "wb") as f:
                        f.write(b"previous")
                    r = run("convert", src, "-o", out)
                    self.assertEqual(r.returncode, 3, r.stderr)
                    self.assertIn(reason, r.stderr)
                    self.assertIn(b"--force", r.stderr)
                    with open(out, "rb") as f:
                        self.assertEqual(f.read(), b"previous")
                    forced = run("convert", src, "-o", out, "--force")
                    self.assertEqual(forced.returncode, 0, forced.stderr)
                    self.assertIn(reason, forced.stderr)
                    with open(out, "rb") as f:
                        self.assertTrue(f.read().startswith(b"*** INSTAL STRUCTURE v11\r\n"))
        self.assertIn(b"--force", run("help", "convert").stdout + run("convert", "--help").stdout)

    def test_output_through_a_link_keeps_the_link(self):
        with tempfile.TemporaryDirectory() as tmp:
            os.mkdir(os.path.join(tmp, "real"))
            target = os.path.join(tmp, "real", "site.zrn")
            with open(target, "wb") as f:
                f.write(b"old")
            os.chmod(target, 0o640)
            link = os.path.join(tmp, "site.zrn")
            os.symlink("real/site.zrn", link)
            r = run("convert", RICH, "-o", link)
            self.assertEqual(r.returncode, 0, r.stderr)
            self.assertTrue(os.path.islink(link))
            self.assertEqual(os.readlink(link), "real/site.zrn")
            self.assertEqual(os.stat(target).st_mode & 0o7777, 0o640)
            with open(RICH, "rb") as a, open(target, "rb") as b:
                self.assertEqual(a.read(), b.read())


class NumericOptions(unittest.TestCase):
    """Every number on the command line is read strictly: garbage is a usage error (2)."""

    GARBAGE = ["abc", "", "-1", "+1", " 5", "5x", "0x10", "1e3", "2.5", "99999999999999999999"]

    def test_garbage_is_refused_naming_the_option(self):
        with tempfile.TemporaryDirectory() as tmp:
            out = os.path.join(tmp, "never.zrn")
            commands = [
                ([ZARNCTL, "receive", "--port", "/dev/null", "-o", out], "--retries"),
                ([ZARNCTL, "receive", "--port", "/dev/null", "-o", out], "--baud"),
                ([ZARNCTL, "identify", "--port", "/dev/null"], "--retries"),
                ([ZARNCTL, "identify", "--port", "/dev/null"], "--baud"),
            ] + [([ZARN_SIM], option) for option in
                 ["--generate", "--baud", "--slow-ms", "--stop-after", "--corrupt-record",
                  "--count", "--hangup-after"]]
            for command, option in commands:
                for value in self.GARBAGE:
                    with self.subTest(program=os.path.basename(command[0]), option=option,
                                      value=value):
                        r = subprocess.run(command + [option, value], capture_output=True,
                                           timeout=20)
                        self.assertEqual(r.returncode, 2, r.stderr)
                        self.assertIn(option.encode() + b" needs a whole number", r.stderr)
                        self.assertFalse(os.path.exists(out))

    def test_node_positions_are_numbers_from_one(self):
        for path in ["0", "1.0", "-1", "+1", "a", "1.x", " 1"]:
            with self.subTest(path=path):
                self.assertEqual(run("view", RICH, "--node", path).returncode, 2)


class Interrupt(unittest.TestCase):
    def test_ctrl_c_keeps_every_row_in_the_tree_and_leaves_transfer_mode(self):
        with tempfile.TemporaryDirectory() as tmp:
            log = os.path.join(tmp, "commands.log")
            out = os.path.join(tmp, "cut.zrn")
            sim = subprocess.Popen([ZARN_SIM, "--generate", "300", "--slow-ms", "1",
                                    "--log", log], stdout=subprocess.PIPE, text=True)
            try:
                device = sim.stdout.readline().strip()
                receiving = subprocess.Popen([ZARNCTL, "receive", "--port", device, "-o", out],
                                             stdout=subprocess.PIPE, stderr=subprocess.PIPE)
                deadline = time.time() + 30
                while time.time() < deadline and commands(log).count("MRE") < 20:
                    time.sleep(0.02)
                receiving.send_signal(signal.SIGINT)
                _, err = receiving.communicate(timeout=30)
                self.assertEqual(receiving.returncode, 130, err)
                deadline = time.time() + 5
                while time.time() < deadline and commands(log)[-1:] != ["MEX"]:
                    time.sleep(0.02)
                self.assertEqual(commands(log)[-1:], ["MEX"])
            finally:
                sim.terminate()
                sim.wait()
                sim.stdout.close()

            d = json.loads(run("show", out, "--json").stdout)
            rows = [cells[1].split("\r") for cells in d["table"]["cells"][1:]]
            self.assertGreaterEqual(len(rows), 10)
            self.assertLess(len(rows), 300, "the reception was not cut short")
            roots = {root["id"] for root in d["tree"]}
            leaves = {(root["id"], leaf["id"]) for root in d["tree"] for leaf in root["children"]}
            self.assertEqual(roots, {int(ids[1]) for ids in rows})
            self.assertEqual(leaves, {(int(ids[1]), int(ids[2])) for ids in rows})


def commands(log):
    try:
        with open(log) as f:
            return f.read().split()
    except FileNotFoundError:
        return []


class Export(unittest.TestCase):
    def test_defaults_are_tab_and_crlf_and_options_change_them(self):
        with tempfile.TemporaryDirectory() as tmp:
            out = os.path.join(tmp, "rich.txt")
            done = run("export", RICH, "-o", out)
            self.assertEqual(done.returncode, 0, done.stderr)
            with open(out, "rb") as f:
                default = f.read()
            # Names kept in the code page (English: 1252) come out as UTF-8, as shown on screen.
            default.decode("utf-8")
            self.assertTrue(default.startswith("head 0 Þ\t\thead 6 Þ\r\n".encode()))
            lines = default.split(b"\r\n")
            self.assertEqual(lines[lines.index(b"Block A") + 1], "\tSocket èrna".encode())
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
