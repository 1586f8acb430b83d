#!/usr/bin/env bash
# Renders the order window on the demo order (embedded demonstration server, offscreen) to
# docs/order-window.png, the picture the README shows, at 1366 x 768 unless a size is given, in
# the interface language --lang names (CHS, CHT or ENG; the demo dictionary's; CHS by default).
# Usage: scripts/screenshot.sh [--lang LANG] [output.png [WIDTHxHEIGHT]]
set -euo pipefail
cd "$(dirname "$0")/.."

language=""
if [[ "${1:-}" == "--lang" ]]; then
  case "${2:-}" in
    CHS|CHT|ENG) language="$2" ;;
    *) echo "screenshot.sh: --lang takes CHS, CHT or ENG, not '${2:-}'" >&2; exit 2 ;;
  esac
  shift 2
fi
output="$(realpath -m "${1:-docs/order-window.png}")"
cmake --build build --target test_salesorder tavi52c orvane_dictionary_files
ORVANE_SCREENSHOT="$output" ORVANE_SCREENSHOT_SIZE="${2:-1366x768}" ORVANE_SCREENSHOT_LANG="$language" \
  QT_QPA_PLATFORM=offscreen build/tests/salesorder/test_salesorder \
  --gtest_also_run_disabled_tests --gtest_filter='OrderScreenshot.DISABLED_RendersTheOrderWindowOnTheDemoOrder'
echo "$output"
