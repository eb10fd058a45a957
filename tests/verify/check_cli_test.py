"""The album pass through real plug-ins, seen through `tallydisc-cli check`:
albums made here as synthetic PCM written as WAV and encoded with the host's
flac, rips shifted against their pressing by known offsets, and database
records computed by the reference code in standins/tools, apart from the
engine. Also `tallydisc-cli discid`."""
import os
import random
import struct
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "audio"))
sys.path.insert(0, os.path.join(HERE, "..", "..", "standins", "tools"))
import audio_fixtures as fx  # noqa: E402
import rip_checksums as ref  # noqa: E402

WINE = None
CLI = None
MAX_OFFSET = 2351


class Pressing:
    """A pressing's audio as one stream of 32-bit stereo words, with room
    on both sides for rips shifted by up to the largest offset."""

    def __init__(self, lengths, seed):
        self.lengths = lengths
        total = sum(lengths) * ref.SECTOR_WORDS + 2 * MAX_OFFSET
        data = random.Random(seed).randbytes(total * 4)
        self.words = list(struct.unpack("<%dI" % total, data))

    def start(self, track):
        return MAX_OFFSET + sum(self.lengths[:track]) * ref.SECTOR_WORDS

    def track_words(self, track, offset=0):
        """A rip's track when the rip is shifted by `offset`: rip word x is
        pressing word x - offset."""
        begin = self.start(track) - offset
        return self.words[begin:begin + self.lengths[track] * ref.SECTOR_WORDS]

    def entry(self, track, confidence, kind="v2", with_offset_checksum=True):
        words = self.track_words(track)
        v1, v2 = ref.track_sums(words, track == 0, track == len(self.lengths) - 1)
        return (confidence, v2 if kind == "v2" else v1,
                ref.sector_450_checksum(words) if with_offset_checksum else 0)


def write_flac(folder, name, words, rate=44100):
    pcm = struct.pack("<%dI" % len(words), *words)
    wav = os.path.join(folder, name + ".wav")
    path = os.path.join(folder, name + ".flac")
    with open(wav, "wb") as f:
        f.write(fx.make_wav(pcm, 2, rate, 16))
    fx.encode_flac(wav, path, "-5")
    os.remove(wav)
    return path


def write_records(folder, name, chunks):
    path = os.path.join(folder, name)
    with open(path, "wb") as f:
        for chunk in chunks:
            f.write(ref.record_chunk(chunk))
    return path


def check(records, tracks, *options):
    args = ["check", *options, "--records", ",".join(fx.windows_path(r) for r in records)]
    r = WINE.run(CLI, *args, *[fx.windows_path(t) for t in tracks])
    return r.returncode, r.stdout.decode("utf-8").splitlines(), r.stderr.decode("utf-8")


NOT_PRESENT_LINE = "Track Not Present in Tallydisc (or a different pressing)"


def verified(track, confidence, offset, kind, checksum):
    return "Track %d: Tallydisc Verified Confidence %d, Pressing Offset %+d [%s CRC %08X]" % (
        track, confidence, offset, kind, checksum)


class Check(unittest.TestCase):
    LENGTHS = [460, 470, 465]

    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.TemporaryDirectory()
        cls.pressing = Pressing(cls.LENGTHS, seed=4)

    @classmethod
    def tearDownClass(cls):
        cls.dir.cleanup()

    def rip(self, offset):
        folder = os.path.join(self.dir.name, "rip%+d" % offset)
        os.makedirs(folder, exist_ok=True)
        return [write_flac(folder, "%02d" % (t + 1), self.pressing.track_words(t, offset))
                for t in range(len(self.LENGTHS))]

    def test_finds_the_largest_offsets_through_both_buffers(self):
        p = self.pressing
        entries = [p.entry(0, 4, "v1"), p.entry(1, 4), p.entry(2, 4)]
        records = write_records(self.dir.name, "offsets.bin", [entries])
        for offset in (MAX_OFFSET, -MAX_OFFSET):
            with self.subTest(offset=offset):
                rc, lines, err = check([records], self.rip(offset))
                self.assertEqual(rc, 0, err)
                self.assertEqual(lines, [verified(1, 4, offset, "TDv1", entries[0][1]),
                                         verified(2, 4, offset, "TDv2", entries[1][1]),
                                         verified(3, 4, offset, "TDv2", entries[2][1]),
                                         "album: accurate"])

    def test_record_files_merge_and_confidence_rules(self):
        p = self.pressing
        rip = self.rip(0)
        one = p.entry(0, 1)
        pair3, pair7 = p.entry(1, 3), p.entry(1, 7)
        other = (9, 0x12345678, 0)
        first = write_records(self.dir.name, "first.bin", [[one, pair3, other]])
        # The same pair again with confidence 7, in a second file and after
        # a chunk that lists more tracks than the album has.
        second = write_records(self.dir.name, "second.bin", [[other, other, other, other], [other, pair7]])
        five = os.path.join(self.dir.name, "five.bin")
        empty = os.path.join(self.dir.name, "empty.bin")
        with open(five, "wb") as f:
            f.write(b"\x03\x01\x02\x03\x04")
        open(empty, "wb").close()
        missing = os.path.join(self.dir.name, "missing.bin")
        records = [five, first, missing, empty, second]
        rc, lines, err = check(records, rip)
        self.assertEqual(rc, 0, err)
        self.assertEqual(lines, [verified(1, 1, 0, "TDv2", one[1]), verified(2, 7, 0, "TDv2", pair7[1]),
                                 "Track 3: Track InAccurate", "album: errors"])
        rc, lines, err = check(records, rip, "--req2")
        self.assertEqual(rc, 0, err)
        self.assertEqual(lines[0], "Track 1: Track InAccurate")
        self.assertEqual(lines[1], verified(2, 7, 0, "TDv2", pair7[1]))
        rc, lines, err = check([empty, five], rip)
        self.assertEqual(lines, [NOT_PRESENT_LINE] * 3 + [
            "album: not-present: Cannot Check: Not In Tallydisc (or a different pressing)"])

    def test_each_failing_file_gets_its_own_text(self):
        d = os.path.join(self.dir.name, "failures")
        os.makedirs(d, exist_ok=True)
        words = self.pressing.track_words(1)
        unknown = os.path.join(d, "track.xyz")
        with open(unknown, "wb") as f:
            f.write(b"\0" * 4096)
        garbage = os.path.join(d, "garbage.flac")
        with open(garbage, "wb") as f:
            f.write(b"not audio at all" * 256)
        corrupted = write_flac(d, "corrupted", words)
        with open(corrupted, "r+b") as f:
            f.seek(os.path.getsize(corrupted) // 2)
            byte = f.read(1)
            f.seek(-1, 1)
            f.write(bytes([byte[0] ^ 0xFF]))
        other_rate = write_flac(d, "48k", words, rate=48000)
        good = write_flac(d, "good", self.pressing.track_words(2))
        # Confidence 3 keeps the album's average above 2, where the verdict
        # leaves every text as the pass made it.
        records = write_records(d, "r.bin", [[(2, 1, 0)] * 4 + [self.pressing.entry(2, 3)]])
        rc, lines, err = check([records], [unknown, garbage, corrupted, other_rate, good])
        self.assertEqual(rc, 0, err)
        self.assertEqual(lines, ["Track 1: Unable to Find Decoder", "Track 2: Unable to Open File",
                                 "Track 3: File Corrupted", "Track 4: Cannot Check: Not CD Quality",
                                 verified(5, 3, 0, "TDv2", self.pressing.entry(2, 3)[1]), "album: errors"])

    def test_album_verdict(self):
        p = self.pressing
        rip = self.rip(0)
        d = os.path.join(self.dir.name, "verdicts")
        os.makedirs(d, exist_ok=True)
        # Average confidence 2.0 with an accurate track: the inaccurate track
        # is not enough information; at 2.5 it stays inaccurate.
        weak = write_records(d, "weak.bin", [[p.entry(0, 1), p.entry(1, 3)]])
        rc, lines, err = check([weak], rip)
        self.assertEqual(rc, 0, err)
        self.assertEqual(lines[2:], ["Track 3: Not Enough Information in Tallydisc to Verify", "album: errors"])
        enough = write_records(d, "enough.bin", [[p.entry(0, 2), p.entry(1, 3)]])
        rc, lines, err = check([enough], rip)
        self.assertEqual(lines[2:], ["Track 3: Track InAccurate", "album: errors"])
        # Every track fails the same way: that becomes the album's message.
        other_rate = [write_flac(d, "48k-%d" % t, p.track_words(t), rate=48000) for t in range(2)]
        rc, lines, err = check([enough], other_rate)
        self.assertEqual(lines, ["Track 1: Cannot Check: Not CD Quality", "Track 2: Cannot Check: Not CD Quality",
                                 "album: not-present: Cannot Check"])

    def test_usage_errors(self):
        for args in (["check", "a.flac"], ["check", "--records"], ["check", "--records", "r.bin"],
                     ["check", "--bogus", "--records", "r.bin", "a.flac"]):
            with self.subTest(args=args):
                r = WINE.run(CLI, *args)
                self.assertEqual(r.returncode, 1)
                self.assertEqual(r.stdout, b"")


class DiscId(unittest.TestCase):
    def test_identifier_texts(self):
        r = WINE.run(CLI, "discid", "10000", "20000")
        self.assertEqual((r.returncode, r.stdout.decode().strip()), (0, "002-00009c40-0001adb1-0b019002;10000;20000"))
        lengths = [str(1000 + 17 * i) for i in range(255)]
        r = WINE.run(CLI, "discid", *lengths)
        self.assertEqual(r.stdout.decode().strip(), ref.disc_identifier([int(x) for x in lengths]))
        r = WINE.run(CLI, "discid", *lengths, "1000")
        self.assertEqual((r.returncode, r.stdout), (2, b""))
        for bad in (["discid"], ["discid", "12a"], ["discid", "-5"], ["discid", "4294967296"]):
            self.assertEqual(WINE.run(CLI, *bad).returncode, 1, bad)


if __name__ == "__main__":
    WINE = fx.Wine(sys.argv[1])
    CLI = sys.argv[2]
    unittest.main(argv=sys.argv[:1], verbosity=2)
