#!/usr/bin/env python3
"""zarn as `cmake --install` puts it into a prefix: the programs run from there with no
--program-dir and write nothing into the prefix, the desktop file, metainfo and man pages
pass their validators, and a structure file is of zarn's own type and opens in zarn when
the desktop hands it over.

    install_test.py CMAKE BUILD_DIR

Runs the programs as an ordinary user with the prefix read-only (a root run drops to
nobody for them), and once as root to show that an installed program keeps its settings out
of a bin/ it could write to."""
import os
import re
import shutil
import stat
import subprocess
import sys
import tempfile
import unittest

CMAKE = sys.argv.pop(1)
BUILD = sys.argv.pop(1)
NOBODY = 65534
MIME_TYPE = "application/x-zarn-structure"
PROGRAMS = ["zarn", "zarn-sim", "zarnctl"]
HEADER = b"*** INSTAL STRUCTURE v11\r\n16\r\n"


def as_user(argv):
    if os.geteuid() != 0:
        return argv
    return ["setpriv", f"--reuid={NOBODY}", f"--regid={NOBODY}", "--clear-groups", *argv]


def run(argv, **kw):
    kw.setdefault("timeout", 120)
    return subprocess.run(argv, capture_output=True, **kw)


def tree(root):
    return sorted(os.path.relpath(os.path.join(d, n), root)
                  for d, dirs, files in os.walk(root) for n in dirs + files)


class Installed(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.root = tempfile.mkdtemp(prefix="zarn_prefix_")
        os.chmod(cls.root, 0o755)
        cls.prefix = os.path.join(cls.root, "usr")
        r = run([CMAKE, "--install", BUILD, "--prefix", cls.prefix])
        if r.returncode != 0:
            raise AssertionError(r.stdout.decode() + r.stderr.decode())
        cls.share = os.path.join(cls.prefix, "share")
        cls.installed = tree(cls.prefix)
        # What the user owns: home, config home, the folder the work goes to.
        cls.home = os.path.join(cls.root, "home")
        os.mkdir(cls.home)
        if os.geteuid() == 0:
            os.chown(cls.home, NOBODY, NOBODY)
        # No desktop session: xdg-utils takes its generic path.
        session = ("DISPLAY", "WAYLAND_DISPLAY", "DESKTOP_SESSION", "KDE_FULL_SESSION",
                   "GNOME_DESKTOP_SESSION_ID", "MATE_DESKTOP_SESSION_ID")
        cls.env = {k: v for k, v in os.environ.items()
                   if not k.startswith("XDG_") and k not in session}
        cls.env.update(HOME=cls.home, XDG_CONFIG_HOME=os.path.join(cls.home, ".config"),
                       XDG_DATA_HOME=os.path.join(cls.home, ".local", "share"),
                       XDG_DATA_DIRS=f"{cls.share}:/usr/share", QT_QPA_PLATFORM="offscreen")
        # Read-only for everybody but root; the tests that run the programs run as nobody.
        for d, _, _ in os.walk(cls.prefix):
            os.chmod(d, 0o555)

    @classmethod
    def tearDownClass(cls):
        for d, _, _ in os.walk(cls.root):
            os.chmod(d, 0o755)
        shutil.rmtree(cls.root)

    def path(self, *parts):
        return os.path.join(self.prefix, *parts)

    def user_dir(self, name):
        d = os.path.join(self.home, name)
        os.makedirs(d, exist_ok=True)
        if os.geteuid() == 0:
            os.chown(d, NOBODY, NOBODY)
        return d

    def program(self, name, *args, user=True, timeout=120):
        argv = [self.path("bin", name), *args]
        return run(as_user(argv) if user else argv, env=self.env, cwd=self.home,
                   timeout=timeout)

    def test_layout(self):
        for p in PROGRAMS:
            mode = os.stat(self.path("bin", p)).st_mode
            self.assertTrue(mode & stat.S_IXOTH, p)
        self.assertEqual(sorted(os.listdir(self.path("bin"))), PROGRAMS)
        for f in ["applications/zarn.desktop", "icons/hicolor/scalable/apps/zarn.svg",
                  "mime/packages/zarn.xml", "metainfo/org.zarn.Zarn.metainfo.xml",
                  "zarn/LNG_MAIN.INI", "zarn/help/ZARN_EN.HTM"]:
            self.assertTrue(os.path.isfile(os.path.join(self.share, f)), f)
        for p in PROGRAMS:
            self.assertTrue(os.path.isfile(self.path("share", "man", "man1", p + ".1")), p)
        # The program's data folder holds the program's data only.
        for f in tree(os.path.join(self.share, "zarn")):
            self.assertNotRegex(f, r"\.(desktop|svg|xml|1|cmake)$|README|CMakeLists")

    def test_desktop_file_and_metainfo_pass_their_validators(self):
        desktop = os.path.join(self.share, "applications", "zarn.desktop")
        r = run(["desktop-file-validate", desktop])
        self.assertEqual((r.returncode, r.stdout + r.stderr), (0, b""))
        metainfo = os.path.join(self.share, "metainfo", "org.zarn.Zarn.metainfo.xml")
        for argv in (["validate", "--no-net", metainfo], ["validate-tree", "--no-net", self.prefix]):
            r = run(["appstreamcli", *argv])
            self.assertEqual(r.returncode, 0, r.stdout.decode() + r.stderr.decode())
            self.assertNotRegex(r.stdout.decode(), r"(?m)^[EW]: ")
        # The pieces name each other: the launchable, the icon, the program and the type.
        with open(desktop, encoding="utf-8") as f:
            entry = dict(l.rstrip("\n").split("=", 1) for l in f if "=" in l)
        with open(metainfo, encoding="utf-8") as f:
            meta = f.read()
        self.assertIn('<launchable type="desktop-id">zarn.desktop</launchable>', meta)
        self.assertIn(f"<mediatype>{MIME_TYPE}</mediatype>", meta)
        self.assertTrue(os.path.isfile(os.path.join(
            self.share, "icons", "hicolor", "scalable", "apps", entry["Icon"] + ".svg")))
        self.assertEqual(entry["Exec"], "zarn %f")
        self.assertIn(MIME_TYPE, entry["MimeType"].split(";"))
        with open(os.path.join(self.share, "mime", "packages", "zarn.xml")) as f:
            self.assertIn(f'type="{MIME_TYPE}"', f.read())

    def test_man_pages_render_without_warnings_and_cover_every_command(self):
        pages = {}
        for p in PROGRAMS:
            r = run(["man", "--warnings", "-l", self.path("share", "man", "man1", p + ".1")],
                    env=dict(self.env, MANWIDTH="80"))
            self.assertEqual(r.returncode, 0, r.stderr)
            self.assertEqual(r.stderr, b"", p)
            # Bold and underlined letters come as overstrikes.
            pages[p] = re.sub(r".\x08", "", r.stdout.decode("utf-8"))
            self.assertIn("NAME", pages[p])
            self.assertIn("SYNOPSIS", pages[p])
        # Every command that zarnctl lists has its section, with its options.
        r = self.program("zarnctl", "--help")
        listed = r.stdout.decode().split("\nCommands:\n", 1)[1]
        commands = re.findall(r"(?m)^  (\S+)", listed)
        self.assertIn("convert", commands)
        for c in commands:
            self.assertRegex(pages["zarnctl"], rf"(?m)^   {re.escape(c)}\b", c)
        self.assertIn("--bad-identification", pages["zarn-sim"])

    def test_demo_runs_from_the_prefix(self):
        if b"\n  demo " not in self.program("zarnctl", "--help").stdout:
            self.skipTest("this zarnctl has no demo command")
        out = self.user_dir("demo")
        r = self.program("zarnctl", "demo", out, timeout=300)
        self.assertEqual(r.returncode, 0, r.stderr)
        for f in ("demo.zrn", "demo.txt", "demo.pdf", "demo.log"):
            self.assertGreater(os.path.getsize(os.path.join(out, f)), 0, f)
        info = run(["pdfinfo", os.path.join(out, "demo.pdf")])
        self.assertGreater(int(re.search(rb"Pages:\s+(\d+)", info.stdout).group(1)), 0)
        shown = self.program("zarnctl", "show", os.path.join(out, "demo.zrn"), "--json")
        self.assertEqual(shown.returncode, 0, shown.stderr)
        self.assertEqual(tree(self.prefix), self.installed)

    def test_installed_simulator_to_report(self):
        # The installed zarn-sim is the instrument; received, the file makes a report.
        work = self.user_dir("received")
        sim = subprocess.Popen(as_user([self.path("bin", "zarn-sim"), "--generate", "30"]),
                               stdout=subprocess.PIPE, env=self.env, text=True)
        try:
            device = sim.stdout.readline().strip()
            self.assertTrue(device.startswith("/dev/"), device)
            zrn = os.path.join(work, "site.zrn")
            r = self.program("zarnctl", "receive", "--port", device, "-o", zrn)
            self.assertEqual(r.returncode, 0, r.stderr)
        finally:
            sim.terminate()
            sim.wait()
            sim.stdout.close()
        pdf = os.path.join(work, "site.pdf")
        r = self.program("zarnctl", "report", zrn, "-o", pdf, timeout=300)
        self.assertEqual(r.returncode, 0, r.stderr)
        info = run(["pdfinfo", pdf])
        self.assertGreater(int(re.search(rb"Pages:\s+(\d+)", info.stdout).group(1)), 0)
        self.assertEqual(tree(self.prefix), self.installed)

    def test_settings_stay_out_of_a_writable_bin(self):
        # Root may write to bin/; the settings still live in the config home.
        if os.geteuid() != 0:
            self.skipTest("needs a bin/ the program may write to: run as root")
        config = os.path.join(self.root, "root-config")
        settings = os.path.join(config, "zarn", "ZARN.INI")
        os.makedirs(os.path.dirname(settings))
        with open(settings, "w") as f:
            f.write("[PORTS]\r\nCOM17=/dev/null\r\n")
        env = dict(self.env, XDG_CONFIG_HOME=config)
        r = run([self.path("bin", "zarnctl"), "receive", "--port", "COM16", "-o",
                 os.path.join(self.root, "none.zrn")], env=env, cwd=self.root)
        self.assertIn(f"section PORTS of {settings}".encode(), r.stderr)
        self.assertEqual(tree(self.prefix), self.installed)

    def mime_env(self):
        # The generic desktop: xdg-utils asks shared-mime-info (through File::MimeInfo) and
        # the desktop files' mimeinfo.cache.
        mime = os.path.join(self.root, "mime-share")
        if not os.path.isdir(mime):
            shutil.copytree(self.share, mime, ignore=shutil.ignore_patterns("zarn", "man"))
            for d, _, _ in os.walk(mime):
                os.chmod(d, 0o755)
            env = dict(self.env, XDG_DATA_DIRS=f"{mime}:/usr/share")
            for argv in (["update-mime-database", os.path.join(mime, "mime")],
                         ["update-desktop-database", os.path.join(mime, "applications")]):
                r = run(argv, env=env)
                self.assertEqual(r.returncode, 0, r.stderr)
        return dict(self.env, XDG_DATA_DIRS=f"{mime}:/usr/share")

    def test_structure_files_are_of_zarns_type(self):
        env = self.mime_env()
        files = self.user_dir("files with spaces")
        cases = [
            ("site 1.zrn", HEADER),
            ("UPPER.ZRN", HEADER),
            ("Mixed.Zrn", HEADER),
            # A file of the type whatever its first line (the program reads it too).
            ("not yet a structure.zrn", b"hello\r\n"),
            ("version10.zrn", b"*** INSTAL STRUCTURE\r\n16\r\n"),
            # Without the extension, the first line tells.
            ("renamed", HEADER),
        ]
        for name, content in cases:
            with self.subTest(name=name):
                path = os.path.join(files, name)
                with open(path, "wb") as f:
                    f.write(content)
                r = run(["xdg-mime", "query", "filetype", path], env=env)
                self.assertEqual(r.stdout.decode().strip(), MIME_TYPE, r.stderr)
        r = run(["xdg-mime", "query", "default", MIME_TYPE], env=env)
        self.assertEqual(r.stdout.decode().strip(), "zarn.desktop", r.stderr)

    def test_double_clicked_file_opens(self):
        env = self.mime_env()
        folder = self.user_dir("Site reports 2026")
        zrn = os.path.join(folder, "main board & sockets.zrn")
        with open(zrn, "wb") as f:
            f.write(HEADER)
        # The desktop's launcher expands Exec; a stand-in zarn on PATH notes what it gets.
        stand_in = os.path.join(self.root, "stand-in")
        os.makedirs(stand_in, exist_ok=True)
        argv_file = os.path.join(self.root, "argv")
        with open(os.path.join(stand_in, "zarn"), "w") as f:
            f.write(f'#!/bin/sh\nfor a; do printf "%s\\0" "$a"; done > "{argv_file}"\n')
        os.chmod(os.path.join(stand_in, "zarn"), 0o755)
        desktop = os.path.join(self.share, "applications", "zarn.desktop")
        r = run(["gio", "launch", desktop, zrn],
                env=dict(env, PATH=stand_in + os.pathsep + env["PATH"]))
        self.assertEqual(r.returncode, 0, r.stderr)
        for _ in range(100):
            if os.path.exists(argv_file) and os.path.getsize(argv_file):
                break
            subprocess.run(["sleep", "0.1"])
        with open(argv_file, "rb") as f:
            handed = f.read().decode().split("\0")[:-1]
        self.assertEqual(handed, [zrn])
        # zarn opens it: a name it could not open would wait for OK on "file does not exist".
        r = self.program("zarn", "--exit-when-shown", *handed, timeout=60)
        self.assertEqual(r.returncode, 0, r.stderr)


class DebianPackage(unittest.TestCase):
    def test_package_installs_to_usr_with_its_dependencies(self):
        out = tempfile.mkdtemp(prefix="zarn_deb_")
        self.addCleanup(shutil.rmtree, out)
        cpack = os.path.join(os.path.dirname(CMAKE), "cpack")
        r = run([cpack, "-G", "DEB", "-B", out, "--config",
                 os.path.join(BUILD, "CPackConfig.cmake")], timeout=300)
        self.assertEqual(r.returncode, 0, r.stdout.decode() + r.stderr.decode())
        debs = [f for f in os.listdir(out) if f.endswith(".deb")]
        self.assertEqual(len(debs), 1, os.listdir(out))
        deb = os.path.join(out, debs[0])
        fields = run(["dpkg-deb", "-f", deb, "Package", "Section", "Depends"]).stdout.decode()
        self.assertIn("Package: zarn\n", fields)
        self.assertIn("Section: electronics\n", fields)
        # From dpkg-shlibdeps: the Qt libraries the programs link.
        for lib in ("libqt6widgets6", "libqt6printsupport6", "libc6"):
            self.assertIn(lib, fields)
        files = run(["dpkg-deb", "-c", deb]).stdout.decode()
        paths = [line.split()[-1] for line in files.splitlines()]
        for p in paths:
            self.assertTrue(p.startswith("./usr/"), p)
        for p in ["./usr/bin/zarn", "./usr/bin/zarnctl", "./usr/bin/zarn-sim",
                  "./usr/share/zarn/LNG_MAIN.INI", "./usr/share/applications/zarn.desktop",
                  "./usr/share/mime/packages/zarn.xml", "./usr/share/doc/zarn/changelog.gz",
                  "./usr/share/man/man1/zarnctl.1.gz", "./usr/share/man/man1/zarn.1.gz"]:
            self.assertIn(p, paths)
        # Caches are refreshed by the triggers of the packages that own them.
        control = run(["dpkg-deb", "-I", deb]).stdout.decode()
        self.assertNotRegex(control, r"postinst|prerm|postrm|preinst")


if __name__ == "__main__":
    unittest.main()
