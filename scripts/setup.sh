#!/usr/bin/env bash
# Prepare a Debian machine and build Quelvix into build/.
# Installs the missing Debian packages when run as root (after apt-get update),
# then configures and builds. Safe to run again: it only does what is missing.
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${QX_BUILD_DIR:-$repo/build}"
jobs="${QX_JOBS:-2}"

packages=(cmake g++ make libgtest-dev libgmock-dev googletest libbenchmark-dev libcli11-dev
          binutils-mingw-w64-x86-64 librsvg2-bin qt6-base-dev libgl1-mesa-dev xvfb xdotool
          libpugixml-dev libpng-dev nlohmann-json3-dev libpolyclipping-dev libboost-dev)
# QX_EXTRA_PACKAGES adds packages (the test run's clang build needs clang).
read -r -a extra <<<"${QX_EXTRA_PACKAGES:-}"
packages+=("${extra[@]}")

missing=()
for package in "${packages[@]}"; do
  if ! dpkg -s "$package" 2>/dev/null | grep -q '^Status: install ok installed'; then
    missing+=("$package")
  fi
done

if ((${#missing[@]})); then
  if [[ "$(id -u)" -ne 0 ]]; then
    echo "setup: these Debian packages are missing: ${missing[*]}" >&2
    echo "setup: run this script as root (or install them with apt-get) and try again" >&2
    exit 1
  fi
  echo "setup: installing ${missing[*]}"
  apt-get update
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi

# QX_CMAKE_ARGS adds configure options (the test run makes warnings errors).
cmake -S "$repo" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo ${QX_CMAKE_ARGS:-}
cmake --build "$build" -j"$jobs"
