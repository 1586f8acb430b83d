#!/usr/bin/env bash
# The clerks' load, side by side with the peer (docs/load.md), in one command: builds the load
# driver and the server, then on SQLite and on PostgreSQL runs bench_clerks_load with N clerks
# and with one, N clerks again with their windows hidden (every check and field event, no
# painting: the peer's driver draws nothing either), and bench/peer/tryton_load.py with N
# clients and with one (both on one database of its own, sparing the peer's set-up). Each run
# prints its step table and its table of server calls beside the bare round trip; the load
# average is printed before each. Not a test; nothing of it runs in CI. The peer installs
# Debian's tryton-server and tryton-modules-sale (apt-get: run as root). With 20 orders a clerk
# and the peer's 2,4 it took 5 minutes on this 2-core machine under a load of 9; the defaults
# add a minute or so.
# Usage: scripts/load.sh [clients] [orders per clerk] [orders per peer client with N, with 1] [lines]
#   e.g. scripts/load.sh 8 40 3,8 5; scripts/load.sh 2 5 1,1 2 for a short trial
set -euo pipefail
cd "$(dirname "$0")/.."

clients="${1:-8}"; orders="${2:-40}"; peer_orders="${3:-3,8}"; lines="${4:-5}"
ORVANE_TEST_PG="${ORVANE_TEST_PG:-$(scripts/start-postgres.sh)}"
export ORVANE_TEST_PG
cmake --build build --target bench_clerks_load orvane-server >/dev/null

load() { echo; echo "load average: $(cut -d' ' -f1-3 /proc/loadavg) ($(date -u +%H:%M:%S) UTC)"; }
started=$SECONDS
for db in sqlite postgresql; do
  for run in "$clients shown" "1 shown" "$clients hidden"; do
    read -r n windows <<<"$run"
    load
    build/bench/load/bench_clerks_load --db "$db" --clients "$n" --orders "$orders" --lines "$lines" \
      --windows "$windows" 2> >(grep -v "does not support\|XDG_RUNTIME_DIR" >&2)
  done
  load
  python3 bench/peer/tryton_load.py --db "$db" --clients "$clients,1" --orders "$peer_orders" --lines "$lines"
done
load
echo "the whole comparison: $((SECONDS - started)) s"
