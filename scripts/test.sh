#!/usr/bin/env bash
# Sets up a fresh Debian machine, builds RIVOLA and runs all tests.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${RIVOLA_BUILD_DIR:-$here/build}
bash "$here/scripts/setup.sh"
cd "$build"
ctest --output-on-failure -j "$(nproc)" --timeout 600
