#!/usr/bin/env bash
# Installs what is missing, builds, and starts Quillon from its own folder. Without a display
# (no DISPLAY or WAYLAND_DISPLAY), it starts in a virtual one from xvfb-run, which the install
# step has put there.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
cd build/default/bin
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "No display: Quillon starts in a virtual 1280 x 1024 one (xvfb-run)."
    exec xvfb-run -a -s "-screen 0 1280x1024x24" ./quillon "$@"
fi
exec ./quillon "$@"
