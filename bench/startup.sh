#!/usr/bin/env bash
# The main window's opening time with 500 stored sites, against the same
# start with none, in one run. Goal: under one second with 500 sites.
set -euo pipefail
build="${1:-build}"
runs="${BENCH_RUNS:-5}"
sites="${BENCH_SITES:-500}"
bench="$build/velmora-startup-bench"
[ -x "$bench" ] || { echo "no $bench: build it first" >&2; exit 1; }
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/empty"
"$bench" --make-sites "$sites" "$work/full"

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
measure() {
    for _ in $(seq "$runs"); do
        HOME="$work" XDG_CONFIG_HOME="$work/config" "$bench" "$1" 2>/dev/null
    done | median
}
# Offscreen unless a display was given, so the figure does not depend on one.
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
ref=$(measure "$work/empty")
full=$(measure "$work/full")
printf 'window open, no stored site:  %5d ms (median of %d)\n' "$ref" "$runs"
printf 'window open, %d stored sites: %5d ms (median of %d)\n' "$sites" "$full" "$runs"
awk -v a="$full" -v b="$ref" 'BEGIN { printf "ratio %d sites / none: %.2f\n", '"$sites"', (b > 0 ? a / b : 0) }'
awk -v a="$full" 'BEGIN { printf "ratio to the 1000 ms goal: %.2f\n", a / 1000 }'
[ "$full" -lt 1000 ] || exit 2
