#!/usr/bin/env bash
# The fault campaign at length: random kills, disk errors (ENOSPC, EIO
# through strace's fault injection) and other programs holding a database,
# at random moments of updates, of the finishing of interrupted updates and
# of restores, each followed by what a user does next; and the safeguards'
# kinds (chains of interrupted restores, user folders named like backups,
# vanished backups, rejected schemas). Prints the schedules run, the rows
# lost, the false successes and the safeguards' counts (all must be 0) and
# a line for each violation, with the options that run that schedule again.
#
#   bench/fault_campaign.sh [SCHEDULES] [ROWS]   (default 200 schedules, a shop of 5000 rows)
#
# SEED (default 1), JOBS (default 2) and KEEP (a folder for the prefixes and
# transcripts of violating schedules) pass through; further options of
# build/tests/fault-campaign (--help) go after the two numbers. Needs the
# default build (cmake --preset default && cmake --build --preset default),
# strace, sqlite3 and sqlcipher.
set -euo pipefail
cd "$(dirname "$0")/.."
CAMPAIGN=${BUILD:-build}/tests/fault-campaign
[[ -x $CAMPAIGN ]] || { echo "fault_campaign.sh: build first ($CAMPAIGN)" >&2; exit 2; }
SCHEDULES=${1:-200}
ROWS=${2:-5000}
shift $(( $# < 2 ? $# : 2 ))
keep=()
[[ -n ${KEEP:-} ]] && keep=(--keep "$KEEP")
exec "$CAMPAIGN" --schedules "$SCHEDULES" --rows "$ROWS" --seed "${SEED:-1}" --jobs "${JOBS:-2}" "${keep[@]}" "$@"
