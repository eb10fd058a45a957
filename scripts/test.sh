#!/usr/bin/env bash
# Runs every test: the pure-logic suite natively under ASan + UBSan, then the
# whole Windows suite under wine (with a warm wineserver and an Xvfb display).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
bash "$here/scripts/setup.sh"

bash "$here/scripts/build.sh" native
(cd "$here/build/native" && ctest --output-on-failure -j2)

bash "$here/scripts/build.sh" windows
export WINEPREFIX="$here/build/win/wineprefix" WINEDEBUG=-all
cleanup() {
  wineserver -k 2>/dev/null || true
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  display=":$((90 + RANDOM % 400))"
  Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY="$display"
fi
wineserver -p 2>/dev/null || true  # one may be running already
# The first wine program starts wine's own services; start them here, away
# from CTest, which would otherwise wait for them as holders of its pipes.
wine cmd.exe /c exit >/dev/null 2>&1 </dev/null || true
(cd "$here/build/win" && ctest --output-on-failure -j2)
