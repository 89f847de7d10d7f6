#!/usr/bin/env python3
"""zarn's command line is read before the GUI starts: help, version and wrong options need no
display."""
import os
import subprocess
import sys
import unittest

ZARN = sys.argv.pop(1)

# No display of any kind, as on a server or in a plain terminal session.
NO_DISPLAY = {k: v for k, v in os.environ.items()
              if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}


class CommandLine(unittest.TestCase):
    CASES = [
        # arguments, exit status, where the text goes, what it holds
        (["--help"], 0, "stdout", b"Usage: zarn [FILE]"),
        (["-h"], 0, "stdout", b"Usage: zarn [FILE]"),
        (["--version"], 0, "stdout", b"zarn 4.03\n"),
        (["--frobnicate"], 2, "stderr", b"unknown option --frobnicate"),
        (["--frobnicate"], 2, "stderr", b"Usage: zarn [FILE]"),
        (["--program-dir"], 2, "stderr", b"--program-dir needs a directory"),
    ]

    def test_without_a_display(self):
        for args, status, stream, text in self.CASES:
            with self.subTest(args=args, text=text):
                r = subprocess.run([ZARN, *args], capture_output=True, env=NO_DISPLAY,
                                   timeout=20)
                self.assertEqual(r.returncode, status, r.stderr)
                self.assertIn(text, getattr(r, stream))


if __name__ == "__main__":
    unittest.main()
