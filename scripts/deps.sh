#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the program need; installs nothing when all
# are present, so running it again is cheap. Sourced by run and test.
set -euo pipefail
QUORVO_PACKAGES=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libqt6svg6 qt6-qpa-plugins
    libgl-dev libxkbcommon-dev
    fonts-liberation
    libsqlite3-dev libbenchmark-dev libical-dev
    clang libclang-rt-14-dev
    python3 python3-dbfread python3-dbf python3-icalendar
    poppler-utils unrtf
)
missing=()
for p in "${QUORVO_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -gt 0 ]; then
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    echo "Installing: ${missing[*]}"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
