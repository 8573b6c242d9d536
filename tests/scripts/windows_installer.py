"""The Windows installer under Wine, in a fresh prefix of its own: silent
installs and uninstalls, each followed by what the registry (`reg query`)
and the folders hold. The installed programs start; the uninstaller leaves
no file, key or value of ours; a program that owned .pdb before keeps it
unless /ASSOCIATE was given, and has it back after the uninstall.

usage: windows_installer.py SETUP_EXE VERSION with-editor|cli-only
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

SETUP, VERSION, EDITOR = sys.argv[1], sys.argv[2], sys.argv[3] == "with-editor"
WINE = shutil.which("wine64") or shutil.which("wine") or "/usr/lib/wine/wine64"
WINESERVER = shutil.which("wineserver") or os.path.join(os.path.dirname(WINE), "wineserver")
CLASSES = r"HKCU\Software\Classes"
PROGID = "Quorvil.Database"
UNINSTALL = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvil"
FOREIGN = "OtherApp.pdb"
DEFAULT_DIR = r"C:\users\{user}\AppData\Local\Programs\Quorvil"
SHORTCUT = r"C:\users\{user}\AppData\Roaming\Microsoft\Windows\Start Menu\Programs\Quorvil.lnk"

failures = []


def check(ok, what):
    print(("ok      " if ok else "FAILED  ") + what)
    if not ok:
        failures.append(what)


def wine(*args):
    # Into a file, not a pipe: the services that a program starts stay with
    # the server and would hold a pipe open.
    with tempfile.TemporaryFile() as out:
        done = subprocess.run([WINE, *args], env=ENV, stdout=out, stderr=subprocess.DEVNULL, timeout=300)
        out.seek(0)
        done.stdout = out.read()
    return done


def registry(*keys):
    """Every value under the keys, as {(key, name): data}, and the keys
    found; one reg process for them all."""
    command = ["cmd", "/c"]
    for key in keys:
        command += ["reg", "query", key, "/s", "&"]
    values, found = {}, set()
    key = None
    for line in wine(*command[:-1]).stdout.decode("utf-8", "replace").splitlines():
        line = line.rstrip("\r")
        if line.startswith("HKEY_CURRENT_USER\\"):
            key = "HKCU" + line[len("HKEY_CURRENT_USER"):]
            found.add(key)
        elif line.startswith("    ") and key:
            # "    name    REG_SZ    data"; an empty value ends after its type.
            name, _, data = (line[4:].split("    ", 2) + ["", ""])[:3]
            values[(key, "" if name == "(Default)" else name)] = data
    return values, found


def uninstall(quiet):
    """Runs the quiet uninstall command and waits for its end: the
    uninstaller goes on from a copy of itself, and removes its own entry
    last."""
    uninstaller = quiet[1:].split('"', 1)[0] if quiet.startswith('"') else quiet
    done = wine(uninstaller, *quiet.rsplit('"', 1)[-1].split())
    for _ in range(300):
        if wine("reg", "query", UNINSTALL).returncode != 0:
            break
        time.sleep(0.1)
    return done


def unix_path(windows_path):
    return os.path.join(ENV["WINEPREFIX"], "drive_c", *windows_path[3:].split("\\"))


def ours(folder):
    """The keys and values the installer writes, each with its data (None:
    any), and the files it puts in place."""
    exe = folder + r"\quorvil.exe"
    values = {
        (UNINSTALL, "DisplayName"): "Quorvil",
        (UNINSTALL, "DisplayVersion"): VERSION,
        (UNINSTALL, "Publisher"): "The Quorvil developers",
        (UNINSTALL, "DisplayIcon"): (exe if EDITOR else folder + r"\quorvil-cli.exe") + ",0",
        (UNINSTALL, "InstallLocation"): folder,
        (UNINSTALL, "UninstallString"): f'"{folder}\\uninstall.exe"',
        (UNINSTALL, "QuietUninstallString"): f'"{folder}\\uninstall.exe" /S',
        (UNINSTALL, "EstimatedSize"): None,
        (UNINSTALL, "NoModify"): "0x1",
        (UNINSTALL, "NoRepair"): "0x1",
    }
    files = ["quorvil-cli.exe", "README.txt", "LICENSE.txt", "uninstall.exe"]
    if EDITOR:
        values.update({
            (CLASSES + "\\" + PROGID, ""): "JFile database",
            (CLASSES + "\\" + PROGID + r"\DefaultIcon", ""): exe + ",0",
            (CLASSES + "\\" + PROGID + r"\shell\open\command", ""): f'"{exe}" "%1"',
            (CLASSES + r"\.pdb\OpenWithProgids", PROGID): "",
        })
        files.append("quorvil.exe")
    return values, [folder + "\\" + name for name in files] + ([SHORTCUT] if EDITOR else [])


# Each case: what owns .pdb before, the installer's options, the folder
# (None: the default), and who owns .pdb after the install and after the
# uninstall (None: nobody).
CASES = [
    ("no owner before", None, [], None, PROGID, None),
    ("another owner, kept", FOREIGN, [], r"C:\Apps\Quorvil", FOREIGN, FOREIGN),
    ("another owner, /ASSOCIATE", FOREIGN, ["/ASSOCIATE"], None, PROGID, FOREIGN),
]


def run_case(name, owner_before, options, folder, owner_installed, owner_after):
    print(f"-- {name}")
    if owner_before:
        wine("cmd", "/c", "reg", "add", CLASSES + r"\.pdb", "/ve", "/d", owner_before, "/f", "&",
             "reg", "add", CLASSES + r"\.pdb\OpenWithProgids", "/v", owner_before, "/f")
    folder_args = [r"/D=" + folder] if folder else []
    folder = folder or DEFAULT_DIR.format(user=USER)
    parent = unix_path(folder.rsplit("\\", 1)[0])
    parent_existed = os.path.isdir(parent)
    done = wine(SETUP, "/S", *options, *folder_args)
    check(done.returncode == 0, f"{name}: the silent install exits with 0 ({done.returncode})")
    values, files = ours(folder)
    files = [path.format(user=USER) for path in files]
    keys = [UNINSTALL, CLASSES + r"\.pdb", CLASSES + "\\" + PROGID]

    found, _ = registry(*keys)
    for (key, value), data in values.items():
        shown = f"{key} {value or '(Default)'}"
        check((key, value) in found and (data is None or found[(key, value)] == data),
              f"{name}: {shown} = {data!r} (is {found.get((key, value))!r})")
    if EDITOR:
        pdb = found.get((CLASSES + r"\.pdb", ""))
        check(pdb == owner_installed, f"{name}: .pdb opens with {owner_installed} (is {pdb})")
    for path in files:
        check(os.path.isfile(unix_path(path)), f"{name}: {path} is installed")

    programs = [("quorvil-cli.exe", f"quorvil-cli {VERSION}")] + ([("quorvil.exe", VERSION)] if EDITOR else [])
    for program, expected in programs:
        done = wine(folder + "\\" + program, "--version")
        out = done.stdout.decode("utf-8", "replace").strip()
        check(done.returncode == 0 and expected in out, f"{name}: {program} --version prints {expected!r} ({out!r})")

    done = uninstall(found.get((UNINSTALL, "QuietUninstallString"), ""))
    check(done.returncode == 0, f"{name}: the silent uninstall exits with 0 ({done.returncode})")
    found, keys_left = registry(*keys)
    left = [f"{key} {value or '(Default)'}" for (key, value) in values if (key, value) in found]
    left += [key for key in [UNINSTALL, CLASSES + "\\" + PROGID] if key in keys_left]
    if not owner_before:
        left += [key for key in [CLASSES + r"\.pdb"] if key in keys_left]
    check(not left, f"{name}: the uninstall leaves no key or value of ours ({left})")
    pdb = found.get((CLASSES + r"\.pdb", ""))
    check(pdb == owner_after, f"{name}: after the uninstall .pdb opens with {owner_after} (is {pdb})")
    if owner_before:
        check((CLASSES + r"\.pdb\OpenWithProgids", owner_before) in found,
              f"{name}: the other program stays under Open with")
        wine("reg", "delete", CLASSES + r"\.pdb", "/f")
    left = [path for path in files + [folder] if os.path.exists(unix_path(path))]
    check(not left, f"{name}: no file or folder of ours is left ({left})")
    check(os.path.isdir(parent) == parent_existed, f"{name}: the folder above is as it was")


with tempfile.TemporaryDirectory(prefix="quorvil-installer-", ignore_cleanup_errors=True) as prefix:
    ENV = dict(os.environ, WINEPREFIX=prefix, WINEDEBUG="-all", DISPLAY="",
               WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d")
    # One server for all the runs: each start of a server costs seconds.
    subprocess.run([WINESERVER, "-p"], env=ENV, check=True)
    try:
        wine("wineboot", "--init")
        USER = wine("cmd", "/c", "echo %USERNAME%").stdout.decode().strip()
        for case in CASES:
            run_case(*case)
    finally:
        subprocess.run([WINESERVER, "-k"], env=ENV)
if failures:
    sys.exit(f"{len(failures)} checks failed")
