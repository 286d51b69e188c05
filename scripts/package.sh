#!/usr/bin/env bash
# Builds the Debian package: the release build, installed under /usr and packed
# by CPack, in a build folder of its own (build/package). Progress goes to
# stderr; the package's path is the one line on stdout, and the last printed.
# Usage: scripts/package.sh
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh package >&2
if command -v ccache >/dev/null && [ -z "${CMAKE_CXX_COMPILER_LAUNCHER:-}" ]; then
  export CMAKE_CXX_COMPILER_LAUNCHER=ccache CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
fi
dir=build/package
# Debian's hardening flags (stack protector, fortified libc calls, read-only
# relocations bound at start), as every package built by its tools gets them.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
cmake --preset release -B "$dir" -DCMAKE_INSTALL_PREFIX=/usr -DKX700_BUILD_TESTS=OFF -DKX700_BUILD_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >&2
cmake --build "$dir" -j "${JOBS:-2}" >&2
rm -f "$dir"/kx700_*.deb
(cd "$dir" && cpack -G DEB >/dev/null)
deb=$(ls "$dir"/kx700_*.deb)
echo "$PWD/$deb"
