"""The verification run end to end under wine: albums made with the host's
flac, the stand-in scanner, the stand-in rip database and lookup service on
loopback, and the console front end's verify command."""

import json
import os
import re
import shutil
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(HERE, "..", "..", "standins", "tools"))
import album_factory  # noqa: E402
import rip_checksums  # noqa: E402
from servers import start_lookup_service, start_rip_database  # noqa: E402
from wine_env import run_cli, set_setting, write_watch_folders  # noqa: E402


class VerifyTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.root = tempfile.mkdtemp(prefix="tdverify-")
        library = os.path.join(cls.root, "library")
        database = os.path.join(cls.root, "db")
        cls.albums = {}
        for number, kind in enumerate(("accurate", "errors", "unknown", "accurate"), start=1):
            identifier, folder, lengths = album_factory.make_album(library, database, number, kind, 2, 8)
            cls.albums[number] = (kind, identifier.split(";")[0], folder, lengths)
        # The lookup service knows album 4 (the others get computed identifiers).
        table = os.path.join(cls.root, "lookup.txt")
        _, identifier4, _, lengths4 = cls.albums[4]
        with open(table, "w", encoding="utf-8") as f:
            f.write("%s\t%s\n" % (rip_checksums.toc_key(lengths4), rip_checksums.disc_identifier(lengths4)))
        cls.ripdb_log = os.path.join(cls.root, "ripdb.log")
        cls.ripdb = start_rip_database(database, cls.ripdb_log)
        cls.lookup = start_lookup_service(table)
        set_setting("TD-DatabaseServer", "127.0.0.1:%d" % cls.ripdb.port)
        set_setting("TD-LookupServer", "127.0.0.1:%d" % cls.lookup.port)
        set_setting("TD-DecodeAll", 1)
        cls.data = os.path.join(cls.root, "data")
        write_watch_folders(cls.data, [library])
        run_cli("scan", "--force", data=cls.data)

    @classmethod
    def tearDownClass(cls):
        for name in ("TD-DatabaseServer", "TD-LookupServer", "TD-DecodeAll"):
            set_setting(name, None)
        cls.ripdb.stop()
        cls.lookup.stop()
        shutil.rmtree(cls.root, ignore_errors=True)

    def verify_json(self):
        _, out, _ = run_cli("verify", "--json", data=self.data)
        return json.loads(out)

    def album(self, result, number):
        title = "Test Album %d (%s)" % (number, self.albums[number][0])
        for category in result["categories"]:
            if category["number"] == 4:
                continue
            for album in category["albums"]:
                if album["title"] == title:
                    return category["number"], album
        self.fail("album %d not in any category" % number)

    def test_first_run_verifies_and_second_run_decodes_nothing(self):
        first = self.verify_json()
        numbers = [c["number"] for c in first["categories"]]
        self.assertEqual(numbers, [1, 0, 2, 4])
        self.assertEqual(first["categories"][-1]["text"], "4 Total Albums")

        category, accurate = self.album(first, 1)
        self.assertEqual(category, 0)
        self.assertEqual(accurate["discIds"], self.albums[1][1])
        self.assertEqual([t["status"] for t in accurate["tracks"]], ["accurate", "accurate"])
        self.assertRegex(accurate["tracks"][0]["line"],
                         r"^Track 1: Tallydisc Verified Confidence \d+, Pressing Offset \+0 \[TDv2 CRC [0-9A-F]{8}\]$")

        category, errors = self.album(first, 2)
        self.assertEqual(category, 1)
        self.assertEqual([t["status"] for t in errors["tracks"]][1], "inaccurate")

        category, unknown = self.album(first, 3)
        self.assertEqual(category, 2)
        self.assertEqual(unknown["message"], "Cannot Check: Not In Tallydisc ")

        category, looked_up = self.album(first, 4)
        self.assertEqual(category, 0)
        self.assertEqual(looked_up["discIds"], self.albums[4][1])
        with open(os.path.join(self.data, "Auralith", "TDTocLookup.bin"), "rb") as f:
            self.assertIn(self.albums[4][1], f.read().decode("utf-16-le"))

        # Damage the audio of album 1 without touching its time stamps: an
        # unchanged library is answered from the result cache, not decoded.
        for name in os.listdir(self.albums[1][2]):
            path = os.path.join(self.albums[1][2], name)
            stat = os.stat(path)
            with open(path, "r+b") as f:
                f.seek(stat.st_size // 2)
                f.write(b"\0" * 64)
            os.utime(path, ns=(stat.st_atime_ns, stat.st_mtime_ns))
        requests_before = os.path.getsize(self.ripdb_log)
        second = self.verify_json()
        self.assertEqual(self.album(second, 1)[1]["tracks"], accurate["tracks"])
        self.assertEqual([c["number"] for c in second["categories"]], numbers)
        # Records fetched within five days come from the local record cache;
        # only the album the database does not know is asked about again.
        with open(self.ripdb_log, "rb") as f:
            f.seek(requests_before)
            asked = re.findall(rb"TDbf-([0-9a-f-]+)\.bin", f.read())
        self.assertEqual(asked, [self.albums[3][1].encode()])

    def test_text_output_names_every_category(self):
        _, out, _ = run_cli("verify", data=self.data)
        lines = out.splitlines()
        for text in ("1 Album With Ripping Errors", "2 Albums Accurately Ripped",
                     "1 Album Not Present in Tallydisc", "4 Total Albums"):
            self.assertIn(text, lines)
        self.assertIn("  Synthetic Artist 3\tTest Album 3 (unknown)\tCannot Check: Not In Tallydisc ", lines)


if __name__ == "__main__":
    unittest.main()
