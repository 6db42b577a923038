#!/usr/bin/env bash
# What replacing live files safely costs over a distant link: velmora-cli put
# of a tree of small files over the same files already on a server that holds
# every reply and each data connection's first byte 40 ms
# (bench/delayed_ftp_server.py), once the direct way (--no-atomic) and once
# through temporaries renamed into place (--atomic), both without and with
# --keep-times (MFMT).
#
#   bash bench/publish.sh BUILD_DIR
#
# Prints, per mode, the median wall time of BENCH_RUNS runs, the commands sent
# per file (counted in the --log conversation) and the extra round trips per
# file against --no-atomic --no-keep-times, from the time difference divided
# by the delay. Goals: atomic adds at most 3 commands per file (the SIZE of
# the temporary before its rename, RNFR, RNTO: a direct upload has its size
# checked by one listing of its folder after its files, which a rename that
# waits for the check cannot use), keep-times at most 1 more (MFMT).
#
# Knobs (environment): BENCH_RUNS (3), BENCH_TREE_FILES (200),
# BENCH_TREE_FOLDERS (10), BENCH_DELAY_MS (40), BENCH_TMPDIR,
# BENCH_CMD_TIMEOUT (300).
#
# Exit status: 0 goals met, 2 a goal was missed, 1 the benchmark failed.
set -uo pipefail

RUNS=${BENCH_RUNS:-3}
TREE_FILES=${BENCH_TREE_FILES:-200}
TREE_FOLDERS=${BENCH_TREE_FOLDERS:-10}
DELAY_MS=${BENCH_DELAY_MS:-40}
CMD_TIMEOUT=${BENCH_CMD_TIMEOUT:-300}
PYTHON=/usr/bin/python3
HERE=$(cd "$(dirname "$0")" && pwd)
WORK=""
SERVER_PID=""

die() {
    echo "bench: $*" >&2
    exit 1
}

cleanup() {
    local status=$?
    trap - EXIT INT TERM
    if [ -n "$SERVER_PID" ]; then
        kill -TERM "$SERVER_PID" 2>/dev/null
        wait "$SERVER_PID" 2>/dev/null
    fi
    [ -n "$WORK" ] && rm -rf -- "$WORK"
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

[ $# -eq 1 ] || die "usage: bash bench/publish.sh BUILD_DIR"
CLI="$(cd "$1" 2>/dev/null && pwd)/velmora-cli"
[ -x "$CLI" ] || die "no velmora-cli in $1 (cmake --build $1 --target velmora-cli)"

WORK=$(mktemp -d "${BENCH_TMPDIR:-${TMPDIR:-/tmp}}/velmora-publish.XXXXXX") || die "no work folder"
mkdir -p "$WORK/local/site" "$WORK/srv" "$WORK/set"

# 1-8 KB files spread over the folders, the same every run.
"$PYTHON" - "$WORK/local/site" "$TREE_FILES" "$TREE_FOLDERS" <<'EOF' || die "could not make the tree"
import os, random, sys
root, files, folders = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
rng = random.Random(20261209)
for f in range(folders):
    os.makedirs(os.path.join(root, "d%02d" % f), exist_ok=True)
for i in range(files):
    path = os.path.join(root, "d%02d" % (i % folders), "f%03d.html" % i)
    with open(path, "wb") as out:
        out.write(rng.randbytes(rng.randint(1024, 8192)))
EOF

"$PYTHON" "$HERE/delayed_ftp_server.py" --root "$WORK/srv" --anonymous \
    --delay-ms "$DELAY_MS" >"$WORK/port" 2>"$WORK/server.log" &
SERVER_PID=$!
for _ in $(seq 100); do
    grep -q '^PORT ' "$WORK/port" 2>/dev/null && break
    kill -0 "$SERVER_PID" 2>/dev/null || die "the server did not start: $(cat "$WORK/server.log")"
    sleep 0.1
done
PORT=$(sed -n 's/^PORT //p' "$WORK/port")
[ -n "$PORT" ] || die "the server did not say its port"
URL="ftp://127.0.0.1:$PORT"

echo "bench: $TREE_FILES files in $TREE_FOLDERS folders, replies held $DELAY_MS ms, $RUNS runs"
echo "bench: load average $(cut -d' ' -f1-3 /proc/loadavg)"

# One run: the server holds the old files (written on its disk directly), the
# upload replaces them. Prints "SECONDS COMMANDS".
run() {
    rm -rf "$WORK/srv/site"
    cp -r "$WORK/local/site" "$WORK/srv/site"
    find "$WORK/srv/site" -type f -exec sh -c 'printf old > "$1"' _ {} \;
    local start end
    start=$(date +%s.%N)
    timeout "$CMD_TIMEOUT" "$CLI" --setting-dir "$WORK/set" --timeout "$CMD_TIMEOUT" --log "$URL" \
        put --action always "$@" "$WORK/local/site" / >"$WORK/out" 2>"$WORK/log" ||
        { tail -n 20 "$WORK/log" >&2; die "put $* failed"; }
    end=$(date +%s.%N)
    diff -r "$WORK/local/site" "$WORK/srv/site" >/dev/null || die "put $* did not arrive whole"
    # Commands the client sent: the log shows each as "sent: COMMAND".
    local commands
    commands=$(grep -c '^sent: ' "$WORK/log")
    echo "$(echo "$end - $start" | bc -l) $commands"
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

declare -A SECONDS_OF COMMANDS_OF
MODES=("--no-atomic --no-keep-times" "--atomic --no-keep-times" "--no-atomic --keep-times"
       "--atomic --keep-times")
for mode in "${MODES[@]}"; do
    times=()
    for _ in $(seq "$RUNS"); do
        read -r t c < <(run $mode) || die "run failed"
        times+=("$t")
        COMMANDS_OF[$mode]=$c
    done
    SECONDS_OF[$mode]=$(printf '%s\n' "${times[@]}" | median)
done

BASE="--no-atomic --no-keep-times"
status=0
printf '%-28s %9s %14s %16s %16s\n' mode seconds commands/file "more cmds/file" "more RTT/file"
for mode in "${MODES[@]}"; do
    per=$(echo "${COMMANDS_OF[$mode]} / $TREE_FILES" | bc -l)
    more=$(echo "(${COMMANDS_OF[$mode]} - ${COMMANDS_OF[$BASE]}) / $TREE_FILES" | bc -l)
    rtt=$(echo "(${SECONDS_OF[$mode]} - ${SECONDS_OF[$BASE]}) * 1000 / $DELAY_MS / $TREE_FILES" |
        bc -l)
    printf '%-28s %9.2f %14.2f %16.2f %16.2f\n' "$mode" "${SECONDS_OF[$mode]}" "$per" "$more" "$rtt"
done
limit() {
    local mode=$1 most=$2
    local more
    more=$(echo "(${COMMANDS_OF[$mode]} - ${COMMANDS_OF[$BASE]}) / $TREE_FILES" | bc -l)
    if [ "$(echo "$more > $most" | bc -l)" = 1 ]; then
        echo "bench: goal missed: $mode sends $more more commands per file (at most $most)"
        status=2
    fi
}
limit "--atomic --no-keep-times" 3
limit "--no-atomic --keep-times" 1
limit "--atomic --keep-times" 4
echo "bench: load average $(cut -d' ' -f1-3 /proc/loadavg)"
exit $status
