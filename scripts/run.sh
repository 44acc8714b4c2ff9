#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program from its program folder.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
cd build/program
exec ./vornel
