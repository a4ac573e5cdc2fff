#!/usr/bin/env bash
# Installs the Debian packages a job needs, when any is missing. Run by the other scripts.
#
#   deps.sh [--tests] [--package] [PACKAGE...]
#
# Alone: what building and running the program takes. --tests adds what only the tests and
# benchmarks need, --package what building the Debian package needs; further names are
# installed as well (CI adds the fuzzing toolchain and the package checkers).
set -euo pipefail

# The compiler and build tools; Qt 6 for the windows and the OpenGL context, Qt's own Russian
# translation, a font with Cyrillic letters, and Mesa's OpenGL for machines without a driver.
velmo_packages=(g++ make cmake pkg-config libpng-dev qt6-base-dev libqt6opengl6-dev libgl-dev
  qt6-translations-l10n fonts-dejavu-core libgl1-mesa-dri)
# GoogleTest, Google Benchmark, and an X server with a client library for the window tests.
velmo_test_packages=(libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth python3-xlib)
# dpkg-shlibdeps and dpkg-buildflags; file, with which CPack finds the programs' libraries.
velmo_package_packages=(dpkg-dev file)

while [ "$#" -gt 0 ]; do
  case "$1" in
    --tests) velmo_packages+=("${velmo_test_packages[@]}") ;;
    --package) velmo_packages+=("${velmo_package_packages[@]}") ;;
    *) velmo_packages+=("$1") ;;
  esac
  shift
done

missing=()
for package in "${velmo_packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done

if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  as_root=()
  [ "$(id -u)" -eq 0 ] || as_root=(sudo)
  "${as_root[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi
