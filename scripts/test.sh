#!/usr/bin/env bash
# Builds and runs every test; fails when any test fails.
# Usage: scripts/test.sh [--sanitize]   (--sanitize: AddressSanitizer + UBSan build)
set -euo pipefail
cd "$(dirname "$0")/.."

dir=build
[ "${1:-}" = "--sanitize" ] && dir=build-sanitize
scripts/build.sh "$@"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$dir" --output-on-failure -j"$(nproc)" --no-tests=error
