#!/usr/bin/env bash
# Installs the Debian packages the build, the program, the tests and the
# release (scripts/package.sh) need, when any of them is missing. Installing
# needs root or sudo; without either, it names the packages and the command
# to run as root, and stops.
set -euo pipefail

packages=(
    build-essential cmake ninja-build ccache pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-translations-l10n libgl-dev
    fonts-liberation2 fonts-dejavu-core
    poppler-utils libzip-dev libssl-dev libxlsxwriter-dev
    patchelf
    "$@"
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null 2>&1; then
        echo "These Debian packages are missing: ${missing[*]}" >&2
        echo "Installing them needs root, and sudo is not available. As root, run:" >&2
        echo >&2
        echo "    apt-get install --no-install-recommends ${missing[*]}" >&2
        echo >&2
        echo "then run this command again." >&2
        exit 1
    fi
    SUDO="sudo"
fi
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
