#!/usr/bin/env bash
# Builds the Debian packages orvane-common, orvane-client and orvane-server into build/packages/
# from the plain build in build/ (made by scripts/build.sh or scripts/test.sh; after those nothing is
# compiled again). The build is set to install under /usr, which changes no compiled file.
# With --check, the packages are then checked as installed (scripts/package-check.sh).
# Usage: scripts/package.sh [--check]
set -euo pipefail
cd "$(dirname "$0")/.."

[ -f build/CMakeCache.txt ] || { echo "build/ is missing: run scripts/build.sh first" >&2; exit 1; }
scripts/install-deps.sh
cmake build -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
# Up to date after a full build; otherwise links what the packages hold.
cmake --build build -j"$(nproc)" --target orvane_packaged >/dev/null
rm -rf build/packages
(cd build && cpack -G DEB >/dev/null)
ls build/packages/*.deb
if [ "${1:-}" = "--check" ]; then scripts/package-check.sh; fi
