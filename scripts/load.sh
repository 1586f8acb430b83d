#!/usr/bin/env bash
# The clerks' load, side by side with the peer (docs/load.md): builds the load driver and the
# server, then runs bench_clerks_load and bench/peer/tryton_load.py with the same clients and
# lines on SQLite and on PostgreSQL, one after the other. Not a test; nothing of it runs in CI.
# The peer installs Debian's tryton-server and tryton-modules-sale (apt-get: run as root).
# Usage: scripts/load.sh [clients] [orders per clerk] [orders per peer client] [lines]
set -euo pipefail
cd "$(dirname "$0")/.."

clients="${1:-8}"; orders="${2:-40}"; peer_orders="${3:-3}"; lines="${4:-5}"
ORVANE_TEST_PG="${ORVANE_TEST_PG:-$(scripts/start-postgres.sh)}"
export ORVANE_TEST_PG
cmake --build build --target bench_clerks_load orvane-server >/dev/null
for db in sqlite postgresql; do
  echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
  build/bench/load/bench_clerks_load --db "$db" --clients "$clients" --orders "$orders" --lines "$lines"
  python3 bench/peer/tryton_load.py --db "$db" --clients "$clients" --orders "$peer_orders" --lines "$lines"
done
