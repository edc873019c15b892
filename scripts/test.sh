#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once in the release build, each
# fuzzer for a minute, and every test again under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
ctest --preset default
bash scripts/fuzz.sh 60
cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan
