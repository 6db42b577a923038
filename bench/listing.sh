#!/usr/bin/env bash
# Large listings: parse, sort and show one in the remote list (listing_bench,
# in-process); the peak memory of `velmora-cli ls` for a very large folder and
# of the window showing a large folder, each fetched from a local scripted
# server. Not a test: the figures depend on the machine's load.
#
#   bash bench/listing.sh BUILD_DIR [LINES] [REFERENCE_BUILD_DIR]
#
# BUILD_DIR holds velmora, velmora-cli and listing_bench. REFERENCE_BUILD_DIR,
# when given, holds another velmora and velmora-cli (an older build, say) that
# are measured the same way in the same run, side by side. LINES (100,000) is
# the size of the listing shown in the window; BENCH_CLI_LINES (2,000,000) the
# one `velmora-cli ls` prints. Exit status: 0 goals met, 2 a goal missed, 1 the
# benchmark could not run.
set -euo pipefail

build=${1:?usage: bench/listing.sh BUILD_DIR [LINES] [REFERENCE_BUILD_DIR]}
lines=${2:-100000}
reference=${3:-}
cli_lines=${BENCH_CLI_LINES:-2000000}
bench="$build/listing_bench"
here=$(cd "$(dirname "$0")" && pwd)
server_script="$here/../tests/support/scripted_ftp_server.py"
python=/usr/bin/python3
for program in "$bench" "$build/velmora-cli" "$build/velmora"; do
    [[ -x "$program" ]] || { echo "$program is missing" >&2; exit 1; }
done
if [[ -n "$reference" ]]; then
    for program in "$reference/velmora-cli" "$reference/velmora"; do
        [[ -x "$program" ]] || { echo "$program is missing" >&2; exit 1; }
    done
fi
[[ -x /usr/bin/time ]] || { echo "/usr/bin/time is missing (package time)" >&2; exit 1; }

tmp=$(mktemp -d)
server_pid=""
window_pid=""
stop_server() {
    if [[ -n "$server_pid" ]]; then
        kill "$server_pid" 2>/dev/null || true
        wait "$server_pid" 2>/dev/null || true
        server_pid=""
    fi
}
cleanup() {
    [[ -n "$window_pid" ]] && kill "$window_pid" 2>/dev/null || true
    stop_server
    rm -rf "$tmp"
}
trap cleanup EXIT

# Serves LISTING_FILE as the LIST answer for "/" (MLSD not offered).
start_server() {
    local listing=$1 name=$2
    printf '{"start": "/", "mlsd": false, "tree": {"/": {"list_file": "%s"}}}\n' "$listing" \
        > "$tmp/$name.json"
    : > "$tmp/$name.transcript"
    "$python" "$server_script" --script "$tmp/$name.json" --transcript "$tmp/$name.transcript" \
        --upload-dir "$tmp/upload" > "$tmp/$name.port" 2> "$tmp/$name.log" &
    server_pid=$!
    for _ in $(seq 100); do
        grep -q '^PORT ' "$tmp/$name.port" 2>/dev/null && break
        sleep 0.1
    done
    port=$(sed -n 's/^PORT //p' "$tmp/$name.port")
    [[ -n "$port" ]] || { echo "the scripted server did not start" >&2; cat "$tmp/$name.log" >&2; exit 1; }
}

# Offscreen unless a display is given; the paint is the same work.
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
echo "load average at start: $(cut -d' ' -f1-3 /proc/loadavg)"
status=0

# 1. In-process: parse and sort, show, scroll, sort by columns.
"$bench" --lines "$lines" --keep "$tmp/listing.txt" || status=$?
[[ $status -eq 0 || $status -eq 2 ]] || exit 1
start=$(date +%s%N)
"$build/velmora-cli" parse --unix "$tmp/listing.txt" > /dev/null
end=$(date +%s%N)
echo "velmora-cli parse (with printing)  $(( (end - start) / 1000000 )) ms"

# 2. velmora-cli ls of a folder of BENCH_CLI_LINES entries: peak resident memory.
"$bench" --lines "$cli_lines" --write "$tmp/cli-listing.txt"
start_server "$tmp/cli-listing.txt" cli
cli_peak() {  # BUILD -> peak kB of one `ls`
    /usr/bin/time -f '%M' -o "$tmp/time.out" \
        "$1/velmora-cli" --timeout 300 "ftp://127.0.0.1:$port/" ls > "$tmp/ls.out"
    local shown
    shown=$(wc -l < "$tmp/ls.out")
    [[ "$shown" -eq "$cli_lines" ]] || { echo "velmora-cli ls printed $shown of $cli_lines entries" >&2; exit 1; }
    tail -1 "$tmp/time.out"
}
cli_kb=$(cli_peak "$build")
cli_per_entry=$(( cli_kb * 1024 / cli_lines ))
echo "velmora-cli ls, $cli_lines entries: peak $(( cli_kb / 1024 )) MB, $cli_per_entry bytes an entry (goal <= 250)"
[[ $cli_per_entry -le 250 ]] || status=2
if [[ -n "$reference" ]]; then
    ref_kb=$(cli_peak "$reference")
    echo "  reference build:                  peak $(( ref_kb / 1024 )) MB, $(( ref_kb * 1024 / cli_lines )) bytes an entry"
fi
stop_server
rm -f "$tmp/cli-listing.txt" "$tmp/ls.out"

# 3. The window opening a folder of LINES entries: peak resident memory once
# the list is shown (the process has used no CPU for a second after the
# listing was sent), and how often the folder was listed.
start_server "$tmp/listing.txt" window
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null || echo -1; }
window_peak() {  # BUILD -> "peak_kB listings"
    local settings="$tmp/settings-$RANDOM"
    mkdir -p "$settings"
    : > "$tmp/window.transcript"
    "$1/velmora" --setting-dir "$settings" "ftp://127.0.0.1:$port/" \
        > "$tmp/window.out" 2>&1 &
    window_pid=$!
    local last=-2 still=0
    for _ in $(seq 1200); do
        sleep 0.25
        kill -0 "$window_pid" 2>/dev/null || { echo "the window ended early" >&2; cat "$tmp/window.out" >&2; exit 1; }
        grep -qE '^(LIST|MLSD)' "$tmp/window.transcript" || continue
        local now
        now=$(cpu_ticks "$window_pid")
        if [[ "$now" == "$last" ]]; then still=$((still + 1)); else still=0; fi
        last=$now
        [[ $still -ge 4 ]] && break
    done
    local peak
    peak=$(awk '/^VmHWM:/ {print $2}' "/proc/$window_pid/status")
    kill "$window_pid" 2>/dev/null || true
    wait "$window_pid" 2>/dev/null || true
    window_pid=""
    echo "$peak $(grep -cE '^(LIST|MLSD)' "$tmp/window.transcript")"
}
read -r win_kb win_listings < <(window_peak "$build")
echo "window showing $lines entries: peak $(( win_kb / 1024 )) MB (goal <= 120), listed $win_listings time(s) (goal 1)"
[[ $(( win_kb / 1024 )) -le 120 && $win_listings -eq 1 ]] || status=2
if [[ -n "$reference" ]]; then
    read -r ref_kb ref_listings < <(window_peak "$reference")
    echo "  reference build:                  peak $(( ref_kb / 1024 )) MB, listed $ref_listings time(s)"
fi
stop_server

echo "load average at end: $(cut -d' ' -f1-3 /proc/loadavg)"
exit $status
