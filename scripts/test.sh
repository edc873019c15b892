#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once in the release build, once more
# two at a time while a load generator keeps both cores busy (a test that passes only on a
# quiet machine is a defect), each fuzzer for a minute, and every test again under
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
ctest --preset default
stress-ng --cpu 2 --timeout 900s --quiet &
load=$!
trap 'kill "$load" 2>/dev/null || true' EXIT
ctest --preset default -j2
kill "$load" 2>/dev/null || true
wait "$load" 2>/dev/null || true
bash scripts/fuzz.sh 60
cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan
