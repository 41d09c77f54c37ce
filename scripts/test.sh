#!/usr/bin/env bash
# Sets up a fresh Debian machine, builds RIVOLA and runs all tests; then
# builds the core and its tests once more with the address and
# undefined-behaviour sanitizers (build-asan/, or $RIVOLA_ASAN_BUILD_DIR) and
# runs them there.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${RIVOLA_BUILD_DIR:-$here/build}
asan=${RIVOLA_ASAN_BUILD_DIR:-$here/build-asan}
bash "$here/scripts/setup.sh"
cd "$build"
ctest --output-on-failure -j "$(nproc)" --timeout 600

echo "== sanitizer build ($asan)"
cmake -S "$here" -B "$asan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DRIVOLA_SANITIZE=ON -DRIVOLA_GUI=OFF >/dev/null
cmake --build "$asan" -j "$(nproc)"
cd "$asan"
ctest --output-on-failure -j "$(nproc)" --timeout 600
