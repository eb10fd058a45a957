"""Tags through the plug-ins: what `tallydisc-cli tags` reads, what Set
"IDTags" and DeleteATag write (checked with metaflac and by parsing the
files), that the audio stays bit-exact, and that a failed write leaves the
file as it was."""
import hashlib
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest

import audio_fixtures as fx

WINE = CLI = TOOL = None


def item_block(items):
    out = struct.pack("<i", len(items))
    for name, value in items:
        body = name.encode("utf-16-le") + b"\0\0" + value.encode("utf-16-le") + b"\0\0"
        out += struct.pack("<i", len(body) + 4) + body
    return out


def read_tags(path):
    r = WINE.run(CLI, "tags", fx.windows_path(path))
    assert r.returncode == 0, r.stderr
    return r.stdout.decode("utf-8").split("\n")[:-1]


def tool(*args):
    r = WINE.run(TOOL, *args)
    return r.returncode, r.stderr.decode("utf-8")


def set_tags(path, items, held=False):
    block = path + ".block"
    with open(block, "wb") as f:
        f.write(item_block(items))
    try:
        return tool("set-held" if held else "set", fx.windows_path(path), fx.windows_path(block))
    finally:
        os.remove(block)


def flac_blocks(data):
    """(type, body) of each metadata block, and the offset of the frames."""
    pos, blocks = 4, []
    assert data[:4] == b"fLaC"
    while True:
        head = data[pos]
        length = int.from_bytes(data[pos + 1:pos + 4], "big")
        blocks.append((head & 0x7F, data[pos + 4:pos + 4 + length]))
        pos += 4 + length
        if head & 0x80:
            return blocks, pos


def frames_of(path):
    with open(path, "rb") as f:
        data = f.read()
    return data[flac_blocks(data)[1]:]


def exported_tags(path):
    return fx.metaflac("--export-tags-to=-", path).splitlines()


def picture(path):
    return subprocess.run(["metaflac", "--export-picture-to=-", path], capture_output=True).stdout


class FlacTags(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp()
        self.wav = os.path.join(self.dir, "in.wav")
        with open(self.wav, "wb") as f:
            f.write(fx.make_wav(fx.make_pcm(44100, 2, 16), 2, 44100, 16))
        self.png = os.path.join(self.dir, "cover.png")
        with open(self.png, "wb") as f:  # a minimal PNG: signature, IHDR, IEND
            ihdr = struct.pack(">IIBBBBB", 1, 1, 8, 2, 0, 0, 0)
            f.write(b"\x89PNG\r\n\x1a\n" + self.png_chunk(b"IHDR", ihdr) + self.png_chunk(b"IEND", b""))

    def tearDown(self):
        shutil.rmtree(self.dir)

    @staticmethod
    def png_chunk(kind, data):
        import zlib
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    def flac(self, name, padding=True, picture=False, tags=()):
        path = os.path.join(self.dir, name)
        fx.encode_flac(self.wav, path, *([] if padding else ["--no-padding"]),
                       *(["--picture=" + self.png] if picture else []), *("--tag=" + t for t in tags))
        return path

    LAYOUTS = {
        "padding": dict(padding=True),
        "no padding": dict(padding=False),
        "picture": dict(picture=True),
        "picture, no padding": dict(picture=True, padding=False),
    }
    OLD_TAGS = ["TITLE=Old", "GENRE=Rock", "TRACKNUMBER=1", "TRACKTOTAL=9", "ALBUM ARTIST=Old AA", "ARTIST=X"]

    def test_set_replaces_the_named_tags_and_keeps_the_rest(self):
        for layout, options in self.LAYOUTS.items():
            with self.subTest(layout):
                path = self.flac("t.flac", tags=self.OLD_TAGS, **options)
                frames = frames_of(path)
                cover = picture(path)
                md5 = fx.metaflac("--show-md5sum", path)
                rc, err = set_tags(path, [("title", "Ünïcode – 日本"), ("track", "3/12"), ("album artist", "VA"),
                                          ("artist", "A\rB"), ("TallydiscResult", "x")])
                self.assertEqual(rc, 0, err)
                self.assertEqual(sorted(exported_tags(path)), sorted(
                    ["GENRE=Rock", "TITLE=Ünïcode – 日本", "TRACKNUMBER=3", "TRACKTOTAL=12", "ALBUMARTIST=VA",
                     "ARTIST=A", "ARTIST=B", "TALLYDISCRESULT=x"]))
                self.assertEqual(frames_of(path), frames)
                self.assertEqual(picture(path), cover)
                self.assertEqual(fx.metaflac("--show-md5sum", path), md5)
                subprocess.run(["flac", "-t", "-s", path], check=True)
                self.assertEqual(sorted(read_tags(path)), sorted(
                    ["GENRE=Rock", "TITLE=Ünïcode – 日本", "track=3/12", "album artist=VA", "ARTIST=A\rB",
                     "TALLYDISCRESULT=x"]))
                self.assertEqual(os.listdir(self.dir).count("t.flac"), 1)
                self.assertEqual([n for n in os.listdir(self.dir) if n.endswith(".tmp")], [])

    def test_tags_read_under_the_suite_names(self):
        cases = [
            (["TRACKNUMBER=4", "TRACKTOTAL=10", "DISCNUMBER=1", "DISCTOTAL=2"], ["track=4/10", "disc=1/2"]),
            (["TRACKNUMBER=4", "TOTALTRACKS=10"], ["track=4/10"]),
            (["TRACKNUMBER=4/10", "TRACKTOTAL=10"], ["track=4/10"]),
            (["TRACKNUMBER=4"], ["track=4"]),
            (["TRACKTOTAL=10"], ["TRACKTOTAL=10"]),
            (["ALBUMARTIST=A"], ["album artist=A"]),
            (["ALBUM ARTIST=A"], ["album artist=A"]),
            (["Artist=A", "TITLE=T", "ARTIST=B"], ["Artist=A\rB", "TITLE=T"]),
            ([], []),
        ]
        for stored, expected in cases:
            with self.subTest(stored):
                path = self.flac("r.flac", tags=stored)
                self.assertEqual(read_tags(path), expected)

    def test_delete_named_tags_or_all(self):
        for names, left in [(["track", "genre"], ["TITLE=Old", "ALBUM ARTIST=Old AA", "ARTIST=X"]),
                            (["album artist", "nothing"], ["TITLE=Old", "GENRE=Rock", "TRACKNUMBER=1",
                                                           "TRACKTOTAL=9", "ARTIST=X"]),
                            ([], [])]:
            with self.subTest(names):
                path = self.flac("d.flac", picture=True, tags=self.OLD_TAGS)
                frames = frames_of(path)
                rc, err = tool("delete", fx.windows_path(path), *names)
                self.assertEqual(rc, 0, err)
                self.assertEqual(exported_tags(path), left)
                self.assertEqual(frames_of(path), frames)
                self.assertNotEqual(picture(path), b"")

    def test_room_in_the_padding_keeps_the_frames_in_place(self):
        path = self.flac("p.flac", tags=self.OLD_TAGS)
        with open(path, "rb") as f:
            before = flac_blocks(f.read())[1]
        self.assertEqual(set_tags(path, [("comment", "short")])[0], 0)
        with open(path, "rb") as f:
            blocks, after = flac_blocks(f.read())
        self.assertEqual(after, before)
        self.assertEqual(blocks[-1][0], 1, "padding is the last block")

    def test_failures_leave_the_file_as_it_was(self):
        path = self.flac("f.flac", tags=self.OLD_TAGS)
        with open(path, "rb") as f:
            original = f.read()
        for name, call, message in [
            ("a name with '='", lambda: set_tags(path, [("A=B", "x")]), "Not a valid FLAC tag name"),
            ("a file that cannot be replaced", lambda: set_tags(path, [("title", "new")], held=True),
             "Cannot replace"),
        ]:
            with self.subTest(name):
                rc, err = call()
                self.assertEqual(rc, 1)
                self.assertIn(message, err)
                with open(path, "rb") as f:
                    self.assertEqual(f.read(), original)
                self.assertEqual(sorted(os.listdir(self.dir)), ["cover.png", "f.flac", "in.wav"])


class TagReadFailures(unittest.TestCase):
    def test_the_plugin_says_why_through_the_message_file(self):
        with tempfile.TemporaryDirectory() as d:
            cases = [
                ("x.flac", b"not a flac file", "Not a FLAC file"),
                ("x.wav", b"RIFF\0\0\0\0WAVEjunk", "The format or data chunk is missing"),
                ("x.ogx", b"", "no decoder"),
            ]
            for name, data, message in cases:
                with self.subTest(name):
                    path = os.path.join(d, name)
                    with open(path, "wb") as f:
                        f.write(data)
                    r = WINE.run(CLI, "tags", fx.windows_path(path))
                    self.assertEqual(r.returncode, 2)
                    self.assertIn(message, r.stderr.decode("utf-8"))


class WavTags(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp()
        self.pcm = fx.make_pcm(5001, 2, 16)

    def tearDown(self):
        shutil.rmtree(self.dir)

    def wav(self, extra=b"", after=b""):
        path = os.path.join(self.dir, "t.wav")
        with open(path, "wb") as f:
            data = fx.make_wav(self.pcm, 2, 44100, 16, extra_chunks=extra)
            body = data[8:] + after
            f.write(b"RIFF" + struct.pack("<I", len(body)) + body)
        return path

    @staticmethod
    def chunks(path):
        with open(path, "rb") as f:
            data = f.read()
        assert data[:4] == b"RIFF" and data[8:12] == b"WAVE"
        assert struct.unpack("<I", data[4:8])[0] == len(data) - 8
        pos, out = 12, []
        while pos + 8 <= len(data):
            cid, size = data[pos:pos + 4], struct.unpack("<I", data[pos + 4:pos + 8])[0]
            out.append((cid, data[pos + 8:pos + 8 + size]))
            pos += 8 + size + (size & 1)
        return out

    def test_info_tags_read_and_replaced(self):
        info = fx.info_list([(b"INAM", "Old"), (b"IART", "Art"), (b"ITRK", "2"), (b"IXYZ", "kept")])
        odd = fx.riff_chunk(b"odd ", b"123")
        path = self.wav(extra=info, after=odd)
        self.assertEqual(read_tags(path), ["title=Old", "artist=Art", "track=2", "IXYZ=kept"])
        rc, err = set_tags(path, [("TITLE", "Ünï"), ("track", "3/12"), ("TALLYDISCRESULT", "r"), ("album", "Al")])
        self.assertEqual(rc, 0, err)
        self.assertEqual(read_tags(path),
                         ["artist=Art", "IXYZ=kept", "title=Ünï", "track=3/12", "TALLYDISCRESULT=r", "album=Al"])
        chunks = dict(self.chunks(path))
        self.assertEqual(chunks[b"data"], self.pcm)
        self.assertEqual(chunks[b"odd "], b"123")
        r = WINE.run(CLI, "info", fx.windows_path(path))
        self.assertIn(hashlib.md5(self.pcm).hexdigest(), r.stdout.decode())

        rc, err = tool("delete", fx.windows_path(path), "artist", "TallydiscResult")
        self.assertEqual(rc, 0, err)
        self.assertEqual(read_tags(path), ["IXYZ=kept", "title=Ünï", "track=3/12", "album=Al"])
        rc, err = tool("delete", fx.windows_path(path))
        self.assertEqual(rc, 0, err)
        self.assertEqual(read_tags(path), [])
        self.assertEqual([c for c, _ in self.chunks(path)], [b"fmt ", b"data", b"odd "])

    def test_a_file_without_tags_gets_an_info_list(self):
        path = self.wav()
        self.assertEqual(set_tags(path, [("artist", "A")])[0], 0)
        self.assertEqual(read_tags(path), ["artist=A"])
        self.assertEqual(dict(self.chunks(path))[b"data"], self.pcm)

    def test_a_cut_file_is_not_rewritten(self):
        path = self.wav()
        with open(path, "rb") as f:
            data = f.read()[:-100]
        with open(path, "wb") as f:
            f.write(data)
        rc, err = set_tags(path, [("artist", "A")])
        self.assertEqual(rc, 1)
        self.assertIn("cut short", err)
        with open(path, "rb") as f:
            self.assertEqual(f.read(), data)


if __name__ == "__main__":
    WINE = fx.Wine(sys.argv.pop(1))
    CLI = sys.argv.pop(1)
    TOOL = sys.argv.pop(1)
    unittest.main()
