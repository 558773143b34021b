#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Tovrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""The installed program, checked as a desktop and as Debian see it.

  install_test.py staged --build DIR --mimetype HELPER
      Installs the build tree into a staging folder (prefix /usr) and checks
      the files installed, the desktop entries (desktop-file-validate, the
      keys, the command each names), the report-file MIME type (the staged
      database built by update-mime-database and read by xdg-mime and by
      Qt's MIME database, on a report file the staged tovrel-sheet writes,
      also renamed without its extension), the default application for it,
      the icon (well-formed SVG that librsvg renders), the manual pages
      (man -l without warnings, every option and command of the programs'
      own usage text in them).

  install_test.py package --build DIR
      Makes the .deb with CPack from the build tree and checks its control
      fields and run-time dependencies, its contents (dpkg-deb --contents),
      lintian (no errors, and no warning but those kept below with their
      reasons), and, as root, installs it into a scratch root with dpkg --root,
      runs tovrel-sheet from there and removes it again.

  install_test.py fresh-debian --build DIR
      Only when TOVREL_FRESH_DEBIAN_TEST=1 (several minutes, the Debian
      archive): makes a minimal Debian 12 system with mmdebstrap, installs the
      .deb in it with apt (which fetches its dependencies) and runs
      tovrel-sheet there.

Exit status 0 when every check passes, 1 when one fails, 77 when skipped.
"""
import argparse
import gzip
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

REPORT_TYPE = "application/x-tovrel-report"
# The menu entry is named by the id the software centres know the program by.
APP_ID = "org.tovrel.Tovrel"
MENU_ENTRY = APP_ID + ".desktop"

# Every file an install puts under its prefix, and nothing else.
INSTALLED = {
    "bin/tovrel",
    "bin/tovrel-sheet",
    "bin/tovrel-tool",
    "share/applications/org.tovrel.Tovrel.desktop",
    "share/metainfo/org.tovrel.Tovrel.metainfo.xml",
    "share/applications/tovrel-view.desktop",
    "share/mime/packages/tovrel.xml",
    "share/icons/hicolor/scalable/apps/tovrel.svg",
    "share/man/man1/tovrel.1.gz",
    "share/man/man1/tovrel-sheet.1.gz",
    "share/man/man1/tovrel-tool.1.gz",
    "share/doc/tovrel/copyright",
    "share/doc/tovrel/changelog.gz",
    "share/doc/tovrel/ARPHICPL.TXT",
    "share/tovrel/translations/tovrel_zh_TW.qm",
}

# The stroke data, each source with its licence texts (read at run time from
# share/tovrel/strokes); the hanzi-writer-data files are those the build tree
# stages, but for the package's own package.json.
STROKES = "share/tovrel/strokes"
ANIMCJK = {f"{STROKES}/animcjk/{f}" for f in (
    "graphicsZhHant.txt", "COPYING.txt", "APL/ARPHICPL-english.TXT", "APL/ARPHICPL-zh_TW.UTF-8.TXT")}


def expected_files(build):
    staged = os.path.join(build, STROKES, "hanzi-writer-data")
    chars = {f"{STROKES}/hanzi-writer-data/{n}" for n in os.listdir(staged)
             if n.endswith(".json") and n != "package.json"} if os.path.isdir(staged) else set()
    writer = chars | ({f"{STROKES}/hanzi-writer-data/ARPHICPL.TXT"} if chars else set())
    return INSTALLED | ANIMCJK | writer


# The packages the programs need that dpkg-shlibdeps cannot see, and the
# libraries it must find in them.
DEPENDS = [
    "fonts-cns11643-kai", "fonts-arphic-ukai", "fonts-liberation2", "libjpeg62-turbo", "libharfbuzz0b",
    "libqt6sql6-sqlite", "cups-client", "qt6-translations-l10n", "libcups2",
    "libqt6core6", "libqt6gui6", "libqt6widgets6", "libqt6printsupport6", "libqt6sql6",
    "libfontconfig1", "libsqlite3-0", "libc6", "libstdc++6",
]

# lintian warnings the package keeps on purpose, each with its reason (none
# so far: lintian 2.116 on Debian 12 gives the package only informational
# tags, printed by the test).
KEPT_WARNINGS = {}


class Checks:
    def __init__(self):
        self.passed = 0
        self.failed = 0

    def check(self, ok, what, detail=""):
        if ok:
            self.passed += 1
            print(f"ok: {what}")
        else:
            self.failed += 1
            print(f"FAIL: {what}" + (f"\n      {detail}" if detail else ""))
        return ok

    def finish(self):
        print(f"install_test: {self.passed} passed, {self.failed} failed")
        return 0 if self.failed == 0 else 1


def run(cmd, env=None, cwd=None, check=False, timeout=300):
    p = subprocess.run(cmd, env=env, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                       text=True, errors="replace", timeout=timeout)
    if check and p.returncode != 0:
        raise RuntimeError(f"{' '.join(cmd)} exited {p.returncode}:\n{p.stdout}{p.stderr}")
    return p


def needs(*tools):
    missing = [t for t in tools if shutil.which(t) is None]
    if missing:
        print(f"install_test: missing {' '.join(missing)} (scripts/install-deps installs them)")
        sys.exit(1)


def desktop_env(tmp, data_dirs):
    """An environment in which only the staged tree is the desktop's data."""
    env = {k: v for k, v in os.environ.items()
           if k not in ("XDG_CURRENT_DESKTOP", "XDG_SESSION_DESKTOP", "DESKTOP_SESSION",
                        "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID", "MATE_DESKTOP_SESSION_ID")}
    for name in ("home", "data-home", "config", "config-dirs", "runtime"):
        os.makedirs(os.path.join(tmp, name), mode=0o700, exist_ok=True)
    env.update(HOME=os.path.join(tmp, "home"), XDG_DATA_HOME=os.path.join(tmp, "data-home"),
               XDG_DATA_DIRS=data_dirs, XDG_CONFIG_HOME=os.path.join(tmp, "config"),
               XDG_CONFIG_DIRS=os.path.join(tmp, "config-dirs"),
               XDG_RUNTIME_DIR=os.path.join(tmp, "runtime"), QT_QPA_PLATFORM="offscreen",
               LC_ALL="C.UTF-8")
    return env


def files_under(root):
    found = set()
    for d, _, names in os.walk(root):
        for n in names:
            found.add(os.path.relpath(os.path.join(d, n), root))
    return found


def desktop_entry(path):
    keys = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if "=" in line and not line.startswith("#"):
                k, v = line.split("=", 1)
                keys[k] = v
    return keys


def split_alternatives(usage):
    """Splits a usage line at the ' | ' that stand outside brackets."""
    parts, depth, cur = [], 0, ""
    i = 0
    while i < len(usage):
        c = usage[i]
        depth += c == "["
        depth -= c == "]"
        if depth == 0 and usage.startswith(" | ", i):
            parts.append(cur)
            cur = ""
            i += 3
            continue
        cur += c
        i += 1
    parts.append(cur)
    return [p.strip() for p in parts if p.strip()]


def rendered_man(page, env):
    e = dict(env, MANWIDTH="400")
    p = run(["man", "--nh", "--nj", "-E", "UTF-8", "-l", page], env=e)
    return p.stdout.replace("\u2212", "-").replace("\u2010", "-")


def has_token(text, token):
    return re.search(r"(?<![\w-])" + re.escape(token) + r"(?![\w-])", text) is not None


def make_report(bindir, env, out_dir):
    """A one-page report file and picture written by the staged tovrel-sheet."""
    trp = os.path.join(out_dir, "sheet.trp")
    png = os.path.join(out_dir, "sheet.png")
    for out in (trp, png):
        p = run([os.path.join(bindir, "tovrel-sheet"), "變", "-o", out], env=env, cwd=out_dir)
        if p.returncode != 0:
            raise RuntimeError(f"tovrel-sheet -o {out} exited {p.returncode}: {p.stderr}")
    return trp, png


def staged(args):
    needs("desktop-file-validate", "appstreamcli", "update-mime-database", "update-desktop-database", "xdg-mime",
          "mimetype", "rsvg-convert", "xmllint", "man", "identify", "readelf")
    c = Checks()
    tmp = tempfile.mkdtemp(prefix="tovrel-install-")
    try:
        stage = os.path.join(tmp, "stage")
        env0 = dict(os.environ, DESTDIR=stage)
        p = run(["cmake", "--install", args.build, "--prefix", "/usr"], env=env0)
        if not c.check(p.returncode == 0, "cmake --install into a staging folder", p.stderr):
            return c.finish()
        usr = os.path.join(stage, "usr")
        share = os.path.join(usr, "share")
        found = files_under(usr)
        want = expected_files(args.build)
        c.check(found == want, "the install puts exactly the expected files under the prefix",
                f"missing {sorted(want - found)[:20]}, unexpected {sorted(found - want)[:20]}")
        c.check(len([f for f in found if f.startswith(STROKES + "/hanzi-writer-data/")]) > 9000,
                "the install carries the hanzi-writer-data files")
        # The installed programs find the installed stroke data: 草 in
        # Taiwan's form, ten strokes.
        # 陳 has only the mainland form (阝 in two strokes): drawn unnumbered.
        runtime = os.path.join(stage, "runtime")
        os.makedirs(runtime, mode=0o700, exist_ok=True)
        p = run([os.path.join(usr, "bin", "tovrel-tool"), "face", "--info", "草陳"],
                env=dict(os.environ, QT_QPA_PLATFORM="offscreen", XDG_RUNTIME_DIR=runtime))
        c.check(p.returncode == 0 and p.stdout.splitlines() == ["草\t10\tAnimCJK", "陳\t-\tKai"] and not p.stderr,
                "the installed tovrel-tool numbers 草 from the installed traditional data", p.stdout + p.stderr)
        for prog in ("tovrel", "tovrel-sheet", "tovrel-tool"):
            path = os.path.join(usr, "bin", prog)
            dyn = run(["readelf", "-d", path]).stdout
            c.check(os.access(path, os.X_OK) and not re.search(r"RPATH|RUNPATH", dyn),
                    f"bin/{prog} is executable and looks for libraries in no build folder")
        # The staged tree first, then the system's own database (which knows
        # PNG and plain text, and must not know report files yet).
        env = desktop_env(tmp, share + ":/usr/share")
        files = os.path.join(tmp, "files")
        os.makedirs(files)

        # Desktop entries.
        apps = os.path.join(share, "applications")
        for name in (MENU_ENTRY, "tovrel-view.desktop"):
            p = run(["desktop-file-validate", os.path.join(apps, name)])
            c.check(p.returncode == 0 and not (p.stdout + p.stderr).strip(),
                    f"desktop-file-validate passes {name} without a remark", p.stdout + p.stderr)
        menu = desktop_entry(os.path.join(apps, MENU_ENTRY))
        c.check(menu.get("Name") == "Tovrel" and menu.get("Exec") == "tovrel" and menu.get("Icon") == "tovrel",
                "the menu entry is named Tovrel, starts tovrel and shows its icon", str(menu))
        c.check(all(menu.get(k) for k in ("GenericName", "GenericName[zh_TW]", "Comment", "Comment[zh_TW]")),
                "the menu entry has a generic name and comment in English and Traditional Chinese")
        c.check("Education" in menu.get("Categories", "").split(";"), "the menu entry is in Education")
        viewer = desktop_entry(os.path.join(apps, "tovrel-view.desktop"))
        c.check(viewer.get("Exec") == "tovrel-tool trp view %f" and viewer.get("NoDisplay") == "true",
                "the report viewer's entry opens a file with tovrel-tool trp view, out of the menu", str(viewer))
        c.check(REPORT_TYPE in viewer.get("MimeType", "").split(";"), "the report viewer's entry takes report files")
        for entry in (menu, viewer):
            prog = entry.get("Exec", "").split()[0]
            c.check(os.path.isfile(os.path.join(usr, "bin", prog)), f"{prog} named by an entry is installed")
        c.check(os.path.isfile(os.path.join(share, "icons", "hicolor", "scalable", "apps", menu.get("Icon", "") + ".svg")),
                "the entries' icon is in the hicolor theme")

        # The MIME type, on report files written by the staged program.
        p = run(["update-mime-database", os.path.join(share, "mime")], env=env)
        c.check(p.returncode == 0, "update-mime-database builds the staged MIME database", p.stderr)
        trp, png = make_report(os.path.join(usr, "bin"), env, files)
        shutil.copy(trp, os.path.join(files, "SHEET.TRP"))
        shutil.copy(trp, os.path.join(files, "sheet-without-extension"))
        shutil.copy(png, os.path.join(files, "picture-without-extension"))
        with open(os.path.join(files, "notes-without-extension"), "w") as f:
            f.write("plain words\n")
        expect = {"sheet.trp": REPORT_TYPE, "SHEET.TRP": REPORT_TYPE, "sheet-without-extension": REPORT_TYPE,
                  "picture-without-extension": "image/png", "notes-without-extension": "text/plain"}
        for name, want in expect.items():
            got = run(["xdg-mime", "query", "filetype", os.path.join(files, name)], env=env).stdout.strip()
            c.check(got == want, f"xdg-mime gives {name} as {want}", f"got {got!r}")
        system_only = dict(env, XDG_DATA_DIRS="/usr/share")
        got = run(["xdg-mime", "query", "filetype", os.path.join(files, "sheet-without-extension")],
                  env=system_only).stdout.strip()
        c.check(got != REPORT_TYPE, "without the staged tree the same file is not known as a report (control)",
                "is Tovrel installed on this machine?")
        p = run([args.mimetype] + [os.path.join(files, n) for n in expect], env=env)
        qt = {os.path.basename(line.split("\t")[0]): line.split("\t")[1:] for line in p.stdout.splitlines()}
        for name, want in expect.items():
            got = qt.get(name, ["?", "?"])
            c.check(got[0] == want, f"Qt's MIME database gives {name} as {want}", f"got {got[0]!r}")
        for name in ("sheet.trp", "sheet-without-extension"):
            c.check(qt.get(name, ["", ""])[1] == REPORT_TYPE, f"Qt's MIME database knows {name} by its content alone")
        desc = run([args.mimetype, "--describe", REPORT_TYPE], env=env).stdout.strip().split("\t")
        c.check(len(desc) == 3 and desc[1] == "Tovrel report" and desc[2] == "*.trp",
                "the report type is described as \"Tovrel report\" with the pattern *.trp", str(desc))
        p = run(["update-desktop-database", apps], env=env)
        got = run(["xdg-mime", "query", "default", REPORT_TYPE], env=env).stdout.strip()
        c.check(p.returncode == 0 and got == "tovrel-view.desktop",
                "report files open with the report viewer's entry", f"got {got!r} {p.stderr}")

        # The software centres' description.
        metainfo = os.path.join(share, "metainfo", APP_ID + ".metainfo.xml")
        p = run(["appstreamcli", "validate", "--no-net", metainfo])
        remarks = re.findall(r"^([EW]): .*$", p.stdout, re.M)
        c.check(p.returncode == 0 and not remarks, "appstreamcli validate --no-net reports no error or warning",
                p.stdout + p.stderr)
        def xpath(expr):
            return run(["xmllint", "--xpath", expr, metainfo]).stdout.strip()
        c.check(xpath("string(/component/id)") == APP_ID
                and xpath("string(/component/launchable[@type='desktop-id'])") == MENU_ENTRY,
                "the description's id is the menu entry's, and it launches that entry")
        c.check(xpath("string(/component/project_license)") == "GPL-3.0-or-later",
                "the description gives the program's licence")
        for what in ("name", "summary"):
            c.check(xpath(f"string(/component/{what}[not(@xml:lang)])") != ""
                    and xpath(f"string(/component/{what}[@xml:lang='zh_TW'])") != ""
                    or (what == "name" and xpath(f"string(/component/{what})") == "Tovrel"),
                    f"the description has its {what} in English and Traditional Chinese")
        c.check(xpath("count(/component/description/p[not(@xml:lang)])") not in ("", "0")
                and xpath("count(/component/description/p[@xml:lang='zh_TW'])") not in ("", "0"),
                "the description's text is in English and Traditional Chinese")
        categories = set(xpath("/component/categories/category/text()").split())
        c.check(categories and categories == set(filter(None, menu.get("Categories", "").split(";"))),
                "the description's categories are the menu entry's", str(categories))
        c.check(xpath("string(/component/provides/mediatype)") == REPORT_TYPE,
                "the description says the program provides the report type")

        # The icon.
        icon = os.path.join(share, "icons", "hicolor", "scalable", "apps", "tovrel.svg")
        p = run(["xmllint", "--noout", "--xpath", "concat(namespace-uri(/*), ' ', local-name(/*), ' ', /*/@viewBox)", icon])
        c.check(p.returncode == 0 and p.stdout.strip() == "http://www.w3.org/2000/svg svg 0 0 128 128",
                "the icon is well-formed SVG with a square view box", p.stdout + p.stderr)
        icon_png = os.path.join(tmp, "icon.png")
        p = run(["rsvg-convert", "-w", "48", "-h", "48", icon, "-o", icon_png])
        stats = run(["identify", "-format", "%w %h %[fx:standard_deviation]", icon_png]).stdout.split() if p.returncode == 0 else []
        c.check(len(stats) == 3 and stats[:2] == ["48", "48"] and float(stats[2]) > 0.1,
                "librsvg renders the icon at 48 pixels, and not as one flat colour", f"{p.stderr} {stats}")

        # Manual pages: no warnings, and every option and command of the
        # programs' own usage text in them.
        man1 = os.path.join(share, "man", "man1")
        for page in ("tovrel", "tovrel-sheet", "tovrel-tool"):
            path = os.path.join(man1, page + ".1.gz")
            p = run(["man", "--warnings=w", "-E", "UTF-8", "-l", path], env=dict(env, MANWIDTH="80"))
            c.check(p.returncode == 0 and not p.stderr.strip() and f"{page.upper()}(1)" in p.stdout,
                    f"man -l renders {page}(1) without warnings", p.stderr)
        sheet_man = rendered_man(os.path.join(man1, "tovrel-sheet.1.gz"), env)
        help_text = run([os.path.join(usr, "bin", "tovrel-sheet"), "--help"], env=env).stdout
        options = []
        for line in help_text.splitlines():
            m = re.match(r"^  (-[-\w]*(?:, -[-\w]+)*)(?:\s|$)", line)
            if m:
                options += m.group(1).split(", ")
        c.check(len(options) >= 6, "tovrel-sheet --help lists its options", help_text)
        headings = "\n".join(re.findall(r"^ {7}-.*$", sheet_man, re.M))
        missing = [o for o in options if not has_token(headings, o)]
        c.check(not missing, "tovrel-sheet(1) describes every option of tovrel-sheet --help", f"missing {missing}")
        tool_man = rendered_man(os.path.join(man1, "tovrel-tool.1.gz"), env)
        usage = run([os.path.join(usr, "bin", "tovrel-tool")], env=env).stderr.splitlines()[1:]
        wanted = []
        for line in usage:
            line = line.strip()
            command = line.split()[0]
            for alt in split_alternatives(line):
                words = alt.split()
                if words[0] == command:
                    words = words[1:]
                if words and re.fullmatch(r"[a-z]+(\|[a-z]+)*", words[0]):
                    wanted += [f"{command} {sub}" for sub in words[0].split("|")]
                elif words and words[0].startswith("--"):
                    wanted.append(f"{command} {words[0]}")
            wanted += re.findall(r"(?<![\w-])--?[a-z][-a-z]*", line)
        c.check(len(usage) >= 5 and len(wanted) > 30, "tovrel-tool lists its commands", "\n".join(usage))
        # Each command and sub-command has its own paragraph; an option is
        # named in one, or in the synopsis.
        headings = re.findall(r"^ {7}(\S+ \S+)", tool_man, re.M)
        missing = sorted({w for w in wanted if w not in tool_man or (" " in w and w not in headings)})
        c.check(not missing, "tovrel-tool(1) describes every command, sub-command and option of its usage",
                f"missing {missing}")
        c.check("trp view" in headings, "tovrel-tool(1) describes trp view, which opens report files")
        # Every kind of output a program writes is in its manual page and the
        # README: the extensions its usage gives after -o.
        with open(os.path.join(args.source, "README.md"), encoding="utf-8") as f:
            readme = f.read()
        for prog, text, page in (("tovrel-sheet", help_text, sheet_man), ("tovrel-tool", "\n".join(usage), tool_man)):
            kinds = sorted(set(re.findall(r"OUT\.([a-z]+)", text)))
            c.check(len(kinds) >= (4 if prog == "tovrel-sheet" else 3), f"{prog}'s usage names the outputs it writes",
                    str(kinds))
            missing = [k for k in kinds if f"OUT.{k}" not in page]
            c.check(not missing, f"{prog}(1) names every output of its usage", f"missing {missing}")
            section = re.search(rf"^## {prog}\n(.*?)(?=^## |\Z)", readme, re.M | re.S)
            missing = [k for k in kinds if not section or f"OUT.{k}" not in section.group(1)]
            c.check(not missing, f"the README's {prog} section names every output of its usage", f"missing {missing}")
    finally:
        shutil.rmtree(tmp, ignore_errors=True)
    return c.finish()


def build_deb(build, out_dir, c):
    start = time.monotonic()
    p = run(["cpack", "-G", "DEB", "--config", os.path.join(build, "CPackConfig.cmake"), "-B", out_dir], timeout=600)
    debs = [f for f in os.listdir(out_dir) if f.endswith(".deb")] if p.returncode == 0 else []
    ok = c.check(len(debs) == 1 and re.fullmatch(r"tovrel_[\d.]+_[a-z0-9]+\.deb", debs[0]) is not None,
                 f"cpack makes tovrel_VERSION_ARCH.deb ({time.monotonic() - start:.0f} s)", p.stdout + p.stderr)
    return os.path.join(out_dir, debs[0]) if ok else None


def package(args):
    needs("cpack", "dpkg-deb", "dpkg-shlibdeps", "lintian")
    c = Checks()
    tmp = tempfile.mkdtemp(prefix="tovrel-package-")
    try:
        deb = build_deb(args.build, tmp, c)
        if not deb:
            return c.finish()
        fields = {k: run(["dpkg-deb", "-f", deb, k]).stdout.strip()
                  for k in ("Package", "Architecture", "Section", "Maintainer", "Depends")}
        c.check(fields["Package"] == "tovrel" and fields["Section"] == "education" and "@" in fields["Maintainer"],
                "the control fields name the package, its section and maintainer", str(fields))
        depends = {re.split(r"[\s(]", d.strip())[0] for d in fields["Depends"].split(",")}
        missing = [d for d in DEPENDS if d not in depends]
        c.check(not missing, "the package depends on Qt 6, the Kai and Arial-metric faces, libjpeg-turbo, HarfBuzz, fontconfig, SQLite and CUPS",
                f"missing {missing} in {fields['Depends']}")

        listing = run(["dpkg-deb", "--contents", deb]).stdout
        print("\n".join(l for l in listing.splitlines() if "/hanzi-writer-data/" not in l or "ARPHICPL" in l))
        entries = {}
        for line in listing.splitlines():
            parts = line.split(None, 5)
            if len(parts) == 6:
                entries[parts[5].split(" -> ")[0].lstrip(".").rstrip("/")] = (parts[0], parts[1])
        files = {p for p, (mode, _) in entries.items() if mode.startswith("-")}
        want = {"/usr/" + f for f in expected_files(args.build)}
        c.check(files == want, "dpkg-deb --contents lists exactly the installed files",
                f"missing {sorted(want - files)[:20]}, unexpected {sorted(files - want)[:20]}")
        bad = [f"{p} {m} {o}" for p, (m, o) in entries.items()
               if o != "root/root" or m not in ("-rwxr-xr-x" if p.startswith("/usr/bin/") else "-rw-r--r--",
                                                 "drwxr-xr-x")]
        c.check(not bad, "every file belongs to root with the usual modes", "\n".join(bad))

        start = time.monotonic()
        p = run(["lintian", "--no-tag-display-limit", "--display-info", deb], timeout=600)
        print(p.stdout + p.stderr, end="")
        tags = re.findall(r"^([EWI]): tovrel[^:]*: (\S+)(.*)$", p.stdout, re.M)
        errors = [f"{t} {rest}" for kind, t, rest in tags if kind == "E"]
        c.check(p.returncode == 0 and not errors,
                f"lintian reports no errors ({time.monotonic() - start:.0f} s)", "\n".join(errors) or p.stderr)
        unexplained = [f"{t}{rest}" for kind, t, rest in tags if kind == "W" and t not in KEPT_WARNINGS]
        c.check(not unexplained, "lintian warns of nothing but the warnings kept on purpose", "\n".join(unexplained))

        if os.geteuid() != 0:
            print("skipped: installing into a scratch root needs root")
            return c.finish()
        root = os.path.join(tmp, "root")
        admin = os.path.join(root, "var", "lib", "dpkg")
        for d in ("info", "updates", "triggers"):
            os.makedirs(os.path.join(admin, d))
        for f in ("status", "available"):
            open(os.path.join(admin, f), "w").close()
        # The dependencies are the host's, which run the programs below.
        p = run(["dpkg", "--root", root, "--force-depends", "-i", deb])
        c.check(p.returncode == 0, "dpkg --root installs the package into a scratch root", p.stdout + p.stderr)
        env = desktop_env(tmp, "/usr/share")
        work = os.path.join(tmp, "work")
        os.makedirs(work)
        p = run([os.path.join(root, "usr", "bin", "tovrel-sheet"), "變", "-o", "x.png"], env=env, cwd=work)
        size = run(["identify", "-format", "%w %h", os.path.join(work, "x.png")]).stdout if p.returncode == 0 else ""
        c.check(p.returncode == 0 and size == "794 1123",
                "tovrel-sheet 變 -o x.png from the scratch root writes the A4 sheet at 96 dpi", f"{p.stderr} {size!r}")
        p = run(["dpkg", "--root", root, "-r", "tovrel"])
        left = files_under(os.path.join(root, "usr")) if os.path.isdir(os.path.join(root, "usr")) else set()
        c.check(p.returncode == 0 and not left, "dpkg -r removes every installed file again", f"{p.stderr} {sorted(left)}")
    finally:
        shutil.rmtree(tmp, ignore_errors=True)
    return c.finish()


def fresh_debian(args):
    if os.environ.get("TOVREL_FRESH_DEBIAN_TEST") != "1":
        print("skipped: set TOVREL_FRESH_DEBIAN_TEST=1 to install the package on a fresh Debian 12 (several minutes)")
        return 77
    needs("cpack", "mmdebstrap")
    c = Checks()
    tmp = tempfile.mkdtemp(prefix="tovrel-fresh-")
    try:
        deb = build_deb(args.build, tmp, c)
        if not deb:
            return c.finish()
        out = os.path.join(tmp, "out")
        os.makedirs(out)
        name = os.path.basename(deb)
        start = time.monotonic()
        # The minimal system has apt and nothing of the program's; apt fetches
        # the dependencies the package names, and nothing recommended.
        hooks = [
            f"copy-in {deb} /tmp",
            f'chroot "$1" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends /tmp/{name}',
            'chroot "$1" sh -c "cd /tmp && tovrel-sheet 變 -o x.png > written.txt 2> warnings.txt"',
            'chroot "$1" sh -c "dpkg -L tovrel > /tmp/files.txt; grep -c x-tovrel-report /usr/share/mime/globs2 > /tmp/mime.txt || true"',
            f"copy-out /tmp/x.png /tmp/written.txt /tmp/warnings.txt /tmp/files.txt /tmp/mime.txt {out}",
        ]
        cmd = ["mmdebstrap", "--variant=apt", "--mode=root", "bookworm", os.path.join(tmp, "debian12")]
        # The archive this machine installs from, else mmdebstrap's default.
        sources = "/etc/apt/sources.list.d/debian.sources"
        if os.path.isfile(sources):
            cmd.append(sources)
        for h in hooks:
            cmd += ["--customize-hook", h]
        p = run(cmd, timeout=1800)
        print(p.stderr[-4000:])
        c.check(p.returncode == 0, f"apt installs the package on a fresh Debian 12 ({time.monotonic() - start:.0f} s)")
        png = os.path.join(out, "x.png")
        size = run(["identify", "-format", "%w %h", png]).stdout if os.path.exists(png) else ""
        c.check(size == "794 1123", "tovrel-sheet 變 -o x.png there writes the A4 sheet", repr(size))
        if os.path.exists(png):
            shutil.copy(png, os.path.join(args.build, "fresh-debian-sheet.png"))
        for f in ("written.txt", "warnings.txt", "mime.txt"):
            if os.path.exists(os.path.join(out, f)):
                print(f"{f}: {open(os.path.join(out, f), encoding='utf-8', errors='replace').read().strip()}")
        mime = open(os.path.join(out, "mime.txt")).read().strip() if os.path.exists(os.path.join(out, "mime.txt")) else ""
        c.check(mime not in ("", "0"), "the system's MIME database there knows report files")
    finally:
        shutil.rmtree(tmp, ignore_errors=True)
    return c.finish()


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("what", choices=["staged", "package", "fresh-debian"])
    ap.add_argument("--build", required=True)
    ap.add_argument("--mimetype")
    ap.add_argument("--source", default=os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
    args = ap.parse_args()
    return {"staged": staged, "package": package, "fresh-debian": fresh_debian}[args.what](args)


if __name__ == "__main__":
    sys.exit(main())
