#!/usr/bin/env bash
# Makes docs/dossier.png: page 1 of the record dossier of the demo pass (the weave painted
# into SlalomPass.mp4, 0.18 m sin(3 pi d / 259) at d metres down the course, as an operator
# following it to the centimetre would measure it), with the demo calibration SlalomOK.ipt.
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
        --setup SlalomOK.ipt --pdf "$work/dossier.pdf" >/dev/null 2>"$work/stderr.txt") ||
    { cat "$work/stderr.txt" >&2; exit 1; }
pdftoppm -png -r 110 -f 1 -l 1 -singlefile "$work/dossier.pdf" docs/dossier
echo "docs/dossier.png written"
