#!/usr/bin/env bash
# The main job: builds everything, creates the demonstration client folder build/demo-client when
# it is missing (embedded server over a seeded SQLite database), and starts the shell logged in
# to company PRTest50 as ZT with the sales-order program TAVI52 open.
# Extra arguments go to the shell; without a display the shell runs its smoke run (--smoke):
# it starts the program, reports, closes it and exits.
# --lang CHS|CHT|ENG first sets the client's interface language (LangType) and stays set.
# Usage: scripts/demo.sh [--lang LANGUAGE] [orvane arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/build.sh
client="$(scripts/make-demo-client.sh build build/demo-client)"
export ORVANE_SETTINGS="$client/settings.ini"

if [ "${1:-}" = "--lang" ]; then
  scripts/set-language.sh "$client" "${2:?--lang needs CHS, CHT or ENG}"
  shift 2
fi

args=(--demo --open TAVI52)
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  case " $* " in *" --smoke "*) ;; *) echo "No display: smoke run (--smoke)" >&2; args+=(--smoke) ;; esac
fi
exec build/src/shell/orvane "${args[@]}" "$@"
