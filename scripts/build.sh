#!/usr/bin/env bash
# Configures and builds into build/ (or build-sanitize/ with --sanitize).
# Usage: scripts/build.sh [--sanitize] [cmake targets...]
set -euo pipefail
cd "$(dirname "$0")/.."

# The sanitizer build leaves the benchmarks out (they are timed in the plain build only) and
# compiles each target's files in batches, several times faster from clean; the plain build
# compiles file by file, so between them both ways are checked.
dir=build; sanitize=OFF; type=RelWithDebInfo; bench=ON; unity=OFF
if [ "${1:-}" = "--sanitize" ]; then dir=build-sanitize; sanitize=ON; type=Debug; bench=OFF; unity=ON; shift; fi

scripts/install-deps.sh
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" -DORVANE_SANITIZE="$sanitize" -DORVANE_BUILD_BENCH="$bench" -DORVANE_UNITY_BUILD="$unity" >/dev/null
targets=()
for t in "$@"; do targets+=(--target "$t"); done
cmake --build "$dir" -j"$(nproc)" "${targets[@]}"
