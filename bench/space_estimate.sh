#!/usr/bin/env bash
# The update's free-space estimate against the space a whole update really
# takes at its peak, on a few shops (many rows, pictures, a large package):
#
#   bench/space_estimate.sh [ROWS]   (default 200000)
#
# Each shop's drive C is a tmpfs of its own. The estimate is what the tool
# says it needs when the drive is left 1 MB free ("需要 N MB"); the peak is
# the most the drive's use rose above its use before a whole update, sampled
# every few milliseconds while the update runs on a roomy drive. The estimate
# must never be below the peak, and should be at most about 1.3 times it.
# Needs root (it mounts tmpfs) and the default build.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/shop_prefix.sh

ROWS=${1:-200000}
BUILD=${BUILD:-build}
TOOL=$BUILD/brevak-upgrade
MAKER=$BUILD/make-shop-data
PE=tests/fixtures/pe
[[ -x $TOOL && -x $MAKER ]] || { echo "space_estimate: build first ($TOOL, $MAKER)" >&2; exit 2; }
[ "$(id -u)" -eq 0 ] || { echo "space_estimate: needs root to mount tmpfs" >&2; exit 2; }

WORK=$(mktemp -d "${TMPDIR:-/tmp}/brevak-space-bench-XXXXXX")
mounted=()
cleanup() {
  local m
  for m in "${mounted[@]}"; do umount "$m" 2>/dev/null || true; done
  rm -rf "$WORK"
}
trap cleanup EXIT

used_bytes() { df --output=used -B1 "$1" | tail -n 1 | tr -d ' '; }

# make_shop NAME SHAPE-OPTIONS...: a prefix whose drive C is a tmpfs.
make_shop() {
  local name=$1 prefix=$WORK/$1
  shift
  make_shop_prefix 0 "$prefix.template" spread
  "$MAKER" --out "$prefix.template/drive_c/Brevak" --variant old "$@" --seed 1 --force >/dev/null
  cp "$PE/brevak_5_06_0004.exe" "$prefix.template/drive_c/Brevak/Brevak.exe"
  cp "$PE/brevak_5_06_0005.exe" "$prefix.template/drive_c/pkg/Brevak.exe"
  mkdir -p "$prefix/drive_c"
  mount -t tmpfs -o size=4g tmpfs "$prefix/drive_c"
  mounted+=("$prefix/drive_c")
  cp -a "$prefix.template/." "$prefix/"
  rm -rf "$prefix.template"
}

run_update() {
  printf 'yes\nclick CmdUpdate\nok\nok\nok\n' >"$WORK/script"
  WINEPREFIX=$1 BREVAK_UI_SCRIPT=$WORK/script "$1/drive_c/pkg/brevak-upgrade" 2>/dev/null || true
}

# The megabytes the tool says it needs with 1 MB left free.
estimate_mb() {
  local prefix=$1 drive=$1/drive_c used
  used=$(used_bytes "$drive")
  mount -o remount,size=$((used + 1024 * 1024)) "$drive"
  run_update "$prefix" | sed -n 's/.*需要 \([0-9]*\) MB.*/\1/p' | head -n 1
  mount -o remount,size=4g "$drive"
}

# The most the drive's use rose during a whole update, in bytes.
peak_bytes() {
  local prefix=$1 drive=$1/drive_c base peak=0 now
  base=$(used_bytes "$drive")
  run_update "$prefix" >"$WORK/transcript" &
  local tool=$!
  while kill -0 "$tool" 2>/dev/null; do
    now=$(used_bytes "$drive")
    [ "$now" -gt "$peak" ] && peak=$now
    sleep 0.005
  done
  wait "$tool" || true
  grep -q '升级完成' "$WORK/transcript" || { echo "space_estimate: the update did not complete" >&2; exit 1; }
  echo $((peak - base))
}

printf '%-16s %12s %12s %8s\n' shop estimate_MB peak_MB ratio
measure() {
  local name=$1 estimate peak
  estimate=$(estimate_mb "$WORK/$name")
  peak=$(peak_bytes "$WORK/$name")
  awk -v n="$name" -v e="$estimate" -v p="$peak" 'BEGIN {
    pm = p / 1048576; printf "%-16s %12d %12.1f %8.2f%s\n", n, e, pm, e / pm, (e < pm ? "  BELOW THE PEAK" : "") }'
}

make_shop many-rows --rows "$ROWS"
measure many-rows
make_shop pictures --rows $((ROWS / 10)) --table Pic=$((ROWS / 20))
measure pictures
make_shop large-package --rows $((ROWS / 10))
head -c $((64 * 1024 * 1024)) /dev/urandom >"$WORK/large-package/drive_c/pkg/adbLarge.dll"
measure large-package
