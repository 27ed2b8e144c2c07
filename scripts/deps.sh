#!/usr/bin/env bash
# Installs the Debian packages the converter needs to build and test, when any is missing.
# Usage: scripts/deps.sh [extra-package ...]
set -euo pipefail

packages=(
    g++ cmake ninja-build pkg-config
    libcli11-dev nlohmann-json3-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    locales python3
    qt6-base-dev qt6-tools-dev qt6-l10n-tools libxcb1-dev libx11-dev
    fonts-liberation2
    xvfb x11-utils xdotool imagemagick
    fpc fp-units-db
    libshp-dev
    fp-utils libchm-dev librsvg2-bin
    dpkg-dev lintian desktop-file-utils man-db file
    "$@"
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "Installing: ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
