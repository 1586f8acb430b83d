#!/usr/bin/env bash
# The same demonstration over the network: builds everything, starts orvane-server on a seeded
# SQLite database in build/demo-server (listening on 127.0.0.1, a free port), and starts a shell
# whose client folder build/demo-client-tcp reaches it over TCP, logged in to PRTest50 as ZT with
# TAVI52 open. The server stops when the shell ends.
# Extra arguments go to the shell; without a display the shell runs its smoke run (--smoke).
# Usage: scripts/demo-tcp.sh [orvane arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/build.sh
server_dir="$(pwd)/build/demo-server"
mkdir -p "$server_dir"
cat > "$server_dir/OrvaneS.ini" <<INI
[Server]
Address=127.0.0.1
Port=0
Threads=4

[Database]
Backend=sqlite
Path=data

[Log]
File=orvane-server.log
INI
server=build/src/server/app/orvane-server
[ -f "$server_dir/data/orvane.db" ] || "$server" --config "$server_dir/OrvaneS.ini" --init-demo >/dev/null
"$server" --config "$server_dir/OrvaneS.ini" --import-dictionary build/client/C_DATA >/dev/null

"$server" --config "$server_dir/OrvaneS.ini" > "$server_dir/stdout.log" 2>&1 &
server_pid=$!
trap 'kill "$server_pid" 2>/dev/null; wait "$server_pid" 2>/dev/null || true' EXIT

port=""
for _ in $(seq 1 100); do
  port="$(sed -n 's/.*listening on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$server_dir/stdout.log")"
  [ -n "$port" ] && break
  kill -0 "$server_pid" 2>/dev/null || { cat "$server_dir/stdout.log" >&2; exit 1; }
  sleep 0.1
done
[ -n "$port" ] || { echo "orvane-server did not start" >&2; exit 1; }
echo "orvane-server listening on 127.0.0.1:$port" >&2

# The client names the server "localhost": any address but exactly 127.0.0.1 goes over TCP.
client="build/demo-client-tcp"
rm -f "$client/OrvaneC.ini"
client="$(scripts/make-demo-client.sh build "$client" localhost "$port")"
export ORVANE_SETTINGS="$client/settings.ini"

args=(--demo --open TAVI52)
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  case " $* " in *" --smoke "*) ;; *) echo "No display: smoke run (--smoke)" >&2; args+=(--smoke) ;; esac
fi
build/src/shell/orvane "${args[@]}" "$@"
