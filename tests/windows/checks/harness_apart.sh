#!/usr/bin/env bash
# The test ADO server replaces ADODB.Connection where it is registered: it
# is built into a folder of its own, so that a copy of the build folder's
# programs never carries it.
source "$(dirname "$0")/../check_helper.sh"
if [ -f "$win_build/test-harness/wine-ado-server.dll" ] &&
   [ -z "$(find "$win_build" -maxdepth 1 -iname '*.dll')" ]; then
  pass "the test ADO server is built into test-harness/, not beside brevak-upgrade.exe"
fi
fail "the test ADO server: $(find "$win_build" -maxdepth 2 -iname 'wine-ado-server.dll' | tr '\n' ' ')"
