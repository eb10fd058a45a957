"""The stand-in scanner, driven through the console front end's scan
command exactly as the main window launches it: index contents, corrupted
files, kept records on a second scan and tag refreshes."""

import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(HERE, "..", "..", "standins", "tools"))
import album_factory  # noqa: E402
import index_reader  # noqa: E402
from wine_env import run_cli, set_setting, windows_path, write_watch_folders  # noqa: E402


class ScanTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.root = tempfile.mkdtemp(prefix="tdscan-")
        cls.library = os.path.join(cls.root, "library")
        cls.database = os.path.join(cls.root, "db")
        album_factory.make_album(cls.library, cls.database, 1, "accurate", 2, 8)
        _, cls.broken_folder, _ = album_factory.make_album(cls.library, cls.database, 2, "unknown", 2, 8)
        # A file cut short: its header promises more samples than it holds.
        broken = os.path.join(cls.broken_folder, "02 - Track 2.flac")
        with open(broken, "r+b") as f:
            f.truncate(os.path.getsize(broken) // 2)
        with open(os.path.join(cls.broken_folder, "folder.jpg"), "wb") as f:
            f.write(b"\xff\xd8\xff\xe0 not really a picture")
        with open(os.path.join(cls.library, "notes.txt"), "w") as f:
            f.write("not audio")

    @classmethod
    def tearDownClass(cls):
        set_setting("TD-DecodeAll", None)
        shutil.rmtree(cls.root, ignore_errors=True)

    def fresh_data(self):
        data = tempfile.mkdtemp(dir=self.root)
        write_watch_folders(data, [self.library])
        return data, os.path.join(data, "Auralith")

    def test_full_decode_indexes_every_audio_file(self):
        data, folder = self.fresh_data()
        set_setting("TD-DecodeAll", 1)
        run_cli("scan", "--force", data=data)
        tracks = index_reader.read_index(folder)
        self.assertEqual(len(tracks), 4)
        by_name = {os.path.basename(t["path"].replace("\\", "/")) + t["tags"].get("album", ""): t for t in tracks}
        self.assertEqual(len(by_name), 4)
        for t in tracks:
            self.assertTrue(t["path"].startswith(windows_path(self.library)))
            self.assertEqual(t["format"], (2, 44100, 16))
            self.assertEqual(t["properties"]["Audio Quality"], "Lossless")
            self.assertIn(t["tags"]["track"], ("1/2", "2/2"))
        broken = [t for t in tracks if t["path"].endswith("Test Album 2 (unknown)\\02 - Track 2.flac")]
        self.assertEqual(len(broken), 1)
        self.assertEqual(broken[0]["state"], 1)
        self.assertEqual([t["state"] for t in tracks if t is not broken[0]], [0, 0, 0])
        # 8 s at 75 sectors a second, 588 samples a sector, thousands grouped.
        first = [t for t in tracks if t["tags"]["title"] == "Track 1" and "Album 1" in t["tags"]["album"]][0]
        self.assertEqual(first["properties"]["Sample Count"], "{:,}".format((600 + 13) * 588))
        self.assertTrue(broken[0]["art"].startswith(b"\xff\xd8"))
        self.assertEqual(first["art"], b"")

    def test_tags_only_scan_and_incremental_rescan(self):
        data, folder = self.fresh_data()
        set_setting("TD-DecodeAll", 0)
        run_cli("scan", "--force", data=data)
        before = {t["path"]: t for t in index_reader.read_index(folder)}
        self.assertEqual(len(before), 4)
        # Without decoding, the cut file is not known to be corrupted.
        self.assertEqual({t["state"] for t in before.values()}, {0})

        # Rewrite one file's tags; a second scan re-reads only that one.
        target = [p for p in before if p.endswith("Album 1 (accurate)\\01 - Track 1.flac")][0]
        host = os.path.join(self.library, target.split("\\library\\", 1)[1].replace("\\", "/"))
        time.sleep(1.1)
        subprocess.run(["metaflac", "--remove-tag=TITLE", "--set-tag=TITLE=Renamed", host], check=True)
        run_cli("scan", data=data)
        after = {t["path"]: t for t in index_reader.read_index(folder)}
        self.assertEqual(set(after), set(before))
        self.assertEqual(after[target]["tags"]["title"], "Renamed")
        self.assertEqual(after[target]["id"], before[target]["id"])
        self.assertNotEqual(after[target]["stamp"], before[target]["stamp"])
        for path, t in after.items():
            if path != target:
                self.assertEqual((t["id"], t["stamp"], t["tags"]), (before[path]["id"], before[path]["stamp"],
                                                                    before[path]["tags"]))


if __name__ == "__main__":
    unittest.main()
