"""Audio fixtures for the plug-in tests: PCM made here, FLAC files made by
the host's own encoder, and a way to run our Windows programs under wine."""
import math
import os
import random
import struct
import subprocess

WAVE_FORMAT_PCM = 1
WAVE_FORMAT_EXTENSIBLE = 0xFFFE
# The extensible format's PCM sub-format GUID, in file byte order.
PCM_SUBFORMAT = bytes.fromhex("0100000000001000800000aa00389b71")


def make_pcm(frames, channels, bits, seed=1):
    """Little-endian signed PCM (unsigned for 8 bits): a tone with noise, so
    that the encoder cannot make every frame trivial."""
    rng = random.Random(seed)
    peak = (1 << (bits - 1)) - 1
    out = bytearray()
    width = (bits + 7) // 8
    for i in range(frames):
        for c in range(channels):
            v = int(peak * 0.4 * math.sin(i * (0.01 + 0.007 * c))) + rng.randint(-peak // 50, peak // 50)
            if bits == 8:
                out.append((v + 128) & 0xFF)
            else:
                out += (v & ((1 << (8 * width)) - 1)).to_bytes(width, "little")
    return bytes(out)


def riff_chunk(chunk_id, data):
    return chunk_id + struct.pack("<I", len(data)) + data + (b"\0" if len(data) & 1 else b"")


def make_wav(pcm, channels, rate, bits, extensible=False, extra_chunks=b""):
    align = channels * ((bits + 7) // 8)
    if extensible:
        fmt = struct.pack("<HHIIHHHHI", WAVE_FORMAT_EXTENSIBLE, channels, rate, rate * align, align, bits,
                          22, bits, (1 << channels) - 1) + PCM_SUBFORMAT
    else:
        fmt = struct.pack("<HHIIHH", WAVE_FORMAT_PCM, channels, rate, rate * align, align, bits)
    body = b"WAVE" + riff_chunk(b"fmt ", fmt) + extra_chunks + riff_chunk(b"data", pcm)
    return b"RIFF" + struct.pack("<I", len(body)) + body


def info_list(fields):
    """A LIST/INFO chunk from (id, text) pairs."""
    data = b"INFO"
    for chunk_id, text in fields:
        data += riff_chunk(chunk_id, text.encode("utf-8") + b"\0")
    return riff_chunk(b"LIST", data)


def encode_flac(wav_path, flac_path, *options):
    subprocess.run(["flac", "-s", "-f", *options, "-o", flac_path, wav_path], check=True)


def metaflac(*args):
    return subprocess.run(["metaflac", *args], check=True, capture_output=True, text=True).stdout


def windows_path(host_path):
    return "Z:" + os.path.abspath(host_path).replace("/", "\\")


class Wine:
    """Runs our Windows programs through the build's wine wrapper."""

    def __init__(self, wrapper):
        self.wrapper = wrapper

    def run(self, exe, *args):
        return subprocess.run([self.wrapper, exe, *args], capture_output=True, timeout=300)
