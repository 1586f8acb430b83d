#!/usr/bin/env bash
# Renders the order window on the demo order (embedded demonstration server, offscreen) to
# docs/order-window.png, the picture the README shows, at 1366 x 768 unless a size is given.
# Usage: scripts/screenshot.sh [output.png [WIDTHxHEIGHT]]
set -euo pipefail
cd "$(dirname "$0")/.."

output="$(realpath -m "${1:-docs/order-window.png}")"
cmake --build build --target test_salesorder tavi52c
ORVANE_SCREENSHOT="$output" ORVANE_SCREENSHOT_SIZE="${2:-1366x768}" QT_QPA_PLATFORM=offscreen build/tests/salesorder/test_salesorder \
  --gtest_also_run_disabled_tests --gtest_filter='OrderScreenshot.DISABLED_RendersTheOrderWindowOnTheDemoOrder'
echo "$output"
