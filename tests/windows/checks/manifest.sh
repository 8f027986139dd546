#!/usr/bin/env bash
# The manifest of a Windows program of ours. Without one Vista and later run
# the 32-bit tool virtualized: its writes under Program Files go to the
# user's VirtualStore and the tool says "升级完成". The manifest asks for
# administrator rights and names the systems from Vista to 11; it leaves
# DPI handling as it was.
#
#   manifest.sh EXE NAME
source "$(dirname "$0")/../check_helper.sh"
exe=$1 name=$2

found=$(python3 tests/differential/pe_manifest.py "$exe") || fail "manifest of $name: $found"
if grep -qx 'execution level requireAdministrator' <<<"$found" &&
   [ "$(grep -c '^supported OS ' <<<"$found")" -eq 5 ] &&
   grep -qxi 'supported OS {e2011457-1546-43c5-a5fe-008deee3d3f0}' <<<"$found" &&
   grep -qxi 'supported OS {8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}' <<<"$found" &&
   grep -qx 'dpi aware none' <<<"$found"; then
  pass "manifest of $name: requireAdministrator, Vista to 10/11, DPI unchanged"
fi
sed 's/^/  /' <<<"$found"
fail "manifest of $name"
