"""The Debian package of Lectern.

The package is made from this build with scripts/make-deb (or LECTERN_DEB
names one to check, as scripts/check-package does for the one of
scripts/package). Its control fields and file list are read with dpkg-deb;
the menu entry, the software-centre description, the manual pages and the
whole package go through their validators; it is unpacked into a
throw-away root, where lectern-convert converts a book and the reader,
started through /usr/bin/lectern from a read-only /usr, opens its Welcome
book and keeps its settings in XDG_CONFIG_HOME; it is installed into and
purged from a throw-away dpkg database; and apt resolves its dependencies
for a system that has nothing installed yet.
"""

import json
import os
import re
import shutil
import signal
import struct
import subprocess
import tempfile
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.environ.get("LECTERN_SOURCE") or os.path.dirname(os.path.dirname(HERE))
BUILD = os.environ.get("LECTERN_BUILD", "")
DEADLINE = 40
PROGRAM_DIR = "usr/lib/lectern"
NOBODY = 65534


def have(*tools):
    return all(shutil.which(t) for t in tools)


def run(*args, **kwargs):
    return subprocess.run(list(args), capture_output=True, text=True, timeout=300, **kwargs)


def wait_for(condition, what, timeout=DEADLINE):
    end = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > end:
            raise AssertionError("gave up waiting for %s after %.0f s" % (what, timeout))
        time.sleep(0.1)


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    assert head[:8] == b"\x89PNG\r\n\x1a\n", path + " is no PNG"
    return struct.unpack(">II", head[16:24])


def desktop_entry(path):
    """The keys of the [Desktop Entry] group."""
    entry, group = {}, None
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.strip()
            if line.startswith("["):
                group = line
            elif group == "[Desktop Entry]" and "=" in line and not line.startswith("#"):
                key, value = line.split("=", 1)
                entry[key] = value
    return entry


class Package:
    """The .deb under test, its fields, its file list and its files unpacked."""

    def __init__(self, work):
        self.work = work
        given = os.environ.get("LECTERN_DEB", "")
        if given:
            self.deb = os.path.abspath(given)
        else:
            made = run(os.path.join(SOURCE, "scripts", "make-deb"), BUILD, os.path.join(work, "dist"))
            if made.returncode != 0:
                raise AssertionError("scripts/make-deb failed:\n" + made.stderr)
            self.deb = made.stdout.strip().splitlines()[-1]
        self.fields = self._fields()
        self.entries = self._entries()
        self.root = os.path.join(work, "root")
        unpacked = run("dpkg-deb", "-x", self.deb, self.root)
        if unpacked.returncode != 0:
            raise AssertionError("dpkg-deb -x failed:\n" + unpacked.stderr)

    def _fields(self):
        info = run("dpkg-deb", "-f", self.deb)
        if info.returncode != 0:
            raise AssertionError("dpkg-deb -f failed:\n" + info.stderr)
        fields, key = {}, None
        for line in info.stdout.splitlines():
            if line.startswith(" ") and key:
                fields[key] += "\n" + line
            elif ":" in line:
                key, value = line.split(":", 1)
                fields[key] = value.strip()
        return fields

    def _entries(self):
        """path -> (mode string, owner, link target or None), from dpkg-deb -c."""
        listing = run("dpkg-deb", "-c", self.deb)
        entries = {}
        for line in listing.stdout.splitlines():
            mode, owner, _size, _day, _time, rest = line.split(None, 5)
            target = None
            if mode.startswith("l"):
                rest, target = rest.split(" -> ", 1)
            entries[rest[2:].rstrip("/")] = (mode, owner, target)
        return entries

    def path(self, relative):
        return os.path.join(self.root, relative)


def setUpModule():
    global PACKAGE, WORK
    if not have("dpkg-deb", "dpkg-shlibdeps"):
        raise unittest.SkipTest("dpkg-deb and dpkg-shlibdeps (dpkg-dev) are missing")
    if not os.environ.get("LECTERN_DEB"):
        if not BUILD or not os.path.isfile(os.path.join(BUILD, "CMakeCache.txt")):
            raise unittest.SkipTest("no build directory (LECTERN_BUILD) to make the package from")
        if not have("rsvg-convert"):
            raise unittest.SkipTest("rsvg-convert (librsvg2-bin) is missing, so the build drew no PNG icons")
    WORK = tempfile.mkdtemp(prefix="lectern-package-")
    os.chmod(WORK, 0o755)
    PACKAGE = Package(WORK)


def tearDownModule():
    if os.environ.get("LECTERN_PACKAGE_KEEP") == "1":
        print("kept", WORK)
        return
    subprocess.run(["chmod", "-R", "u+w", WORK])
    shutil.rmtree(WORK, ignore_errors=True)


class TestControl(unittest.TestCase):
    def test_fields_name_the_package(self):
        f = PACKAGE.fields
        arch = run("dpkg", "--print-architecture").stdout.strip()
        for key, expected in (("Package", "lectern"), ("Architecture", arch), ("Section", "text"),
                              ("Priority", "optional")):
            with self.subTest(field=key):
                self.assertEqual(f.get(key), expected)
        with self.subTest(field="Version"):
            self.assertRegex(f.get("Version", ""), r"^\d+\.\d+\.\d+$")
            self.assertEqual(os.path.basename(PACKAGE.deb), "lectern_%s_%s.deb" % (f["Version"], arch))
        for key in ("Maintainer", "Homepage", "Description"):
            with self.subTest(field=key):
                self.assertTrue(f.get(key))
        with self.subTest(field="Installed-Size"):
            self.assertGreater(int(f.get("Installed-Size", "0")), 1000)

    def test_depends_hold_the_libraries_with_their_versions(self):
        depends = [d.strip() for d in PACKAGE.fields.get("Depends", "").split(",")]
        names = {d.split()[0] for d in depends}
        # From dpkg-shlibdeps, with the least version each library needs.
        for library in ("libc6", "libstdc++6", "libqt6core6", "libqt6gui6", "libqt6widgets6",
                        "libqt6printsupport6", "libqt6network6", "libuchardet0"):
            with self.subTest(library=library):
                self.assertTrue(any(re.match(re.escape(library) + r" \(>= [^)]+\)$", d) for d in depends),
                                "%s without a version in %s" % (library, depends))
        # What no library link shows: the Wayland platform and the picture formats.
        for plugin in ("qt6-wayland", "qt6-image-formats-plugins"):
            with self.subTest(plugin=plugin):
                self.assertIn(plugin, names)
        self.assertIn("speech-dispatcher", PACKAGE.fields.get("Recommends", ""))


class TestFiles(unittest.TestCase):
    EXPECTED = [
        PROGRAM_DIR + "/Lectern", PROGRAM_DIR + "/lectern-convert", PROGRAM_DIR + "/Welcome.txt",
        PROGRAM_DIR + "/Help.html", PROGRAM_DIR + "/ErrorFix.rtf", PROGRAM_DIR + "/Readme.txt",
        PROGRAM_DIR + "/lectern.svg", PROGRAM_DIR + "/BackImages/DefaultScreen.bmp",
        PROGRAM_DIR + "/BackImages/DefaultRich.bmp", PROGRAM_DIR + "/BackSounds/Default.wav",
        "usr/bin/lectern", "usr/bin/lectern-convert",
        "usr/share/applications/lectern.desktop",
        "usr/share/icons/hicolor/scalable/apps/lectern.svg",
        "usr/share/icons/hicolor/48x48/apps/lectern.png",
        "usr/share/icons/hicolor/128x128/apps/lectern.png",
        "usr/share/man/man1/lectern.1.gz", "usr/share/man/man1/lectern-convert.1.gz",
        "usr/share/doc/lectern/copyright", "usr/share/doc/lectern/changelog.gz",
    ]

    def test_every_file_is_there(self):
        for path in self.EXPECTED:
            with self.subTest(path=path):
                self.assertIn(path, PACKAGE.entries)
        metainfo = [p for p in PACKAGE.entries if p.startswith("usr/share/metainfo/")]
        self.assertEqual(len(metainfo), 1, metainfo)

    def test_files_belong_to_root_with_plain_modes(self):
        executables = {PROGRAM_DIR + "/Lectern", PROGRAM_DIR + "/lectern-convert"}
        for path, (mode, owner, _target) in PACKAGE.entries.items():
            with self.subTest(path=path):
                self.assertEqual(owner, "root/root")
                if mode.startswith("d"):
                    self.assertEqual(mode, "drwxr-xr-x")
                elif mode.startswith("-"):
                    self.assertEqual(mode, "-rwxr-xr-x" if path in executables else "-rw-r--r--")

    def test_no_settings_of_a_trial_run_ship(self):
        for path in PACKAGE.entries:
            with self.subTest(path=path):
                self.assertNotIn(os.path.basename(path), ("Lectern.ini", "LecternProfile.lcp", "Errors.log"))
                self.assertNotRegex(path, r"\.(lcp|bad|log)$")

    def test_commands_are_relative_links_to_the_program_directory(self):
        for command, program in (("lectern", "Lectern"), ("lectern-convert", "lectern-convert")):
            with self.subTest(command=command):
                mode, _owner, target = PACKAGE.entries["usr/bin/" + command]
                self.assertTrue(mode.startswith("l"))
                self.assertFalse(target.startswith("/"), target)
                self.assertEqual(os.path.realpath(PACKAGE.path("usr/bin/" + command)),
                                 os.path.realpath(PACKAGE.path(PROGRAM_DIR + "/" + program)))

    def test_png_icons_have_the_size_of_their_directory(self):
        for size in (48, 128):
            with self.subTest(size=size):
                path = PACKAGE.path("usr/share/icons/hicolor/%dx%d/apps/lectern.png" % (size, size))
                self.assertEqual(png_size(path), (size, size))


class TestDesktopIntegration(unittest.TestCase):
    DESKTOP = "usr/share/applications/lectern.desktop"

    def metainfo(self):
        return next(PACKAGE.path(p) for p in PACKAGE.entries if p.startswith("usr/share/metainfo/"))

    @unittest.skipUnless(have("desktop-file-validate"), "desktop-file-validate (desktop-file-utils) is missing")
    def test_desktop_entry_validates(self):
        checked = run("desktop-file-validate", PACKAGE.path(self.DESKTOP))
        self.assertEqual((checked.returncode, checked.stdout + checked.stderr), (0, ""))

    def test_desktop_entry_opens_books_with_the_installed_command(self):
        entry = desktop_entry(PACKAGE.path(self.DESKTOP))
        self.assertEqual(entry.get("MimeType", "").rstrip(";").split(";"),
                         ["text/plain", "text/rtf", "application/rtf"])
        command = entry["Exec"].split()
        self.assertEqual(command[1:], ["%f"])
        self.assertTrue(os.access(PACKAGE.path("usr/bin/" + command[0]), os.X_OK), command)
        self.assertTrue(os.path.isfile(PACKAGE.path("usr/share/icons/hicolor/scalable/apps/%s.svg" % entry["Icon"])))

    @unittest.skipUnless(have("appstreamcli"), "appstreamcli (appstream) is missing")
    def test_metainfo_validates(self):
        # The file alone, and with the desktop entry and icon it names.
        for command, target in (("validate", self.metainfo()), ("validate-tree", PACKAGE.root)):
            with self.subTest(command=command):
                checked = run("appstreamcli", command, "--no-net", "--no-color", target)
                self.assertEqual(checked.returncode, 0, checked.stdout + checked.stderr)
                self.assertNotRegex(checked.stdout, r"(?m)^[EW]:")

    def test_metainfo_names_the_entry_a_screenshot_and_a_description(self):
        with open(self.metainfo(), encoding="utf-8") as f:
            text = f.read()
        component = re.search(r"<id>([^<]+)</id>", text).group(1)
        self.assertEqual(os.path.basename(self.metainfo()), component + ".metainfo.xml")
        self.assertIn('<launchable type="desktop-id">lectern.desktop</launchable>', text)
        self.assertRegex(text, r"<image[^>]*>https://[^<]+\.png</image>")
        self.assertRegex(text, r"<description>\s*<p>\s*Lectern is")

    def test_manual_page_of_lectern_convert_names_every_option(self):
        help_text = run(PACKAGE.path("usr/bin/lectern-convert"), "--help").stdout
        options = set(re.findall(r"--[a-z][a-z-]+", help_text))
        self.assertGreater(len(options), 10, help_text)
        page = run("zcat", PACKAGE.path("usr/share/man/man1/lectern-convert.1.gz")).stdout.replace("\\-", "-")
        for option in sorted(options):
            with self.subTest(option=option):
                self.assertIn(option, page)

    @unittest.skipUnless(have("man"), "man (man-db) is missing")
    def test_manual_pages_render_without_warnings(self):
        env = dict(os.environ, LC_ALL="C.UTF-8", MANWIDTH="80")
        for page in ("lectern", "lectern-convert"):
            with self.subTest(page=page):
                shown = run("man", "--warnings", "-E", "UTF-8", "-l", "-Tutf8", "-Z",
                            PACKAGE.path("usr/share/man/man1/%s.1.gz" % page), env=env)
                self.assertEqual((shown.returncode, shown.stderr), (0, ""))


class TestLintian(unittest.TestCase):
    @unittest.skipUnless(have("lintian"), "lintian is missing")
    def test_lintian_reports_no_error(self):
        checked = run("lintian", "--no-tag-display-limit", PACKAGE.deb)
        print("\n" + (checked.stdout.strip() or "lintian: no tags"))
        errors = [line for line in checked.stdout.splitlines() if line.startswith("E:")]
        self.assertEqual(errors, [])
        self.assertIn(checked.returncode, (0, 1), checked.stderr)


class TestUnpackedRoot(unittest.TestCase):
    """The files unpacked as they lie on a system that installed the package."""

    def test_lectern_convert_converts_a_book(self):
        work = tempfile.mkdtemp(dir=WORK)
        book, out = os.path.join(work, "book.txt"), os.path.join(work, "book out.txt")
        with open(book, "w", encoding="ascii", newline="\r\n") as f:
            f.write("Chapter 1\n\nThe lamp burned low while the\nreader turned the page.\n")
        command = PACKAGE.path("usr/bin/lectern-convert")
        self.assertEqual(run(command, "--help").returncode, 0)
        converted = run(command, book, out)
        self.assertEqual(converted.returncode, 0, converted.stderr)
        with open(out, encoding="utf-8-sig") as f:
            self.assertIn("The lamp burned low while the reader turned the page.", f.read())

    def test_reader_from_a_read_only_program_directory_keeps_settings_in_xdg_config(self):
        root = os.geteuid() == 0
        if root and not have("setpriv"):
            self.skipTest("running as root without setpriv to start the reader as another user")
        user = NOBODY if root else os.geteuid()
        work = tempfile.mkdtemp(dir=WORK)
        os.chmod(work, 0o755)
        home, runtime = os.path.join(work, "home"), os.path.join(work, "run")
        for d in (home, runtime):
            os.makedirs(d, mode=0o700)
            os.chown(d, user, user)
        program = PACKAGE.path(PROGRAM_DIR)
        before = sorted(os.listdir(program))
        subprocess.run(["chmod", "-R", "a-w", PACKAGE.path("usr")], check=True)
        self.addCleanup(subprocess.run, ["chmod", "-R", "u+w", PACKAGE.path("usr")])

        probe = os.path.join(home, "probe.json")
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen", HOME=home, XDG_CONFIG_HOME=home + "/.config",
                   XDG_RUNTIME_DIR=runtime, LECTERN_PROBE=probe)
        prefix = ["setpriv", "--reuid=%d" % user, "--regid=%d" % user, "--clear-groups"] if root else []
        with open(os.path.join(work, "reader.log"), "wb") as log:
            reader = subprocess.Popen(prefix + [PACKAGE.path("usr/bin/lectern")], env=env, stdout=log, stderr=log)
        self.addCleanup(lambda: reader.poll() is None and reader.kill())

        def book():
            self.assertIsNone(reader.poll(), "the reader quit")
            try:
                with open(probe, encoding="utf-8") as f:
                    values = json.load(f).get("values", {})
            except (OSError, ValueError):
                return None
            return values.get("book") if values.get("loading") == "0" else None

        welcome = os.path.join(program, "Welcome.txt")
        self.assertEqual(os.path.realpath(wait_for(book, "the Welcome book")), os.path.realpath(welcome))
        ini = os.path.join(home, ".config", "Lectern", "Lectern.ini")
        wait_for(lambda: os.path.isfile(ini), "the settings in XDG_CONFIG_HOME")
        reader.send_signal(signal.SIGTERM)
        self.assertEqual(reader.wait(DEADLINE), 0)

        with open(ini, "rb") as f:
            self.assertIn(os.path.realpath(welcome).encode() + b"\r\n", f.read())
        self.assertTrue(os.path.isfile(os.path.join(home, ".config", "Lectern", "LecternProfile.lcp")))
        self.assertEqual(sorted(os.listdir(program)), before)


class TestInstall(unittest.TestCase):
    @unittest.skipUnless(os.geteuid() == 0, "dpkg installs only as root")
    def test_install_and_purge_leave_the_readers_settings(self):
        root = tempfile.mkdtemp(dir=WORK)
        admin = os.path.join(root, "var", "lib", "dpkg")
        for d in ("info", "updates", "triggers"):
            os.makedirs(os.path.join(admin, d))
        for name in ("status", "available"):
            open(os.path.join(admin, name), "w").close()
        dpkg = ["dpkg", "--root=" + root, "--force-depends", "--force-script-chrootless"]

        installed = run(*dpkg, "--install", PACKAGE.deb)
        self.assertEqual(installed.returncode, 0, installed.stdout + installed.stderr)
        self.assertTrue(os.access(os.path.join(root, "usr", "bin", "lectern"), os.X_OK))
        settings = os.path.join(root, "home", "reader", ".config", "Lectern", "Lectern.ini")
        os.makedirs(os.path.dirname(settings))
        with open(settings, "w") as f:
            f.write("[Lectern_Main]\r\n")

        purged = run(*dpkg, "--purge", "lectern")
        self.assertEqual(purged.returncode, 0, purged.stdout + purged.stderr)
        left = [os.path.relpath(os.path.join(d, n), root) for d, _dirs, names in os.walk(os.path.join(root, "usr"))
                for n in names]
        self.assertEqual(left, [])
        self.assertTrue(os.path.isfile(settings))

    def test_apt_resolves_the_dependencies_on_an_empty_system(self):
        if not have("apt-get") or run("apt-cache", "show", "libqt6widgets6").returncode != 0:
            self.skipTest("apt knows no Debian packages here (no apt-get update)")
        empty = os.path.join(WORK, "empty-status")
        open(empty, "w").close()
        simulated = run("apt-get", "--simulate", "--no-install-recommends", "-o", "Dir::State::status=" + empty,
                        "-o", "Debug::NoLocking=1", "install", PACKAGE.deb)
        self.assertEqual(simulated.returncode, 0, simulated.stdout + simulated.stderr)
        for package in ("lectern", "libqt6widgets6", "qt6-wayland", "libuchardet0"):
            with self.subTest(package=package):
                self.assertRegex(simulated.stdout, r"(?m)^Inst %s " % re.escape(package))


if __name__ == "__main__":
    unittest.main()
