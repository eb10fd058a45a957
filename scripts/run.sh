#!/usr/bin/env bash
# The main job: build the programs and show what the console front end does.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
bash "$here/scripts/setup.sh"
bash "$here/scripts/build.sh" windows
export WINEPREFIX="$here/build/win/wineprefix" WINEDEBUG=-all
wine "$here/build/dist/tallydisc-cli.exe" --help
