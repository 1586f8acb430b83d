#!/usr/bin/env bash
# Installs the Debian packages the build, the tests, the benchmarks and the packaging need.
# Idempotent: when every package is already installed it only checks and returns.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libmsgpack-cxx-dev libasio-dev
  libsqlite3-dev libpq-dev libssl-dev postgresql
  libopencc-dev libopencc-data
  qt6-base-dev qt6-svg-dev qt6-translations-l10n libgl-dev fonts-noto-cjk
  libxlsxwriter-dev python3-openpyxl
  dpkg-dev file desktop-file-utils adduser init-system-helpers logrotate
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
