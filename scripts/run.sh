#!/usr/bin/env bash
# Installs what is missing, builds, and starts Quillon from its own folder.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
cd build/default/bin
exec ./quillon "$@"
