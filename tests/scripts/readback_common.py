"""What the read-back scripts share: running quorvil-cli and building a
database from a JSON description through it."""
import json
import os
import subprocess
import sys
import tempfile

# The bytes Windows-1252 leaves open; the tool maps them to the C1 controls
# of the same number.
UNDEFINED_IN_1252 = (0x81, 0x8D, 0x8F, 0x90, 0x9D)


def as_unicode(json_text):
    """A text of the tool's JSON (each byte as the code point of its number)
    as the Windows-1252 text its bytes are; the five bytes that code page
    leaves open stand for the same code points."""
    return "".join(c if ord(c) in UNDEFINED_IN_1252 else c.encode("latin-1").decode("cp1252") for c in json_text)


def run(*args):
    done = subprocess.run(args, capture_output=True)
    if done.returncode:
        sys.exit(f"{' '.join(args)}: {done.stderr.decode(errors='replace')}")
    return done.stdout


def create_database(cli, folder, name, spec):
    """`spec` written as NAME.json in `folder` and made into NAME.PDB there."""
    spec_path = os.path.join(folder, name + ".json")
    with open(spec_path, "w", encoding="utf-8") as f:
        json.dump(spec, f, ensure_ascii=False)
    pdb = os.path.join(folder, name + ".PDB")
    run(cli, "create", spec_path, "-o", pdb)
    return pdb


def check_samples(cli, samples, make_hard_database, check, label=""):
    """`check(cli, pdb, folder)` (the number of failures) on every sample and
    on the database `make_hard_database(cli, folder)` makes; the exit status."""
    with tempfile.TemporaryDirectory() as folder:
        databases = [os.path.join(samples, n) for n in sorted(os.listdir(samples)) if n.endswith(".PDB")]
        databases.append(make_hard_database(cli, folder))
        failures = sum(check(cli, pdb, folder) for pdb in databases)
    print(f"{label}{len(databases)} databases, {failures} failures")
    return 1 if failures else 0
