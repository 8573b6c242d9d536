"""The Windows quorvil-cli.exe, run under Wine, writes the same bytes as the
Linux tool: every export, conversion, import, split and info dump of the
samples, a file whose name is not ASCII, and the largest database the
format holds.

usage: windows_cli_matches_linux.py LINUX_CLI WINDOWS_CLI EMULATOR SAMPLES_DIR
"""
import os
import random
import shutil
import subprocess
import sys
import tempfile

LINUX, WINDOWS, EMULATOR, SAMPLES = sys.argv[1:5]
# The creation and modification dates of a new database's header: the clock.
NEW_FILE_DATES = range(36, 44)
# The emulator's status for a program Wine could not start.
NOT_STARTED = 125


def run(tool, args, cwd):
    command = [EMULATOR, tool] if tool == WINDOWS else [tool]
    done = subprocess.run(command + args, cwd=cwd, capture_output=True, timeout=600)
    # Messages name the same files; only Windows' line ends would differ,
    # and the usage of the spreadsheet export, which the Windows build lacks
    # (no libxlsxwriter is packaged for it).
    err = done.stderr.replace(b"\r\n", b"\n")
    err = b"".join(line for line in err.splitlines(True) if b"export xlsx" not in line)
    return done.returncode, done.stdout, err


def tree(folder):
    files = {}
    for root, _, names in os.walk(folder):
        for name in names:
            path = os.path.join(root, name)
            with open(path, "rb") as f:
                files[os.path.relpath(path, folder)] = f.read()
    return files


def masked(files, new_file):
    if not new_file:
        return files
    out = {}
    for name, data in files.items():
        if name.upper().endswith(".PDB") and len(data) > NEW_FILE_DATES.stop:
            data = bytearray(data)
            data[NEW_FILE_DATES.start:NEW_FILE_DATES.stop] = bytes(len(NEW_FILE_DATES))
        out[name] = bytes(data)
    return out


failures = []


def compare(work, label, args, new_file=False):
    """Runs `args` with each tool in a folder of its own (outputs are named
    relative to it) and compares exit code, standard output and error, and
    every file written."""
    results = []
    for tool in (LINUX, WINDOWS):
        folder = os.path.join(work, "linux" if tool == LINUX else "windows")
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
        code, out, err = run(tool, args, folder)
        results.append((code, out, err, masked(tree(folder), new_file)))
    (lc, lo, le, lf), (wc, wo, we, wf) = results
    if wc == NOT_STARTED:
        print(f"NOT RUN  {label}: {' '.join(args)}\n         {we.decode(errors='replace').strip()}")
        failures.append(label)
        return
    problems = []
    if lc != wc:
        problems.append(f"exit code {lc} (Linux) against {wc} (Windows)")
    if lo != wo:
        problems.append(f"standard output differs ({len(lo)} against {len(wo)} bytes)")
    if le != we:
        problems.append(f"messages differ: {le[:200]!r} against {we[:200]!r}")
    if sorted(lf) != sorted(wf):
        problems.append(f"files {sorted(lf)} against {sorted(wf)}")
    else:
        problems += [f"{name} differs" for name in sorted(lf) if lf[name] != wf[name]]
    if lc != 0 and not label.startswith("refused"):
        problems.append(f"failed: {le[:200]!r}")
    status = "ok" if not problems else "DIFFERS"
    print(f"{status:8} {label}: {' '.join(args)}")
    for p in problems:
        print(f"         {p}")
    if problems:
        failures.append(label)


def large_csv(path):
    # 65535 records of 50 fields: quotes, commas, line breaks, bytes of the
    # handheld's upper half, numbers and dates, fixed by the seed.
    rnd = random.Random(30)
    words = ["North", "Caf\xe9", "say \"hi\"", "a,b", "two\nlines", "\xbd price", "", "1200", "3/4/2024", "x" * 40]
    with open(path, "w", encoding="latin-1", newline="") as f:
        f.write(",".join(f'"Field {i}"' for i in range(50)) + "\r\n")
        for _ in range(65535):
            cells = [rnd.choice(words) for _ in range(50)]
            f.write(",".join('"' + c.replace('"', '""') + '"' for c in cells) + "\r\n")


def main():
    work = tempfile.mkdtemp(prefix="quorvil-windows-cli-")
    try:
        inputs = os.path.join(work, "in")
        os.makedirs(inputs)
        for name in os.listdir(SAMPLES):
            if name.endswith(".PDB"):
                shutil.copy(os.path.join(SAMPLES, name), inputs)
        shutil.copy(os.path.join(inputs, "Inventory.PDB"), os.path.join(inputs, "Große Tabelle 日本.PDB"))
        for name in sorted(os.listdir(inputs)):
            db = os.path.join(inputs, name)
            stem = os.path.splitext(name)[0]
            compare(work, name, ["info", db, "--json", "--records"])
            compare(work, name, ["info", db])
            for kind in ("csv", "html", "txt", "csv-utf8", "html5", "json"):
                compare(work, name, ["export", kind, db, "-o", f"{stem} ausgabe.{kind}"])
            for layout in "0123":
                compare(work, name, ["convert", db, "--layout", layout, "-o", f"{stem} {layout}.PDB"])
            compare(work, name, ["split", db, "-d", ".", "--formats", "pdb,csv,html,txt"], new_file=True)
            compare(work, name, ["export", "csv", db, "-o", "back.csv"])
            shutil.copy(os.path.join(work, "linux", "back.csv"), os.path.join(work, "back.csv"))
            compare(work, name, ["import", os.path.join(work, "back.csv"), "-o", f"{stem} wieder.PDB"], new_file=True)
        compare(work, "refused: a missing file", ["info", os.path.join(inputs, "fehlt 日本.PDB")])
        compare(work, "refused: a layout that does not exist", ["convert", db, "--layout", "7", "-o", "x.PDB"])

        large = os.path.join(work, "large.csv")
        large_csv(large)
        compare(work, "large import", ["import", large, "-o", "large.PDB"], new_file=True)
        large_db = os.path.join(inputs, "large.PDB")
        shutil.copy(os.path.join(work, "linux", "large.PDB"), large_db)
        compare(work, "large", ["info", large_db, "--json", "--records"])
        for kind in ("csv", "txt", "json"):
            compare(work, "large", ["export", kind, large_db, "-o", f"large.{kind}"])
        compare(work, "large", ["convert", large_db, "--layout", "0", "-o", "large 3x.PDB"])
    finally:
        shutil.rmtree(work, ignore_errors=True)
    if failures:
        print(f"{len(failures)} comparisons differ")
        return 1
    return 0


sys.exit(main())
