#!/usr/bin/env bash
# Installs what building and testing Vantor Scrivlet needs on Debian 12 (run as root).
# Does nothing that is already done, so it is safe to run again.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libgl-dev libsqlite3-dev sqlite3
  libgtest-dev libbenchmark-dev
  clang libclang-rt-14-dev
  fonts-freefont-ttf fonts-dejavu-core fonts-liberation
  desktop-file-utils appstream shared-mime-info dpkg-dev
  ckermit gkermit lrzsz socat qt6-serialport-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages: ${missing[*]}; run this as root to install them." >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
