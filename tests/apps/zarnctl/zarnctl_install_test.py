#!/usr/bin/env python3
"""An installed zarnctl: the executable in bin/, its data in ../share/zarn, and a bin/ it may
not write to, so that its settings live in $XDG_CONFIG_HOME/zarn/ as zarn's do. Run as an
ordinary user (root writes anywhere, so a root run drops to nobody)."""
import json
import os
import shutil
import stat
import subprocess
import sys
import tempfile
import unittest

ZARNCTL = sys.argv.pop(1)
DATA = sys.argv.pop(1)
ZARN_SIM = sys.argv.pop(1)
NOBODY = 65534


def as_user(argv):
    if os.geteuid() != 0:
        return argv
    return ["setpriv", f"--reuid={NOBODY}", f"--regid={NOBODY}", "--clear-groups", *argv]


class InstalledLayout(unittest.TestCase):
    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="zarn_install_")
        os.chmod(self.root, 0o755)
        self.bin = os.path.join(self.root, "bin")
        os.mkdir(self.bin)
        shutil.copy2(ZARNCTL, os.path.join(self.bin, "zarnctl"))
        shutil.copytree(DATA, os.path.join(self.root, "share", "zarn"),
                        ignore=shutil.ignore_patterns("README.md"))
        self.config = os.path.join(self.root, "config")
        self.work = os.path.join(self.root, "work")
        for d in (self.config, self.work):
            os.mkdir(d)
            if os.geteuid() == 0:
                os.chown(d, NOBODY, NOBODY)
        os.chmod(self.bin, 0o555)
        self.env = dict(os.environ, XDG_CONFIG_HOME=self.config, HOME=self.root)

    def tearDown(self):
        os.chmod(self.bin, 0o755)
        shutil.rmtree(self.root)

    def zarnctl(self, *args):
        return subprocess.run(as_user([os.path.join(self.bin, "zarnctl"), *args]),
                              capture_output=True, env=self.env, cwd=self.work, timeout=120)

    def test_finds_its_data_and_keeps_its_settings_in_the_config_home(self):
        # Before anything is asked of it, the settings folder is made where zarn makes it.
        self.assertEqual(self.zarnctl("--help").returncode, 0)
        sim = subprocess.Popen([ZARN_SIM, "--generate", "12"], stdout=subprocess.PIPE, text=True)
        try:
            device = sim.stdout.readline().strip()
            if os.geteuid() == 0:
                os.chmod(device, 0o666)
            settings = os.path.join(self.config, "zarn", "ZARN.INI")
            os.makedirs(os.path.dirname(settings), exist_ok=True)
            with open(settings, "w") as f:
                # COM7 leads to the simulated instrument only through these settings.
                f.write(f"[PORTS]\r\nCOM7={device}\r\nCOM17=/dev/null\r\n")
            out = os.path.join(self.work, "received.zrn")
            r = self.zarnctl("receive", "--port", "COM7", "-o", out)
            self.assertEqual(r.returncode, 0, r.stderr)
            # The settings file that was read is named in the warning about COM17.
            self.assertIn(f"COM17 in section PORTS of {settings} is ignored".encode(), r.stderr)
        finally:
            sim.terminate()
            sim.wait()
            sim.stdout.close()

        # The language, texts and configuration came from share/zarn: the file is read back
        # with the names the shipped language gives.
        shown = self.zarnctl("show", out, "--json")
        self.assertEqual(shown.returncode, 0, shown.stderr)
        d = json.loads(shown.stdout)
        self.assertEqual(d["family"], 16)
        self.assertGreater(len(d["table"]["cells"]), 1)
        self.assertEqual(os.listdir(self.bin), ["zarnctl"])

    def test_program_dir_still_puts_everything_in_one_folder(self):
        portable = os.path.join(self.work, "portable")
        shutil.copytree(DATA, portable, ignore=shutil.ignore_patterns("README.md"))
        if os.geteuid() == 0:
            for d, _, files in os.walk(portable):
                os.chown(d, NOBODY, NOBODY)
                for name in files:
                    os.chown(os.path.join(d, name), NOBODY, NOBODY)
        with open(os.path.join(portable, "ZARN.INI"), "w") as f:
            f.write("[PORTS]\r\nCOM17=/dev/null\r\n")
        r = self.zarnctl("--program-dir", portable, "receive", "--port", "COM16", "-o",
                         os.path.join(self.work, "none.zrn"))
        self.assertIn(f"section PORTS of {portable}/ZARN.INI".encode(), r.stderr)
        self.assertFalse(os.path.exists(os.path.join(self.config, "zarn", "ZARN.INI")))


if __name__ == "__main__":
    unittest.main()
