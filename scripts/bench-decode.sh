#!/usr/bin/env bash
# Decode benchmark: a FLAC album decoded through the plug-in interface
# (select, open mode 5, DecodeBlock to the end; build/win/tests/decode_album.exe
# under wine) against the host's `flac -t` on the same files, whole programs
# timed in the same run, alternating, several rounds; reports the medians and
# their ratio. Needs the Windows build (scripts/build.sh windows).
#   bench-decode.sh [TRACKS] [SECONDS_PER_TRACK] [ROUNDS]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
tracks="${1:-12}"
seconds="${2:-240}"
rounds="${3:-5}"
build="$here/build/win"
cmake --build "$build" --target decode_album td_flac_plugin >/dev/null
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all
wineserver -p 2>/dev/null || true  # already running is fine
wine cmd.exe /c exit >/dev/null 2>&1 </dev/null || true

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
python3 "$here/scripts/bench_album.py" "$work" "$tracks" "$seconds"
files=("$work"/*.flac)
win_files=()
for f in "${files[@]}"; do win_files+=("Z:${f//\//\\}"); done

python3 - "$rounds" "$build/wine-run" "$build/tests/decode_album.exe" "${#files[@]}" "${files[@]}" "${win_files[@]}" <<'PY'
import statistics, subprocess, sys, time
rounds, wine, exe, n = int(sys.argv[1]), sys.argv[2], sys.argv[3], int(sys.argv[4])
files, win_files = sys.argv[5:5 + n], sys.argv[5 + n:]
def timed(cmd):
    start = time.perf_counter()
    subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return time.perf_counter() - start
timed([wine, exe] + win_files)  # warm the file cache and the plug-in
ours, ref = [], []
for _ in range(rounds):
    ref.append(timed(["flac", "-t", "-s"] + files))
    ours.append(timed([wine, exe] + win_files))
o, r = statistics.median(ours), statistics.median(ref)
print(f"flac -t:            median {r:.3f} s  ({' '.join(f'{x:.3f}' for x in ref)})")
print(f"plug-in interface:  median {o:.3f} s  ({' '.join(f'{x:.3f}' for x in ours)})")
print(f"ratio plug-in / flac -t: {o / r:.3f}")
PY
