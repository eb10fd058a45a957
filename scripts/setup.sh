#!/usr/bin/env bash
# Installs everything the build and the tests need on a Debian 12 machine
# (as root), then builds the cross-compiled dependencies once into a cache
# outside the work tree. A second run finds everything in place and is quick.
set -euo pipefail

deps_dir="${TALLYDISC_DEPS:-${HOME:-/root}/.cache/tallydisc-deps}"
here="$(cd "$(dirname "$0")/.." && pwd)"

apt_packages=(wine wine64 g++-mingw-w64-x86-64-posix cmake ninja-build flac googletest
              libgtest-dev libgmock-dev libbenchmark-dev g++ python3 xvfb dpkg-dev
              openssl ca-certificates imagemagick clang libclang-rt-14-dev apache2 squid)

missing=()
for p in "${apt_packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Source entries are derived from the machine's own binary entries, so that
# 'apt-get source' works wherever 'apt-get install' does.
ensure_deb_src() {
  if apt-get source --print-uris flac >/dev/null 2>&1; then return; fi
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -e "$f" ] || continue
    grep -q '^Types:.*deb-src' "$f" && continue
    sed 's/^Types: deb$/Types: deb-src/' "$f" > "${f%.sources}-src.sources"
  done
  if [ -f /etc/apt/sources.list ]; then
    grep -E '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' > /etc/apt/sources.list.d/tallydisc-src.list || true
  fi
  apt-get update -qq
}

mkdir -p "$deps_dir"
toolchain="$here/cmake/mingw-w64.cmake"

# libFLAC for the FLAC decoder plug-in, cross-built from Debian's own source.
if [ ! -f "$deps_dir/flac/lib/libFLAC.a" ]; then
  ensure_deb_src
  rm -rf "$deps_dir/flac-src" && mkdir -p "$deps_dir/flac-src"
  (cd "$deps_dir/flac-src" && apt-get source -qq flac >/dev/null 2>&1)
  src=$(find "$deps_dir/flac-src" -maxdepth 1 -mindepth 1 -type d -name 'flac-*' | head -n1)
  cmake -S "$src" -B "$deps_dir/flac-build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$deps_dir/flac" \
    -DBUILD_SHARED_LIBS=OFF -DBUILD_CXXLIBS=OFF -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF \
    -DBUILD_TESTING=OFF -DBUILD_DOCS=OFF -DINSTALL_MANPAGES=OFF -DWITH_OGG=OFF \
    -DWITH_FORTIFY_SOURCE=OFF -DWITH_STACK_PROTECTOR=OFF >/dev/null
  cmake --build "$deps_dir/flac-build" >/dev/null
  cmake --install "$deps_dir/flac-build" >/dev/null
  # The installed package file asks for Ogg even when built without it.
  sed -i 's/^\(\s*find_dependency(Ogg\)/# \1/' "$deps_dir"/flac/lib/cmake/FLAC/flac-config.cmake 2>/dev/null || true
fi

# GoogleTest for the Windows test programs, from the sources Debian ships.
if [ ! -f "$deps_dir/gtest/lib/libgtest.a" ]; then
  cmake -S /usr/src/googletest -B "$deps_dir/gtest-build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$deps_dir/gtest" -Dgtest_disable_pthreads=OFF >/dev/null
  cmake --build "$deps_dir/gtest-build" >/dev/null
  cmake --install "$deps_dir/gtest-build" >/dev/null
fi
echo "setup: dependencies ready in $deps_dir"
