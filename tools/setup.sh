#!/usr/bin/env bash
# Installs what the build needs on a Debian 12 machine (when root or sudo is
# available), or names the packages to install. Sourced by run.sh and test.sh.
set -euo pipefail

ZAMBRIX_PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-base-private-dev qt6-multimedia-dev
  libgtest-dev libgmock-dev libbenchmark-dev fonts-dejavu-core dpkg-dev clang-14 clang-format-14 libclang-rt-14-dev
  nlohmann-json3-dev srecord sigrok-cli libarchive-zip-perl)

missing=()
for p in "${ZAMBRIX_PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -eq 0 ]; then
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
  elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
    sudo apt-get update -qq
    sudo DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
  else
    echo "Please install these packages first (as root):"
    echo "  apt-get install ${missing[*]}"
    exit 1
  fi
fi

# Configures and builds into $1 with the CMake options that follow.
zambrix_build() {
  local dir=$1
  shift
  local launcher=()
  if command -v ccache >/dev/null 2>&1; then
    # Paths relative to the checkout, so clones and worktrees share the cache.
    export CCACHE_BASEDIR="$ZAMBRIX_ROOT" CCACHE_NOHASHDIR=1
    # What ccache needs to cache files built with precompiled headers (ZAMBRIX_PCH).
    export CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  fi
  cmake -S "$ZAMBRIX_ROOT" -B "$dir" -G Ninja "${launcher[@]}" "$@" >/dev/null
  cmake --build "$dir"
}
