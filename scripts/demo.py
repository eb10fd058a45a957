"""The main job's demo: a small library of synthetic albums (FLAC with
tags) in a private data folder, the stand-in rip database and lookup
service on loopback with records that make some albums accurate, some with
errors and some unknown; then the scanner and the verification run through
the console front end, and their result."""

import os
import shutil
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "standins", "tools"))
import album_factory  # noqa: E402
import rip_checksums  # noqa: E402
from servers import start_lookup_service, start_rip_database  # noqa: E402
from wine_env import run_cli, set_setting, write_watch_folders  # noqa: E402

DEMO = os.path.join(ROOT, "build", "demo")
KINDS = ("accurate", "errors", "unknown", "accurate", "errors", "accurate")


def main():
    shutil.rmtree(DEMO, ignore_errors=True)
    os.makedirs(DEMO)
    library, database, data = (os.path.join(DEMO, n) for n in ("library", "database", "data"))
    table = os.path.join(DEMO, "lookup.txt")
    print("Making %d synthetic albums in %s ..." % (len(KINDS), library), flush=True)
    with open(table, "w", encoding="utf-8") as lookup_table:
        for number, kind in enumerate(KINDS, start=1):
            identifier, _, lengths = album_factory.make_album(library, database, number, kind, 3, 10)
            if number % 2 == 0:  # the lookup service knows every second album
                lookup_table.write("%s\t%s\n" % (rip_checksums.toc_key(lengths), identifier))
    ripdb = start_rip_database(database)
    lookup = start_lookup_service(table)
    try:
        set_setting("TD-DatabaseServer", "127.0.0.1:%d" % ripdb.port)
        set_setting("TD-LookupServer", "127.0.0.1:%d" % lookup.port)
        set_setting("TD-DecodeAll", 1)
        write_watch_folders(data, [library])
        print("Scanning the library ...", flush=True)
        run_cli("scan", "--force", data=data)
        print("Verifying (rip database on port %d, lookup service on port %d) ...\n" % (ripdb.port, lookup.port),
              flush=True)
        started = time.monotonic()
        _, out, _ = run_cli("verify", data=data)
        first = time.monotonic() - started
        print(out)
        started = time.monotonic()
        run_cli("verify", data=data)
        second = time.monotonic() - started
        print("First run %.1f s; the second run, answered from the caches, %.1f s." % (first, second))
    finally:
        for name in ("TD-DatabaseServer", "TD-LookupServer", "TD-DecodeAll"):
            set_setting(name, None)
        ripdb.stop()
        lookup.stop()


if __name__ == "__main__":
    main()
