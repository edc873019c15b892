#!/usr/bin/env bash
# Renders the goal matrix of passes with a known boat path (towards and away, slalom and jump,
# 720p and 1080p, 25 to 60 frames per second, with skier, spray, wake, noise and shake), runs
# quillon-cli track on each with every tracker given, and prints a Markdown table of the
# accuracy (RMS and largest error against the true deviation, lost samples) and the time.
#
#   bash scripts/compare_trackers.sh [TRACKER ...]      default: template
#
# TRACKER names a column of the table and is handed to quillon-cli as QUILLON_TRACKER: template
# (Quillon's own), csrt or kcf (OpenCV's contrib trackers; these names install
# libopencv-contrib-dev, and the build then includes them). Videos are kept in
# build/default/compare/ and rendered only once.
set -euo pipefail
cd "$(dirname "$0")/.."
trackers=("$@")
((${#trackers[@]})) || trackers=(template)
for t in "${trackers[@]}"; do
    if [[ "$t" != template ]] && ! dpkg-query -W -f='${Status}' libopencv-contrib-dev 2>/dev/null \
            | grep -q "install ok installed"; then
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
            libopencv-contrib-dev >/dev/null
    fi
done
bash scripts/install-deps.sh
# The contrib trackers are built for the comparison only; scripts/build.sh, run by the other
# scripts, turns them off again.
cmake --preset default -DQUILLON_OPENCV_TRACKERS=ON >/dev/null
cmake --build --preset default >/dev/null
bin=build/default/bin
out=build/default/compare
mkdir -p "$out"

# name  size  fps  renderer options
matrix=(
    "slalom-towards-720p25   1280x720  25 --seed 21 --speed 58"
    "slalom-away-720p30      1280x720  30 --seed 22 --speed 55 --direction away"
    "slalom-towards-1080p30  1920x1080 30 --seed 23 --speed 52"
    "slalom-away-1080p60     1920x1080 60 --seed 24 --speed 58 --direction away"
    "jump-towards-720p60     1280x720  60 --seed 25 --discipline jump --speed 72"
    "jump-away-1080p25       1920x1080 25 --seed 26 --discipline jump --speed 57 --direction away"
    "slalom-towards-1080p50-clean 1920x1080 50 --seed 27 --speed 46 --no-skier --noise 0 --shake 0"
    "jump-away-720p50-offset 1280x720  50 --seed 28 --discipline jump --speed 66 --direction away --camera-offset 0.6"
)

printf '| Pass | Tracker | RMS (cm) | Largest (cm) | Lost | Exit | Track time (s) | Video (s) |\n'
printf '|---|---|---|---|---|---|---|---|\n'
for row in "${matrix[@]}"; do
    read -r name size fps options <<<"$row"
    stem="$out/$name"
    if [[ ! -s "$stem.mp4" ]]; then
        # shellcheck disable=SC2086
        "$bin/quillon-demo-course" --truth-pass "$stem" --size "$size" --fps "$fps" $options |
            ffmpeg -v error -y -f rawvideo -pix_fmt rgb24 -s "$size" -r "$fps" -i - \
                -c:v libx264 -preset veryfast -crf 20 -g 30 -pix_fmt yuv420p "$stem.tmp.mp4"
        mv "$stem.tmp.mp4" "$stem.mp4"
    fi
    seconds=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$stem.mp4")
    for tracker in "${trackers[@]}"; do
        start=$(date +%s.%N)
        set +e
        # shellcheck disable=SC2046
        QUILLON_TRACKER="$tracker" "$bin/quillon-cli" track "$stem.mp4" --setup "$stem.ipt" \
            $(cat "$stem.args") >"$stem.$tracker.txt" 2>"$stem.$tracker.err"
        code=$?
        set -e
        end=$(date +%s.%N)
        lost=$(sed -n 's/^lost: samples //p' "$stem.$tracker.err")
        paste "$stem.$tracker.txt" "$stem.truth.txt" | LC_ALL=C awk -v name="$name" \
            -v tracker="$tracker" -v code="$code" -v lost="${lost:-none}" \
            -v time="$(LC_ALL=C awk -v a="$start" -v b="$end" 'BEGIN{printf "%.2f", b-a}')" \
            -v video="$(LC_ALL=C printf '%.1f' "$seconds")" '
            NF == 2 { d = ($1 - $2) * 100; s += d * d; if (d < 0) d = -d; if (d > m) m = d; n++ }
            END { printf "| %s | %s | %.2f | %.0f | %s | %d | %s | %s |\n", name, tracker,
                  n ? sqrt(s / n) : 0, m, lost, code, time, video }'
    done
done
