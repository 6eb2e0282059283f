#!/usr/bin/env bash
# Installs the Debian packages the project needs (only when missing) and
# builds vorn in Release into build/. Sourced by run.sh and test.sh.
set -euo pipefail

VORN_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
VORN_BUILD=${VORN_BUILD:-$VORN_ROOT/build}
# python3, parallel and gnuplot-nox serve tools/vorn-sweep and tools/vorn-plot.
VORN_PACKAGES=(g++ cmake make libdsfmt-dev libgtest-dev libgmock-dev libbenchmark-dev
  python3 parallel gnuplot-nox)

vorn_install_missing() {
  local missing=()
  for pkg in "${VORN_PACKAGES[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "ok installed" || missing+=("$pkg")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}" >&2
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >&2
  fi
}

vorn_build() {
  cmake -S "$VORN_ROOT" -B "$VORN_BUILD" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
  cmake --build "$VORN_BUILD" -j "$(nproc)" >&2
}
