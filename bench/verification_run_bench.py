"""Whole-program timing of the verification run under wine, as ratios
against references measured in the same run:
  - a first run (every album decoded) against the host's `flac -t` over the
    same files with the same parallelism (the run's worker count);
  - a second run over the unchanged library (answered from the caches)
    against the first.
Every album is an accurate rip with a database record, so that the first
run decodes every track in full and the second finds every track in the
result cache.

  python3 bench/verification_run_bench.py [--albums 20] [--tracks 3] [--seconds 40]
Needs the Windows build (scripts/build.sh windows)."""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "standins", "tools"))
os.environ.setdefault("TD_DIST_DIR", os.path.join(ROOT, "build", "dist"))
os.environ.setdefault("WINEPREFIX", os.path.join(ROOT, "build", "win", "wineprefix"))
import album_factory  # noqa: E402
import rip_checksums  # noqa: E402
from servers import start_lookup_service, start_rip_database  # noqa: E402
from wine_env import run_cli, set_setting, stop_wine, write_watch_folders  # noqa: E402


def make_library(root, albums, tracks, seconds):
    """Accurate albums: the first run decodes them all, the second finds
    them in the result cache."""
    library, database = os.path.join(root, "library"), os.path.join(root, "db")
    files = []
    for a in range(albums):
        _, folder, _ = album_factory.make_album(library, database, a + 1, "accurate", tracks, seconds)
        files += sorted(os.path.join(folder, n) for n in os.listdir(folder) if n.endswith(".flac"))
    return library, database, files


def flac_test_time(files, parallel):
    started = time.monotonic()
    groups = [files[i::parallel] for i in range(parallel)]
    procs = [subprocess.Popen(["flac", "-s", "-t"] + g) for g in groups if g]
    for p in procs:
        if p.wait() != 0:
            raise SystemExit("flac -t failed")
    return time.monotonic() - started


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--albums", type=int, default=20)
    parser.add_argument("--tracks", type=int, default=3)
    parser.add_argument("--seconds", type=int, default=40)
    args = parser.parse_args()
    workers = max(1, min(os.cpu_count() or 1, 4))
    root = tempfile.mkdtemp(prefix="tdbench-")
    table = os.path.join(root, "lookup.txt")
    open(table, "w").close()
    try:
        print("making %d albums of %d x %d s ..." % (args.albums, args.tracks, args.seconds), flush=True)
        library, database, files = make_library(root, args.albums, args.tracks, args.seconds)
        ripdb, lookup = start_rip_database(database), start_lookup_service(table)
        try:
            set_setting("TD-DatabaseServer", "127.0.0.1:%d" % ripdb.port)
            set_setting("TD-LookupServer", "127.0.0.1:%d" % lookup.port)
            set_setting("TD-DecodeAll", 0)
            data = os.path.join(root, "data")
            write_watch_folders(data, [library])
            run_cli("scan", "--force", data=data)
            reference = flac_test_time(files, workers)
            started = time.monotonic()
            run_cli("verify", data=data)
            first = time.monotonic() - started
            started = time.monotonic()
            run_cli("verify", data=data)
            second = time.monotonic() - started
        finally:
            for name in ("TD-DatabaseServer", "TD-LookupServer", "TD-DecodeAll"):
                set_setting(name, None)
            ripdb.stop()
            lookup.stop()
        print("flac -t (%d in parallel): %.2f s" % (workers, reference))
        print("first run:  %.2f s  = %.2f x flac -t (target <= 1.15)" % (first, first / reference))
        print("second run: %.2f s  = 1/%.0f of the first (target <= 1/50)" % (second, first / second))
    finally:
        stop_wine()
        if not os.environ.get("TD_BENCH_KEEP"):
            shutil.rmtree(root, ignore_errors=True)


if __name__ == "__main__":
    main()
