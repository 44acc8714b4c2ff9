#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless.
# Extra arguments go to ctest (for example: -R tst_core_storage, -L gui).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh libreoffice-writer libreoffice-calc python3-openpyxl zip unzip p7zip-full
scripts/build.sh
export QT_QPA_PLATFORM=offscreen
unset QT_QPA_PLATFORMTHEME
cd build
ctest --output-on-failure -j2 "$@"
