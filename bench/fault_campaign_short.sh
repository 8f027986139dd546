#!/usr/bin/env bash
# The fault campaign's short share, for scripts/test: twenty small
# schedules of a fixed seed, well under a minute. Exits non-zero when a row
# is lost or "升级完成" is shown while rows are missing; the violation lines
# say which schedule (bench/fault_campaign.sh runs the long campaign).
set -euo pipefail
cd "$(dirname "$0")/.."
CAMPAIGN=${BUILD:-build}/bench/fault-campaign
[[ -x $CAMPAIGN ]] || { echo "fault_campaign_short.sh: build first ($CAMPAIGN)" >&2; exit 2; }
exec "$CAMPAIGN" --schedules 20 --seed 17 --rows 100 --follow-ups 1 --max-hold 1.5 --timeout 60 --jobs 2 "$@"
