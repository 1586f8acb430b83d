#!/usr/bin/env bash
# Builds and runs every test; fails when any test fails.
# Usage: scripts/test.sh [--sanitize]   (--sanitize: AddressSanitizer + UBSan build)
# The database tests run on SQLite and on a local PostgreSQL cluster, which this script starts;
# when PostgreSQL cannot be started they are skipped with a message (under CI that is a failure).
set -euo pipefail
cd "$(dirname "$0")/.."

dir=build
[ "${1:-}" = "--sanitize" ] && dir=build-sanitize
scripts/build.sh "$@"

if pg="$(scripts/start-postgres.sh)"; then
  export ORVANE_TEST_PG="$pg"
elif [ "${CI:-}" = "true" ]; then
  echo "PostgreSQL could not be started; CI runs the database tests on both backends" >&2
  exit 1
else
  echo "PostgreSQL could not be started: its test cases are skipped" >&2
fi

# intercept_tls_get_addr=0: with it on, the leak checker's tracer crashed (signal 11) at the exit of a
# process that had loaded libjpeg through Qt's image plugin (the one library loaded at run time that
# keeps thread-local storage): it read that storage at a range that was no range. Left off, the leak
# check runs in every case.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:intercept_tls_get_addr=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$dir" --output-on-failure -j"$(nproc)" --no-tests=error
