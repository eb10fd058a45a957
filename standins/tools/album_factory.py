"""Makes synthetic albums for tests and the demo: FLAC files with tags,
encoded by the host's flac, and the rip database records that say which of
them are accurate rips, computed independently of the engine.

  python3 album_factory.py LIBRARY_DIR DATABASE_DIR [--albums N] [--seconds S]

Album kinds, in turn: accurate (every track in the database), errors (one
track's audio differs from what the database knows), unknown (no record).
Prints one line per album: kind, disc identifier, folder."""

import argparse
import os
import random
import struct
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import rip_checksums  # noqa: E402

KINDS = ("accurate", "errors", "unknown")


def pcm_words(seed, sectors):
    data = random.Random(seed).randbytes(sectors * rip_checksums.SECTOR_WORDS * 4)
    return list(struct.unpack("<%dI" % (len(data) // 4), data)), data


def write_flac(path, pcm, tags):
    wav = path[:-5] + ".wav"
    with open(wav, "wb") as f:
        f.write(b"RIFF" + struct.pack("<I", 36 + len(pcm)) + b"WAVE")
        f.write(b"fmt " + struct.pack("<IHHIIHH", 16, 1, 2, 44100, 44100 * 4, 4, 16))
        f.write(b"data" + struct.pack("<I", len(pcm)) + pcm)
    args = ["flac", "-s", "-f", "-5", "-o", path]
    for name, value in tags:
        args += ["-T", "%s=%s" % (name, value)]
    subprocess.run(args + [wav], check=True)
    os.remove(wav)


def make_album(library, database, number, kind, tracks, seconds):
    artist = "Synthetic Artist %d" % number
    title = "Test Album %d (%s)" % (number, kind)
    folder = os.path.join(library, "%s - %s" % (artist, title))
    os.makedirs(folder, exist_ok=True)
    sectors = seconds * 75
    # Lengths differ between albums, so that every album has its own identifier.
    lengths = [sectors + 7 * t + 13 * number for t in range(tracks)]
    entries = []
    for t, length in enumerate(lengths):
        words, pcm = pcm_words(number * 1000 + t, length)
        v1, v2 = rip_checksums.track_sums(words, t == 0, t == tracks - 1)
        entries.append((v1, v2, rip_checksums.sector_450_checksum(words)))
        if kind == "errors" and t == 1:
            # One sample of the rip differs from the pressing.
            pcm = pcm[:40000] + bytes([pcm[40000] ^ 0x55]) + pcm[40001:]
        tags = [("ARTIST", artist), ("ALBUM", title), ("TITLE", "Track %d" % (t + 1)),
                ("TRACKNUMBER", str(t + 1)), ("TRACKTOTAL", str(tracks))]
        write_flac(os.path.join(folder, "%02d - Track %d.flac" % (t + 1, t + 1)), pcm, tags)
    identifier = rip_checksums.disc_identifier(lengths)
    if kind != "unknown":
        # Odd tracks are known by their TDv2 sum, even ones by TDv1.
        chunk = [(5 + number % 3, v2 if t % 2 == 0 else v1, off) for t, (v1, v2, off) in enumerate(entries)]
        os.makedirs(database, exist_ok=True)
        path = os.path.join(database, rip_checksums.record_file_name(identifier))
        with open(path, "wb") as f:
            f.write(rip_checksums.record_chunk(chunk))
    return identifier, folder, lengths


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("library")
    parser.add_argument("database")
    parser.add_argument("--albums", type=int, default=6)
    parser.add_argument("--tracks", type=int, default=3)
    parser.add_argument("--seconds", type=int, default=12)
    args = parser.parse_args()
    for n in range(args.albums):
        kind = KINDS[n % len(KINDS)]
        identifier, folder, _ = make_album(args.library, args.database, n + 1, kind, args.tracks, args.seconds)
        print("%s\t%s\t%s" % (kind, identifier.split(";")[0], folder))


if __name__ == "__main__":
    main()
