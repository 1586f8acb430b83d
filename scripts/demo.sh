#!/usr/bin/env bash
# The main job: builds everything, creates the demonstration client folder build/demo-client when
# it is missing (embedded server over a seeded SQLite database), and starts the shell logged in
# to company PRTest50 as ZT with the sales-order program TAVI52 open.
# Extra arguments go to the shell; without a display the shell runs its smoke run (--smoke):
# it starts the program, reports, closes it and exits.
# Usage: scripts/demo.sh [orvane arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/build.sh
client="$(scripts/make-demo-client.sh build build/demo-client)"
export ORVANE_SETTINGS="$client/settings.ini"

args=(--demo --open TAVI52)
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  case " $* " in *" --smoke "*) ;; *) echo "No display: smoke run (--smoke)" >&2; args+=(--smoke) ;; esac
fi
exec build/src/shell/orvane "${args[@]}" "$@"
