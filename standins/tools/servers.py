"""The stand-in rip database and lookup servers, started on free loopback
ports for a test or the demo."""

import os
import subprocess
import sys

STANDINS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")


class StandInServer:
    def __init__(self, argv, port_from_line):
        self.process = subprocess.Popen(argv, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        line = self.process.stdout.readline()
        self.port = port_from_line(line)

    def stop(self):
        self.process.terminate()
        self.process.wait(timeout=10)


def start_rip_database(folder, log=None):
    argv = [sys.executable, os.path.join(STANDINS, "ripdb", "ripdb_server.py"), "--port", "0", folder]
    if log:
        argv += ["--log", log]
    return StandInServer(argv, lambda line: int(line.split()[-1]))


def start_lookup_service(table_file, log=None):
    argv = [sys.executable, os.path.join(STANDINS, "lookup", "lookup_server.py"), "--port", "0",
            "--table", table_file]
    if log:
        argv += ["--log", log]
    return StandInServer(argv, lambda line: int(line.split()[-1]))
