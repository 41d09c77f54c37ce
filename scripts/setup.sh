#!/usr/bin/env bash
# Installs the Debian packages RIVOLA needs when they are missing, then
# configures and builds into build/ (or $RIVOLA_BUILD_DIR).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${RIVOLA_BUILD_DIR:-$here/build}

pkgs=(build-essential cmake ninja-build ccache libgtest-dev libgmock-dev
      unixodbc unixodbc-dev libsqliteodbc sqlite3 odbc-mdbtools qt6-base-dev qt6-translations-l10n xvfb xauth librsvg2-bin libxml2-utils
      zlib1g-dev poppler-utils)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi

cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${RIVOLA_CMAKE_ARGS:-} >/dev/null
cmake --build "$build" -j "$(nproc)"
