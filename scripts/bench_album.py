"""Makes the album of the decode benchmark: TRACKS FLAC files of SECONDS of
CD audio each (several tones with a moving envelope and some noise, so the
encoder works as on music), encoded by the host's `flac` at its default level."""
import array
import math
import os
import random
import subprocess
import sys

folder, tracks, seconds = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
rate = 44100
rng = random.Random(7)
# One second of audio, varied per track by its phase and gain.
period = array.array("h")
for i in range(rate):
    t = i / rate
    env = 0.6 + 0.4 * math.sin(2 * math.pi * 0.5 * t)
    for ch in range(2):
        v = env * (6000 * math.sin(2 * math.pi * (220 + 110 * ch) * t) + 3000 * math.sin(2 * math.pi * 331 * t)
                   + 1500 * math.sin(2 * math.pi * 1250 * t))
        period.append(int(v) + rng.randint(-400, 400))
for n in range(tracks):
    pcm = array.array("h")
    for s in range(seconds):
        shift = ((n * 7919 + s * 104729) % rate) * 2
        pcm.extend(period[shift:] + period[:shift])
    raw = os.path.join(folder, f"track{n + 1:02d}.raw")
    with open(raw, "wb") as f:
        pcm.tofile(f)
    subprocess.run(["flac", "-s", "-f", "--force-raw-format", "--endian=little", "--sign=signed", "--channels=2",
                    "--bps=16", f"--sample-rate={rate}", "-o", os.path.join(folder, f"track{n + 1:02d}.flac"), raw],
                   check=True)
    os.remove(raw)
