#!/usr/bin/env bash
# The main job: build the programs, then the demo: a synthetic library,
# the stand-in servers on loopback, a scan and a verification run.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
bash "$here/scripts/setup.sh"
bash "$here/scripts/build.sh" windows
export WINEPREFIX="$here/build/win/wineprefix" WINEDEBUG=-all TD_DIST_DIR="$here/build/dist"
trap 'wineserver -k 2>/dev/null || true' EXIT
wineserver -p 2>/dev/null || true  # one may be running already
wine cmd.exe /c exit >/dev/null 2>&1 </dev/null || true
wine "$here/build/dist/tallydisc-cli.exe" --help
echo
python3 "$here/scripts/demo.py"
