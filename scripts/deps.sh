#!/usr/bin/env bash
# Installs the Debian packages the project needs, only those that are missing.
# Safe to run again; uses sudo when not root.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  libhidapi-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-wayland libgl-dev fonts-liberation2 fonts-noto-cjk
  xvfb xdotool x11-utils imagemagick
  dbus-daemon dbus-bin
)
# Extra groups a caller may ask for: "fuzz" brings clang and its runtimes,
# "format" the formatter, "package" what builds the Debian package and checks
# it and its desktop files, "test" the Wayland compositor the end-to-end tests
# run the window under.
for extra in "$@"; do
  case "$extra" in
    fuzz) packages+=(clang libclang-rt-dev) ;;
    format) packages+=(clang-format) ;;
    test) packages+=(weston) ;;
    package) packages+=(dpkg-dev file lintian desktop-file-utils appstream bash-completion) ;;
    *) echo "deps.sh: unknown extra '$extra'" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
