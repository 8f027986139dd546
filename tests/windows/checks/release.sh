#!/usr/bin/env bash
# The release (scripts/package-windows), built from scratch twice, the
# second time from a copy of the sources in another folder, so that the
# name of neither the source nor the build folder can reach the file: the
# two must be the same bytes. The release folder holds the stripped program
# and its SHA-256, nothing else. The first build stays in RELEASE/1 for the
# checks of its imports and manifest.
#
#   release.sh RELEASE
source "$(dirname "$0")/../check_helper.sh"
release=$1
rm -rf "$release"
mkdir -p "$release"
sources=$work/release-sources
mkdir -p "$sources"

if ! { git ls-files -z -co --exclude-standard | tar --null -T - -cf - | tar -C "$sources" -xf -; }; then
  fail "release: the sources could not be copied (git ls-files)"
fi
if ! scripts/package-windows "$release/1" >"$work/release.log" 2>&1 ||
   ! "$sources/scripts/package-windows" "$release/2" >>"$work/release.log" 2>&1; then
  tail -20 "$work/release.log"
  fail "release: scripts/package-windows failed"
fi

# The number of COFF symbols in the PE header: 0 once stripped.
coff_symbols() {  # file
  local pe
  pe=$(od -An -tu4 -j 60 -N 4 "$1" | tr -d ' ')
  od -An -tu4 -j $((pe + 16)) -N 4 "$1" | tr -d ' '
}

listed=$(cd "$release/1" && ls -A | tr '\n' ' ')
symbols=$(coff_symbols "$release/1/brevak-upgrade.exe")
if [ "$listed" = "brevak-upgrade.exe brevak-upgrade.exe.sha256 " ] &&
   (cd "$release/1" && sha256sum --status -c brevak-upgrade.exe.sha256) &&
   [ "$symbols" = 0 ] &&
   cmp -s "$release/1/brevak-upgrade.exe" "$release/2/brevak-upgrade.exe" &&
   cmp -s "$release/1/brevak-upgrade.exe.sha256" "$release/2/brevak-upgrade.exe.sha256"; then
  pass "release: stripped, two builds from two folders byte-identical ($(cut -c1-16 "$release/1/brevak-upgrade.exe.sha256")...); the folder holds $listed"
fi
echo "COFF symbols: $symbols"
cmp -l "$release/1/brevak-upgrade.exe" "$release/2/brevak-upgrade.exe" | head -5 || true
fail "release: the folder holds $listed"
