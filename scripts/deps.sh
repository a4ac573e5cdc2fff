#!/usr/bin/env bash
# Installs the Debian packages the build needs, when any is missing. Sourced by the other
# scripts; extra package names may be passed (CI adds the fuzzing toolchain).
set -euo pipefail

# Qt 6 for the windows and the OpenGL context, Qt's own Russian translation, a font with
# Cyrillic letters, and an X server with Mesa's software OpenGL for the window tests.
velmo_packages=(g++ make cmake pkg-config libgtest-dev libgmock-dev libbenchmark-dev libpng-dev
  qt6-base-dev libqt6opengl6-dev libgl-dev qt6-translations-l10n fonts-dejavu-core
  xvfb xauth libgl1-mesa-dri python3-xlib "$@")

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
