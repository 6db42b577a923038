#!/usr/bin/env bash
# A large Unix listing on its way to the remote list: parse and sort, fill the
# explorer and paint, scroll and select; and velmora-cli's parse of the same
# listing for comparison. Not a test: the figures depend on the machine's load.
#
#   bash bench/listing.sh BUILD_DIR [LINES]
#
# BUILD_DIR holds velmora-cli and listing_bench. Exit status: 0 goals met,
# 2 a goal missed, 1 the benchmark could not run.
set -euo pipefail

build=${1:?usage: bench/listing.sh BUILD_DIR [LINES]}
lines=${2:-100000}
bench="$build/listing_bench"
cli="$build/velmora-cli"
[[ -x "$bench" && -x "$cli" ]] || { echo "listing_bench or velmora-cli missing in $build" >&2; exit 1; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

echo "load average at start: $(cut -d' ' -f1-3 /proc/loadavg)"
# Offscreen unless a display is given; the paint is the same work.
status=0
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$bench" --lines "$lines" --keep "$tmp/listing.txt" || status=$?
[[ $status -eq 0 || $status -eq 2 ]] || exit 1

start=$(date +%s%N)
"$cli" parse --unix "$tmp/listing.txt" > /dev/null
end=$(date +%s%N)
echo "velmora-cli parse (with printing)  $(( (end - start) / 1000000 )) ms"
echo "load average at end: $(cut -d' ' -f1-3 /proc/loadavg)"
exit $status
