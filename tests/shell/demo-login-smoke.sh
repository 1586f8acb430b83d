#!/usr/bin/env bash
# The shell end to end from the command line: a demonstration client folder made by
# scripts/make-demo-client.sh, then `orvane --demo` logging in with the folder's [Demo Login] and
# starting TAVI52 without a display; without that section --demo is refused with a message naming it.
# Usage: demo-login-smoke.sh BUILD_DIR
set -euo pipefail
build="$1"
root="$(cd "$(dirname "$0")/../.." && pwd)"
folder="$(mktemp -d)"
trap 'rm -rf "$folder"' EXIT

"$root/scripts/make-demo-client.sh" "$build" "$folder/client" >/dev/null
export ORVANE_SETTINGS="$folder/client/settings.ini" QT_QPA_PLATFORM=offscreen
"$build/src/shell/orvane" --demo --open TAVI52 --smoke

sed -i '/^\[Demo Login\]/,$d' "$folder/client/OrvaneC.ini"
if output="$("$build/src/shell/orvane" --demo --smoke 2>&1)"; then
  echo "--demo was accepted by an installation without [Demo Login]" >&2
  exit 1
fi
grep -q 'no \[Demo Login\] section' <<<"$output" || { echo "unexpected refusal: $output" >&2; exit 1; }
