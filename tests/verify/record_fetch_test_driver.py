#!/usr/bin/env python3
"""Runs the record fetch tests against the rip database stand-in server.

Writes a few record files, starts the stand-in once per behaviour (normal
with a request log, slow, closing early, oversized, lower-case status line)
on free loopback ports, runs the Windows test program with their ports in
its environment, then runs the console front end's fetch command against
the normal server.

usage: record_fetch_test_driver.py TEST_EXE CLI_EXE WINE_RUN SERVER_SCRIPT
"""
import os
import struct
import subprocess
import sys
import tempfile
import time

EXAMPLE = "002-00009c40-0001adb1-0b019002"
SECOND = "003-00012345-00abcdef-12345678"


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


def record(tracks, confidence_base):
    """One pressing chunk: a 13-byte header, then 9 bytes per track."""
    chunk = bytes([len(tracks)]) + bytes(range(1, 13))
    for i, (checksum, offset_checksum) in enumerate(tracks):
        chunk += struct.pack("<BII", confidence_base + i, checksum, offset_checksum)
    return chunk


def start_server(script, folder, scratch, name, *switches):
    port_file = os.path.join(scratch, name + ".port")
    process = subprocess.Popen([sys.executable, script, folder, "--port-file", port_file, *switches],
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    deadline = time.time() + 20
    while not os.path.exists(port_file):
        if time.time() > deadline or process.poll() is not None:
            raise RuntimeError("stand-in server %s did not start" % name)
        time.sleep(0.05)
    with open(port_file) as f:
        return process, int(f.read())


def check_cli(cli_exe, wine_run, env, scratch, port):
    """The fetch command prints the cache path and the outcome per identifier."""
    key = r"HKCU\Software\Lumenvale\Auralith"
    data = os.path.join(scratch, "cli-data")
    os.makedirs(data)
    subprocess.run([wine_run, "reg", "add", key, "/v", "TD-DatabaseServer", "/t", "REG_SZ",
                    "/d", "127.0.0.1:%d" % port, "/f"], env=env, check=True, capture_output=True)
    try:
        missing = "001-00000000-00000001-00000002"
        run = subprocess.run([wine_run, cli_exe, "--data", windows_path(data), "fetch", EXAMPLE.upper(), missing],
                             env=env, capture_output=True)
        again = subprocess.run([wine_run, cli_exe, "--data", windows_path(data), "fetch", EXAMPLE],
                               env=env, capture_output=True)
        untouched = os.path.join(scratch, "cli-untouched")
        os.makedirs(untouched)
        bad = subprocess.run([wine_run, cli_exe, "--data", windows_path(untouched), "fetch", EXAMPLE, "..\\evil"],
                             env=env, capture_output=True)
    finally:
        subprocess.run([wine_run, "reg", "delete", key, "/v", "TD-DatabaseServer", "/f"], env=env,
                       capture_output=True)
    cache = windows_path(os.path.join(data, "Tallydisc", "TallydiscCache")) + "\\"
    expected = ("%sTDbf-%s.bin downloaded\n%sTDbf-%s.bin absent\n" % (cache, EXAMPLE, cache, missing))
    failures = []
    if run.returncode != 0 or run.stdout.decode().replace("\r\n", "\n") != expected:
        failures.append("fetch printed %r (exit %d), expected %r" % (run.stdout, run.returncode, expected))
    if again.stdout.decode().replace("\r\n", "\n") != "%sTDbf-%s.bin fresh\n" % (cache, EXAMPLE):
        failures.append("second fetch printed %r" % again.stdout)
    if bad.returncode != 1 or os.listdir(untouched):
        failures.append("an invalid identifier gave exit %d or touched the disk" % bad.returncode)
    for failure in failures:
        print("CLI FAILURE: " + failure)
    if not failures:
        print("[       OK ] console fetch command")
    return 1 if failures else 0


def main():
    test_exe, cli_exe, wine_run, server_script = sys.argv[1:5]
    servers = []
    with tempfile.TemporaryDirectory(prefix="td-ripdb-") as scratch:
        records = os.path.join(scratch, "records")
        os.makedirs(records)
        with open(os.path.join(records, "TDbf-%s.bin" % EXAMPLE), "wb") as f:
            f.write(record([(0x11111111, 0xaaaaaaaa), (0x22222222, 0)], 3) + record([(0x11111111, 0xaaaaaaaa)], 7))
        # Large enough to arrive in many pieces from the slow server.
        with open(os.path.join(records, "TDbf-%s.bin" % SECOND), "wb") as f:
            f.write(b"".join(record([(n, n + 1), (n + 2, n + 3), (n + 4, 0)], 1) for n in range(60)))
        log = os.path.join(scratch, "requests.log")
        env = dict(os.environ)
        env["TD_RIPDB_RECORDS"] = windows_path(records)
        env["TD_RIPDB_LOG"] = windows_path(log)
        try:
            modes = {
                "NORMAL": ("--log", log),
                "SLOW": ("--slow", "5"),
                "EARLY": ("--close-early",),
                "BIG": ("--oversized", str(5 << 20)),
                "LOWER": ("--lower-status",),
            }
            for name, switches in modes.items():
                process, port = start_server(server_script, records, scratch, name, *switches)
                servers.append(process)
                env["TD_RIPDB_PORT_" + name] = str(port)
            result = subprocess.run([wine_run, test_exe], env=env).returncode
            result |= check_cli(cli_exe, wine_run, env, scratch, int(env["TD_RIPDB_PORT_NORMAL"]))
            return result
        finally:
            for server in servers:
                server.terminate()
                server.wait()


if __name__ == "__main__":
    sys.exit(main())
