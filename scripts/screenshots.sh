#!/usr/bin/env bash
# Takes the screenshots in docs/ as a person sees them: the screens over the demo course in
# 1920 x 1080 and 1024 x 768 Xvfb displays (screen_tour), and the replayed demo video
# (demo_replay_test).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
shots=$(mktemp -d)
trap 'rm -rf "$shots"' EXIT
for display in 1920x1080 1024x768; do
    QUILLON_SCREENSHOTS="$shots" QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 ${display}x24" \
        build/default/bin/screen_tour
done
QUILLON_SCREENSHOTS="$shots" QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1920x1080x24" \
    build/default/bin/demo_replay_test
QUILLON_SCREENSHOTS="$shots" QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1920x1080x24" \
    build/default/bin/auto_track_replay_test
cp "$shots"/*.png docs/
ls -l docs/*.png
