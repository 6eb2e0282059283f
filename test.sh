#!/usr/bin/env bash
# Set-up and the whole test suite: installs what is missing, builds, runs CTest.
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"
vorn_install_missing
vorn_build
cd "$VORN_BUILD"
ctest --output-on-failure -j "$(nproc)"
