"""The whole album pass against decoding alone, on one FLAC album made here
(tone and noise, encoded by the host's flac), with records that make the
offset search yield 1, 2 and 16 candidates per track. Both timings come from
one program run (album_pass_timing.exe under wine), best of several rounds.

  python3 bench/album_pass_ratio.py [BUILD_WIN_DIR] [--tracks N] [--seconds S] [--rounds R]
"""
import argparse
import math
import os
import random
import struct
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "standins", "tools"))
import rip_checksums as ref  # noqa: E402

RATE = 44100


def base_audio(seconds, seed):
    """Stereo 16-bit words of a tone with noise, to be tiled into tracks."""
    rng = random.Random(seed)
    words = []
    for i in range(RATE * seconds):
        left = int(9000 * math.sin(i * 0.021) + 4000 * math.sin(i * 0.0037)) + rng.randint(-300, 300)
        right = int(7000 * math.sin(i * 0.017 + 1)) + rng.randint(-300, 300)
        words.append((left & 0xFFFF) | ((right & 0xFFFF) << 16))
    return words


def write_flac(path, words):
    wav = path + ".wav"
    pcm = struct.pack("<%dI" % len(words), *words)
    with open(wav, "wb") as f:
        f.write(b"RIFF" + struct.pack("<I", 36 + len(pcm)) + b"WAVE")
        f.write(b"fmt " + struct.pack("<IHHIIHH", 16, 1, 2, RATE, RATE * 4, 4, 16))
        f.write(b"data" + struct.pack("<I", len(pcm)) + pcm)
    subprocess.run(["flac", "-s", "-f", "-5", "-o", path, wav], check=True)
    os.remove(wav)


def shifted_sector_450(words, k):
    start = 450 * ref.SECTOR_WORDS + k
    return sum((i + 1) * words[start + i] for i in range(ref.SECTOR_WORDS)) & ref.MASK


def records(path, tracks, offsets):
    """One chunk per offset: each track's entry carries the checksum of its
    sector 450 shifted by that offset, so the search finds every offset."""
    with open(path, "wb") as f:
        for k in offsets:
            f.write(ref.record_chunk([(2, 0x5EED0000 + t, shifted_sector_450(w, k)) for t, w in enumerate(tracks)]))


def windows_path(p):
    return "Z:" + os.path.abspath(p).replace("/", "\\")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build", nargs="?", default=os.path.join(HERE, "..", "build", "win"))
    parser.add_argument("--tracks", type=int, default=6)
    parser.add_argument("--seconds", type=int, default=150)
    parser.add_argument("--rounds", type=int, default=5)
    args = parser.parse_args()
    wine_run = os.path.join(args.build, "wine-run")
    timing = os.path.join(args.build, "tests", "album_pass_timing.exe")
    base = base_audio(20, seed=3)
    with tempfile.TemporaryDirectory() as d:
        tracks, paths = [], []
        for t in range(args.tracks):
            n = args.seconds * RATE // ref.SECTOR_WORDS * ref.SECTOR_WORDS + 588 * 7 * t
            rot = 12345 * (t + 1) % len(base)
            words = [base[(rot + i) % len(base)] for i in range(n)]
            tracks.append(words)
            paths.append(os.path.join(d, "%02d.flac" % (t + 1)))
            write_flac(paths[-1], words)
        candidate_sets = {1: [], 2: [7, -7], 16: [k * 131 - 1000 for k in range(16)]}
        print("album: %d tracks of %d s" % (args.tracks, args.seconds))
        for count, offsets in candidate_sets.items():
            rec = os.path.join(d, "records-%d.bin" % count)
            records(rec, tracks, offsets)
            r = subprocess.run([wine_run, timing, str(args.rounds), windows_path(rec),
                                *[windows_path(p) for p in paths]], capture_output=True, text=True, check=True)
            print("candidates=%-2d %s" % (count, r.stdout.strip()))


if __name__ == "__main__":
    main()
