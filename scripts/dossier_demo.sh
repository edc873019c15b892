#!/usr/bin/env bash
# Makes docs/dossier.png and docs/dossier-2.png: pages 1 and 2 of the record dossier of the demo
# pass (the weave painted into SlalomPass.mp4, 0.18 m sin(3 pi d / 259) at d metres down the
# course, as Auto Track following it would measure it, with a few samples not tracked), with
# the demo calibration SlalomOK.ipt and a 15 cm limit.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
LC_ALL=C awk 'BEGIN { pi = atan2(0, -1); n = 161
             for (k = 0; k <= n; k++) {
                 d = k * 259 / n
                 v = 0.18 * sin(3 * pi * d / 259) + 0.012 * sin(k * 1.7)
                 printf "%.2f\n", v } }' </dev/null >"$work/samples.txt"
(cd build/default/bin &&
    ./quillon-cli report "$work/samples.txt" --results "$work" --now "12-06-2026 14:05:09" \
        --skier "Demo Skier" --driver "Demo Driver" --boat "Demo Boat" \
        --tournament "Quillon Demo Cup" --location "Demo Lake" --date "12-06-2026" \
        --model "Demo 200" --number 7 --split 10.21 --full 17.93 --comment "Calm water" \
        --setup SlalomOK.ipt --limit 0.15 --measured-by auto --untracked 36,61-63,137-139 \
        --video SlalomPass.mp4 --video-start 1.5 \
        --pdf "$work/dossier.pdf" >/dev/null 2>"$work/stderr.txt") ||
    { cat "$work/stderr.txt" >&2; exit 1; }
pdftoppm -png -r 110 -f 1 -l 1 -singlefile "$work/dossier.pdf" docs/dossier
pdftoppm -png -r 110 -f 2 -l 2 -singlefile "$work/dossier.pdf" docs/dossier-2
echo "docs/dossier.png and docs/dossier-2.png written"
