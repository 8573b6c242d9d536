"""The install rules, checked on an install staged into a temporary folder
(DESTDIR) as a package would hold it.

    install_check.py CHECK BUILD_DIR VERSION

CHECK is one of files, desktop, appstream, mime, man. A check whose tool is
missing exits with 77, which ctest reports as skipped."""
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile

SKIP = 77
APP_ID = "io.github.quorvil.quorvil"
MIME_TYPE = "application/x-jfile-database"
ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)

EXPECTED_FILES = sorted(
    [
        "usr/bin/quorvil",
        "usr/bin/quorvil-cli",
        "usr/libexec/quorvil/quorvil-cli-pdf",
        f"usr/share/applications/{APP_ID}.desktop",
        "usr/share/doc/quorvil/README.md",
        "usr/share/doc/quorvil/copyright",
        "usr/share/icons/hicolor/scalable/apps/quorvil.svg",
        "usr/share/man/man1/quorvil.1",
        "usr/share/man/man1/quorvil-cli.1",
        f"usr/share/metainfo/{APP_ID}.metainfo.xml",
        "usr/share/mime/packages/quorvil.xml",
    ]
    + [f"usr/share/icons/hicolor/{s}x{s}/apps/quorvil.png" for s in ICON_SIZES]
)


def fail(message):
    sys.exit(f"FAIL: {message}")


def need(*tools):
    for tool in tools:
        if not shutil.which(tool):
            print(f"{tool} is not installed; skipped")
            sys.exit(SKIP)


def run(args, env=None, check=True):
    done = subprocess.run(args, capture_output=True, text=True, env=env)
    if check and done.returncode:
        fail(f"{' '.join(args)} exited with {done.returncode}:\n{done.stdout}{done.stderr}")
    return done


def stage(build, root):
    """`cmake --install` of `build` under `root`, prefix /usr."""
    env = dict(os.environ, DESTDIR=root)
    run(["cmake", "--install", build, "--prefix", "/usr"], env=env)
    return os.path.join(root, "usr")


def staged_files(root):
    found = []
    for folder, _, names in os.walk(root):
        found += [os.path.relpath(os.path.join(folder, n), root) for n in names]
    return sorted(found)


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    if head[:8] != b"\x89PNG\r\n\x1a\n":
        fail(f"{path} is no PNG")
    return struct.unpack(">II", head[16:24])


def desktop_keys(path):
    with open(path, encoding="utf-8") as f:
        return dict(line.rstrip("\n").split("=", 1) for line in f if "=" in line)


def check_files(build, root, version):
    usr = stage(build, root)
    found = staged_files(root)
    if found != EXPECTED_FILES:
        fail("the staged files differ:\n  missing: %s\n  unexpected: %s"
             % (sorted(set(EXPECTED_FILES) - set(found)), sorted(set(found) - set(EXPECTED_FILES))))
    for size in ICON_SIZES:
        got = png_size(f"{usr}/share/icons/hicolor/{size}x{size}/apps/quorvil.png")
        if got != (size, size):
            fail(f"the {size}x{size} icon is {got[0]}x{got[1]}")

    # The pieces name each other: the menu entry starts the installed
    # program with the installed icon, for the installed file type.
    keys = desktop_keys(f"{usr}/share/applications/{APP_ID}.desktop")
    if keys.get("Exec", "").split()[0] not in ("quorvil", "/usr/bin/quorvil"):
        fail(f"Exec={keys.get('Exec')}")
    if keys.get("Icon") != "quorvil" or keys.get("MimeType") != MIME_TYPE + ";":
        fail(f"Icon={keys.get('Icon')} MimeType={keys.get('MimeType')}")
    with open(f"{usr}/share/mime/packages/quorvil.xml", encoding="utf-8") as f:
        if f'type="{MIME_TYPE}"' not in f.read():
            fail("the mime package defines no " + MIME_TYPE)
    with open(f"{usr}/share/metainfo/{APP_ID}.metainfo.xml", encoding="utf-8") as f:
        metainfo = f.read()
    for part in (f"<id>{APP_ID}</id>", f'<launchable type="desktop-id">{APP_ID}.desktop</launchable>',
                 f"<mediatype>{MIME_TYPE}</mediatype>", f'<release version="{version}"'):
        if part not in metainfo:
            fail("the metainfo lacks " + part)

    # One version everywhere; --help and --version need no display.
    no_display = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    for program, expected in (("quorvil-cli", f"quorvil-cli {version}\n"), ("quorvil", f"quorvil {version}\n")):
        out = run([f"{usr}/bin/{program}", "--version"], env=no_display).stdout
        if out != expected:
            fail(f"{program} --version printed {out!r}, not {expected!r}")
    usage = run([f"{usr}/bin/quorvil", "--help"], env=no_display).stdout
    if not usage.startswith("Usage: quorvil [options] [FILE...]") or "--version" not in usage:
        fail("quorvil --help printed:\n" + usage)
    refused = run([f"{usr}/bin/quorvil", "--no-such-option"], env=dict(no_display, QT_QPA_PLATFORM="offscreen"),
                  check=False)
    if refused.returncode != 2 or "no-such-option" not in refused.stderr:
        fail(f"an unknown option gave {refused.returncode}: {refused.stderr}")
    for page in ("quorvil", "quorvil-cli"):
        with open(f"{usr}/share/man/man1/{page}.1", encoding="utf-8") as f:
            if f"\"Quorvil {version}\"" not in f.readline():
                fail(f"{page}(1) does not name version {version}")


def check_desktop(build, root, version):
    need("desktop-file-validate")
    usr = stage(build, root)
    out = run(["desktop-file-validate", f"{usr}/share/applications/{APP_ID}.desktop"])
    if out.stdout.strip():  # hints and warnings too
        fail(out.stdout)


def check_appstream(build, root, version):
    need("appstreamcli")
    usr = stage(build, root)
    run(["appstreamcli", "validate", "--no-net", "--pedantic", f"{usr}/share/metainfo/{APP_ID}.metainfo.xml"])


def make_layouts(cli, folder, sample):
    """The sample in each of the four layouts, named as a user might."""
    paths = []
    for layout in range(4):
        path = os.path.join(folder, f"layout{layout}.pdb" if layout % 2 else f"LAYOUT{layout}.PDB")
        run([cli, "convert", sample, "--layout", str(layout), "-o", path])
        paths.append(path)
    return paths


def check_mime(build, root, version):
    need("update-mime-database", "xdg-mime", "mimetype")
    usr = stage(build, root)
    data_home = os.path.join(root, "data")
    os.makedirs(f"{data_home}/mime/packages")
    shutil.copy(f"{usr}/share/mime/packages/quorvil.xml", f"{data_home}/mime/packages/")
    # No desktop named, so xdg-mime asks the shared database itself.
    env = {"PATH": os.environ["PATH"], "HOME": root, "XDG_DATA_HOME": data_home,
           "XDG_DATA_DIRS": "/usr/local/share:/usr/share", "LC_ALL": "C.UTF-8"}
    run(["update-mime-database", f"{data_home}/mime"], env=env)
    samples = os.path.join(build, "samples")
    sample = os.path.join(samples, sorted(n for n in os.listdir(samples) if n.endswith(".PDB"))[0])
    cases = [(p, MIME_TYPE) for p in make_layouts(f"{usr}/bin/quorvil-cli", root, sample)]
    # Another Palm database of the same extension is not one of ours.
    with open(sample, "rb") as f:
        other = bytearray(f.read())
    other[60:68] = b"DATAmemo"
    other_path = os.path.join(root, "memos.pdb")
    with open(other_path, "wb") as f:
        f.write(other)
    cases.append((other_path, None))
    for path, expected in cases:
        got = run(["xdg-mime", "query", "filetype", path], env=env).stdout.strip()
        if (got != expected) if expected else (got == MIME_TYPE):
            fail(f"{os.path.basename(path)} is {got!r}")


def check_man(build, root, version):
    need("man")
    usr = stage(build, root)
    env = dict(os.environ, LC_ALL="C.UTF-8", MANWIDTH="80")
    for page in ("quorvil", "quorvil-cli"):
        done = run(["man", "--warnings", "-l", f"{usr}/share/man/man1/{page}.1"], env=env)
        if done.stderr.strip() or "SYNOPSIS" not in done.stdout:
            fail(f"{page}(1): {done.stderr}")


CHECKS = {"files": check_files, "desktop": check_desktop, "appstream": check_appstream, "mime": check_mime,
          "man": check_man}

if __name__ == "__main__":
    check, build, version = sys.argv[1:4]
    with tempfile.TemporaryDirectory(prefix="quorvil-install-") as root:
        CHECKS[check](os.path.abspath(build), root, version)
    print("ok")
