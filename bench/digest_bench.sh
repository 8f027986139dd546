#!/usr/bin/env bash
# The SHA-256 the in-progress record takes of the backup's two databases,
# for a shop of ROWS rows (default 1000000), on the Linux build and, when
# build-windows holds digest-bench.exe and wine is installed, on the
# Windows build under Wine. Each line says which build it measured.
#
#   bench/digest_bench.sh [ROWS]
#
# Needs the default build configured with -DBREVAK_BENCHMARKS=ON (for
# digest-bench) and make-shop-data; the Windows side needs
# `cmake --preset windows && cmake --build build-windows --target digest-bench`.
# Run by hand; no test runs it.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/shop_prefix.sh

ROWS=${1:-1000000}
BUILD=${BUILD:-build}
MAKER=$BUILD/make-shop-data
TOOL=$BUILD/brevak-upgrade
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

make_shop_prefix "$ROWS" "$work/prefix"
echo "shop of $ROWS rows: $(du -b "$work/prefix/drive_c/Brevak/Customerdata.car" | cut -f1) + $(du -b "$work/prefix/drive_c/Brevak/Addr.mdb" | cut -f1) bytes"
WINEPREFIX=$work/prefix "$BUILD/bench/digest-bench" 'C:\Brevak' 3

if [ -x build-windows/digest-bench.exe ] && command -v wine >/dev/null 2>&1; then
  # A prefix of Wine's own; the shop is reached through Z:.
  export WINEPREFIX=$work/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  wineboot -i >/dev/null 2>&1
  folder='Z:'$(echo "$work/prefix/drive_c/Brevak" | tr / '\\')
  echo -n "(under Wine) " && wine build-windows/digest-bench.exe "$folder" 3
  wineserver -k >/dev/null 2>&1 || true
fi
