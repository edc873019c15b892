#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once in the release build and once
# under AddressSanitizer and UndefinedBehaviorSanitizer; then each fuzzer for a minute.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
ctest --preset default
cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan
bash scripts/fuzz.sh 60
