#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks, then configures and builds;
# arguments go to the configure step (e.g. -DSCRIVLANE_WERROR=ON).
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(qt6-base-dev libpcre2-dev pkg-config cmake g++ ninja-build xvfb xauth x11-apps netpbm xdotool desktop-file-utils appstream
          clang libclang-rt-14-dev clang-format clang-tidy dpkg-dev lintian ccache)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  echo "Installing: ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi

cmake --preset default "$@" >/dev/null
cmake --build --preset default
