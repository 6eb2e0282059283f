#!/usr/bin/env bash
# Set-up and one simulation: installs what is missing, builds, and runs vorn
# with the OPTION=VALUE arguments given here (none: the default run).
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"
vorn_install_missing
vorn_build
exec "$VORN_BUILD/vorn" "$@"
