#!/usr/bin/env python3
"""Runs clang-tidy with the repository's .clang-tidy over src/ (or the files
given) in the tidy build, which has precompiled headers off so a missing
include shows. A file whose preprocessed text, flags and checks are unchanged
since it last passed is not checked again (the cache lives in the user's cache
folder), so a repeated run only pays for what changed. Exits 1 on a finding."""
import hashlib, json, os, shlex, subprocess, sys
from concurrent.futures import ThreadPoolExecutor
from pathlib import Path

root = Path(__file__).resolve().parent.parent
build = root / "build-tidy"
subprocess.run(["cmake", "--preset", "tidy"], cwd=root, check=True, stdout=subprocess.DEVNULL)
cache = Path(os.environ.get("XDG_CACHE_HOME", Path.home() / ".cache")) / "scrivlane-tidy"
cache.mkdir(parents=True, exist_ok=True)

commands = {e["file"]: e for e in json.loads((build / "compile_commands.json").read_text())}
if len(sys.argv) > 1:
    files = [str((Path.cwd() / f).resolve()) for f in sys.argv[1:]]
else:
    listed = subprocess.run(["git", "ls-files", "src/*.cpp"], cwd=root, check=True,
                            capture_output=True, text=True).stdout.split()
    files = [str(root / f) for f in listed]
files = [f for f in files if f in commands]

tidy_version = subprocess.run(["clang-tidy", "--version"], capture_output=True, text=True).stdout
config = (root / ".clang-tidy").read_bytes()


def key(file):
    entry = commands[file]
    args = entry.get("arguments") or shlex.split(entry["command"])
    out = args.index("-o") if "-o" in args else None
    if out is not None:
        args = args[:out] + args[out + 2:]
    pre = subprocess.run(args + ["-E", "-o", "-"], cwd=entry["directory"], capture_output=True)
    # Without the clone's own folder, so that another clone of the same tree hits.
    here = str(root).encode()
    h = hashlib.sha256(pre.stdout.replace(here, b"") + config + tidy_version.encode() +
                       " ".join(args).encode().replace(here, b""))
    return h.hexdigest() if pre.returncode == 0 else None


def check(file):
    k = key(file)
    if k and (cache / k).exists():
        return file, ""
    r = subprocess.run(["clang-tidy", "-quiet", "-p", str(build), file], capture_output=True, text=True)
    found = "\n".join(l for l in r.stdout.splitlines() if "warning:" in l or "error:" in l)
    if r.returncode == 0 and not found and k:
        (cache / k).touch()
    return file, found or ("" if r.returncode == 0 else r.stdout + r.stderr)


failed = 0
with ThreadPoolExecutor(os.cpu_count() or 2) as pool:
    for file, found in pool.map(check, files):
        if found:
            failed += 1
            print(found)
print(f"clang-tidy: {len(files)} files, {failed} with findings")
sys.exit(1 if failed else 0)
