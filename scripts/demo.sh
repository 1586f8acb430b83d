#!/usr/bin/env bash
# Builds everything and runs the demonstration program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
exec build/demo/orvane-demo "$@"
