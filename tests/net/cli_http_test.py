#!/usr/bin/env python3
"""The console commands 'get' and 'lookup' against loopback peers.

  cli_http_test.py WINE_RUN TALLYDISC_CLI_EXE   (run by run_with_peers.py
  with the scripted and lookup peers)
"""
import os
import subprocess
import sys
import unittest

WINE_RUN, CLI = sys.argv[1], sys.argv[2]
SETTINGS_KEY = r"HKCU\Software\Lumenvale\Auralith"


def cli(*args):
    done = subprocess.run([WINE_RUN, CLI] + list(args), capture_output=True, timeout=120)
    return done.returncode, done.stdout.decode("utf-8"), done.stderr.decode("utf-8")


def set_lookup_server(value):
    if value is None:
        subprocess.run([WINE_RUN, "reg", "delete", SETTINGS_KEY, "/v", "TD-LookupServer", "/f"], capture_output=True)
    else:
        subprocess.run([WINE_RUN, "reg", "add", SETTINGS_KEY, "/v", "TD-LookupServer", "/t", "REG_SZ", "/d", value,
                        "/f"], check=True, capture_output=True)


def scripted(path):
    return "http://127.0.0.1:%s%s" % (os.environ["TD_TEST_SCRIPTED_PORT"], path)


class Get(unittest.TestCase):
    def test_prints_status_headers_and_body(self):
        code, out, err = cli("get", scripted("/case/plain"))
        self.assertEqual((code, out), (0, "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello"), err)

    def test_error_statuses_exit_2_with_the_text(self):
        for path, text in (("/case/not-found", "file not found"), ("/case/teapot", "I'm a teapot (418)")):
            code, out, err = cli("get", scripted(path))
            self.assertEqual((code, out, err.strip()), (2, "", text))

    def test_usage(self):
        self.assertEqual(cli("get")[0], 1)
        self.assertEqual(cli("get", "--proxy")[0], 1)


class Lookup(unittest.TestCase):
    def tearDown(self):
        set_lookup_server(None)

    def use(self, variant):
        set_lookup_server("127.0.0.1:" + os.environ["TD_TEST_LOOKUP_%s_PORT" % variant])

    def test_one_line_per_key(self):
        self.use("OK")
        code, out, err = cli("lookup", "0000000A;1000", "00000001;5", "0000000B;2000;3000")
        self.assertEqual(code, 0, err)
        self.assertEqual(out.splitlines(), ["001-0000000a-00000b01-00000c02", "no",
                                            "002-0000000b-00000b02-00000c03#002-0000000b-00000b02-00000c04"])
        self.assertEqual(err.strip(), "result 0")

    def test_failure_code_exits_2(self):
        self.use("611")
        code, out, err = cli("lookup", "0000000A;1000")
        self.assertEqual((code, out, err.strip()), (2, "", "result 1: Server Updating: Try again later"))


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
