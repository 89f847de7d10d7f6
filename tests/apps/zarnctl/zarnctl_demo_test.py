#!/usr/bin/env python3
"""zarnctl demo end to end: the four files and what it prints about them, the export and report
as their own commands make them, the language of one run, progress on a terminal and nowhere
else, Ctrl-C, wrong option values and a folder that cannot be made."""
import glob
import os
import pty
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

ZARNCTL = sys.argv.pop(1)
DATA = sys.argv.pop(1)
NAMES = ["demo.zrn", "demo.txt", "demo.pdf", "demo.log"]


def run(*args, timeout=120):
    return subprocess.run([ZARNCTL, *args], capture_output=True, timeout=timeout)


def listing(folder):
    """Every entry of the folder (hidden ones too) with its bytes."""
    out = {}
    for name in sorted(os.listdir(folder)):
        with open(os.path.join(folder, name), "rb") as f:
            out[name] = f.read()
    return out


class Files(unittest.TestCase):
    def test_four_files_replace_their_names_and_leave_other_files(self):
        with tempfile.TemporaryDirectory() as tmp:
            out = os.path.join(tmp, "site")
            os.makedirs(out)
            for name, data in [("demo.txt", b"earlier"), ("notes.txt", b"mine")]:
                with open(os.path.join(out, name), "wb") as f:
                    f.write(data)
            # As at a root console: no runtime folder. Nothing goes to stderr on success.
            env = {k: v for k, v in os.environ.items() if k != "XDG_RUNTIME_DIR"}
            done = subprocess.run([ZARNCTL, "demo", out], capture_output=True, timeout=120,
                                  env=env)
            self.assertEqual(done.returncode, 0, done.stderr)
            self.assertEqual(done.stderr, b"")
            self.assertEqual(sorted(os.listdir(out)), sorted(NAMES + ["notes.txt"]))
            with open(os.path.join(out, "notes.txt"), "rb") as f:
                self.assertEqual(f.read(), b"mine")

            # One line per file with its true size, then how to open the structure file.
            lines = done.stdout.decode().splitlines()
            for name in NAMES:
                line = next(l for l in lines if l.split()[:1] == [name])
                size = int(line.split()[1].replace(",", ""))
                self.assertEqual(size, os.path.getsize(os.path.join(out, name)), line)
            self.assertIn("(200 results)", done.stdout.decode())
            self.assertRegex(lines[-1], r"^Open it in the desktop program: \S*zarn "
                             + re.escape(os.path.join(os.path.realpath(out), "demo.zrn")) + "$")

            # The export is the one `zarnctl export` writes with its defaults.
            again = os.path.join(tmp, "again.txt")
            self.assertEqual(run("export", os.path.join(out, "demo.zrn"), "-o", again).returncode, 0)
            with open(again, "rb") as a, open(os.path.join(out, "demo.txt"), "rb") as b:
                self.assertEqual(a.read(), b.read())
            self.assertEqual(open(os.path.join(out, "demo.log")).read().split()[:4],
                             ["MRD", "MWH", "MNU", "MSS"])
            if shutil.which("pdfinfo"):
                info = subprocess.run(["pdfinfo", os.path.join(out, "demo.pdf")],
                                      capture_output=True, text=True, check=True).stdout
                self.assertGreaterEqual(int(re.search(r"Pages:\s+(\d+)", info).group(1)), 1)

    def test_language_of_the_run_leaves_the_stored_one(self):
        with tempfile.TemporaryDirectory() as tmp:
            program = os.path.join(tmp, "program")
            shutil.copytree(DATA, program)
            settings = os.path.join(program, "ZARN.INI")
            with open(settings, "wb") as f:
                f.write(b"[SETUP]\r\nLanguage=2\r\n")
            out = os.path.join(tmp, "out")
            done = run("--program-dir", program, "demo", out, "--records", "20", "--language", "3")
            self.assertEqual(done.returncode, 0, done.stderr)
            with open(os.path.join(out, "demo.txt"), "rb") as f:
                self.assertIn(b"Funktion", f.read())
            with open(settings, "rb") as f:
                self.assertEqual(f.read(), b"[SETUP]\r\nLanguage=2\r\n")


class Progress(unittest.TestCase):
    ARGS = ["--records", "400", "--baud", "115200"]

    def test_no_progress_off_a_terminal(self):
        with tempfile.TemporaryDirectory() as tmp:
            done = run("demo", tmp, *self.ARGS)
            self.assertEqual(done.returncode, 0, done.stderr)
            self.assertNotIn(b"\r", done.stdout + done.stderr)
            self.assertNotIn(b"%", done.stderr)

    def test_progress_line_on_a_terminal(self):
        with tempfile.TemporaryDirectory() as tmp:
            master, slave = pty.openpty()
            proc = subprocess.Popen([ZARNCTL, "demo", tmp, *self.ARGS],
                                    stdout=slave, stderr=slave, stdin=subprocess.DEVNULL)
            os.close(slave)
            seen = b""
            while True:
                ready, _, _ = select.select([master], [], [], 60)
                if not ready:
                    break
                try:
                    chunk = os.read(master, 65536)
                except OSError:  # the terminal closed with the program
                    break
                if not chunk:
                    break
                seen += chunk
            os.close(master)
            self.assertEqual(proc.wait(timeout=60), 0, seen)
            # Rewritten in place, counting the records received of those counted.
            self.assertIn(b"\r[", seen)
            self.assertIn(b"400/400", seen)
            self.assertRegex(seen, rb"\r\[[# ]+\] \d+%  \d+/400  ")


class Interrupt(unittest.TestCase):
    def test_ctrl_c_writes_nothing_and_keeps_earlier_files(self):
        with tempfile.TemporaryDirectory() as tmp:
            with open(os.path.join(tmp, "demo.zrn"), "wb") as f:
                f.write(b"previous")
            before = listing(tmp)
            proc = subprocess.Popen([ZARNCTL, "demo", tmp, "--records", "5000", "--baud", "9600"],
                                    stdout=subprocess.PIPE, stderr=subprocess.PIPE)
            # Under way: the staged command log is growing.
            deadline = time.time() + 30
            while time.time() < deadline:
                logs = glob.glob(os.path.join(tmp, ".demo.log.*"))
                if logs and os.path.getsize(logs[0]) > 100:
                    break
                time.sleep(0.05)
            proc.send_signal(signal.SIGINT)
            _, err = proc.communicate(timeout=30)
            self.assertEqual(proc.returncode, 130, err)
            self.assertIn(b"interrupted; nothing was written", err)
            self.assertEqual(listing(tmp), before)


class WrongArguments(unittest.TestCase):
    GARBAGE = ["abc", "", "-1", "+1", " 5", "5x", "0x10", "1e3", "2.5", "99999999999999999999"]

    def test_refused_with_a_message_and_nothing_made(self):
        cases = [(option, value, b" needs a whole number")
                 for option in ["--records", "--language", "--baud"] for value in self.GARBAGE]
        cases += [("--records", "0", b"at most 65535 results"),
                  ("--records", "65536", b"at most 65535 results"),
                  ("--baud", "12345", b"2400, 4800, 9600, 19200, 38400, 115200"),
                  ("--baud", "0", b" needs a whole number"),
                  ("--language", "0", b" needs a whole number"),
                  ("--language", "4", b"1 English, 2 ")]
        with tempfile.TemporaryDirectory() as tmp:
            out = os.path.join(tmp, "never")
            for option, value, message in cases:
                with self.subTest(option=option, value=value):
                    done = run("demo", out, option, value, timeout=20)
                    self.assertEqual(done.returncode, 2, done.stderr)
                    self.assertIn(b"zarnctl demo: ", done.stderr)
                    self.assertIn(message, done.stderr)
                    self.assertFalse(os.path.exists(out))
            self.assertEqual(run("demo").returncode, 2)
            self.assertEqual(run("demo", out, "--frobnicate").returncode, 2)

    def test_folder_that_cannot_be_made(self):
        with tempfile.TemporaryDirectory() as tmp:
            blocker = os.path.join(tmp, "file")
            with open(blocker, "wb") as f:
                f.write(b"in the way")
            for target in [blocker, os.path.join(blocker, "sub")]:
                with self.subTest(target=target):
                    done = run("demo", target)
                    self.assertEqual(done.returncode, 1, done.stderr)
                    self.assertIn(b"cannot make the folder " + target.encode(), done.stderr)
            with open(blocker, "rb") as f:
                self.assertEqual(f.read(), b"in the way")

    def test_help_describes_it(self):
        self.assertIn(b"demo DIR", run("--help").stdout)
        text = run("help", "demo").stdout
        for word in [b"--records", b"--language", b"--baud", b"demo.zrn", b"demo.log", b"130"]:
            self.assertIn(word, text)


if __name__ == "__main__":
    unittest.main()
