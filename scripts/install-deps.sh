#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build needs and this machine lacks.
# Usage: install-deps.sh [extra-package ...]
set -euo pipefail

packages=(g++ cmake ninja-build qt6-base-dev qt6-serialport-dev help2man "$@")
missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "Installing ${missing[*]}"
"${sudo[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
