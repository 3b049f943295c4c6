#!/usr/bin/env bash
# Installs what building, testing and running the editor needs on Debian 12.
# Does nothing when everything is already there, so `make` can call it every time.
# `setup.sh fuzz` adds clang and its libFuzzer runtime for `make fuzz`.
set -euo pipefail

packages=(
  g++ cmake ninja-build make pkg-config
  qt6-base-dev libgl1-mesa-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libspng-dev nlohmann-json3-dev
  xvfb xauth imagemagick xclip xdotool
  qt6-wayland desktop-file-utils shared-mime-info libxml2-utils
)
if [ "${1:-}" = fuzz ]; then
  packages+=(clang libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  sudo=()
elif command -v sudo >/dev/null 2>&1; then
  sudo=(sudo)
else
  echo "setup: need root or sudo to install: ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
