"""Decoding through the plug-ins, seen through `tallydisc-cli info`: FLAC
files made by the host's encoder decode to the PCM whose MD5 the encoder
stored; WAV files decode to their data chunk; damage is a decode error."""
import hashlib
import os
import re
import sys
import tempfile
import unittest

import audio_fixtures as fx

WINE = CLI = TOOL = None
INFO_LINE = re.compile(r"^channels=(\d+) rate=(\d+) bits=(\d+) samples=(\d+) md5=([0-9a-f]{32})$")


def info(path):
    r = WINE.run(CLI, "info", fx.windows_path(path))
    return r.returncode, r.stdout.decode("utf-8").strip(), r.stderr.decode("utf-8")


class FlacDecode(unittest.TestCase):
    CASES = [
        # channels, rate, bits, encoder options
        (2, 44100, 16, ["-5"]),
        (2, 44100, 16, ["-0", "--blocksize=192"]),
        (2, 44100, 16, ["-8", "--blocksize=4608"]),
        (2, 44100, 16, ["-3", "--blocksize=1152", "--no-padding"]),
        (1, 44100, 16, ["-5"]),
        (2, 48000, 16, ["-5"]),
        (2, 44100, 24, ["-5"]),
        (2, 96000, 24, ["-8"]),
        (6, 48000, 16, ["-5"]),
    ]

    def test_decodes_to_the_pcm_the_encoder_saw(self):
        with tempfile.TemporaryDirectory() as d:
            for channels, rate, bits, options in self.CASES:
                with self.subTest(channels=channels, rate=rate, bits=bits, options=options):
                    frames = rate * 2 + 17  # a last block shorter than the others
                    wav = os.path.join(d, "in.wav")
                    flac = os.path.join(d, "out.flac")
                    with open(wav, "wb") as f:
                        f.write(fx.make_wav(fx.make_pcm(frames, channels, bits), channels, rate, bits,
                                            extensible=channels > 2 or bits > 16))
                    fx.encode_flac(wav, flac, *options)
                    rc, out, err = info(flac)
                    self.assertEqual(rc, 0, err)
                    m = INFO_LINE.match(out)
                    self.assertIsNotNone(m, out)
                    self.assertEqual([int(x) for x in m.groups()[:4]], [channels, rate, bits, frames])
                    self.assertEqual(m.group(5), fx.metaflac("--show-md5sum", flac).strip())

    def flac_file(self, d):
        wav = os.path.join(d, "in.wav")
        flac = os.path.join(d, "good.flac")
        with open(wav, "wb") as f:
            f.write(fx.make_wav(fx.make_pcm(44100 * 3, 2, 16), 2, 44100, 16))
        fx.encode_flac(wav, flac, "-5", "--no-padding")
        with open(flac, "rb") as f:
            return f.read()

    def test_damage_is_a_decode_error(self):
        with tempfile.TemporaryDirectory() as d:
            good = self.flac_file(d)
            audio_start = len(good) // 4  # well past the metadata, inside the frames
            flipped = bytearray(good)
            flipped[len(good) // 2] ^= 0x10
            # Every frame complete, but the header announces one block more:
            # the file lost its last frame exactly at a frame boundary.
            announced = bytearray(good)
            at = 8 + 13  # "fLaC", block header, then bit 108 of the stream information
            total = int.from_bytes(announced[at:at + 5], "big") & ((1 << 36) - 1)
            announced[at:at + 5] = ((announced[at] & 0xF0) << 32 | (total + 4096)).to_bytes(5, "big")
            cases = {
                "flipped byte": bytes(flipped),
                "header announces more samples": bytes(announced),
                "cut inside a frame": good[: len(good) * 2 // 3],
                "cut after the metadata": good[:audio_start],
            }
            for name, data in cases.items():
                with self.subTest(name):
                    path = os.path.join(d, "bad.flac")
                    with open(path, "wb") as f:
                        f.write(data)
                    rc, out, err = info(path)
                    self.assertEqual(rc, 2, out)
                    self.assertIn("decode error after", err)


class WavDecode(unittest.TestCase):
    CASES = [
        (2, 44100, 16, False),
        (1, 22050, 8, False),
        (2, 48000, 24, True),
        (4, 44100, 32, True),
    ]

    def test_decodes_to_the_data_chunk(self):
        with tempfile.TemporaryDirectory() as d:
            for channels, rate, bits, extensible in self.CASES:
                with self.subTest(channels=channels, bits=bits, extensible=extensible):
                    frames = 10007
                    pcm = fx.make_pcm(frames, channels, bits)
                    # Other chunks before the data, one of odd length, are skipped.
                    extra = fx.riff_chunk(b"junk", b"abc") + fx.info_list([(b"INAM", "x")])
                    path = os.path.join(d, "in.wav")
                    with open(path, "wb") as f:
                        f.write(fx.make_wav(pcm, channels, rate, bits, extensible, extra))
                    rc, out, err = info(path)
                    self.assertEqual(rc, 0, err)
                    self.assertEqual(
                        out, f"channels={channels} rate={rate} bits={bits} samples={frames} "
                        f"md5={hashlib.md5(pcm).hexdigest()}")

    def test_a_data_chunk_cut_short_is_a_decode_error(self):
        with tempfile.TemporaryDirectory() as d:
            data = fx.make_wav(fx.make_pcm(300000, 2, 16), 2, 44100, 16)
            path = os.path.join(d, "cut.wav")
            with open(path, "wb") as f:
                f.write(data[: len(data) - 1000])
            rc, out, err = info(path)
            self.assertEqual(rc, 2, out)
            self.assertIn("decode error after", err)

    def test_unsupported_formats_are_refused(self):
        with tempfile.TemporaryDirectory() as d:
            float_fmt = fx.struct.pack("<HHIIHH", 3, 2, 44100, 44100 * 8, 8, 32)
            cases = {
                "float samples": b"RIFF" + fx.struct.pack("<I", 4 + 24 + 16) + b"WAVE" +
                                 fx.riff_chunk(b"fmt ", float_fmt) + fx.riff_chunk(b"data", b"\0" * 16),
                "no data chunk": fx.make_wav(b"", 2, 44100, 16)[:36],
                "not RIFF": b"RIFX" + b"\0" * 40,
            }
            for name, data in cases.items():
                with self.subTest(name):
                    path = os.path.join(d, "bad.wav")
                    with open(path, "wb") as f:
                        f.write(data)
                    rc, out, err = info(path)
                    self.assertEqual(rc, 2, out)
                    self.assertIn("cannot open", err)


class Properties(unittest.TestCase):
    """What the scanner learns about a file: the open block's format and the
    answer to Get "Properties", after an open in any mode."""

    def test_format_and_properties_in_every_mode(self):
        expected = ["format=1 channels=2 rate=48000 bits=24 align=6 bytes/s=288000", "Sample Count=1234",
                    "Channels=2", "Sample Rate=48000", "Bits Per Sample=24", "Audio Quality=Lossless"]
        with tempfile.TemporaryDirectory() as d:
            wav = os.path.join(d, "p.wav")
            flac = os.path.join(d, "p.flac")
            with open(wav, "wb") as f:
                f.write(fx.make_wav(fx.make_pcm(1234, 2, 24), 2, 48000, 24, extensible=True))
            fx.encode_flac(wav, flac)
            for path in (wav, flac):
                for mode in ("1", "5", "8"):
                    with self.subTest(path=os.path.basename(path), mode=mode):
                        r = WINE.run(TOOL, "properties", fx.windows_path(path), mode)
                        self.assertEqual(r.returncode, 0, r.stderr)
                        self.assertEqual(r.stdout.decode().splitlines(), expected)
                with self.subTest(path=os.path.basename(path), mode="unknown"):
                    r = WINE.run(TOOL, "properties", fx.windows_path(path), "3")
                    self.assertEqual((r.returncode, r.stdout), (1, b""))


if __name__ == "__main__":
    WINE = fx.Wine(sys.argv.pop(1))
    CLI = sys.argv.pop(1)
    TOOL = sys.argv.pop(1)
    unittest.main()
