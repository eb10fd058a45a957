#!/usr/bin/env bash
# Creates the wine prefix of a Windows build folder once: Windows 10 reported,
# the Tahoma fonts that wine ships but does not find, no desktop integration.
set -euo pipefail
build="$1"
prefix="$build/wineprefix"
if [ -f "$prefix/.tallydisc-ready" ]; then exit 0; fi
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=,winemenubuilder.exe=d"
rm -rf "$prefix"
wineboot -i >/dev/null 2>&1 || true
wineserver -w
wine reg add 'HKCU\Software\Wine' /v Version /t REG_SZ /d win10 /f >/dev/null 2>&1 || true
wineserver -w
fonts="$prefix/drive_c/windows/Fonts"
mkdir -p "$fonts"
for f in tahoma.ttf tahomabd.ttf; do
  [ -f "/usr/share/wine/fonts/$f" ] && cp "/usr/share/wine/fonts/$f" "$fonts/"
done
touch "$prefix/.tallydisc-ready"
