"""Reference computations of the rip database's numbers, written apart from
the engine so that tests and the demo can build databases the engine must
agree with: the TDv1 and TDv2 sums of a track, the checksum of its sector
450, the disc identifier of a track-length list and the record layout."""

import struct

SECTOR_WORDS = 588
EDGE_WORDS = 2940
MASK = 0xFFFFFFFF


def track_sums(words, first, last):
    """TDv1 and TDv2 of one track (a list of 32-bit stereo words) at offset 0."""
    n = len(words)
    low = EDGE_WORDS if first else 0
    high = n - EDGE_WORDS if last else n
    v1 = v2 = 0
    for i, s in enumerate(words):
        m = i + 1
        if m < low or m > high:
            continue
        p = m * s
        v1 += p
        v2 += (p & MASK) + (p >> 32)
    return v1 & MASK, v2 & MASK


def sector_450_checksum(words):
    start = 450 * SECTOR_WORDS
    if len(words) < start + SECTOR_WORDS:
        return 0
    return sum((i + 1) * words[start + i] for i in range(SECTOR_WORDS)) & MASK


def disc_identifier(lengths):
    """'NNN-xxxxxxxx-xxxxxxxx-xxxxxxxx' followed by ';length' per track."""
    n = len(lengths)
    offsets = [0]
    for length in lengths:
        offsets.append(offsets[-1] + length)
    first = sum(offsets) & MASK
    second = sum(max(o, 1) * (k + 1) for k, o in enumerate(offsets)) & MASK
    b, d = 150, 0
    for length in lengths:
        d += sum(int(c) for c in str(b // 75))
        b += length
    total = sum(lengths)
    cddb = (((d % 255) << 24) | ((total * 2352 // 176400) << 8) | n) & MASK
    text = "%03d-%08x-%08x-%08x" % (n, first, second, cddb)
    return text + "".join(";%d" % length for length in lengths)


def record_chunk(tracks):
    """One pressing chunk: tracks is a list of (confidence, checksum, offset checksum)."""
    out = bytes([len(tracks)]) + bytes(12)
    for confidence, checksum, offset_checksum in tracks:
        out += struct.pack("<BII", confidence, checksum, offset_checksum)
    return out


def record_file_name(identifier):
    """The name under which the rip database stand-in keeps a record."""
    return "TDbf-%s.bin" % identifier.split(";")[0].lower()


def toc_key(lengths):
    """The lookup service's key of a track-length list (in track order)."""
    total = sum(lengths) & MASK
    squares = sum(length * length for length in lengths) & MASK
    return "%08X" % ((total + (squares << 15)) & MASK) + "".join(";%d" % length for length in lengths)
