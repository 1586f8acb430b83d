#!/usr/bin/env bash
# Configures and builds into build/ (or build-sanitize/ with --sanitize).
# Usage: scripts/build.sh [--sanitize] [cmake targets...]
set -euo pipefail
cd "$(dirname "$0")/.."

# The sanitizer build leaves the benchmarks out: they are timed in the plain build only.
dir=build; sanitize=OFF; type=RelWithDebInfo; bench=ON
if [ "${1:-}" = "--sanitize" ]; then dir=build-sanitize; sanitize=ON; type=Debug; bench=OFF; shift; fi

scripts/install-deps.sh
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" -DORVANE_SANITIZE="$sanitize" -DORVANE_BUILD_BENCH="$bench" >/dev/null
targets=()
for t in "$@"; do targets+=(--target "$t"); done
cmake --build "$dir" -j"$(nproc)" "${targets[@]}"
