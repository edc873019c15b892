#!/usr/bin/env bash
# Installs what is missing, builds, and makes the Debian package
# build/default/packages/quillon_<version>_amd64.deb.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
cd build/default
cpack --config CPackConfig.cmake
ls -l packages/*.deb
