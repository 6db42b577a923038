#!/usr/bin/env bash
# Transfer benchmark of velmora-cli against curl (one large file) and lftp
# (a tree of small files) on a private vsftpd on 127.0.0.1.
#
#   bash bench/run.sh BUILD_DIR        (make bench does this with BUILD_DIR=build)
#
# Knobs (environment): BENCH_RUNS (3), BENCH_BIG_MIB (1024), BENCH_SMALL_MIB (100),
# BENCH_TREE_FILES (2000), BENCH_TREE_FOLDERS (100), BENCH_ONLY (big|tree),
# BENCH_TMPDIR (the temporary folders go there; default $TMPDIR or /tmp),
# BENCH_CMD_TIMEOUT (seconds one client run may take, 900), BENCH_NO_GNU_TIME
# (set: poll /proc for the peak memory even where /usr/bin/time exists).
#
# Exit status: 0 all goals met, 2 a goal was missed, 1 the benchmark itself
# failed (setup, a client error, or a transfer that did not compare equal).
set -uo pipefail

RUNS=${BENCH_RUNS:-3}
BIG_MIB=${BENCH_BIG_MIB:-1024}
SMALL_MIB=${BENCH_SMALL_MIB:-100}
TREE_FILES=${BENCH_TREE_FILES:-2000}
TREE_FOLDERS=${BENCH_TREE_FOLDERS:-100}
ONLY=${BENCH_ONLY:-}
CMD_TIMEOUT=${BENCH_CMD_TIMEOUT:-900}
TREE_SEED=20240611
# Peak memory may differ between two file sizes by what the bounded buffers
# hold at their fullest (4 MiB socket read buffer, 512 KiB send window, block
# buffers), not by anything that scales with the file: 924 MiB more file.
GROWTH_LIMIT_KB=8192

WORK=""
SERVER_PID=""
CLIENT_PID=""
PORT=""
FAILED_GOALS=0

die() {
    echo "bench: $*" >&2
    if [ -n "$WORK" ] && [ -f "$WORK/srv/vsftpd.log" ]; then
        echo "bench: last lines of the server log:" >&2
        tail -n 15 "$WORK/srv/vsftpd.log" >&2
    fi
    exit 1
}

# All processes below pid, children first.
descendants() {
    local parent=$1 pid
    for pid in $(ps -o pid= --ppid "$parent" 2>/dev/null); do
        descendants "$pid"
        echo "$pid"
    done
}

stop_server() {
    [ -n "$SERVER_PID" ] || return 0
    local pids
    pids="$(descendants "$SERVER_PID") $SERVER_PID"
    # vsftpd runs in a process group of its own (setsid): the group and every
    # descendant found above, so session processes that left the group go too.
    kill -TERM -- "-$SERVER_PID" 2>/dev/null
    kill -TERM $pids 2>/dev/null
    local i
    for i in 1 2 3 4 5 6 7 8 9 10; do
        kill -0 "$SERVER_PID" 2>/dev/null || break
        sleep 0.1
    done
    kill -KILL -- "-$SERVER_PID" 2>/dev/null
    kill -KILL $pids 2>/dev/null
    wait "$SERVER_PID" 2>/dev/null
    SERVER_PID=""
}

# The client being measured, if the run was cut short: its process group
# (timeout makes one) and its descendants.
stop_client() {
    [ -n "$CLIENT_PID" ] || return 0
    local pids
    pids="$(descendants "$CLIENT_PID") $CLIENT_PID"
    kill -KILL -- "-$CLIENT_PID" 2>/dev/null
    kill -KILL $pids 2>/dev/null
    wait "$CLIENT_PID" 2>/dev/null
    CLIENT_PID=""
}

cleanup() {
    local status=$?
    trap - EXIT INT TERM
    stop_client
    stop_server
    if [ -n "$WORK" ] && [ -d "$WORK" ]; then
        rm -rf -- "$WORK"
    fi
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# ---------------------------------------------------------------- checks

if [ $# -ne 1 ]; then
    echo "usage: bash bench/run.sh BUILD_DIR" >&2
    exit 1
fi
CLI="$(cd "$1" 2>/dev/null && pwd)/velmora-cli"
[ -x "$CLI" ] || die "no velmora-cli in $1 (build it first: cmake --build $1 --target velmora-cli)"
[ "$(id -u)" -eq 0 ] || die "vsftpd serves anonymous users only when started as root"
[ -x /usr/sbin/vsftpd ] || die "/usr/sbin/vsftpd is not installed (scripts/install-deps.sh)"
id ftp >/dev/null 2>&1 || die "the 'ftp' account that the vsftpd package creates is missing"
for tool in curl lftp python3 cmp diff timeout; do
    command -v "$tool" >/dev/null || die "$tool is not installed (scripts/install-deps.sh)"
done
if [ -x /usr/bin/time ] && [ -z "${BENCH_NO_GNU_TIME:-}" ]; then
    HAVE_GNU_TIME=1
else
    HAVE_GNU_TIME=0
    echo "bench: /usr/bin/time (Debian package 'time') is missing: peak memory is polled" \
        "from /proc/PID/status (VmHWM) every 10 ms instead" >&2
fi

# ---------------------------------------------------------------- measuring

# run_measured LABEL CMD...: runs CMD bounded by CMD_TIMEOUT with its output in
# the log folder; sets SECONDS_TAKEN (wall clock, microsecond resolution),
# PEAK_KB (peak resident memory of the client) and CPU_SECONDS (user + system,
# "-" without GNU time). False when CMD failed.
run_measured() {
    local label=$1
    shift
    local log="$WORK/logs/$label.log" tfile="$WORK/logs/$label.time"
    local start end status
    sync  # dirty pages of the previous run are not this run's cost
    # Started in the background and waited for, so that a signal to this
    # script is handled at once (the trap then stops the client).
    if [ "$HAVE_GNU_TIME" -eq 1 ]; then
        start=$EPOCHREALTIME
        # timeout signals its whole process group, so time's child goes too.
        timeout --kill-after=10 "$CMD_TIMEOUT" /usr/bin/time -f '%e %M %U %S' -o "$tfile" \
            "$@" >"$log" 2>&1 &
        CLIENT_PID=$!
        wait "$CLIENT_PID"
        status=$?
        end=$EPOCHREALTIME
        CLIENT_PID=""
        # time puts "Command exited with non-zero status N" before the figures.
        PEAK_KB=$(tail -n 1 "$tfile" 2>/dev/null | awk '{print $2}')
        CPU_SECONDS=$(tail -n 1 "$tfile" 2>/dev/null | awk '{printf "%.2f", $3 + $4}')
    else
        local pid hwm key value rest deadline
        start=$EPOCHREALTIME
        "$@" >"$log" 2>&1 &
        pid=$!
        CLIENT_PID=$pid
        hwm=0
        deadline=$((${start%.*} + CMD_TIMEOUT))
        while kill -0 "$pid" 2>/dev/null; do
            while read -r key value rest; do
                if [ "$key" = "VmHWM:" ] && [ "$value" -gt "$hwm" ]; then
                    hwm=$value
                fi
            done <"/proc/$pid/status" 2>/dev/null
            if [ "${EPOCHREALTIME%.*}" -ge "$deadline" ]; then
                kill -KILL "$pid" 2>/dev/null
            fi
            # Not read -t: bash 5.2 aborts when a trapped signal hits it.
            sleep 0.01
        done
        wait "$pid"
        status=$?
        end=$EPOCHREALTIME
        CLIENT_PID=""
        PEAK_KB=$hwm
        CPU_SECONDS=-
    fi
    SECONDS_TAKEN=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }')
    [ -n "$PEAK_KB" ] || PEAK_KB=0
    [ -n "$CPU_SECONDS" ] || CPU_SECONDS=-
    echo "$label $SECONDS_TAKEN $PEAK_KB $status $CPU_SECONDS" >>"$WORK/logs/runs.txt"
    if [ "$status" -ne 0 ]; then
        echo "bench: $label exited with status $status; its output:" >&2
        tail -n 20 "$log" >&2
        return 1
    fi
    return 0
}

# Median of the numbers on stdin.
median() {
    sort -g | awk '{ v[NR] = $1 } END { if (NR == 0) print "nan"; else if (NR % 2) print v[(NR + 1) / 2]; else printf "%.3f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

maximum() {
    sort -g | tail -n 1
}

# Values of one column of runs.txt for the runs whose label starts with $1.
column_of() {
    awk -v p="$1" -v c="$2" 'index($1, p) == 1 { print $c }' "$WORK/logs/runs.txt"
}

# ---------------------------------------------------------------- server

start_server() {
    local attempt token banner
    for attempt in 1 2 3 4 5; do
        PORT=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
        token="bench$RANDOM$RANDOM"
        cat >"$WORK/srv/vsftpd.conf" <<EOF
listen=YES
listen_ipv6=NO
listen_address=127.0.0.1
listen_port=$PORT
background=NO
pasv_enable=YES
pasv_address=127.0.0.1
port_enable=NO
seccomp_sandbox=NO
isolate=NO
isolate_network=NO
secure_chroot_dir=$WORK/srv/empty
xferlog_enable=YES
xferlog_std_format=NO
dual_log_enable=NO
syslog_enable=NO
log_ftp_protocol=YES
vsftpd_log_file=$WORK/srv/vsftpd.log
local_enable=NO
anonymous_enable=YES
no_anon_password=NO
anon_root=$WORK/root
write_enable=YES
anon_upload_enable=YES
anon_mkdir_write_enable=YES
anon_other_write_enable=YES
anon_umask=022
local_umask=022
force_dot_files=YES
use_localtime=NO
ftpd_banner=Velmora bench vsftpd $token
EOF
        # A process group of its own, so cleanup reaches its session processes.
        setsid /usr/sbin/vsftpd "$WORK/srv/vsftpd.conf" >>"$WORK/srv/start.log" 2>&1 &
        SERVER_PID=$!
        local i
        for i in $(seq 1 50); do
            kill -0 "$SERVER_PID" 2>/dev/null || break
            banner=$(timeout 2 bash -c "exec 3<>/dev/tcp/127.0.0.1/$PORT && head -n 1 <&3" 2>/dev/null)
            if [[ "$banner" == 220*"$token"* ]]; then
                return 0
            fi
            sleep 0.1
        done
        stop_server
        grep -q "could not bind" "$WORK/srv/start.log" || break
    done
    cat "$WORK/srv/start.log" >&2
    die "vsftpd did not start"
}

# ---------------------------------------------------------------- data

BENCH_BASE=${BENCH_TMPDIR:-${TMPDIR:-/tmp}}
WORK=$(mktemp -d "$BENCH_BASE/velmora-bench.XXXXXX") || die "cannot create a temporary folder in $BENCH_BASE"
mkdir -p "$WORK/srv/empty" "$WORK/root/pub/up" "$WORK/data" "$WORK/out" "$WORK/logs" ||
    die "cannot create the folders in $WORK"
# Anonymous users are locked into root, which must not be theirs to write;
# /pub is theirs.
chmod 755 "$WORK" "$WORK/root"
chown -R ftp:ftp "$WORK/root/pub"
: >"$WORK/logs/runs.txt"

LOAD_START=$(cut -d ' ' -f 1-3 /proc/loadavg)
echo "bench: velmora-cli: $CLI"
echo "bench: temporary folder: $WORK"

if [ "$ONLY" != "tree" ]; then
    echo "bench: writing $BIG_MIB MiB of /dev/urandom (once) and its first $SMALL_MIB MiB ..."
    head -c "$((BIG_MIB * 1024 * 1024))" /dev/urandom >"$WORK/data/big.bin" ||
        die "cannot write the large test file"
    head -c "$((SMALL_MIB * 1024 * 1024))" "$WORK/data/big.bin" >"$WORK/data/small.bin" ||
        die "cannot write the small test file"
    # The server serves the same bytes; a hard link costs no second copy and
    # uploads go to /pub/up, never to these names.
    ln "$WORK/data/big.bin" "$WORK/root/pub/big.bin" &&
        ln "$WORK/data/small.bin" "$WORK/root/pub/small.bin" || die "cannot link the test files"
    chmod 644 "$WORK/data/big.bin" "$WORK/data/small.bin"
fi

if [ "$ONLY" != "big" ]; then
    echo "bench: writing a tree of $TREE_FILES files (1-8 KiB, seed $TREE_SEED) in $TREE_FOLDERS folders ..."
    python3 - "$WORK/data/tree" "$TREE_FILES" "$TREE_FOLDERS" "$TREE_SEED" <<'EOF' || die "cannot write the test tree"
import os, random, sys
root, files, folders, seed = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
rng = random.Random(seed)
for f in range(folders):
    os.makedirs(os.path.join(root, "d%03d" % f))
for i in range(files):
    size = rng.randint(1024, 8192)
    path = os.path.join(root, "d%03d" % (i % folders), "f%04d.bin" % i)
    with open(path, "wb") as out:
        out.write(rng.randbytes(size))
EOF
    cp -r "$WORK/data/tree" "$WORK/root/pub/tree" || die "cannot copy the test tree"
    chmod -R a+rX "$WORK/data/tree" "$WORK/root/pub/tree"
    chown -R ftp:ftp "$WORK/root/pub/tree"
fi

start_server
echo "bench: vsftpd (pid $SERVER_PID) on 127.0.0.1:$PORT"
URL="ftp://127.0.0.1:$PORT"

VELMORA=("$CLI" --timeout "$CMD_TIMEOUT" "$URL")
# lftp's own defaults otherwise; no TLS attempt, one try, bounded waits.
LFTP_SETTINGS="set ftp:ssl-allow no; set ftp:passive-mode on; set net:max-retries 1; set net:timeout 30; set cmd:fail-exit yes"

verify_file() {
    cmp -s "$1" "$2" || die "$3: the transferred file differs from the original ($2)"
}

verify_tree() {
    diff -r "$1" "$2" >/dev/null || die "$3: the transferred tree differs from the original ($2)"
}

# ---------------------------------------------------------------- measurement 1

# big_file NAME MIB CLIENTS...: downloads and uploads of /pub/NAME, each client
# RUNS times, interleaved so that a burst of load hits all clients alike.
big_file() {
    local name=$1 mib=$2
    shift 2
    local run client
    for run in $(seq 1 "$RUNS"); do
        for client in "$@"; do
            local out="$WORK/out/$client"
            rm -rf -- "$out"
            mkdir -p "$out"
            case $client in
                velmora) run_measured "get-$name-velmora-$run" "${VELMORA[@]}" get "/pub/$name" "$out" ;;
                curl) run_measured "get-$name-curl-$run" curl -s -S -o "$out/$name" "$URL/pub/$name" ;;
            esac || die "download of $name by $client failed"
            verify_file "$WORK/data/$name" "$out/$name" "download of $name by $client"
            rm -rf -- "$out"
        done
        for client in "$@"; do
            # The same work for every client: the target does not exist yet.
            rm -f -- "$WORK/root/pub/up/$name"
            case $client in
                velmora) run_measured "put-$name-velmora-$run" "${VELMORA[@]}" put --action always "$WORK/data/$name" /pub/up ;;
                curl) run_measured "put-$name-curl-$run" curl -s -S -T "$WORK/data/$name" "$URL/pub/up/" ;;
            esac || die "upload of $name by $client failed"
            verify_file "$WORK/data/$name" "$WORK/root/pub/up/$name" "upload of $name by $client"
            rm -f -- "$WORK/root/pub/up/$name"
        done
    done
}

# ---------------------------------------------------------------- measurement 2

tree_runs() {
    local run client
    for run in $(seq 1 "$RUNS"); do
        for client in velmora lftp; do
            local out="$WORK/out/$client"
            rm -rf -- "$out"
            mkdir -p "$out"
            case $client in
                velmora) run_measured "get-tree-velmora-$run" "${VELMORA[@]}" get /pub/tree "$out" ;;
                lftp) run_measured "get-tree-lftp-$run" lftp -e "$LFTP_SETTINGS; mirror --parallel=1 /pub/tree $out/tree; quit" -u anonymous, "$URL" ;;
            esac || die "download of the tree by $client failed"
            verify_tree "$WORK/data/tree" "$out/tree" "download of the tree by $client"
            rm -rf -- "$out"
        done
        for client in velmora lftp; do
            rm -rf -- "$WORK/root/pub/up/tree"
            case $client in
                velmora) run_measured "put-tree-velmora-$run" "${VELMORA[@]}" put "$WORK/data/tree" /pub/up ;;
                lftp) run_measured "put-tree-lftp-$run" lftp -e "$LFTP_SETTINGS; mirror -R --parallel=1 $WORK/data/tree /pub/up/tree; quit" -u anonymous, "$URL" ;;
            esac || die "upload of the tree by $client failed"
            verify_tree "$WORK/data/tree" "$WORK/root/pub/up/tree" "upload of the tree by $client"
            rm -rf -- "$WORK/root/pub/up/tree"
        done
    done
}

if [ "$ONLY" != "tree" ]; then
    echo "bench: measurement 1: $BIG_MIB MiB file, velmora-cli and curl, $RUNS runs each ..."
    big_file big.bin "$BIG_MIB" curl velmora
    echo "bench: measurement 1b: $SMALL_MIB MiB file, velmora-cli (memory against file size) ..."
    big_file small.bin "$SMALL_MIB" velmora
fi
if [ "$ONLY" != "big" ]; then
    echo "bench: measurement 2: tree of $TREE_FILES files, velmora-cli and lftp, $RUNS runs each ..."
    tree_runs
fi
stop_server
LOAD_END=$(cut -d ' ' -f 1-3 /proc/loadavg)

# ---------------------------------------------------------------- report

mbps() {  # bytes seconds
    awk -v b="$1" -v s="$2" 'BEGIN { if (s > 0) printf "%.1f", b / s / 1e6; else print "nan" }'
}

ratio() {
    awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "nan" }'
}

# verdict VALUE AWK_CONDITION_ON_a: sets VERDICT to PASS or FAIL and counts
# the failures (not in a subshell, or the count would be lost).
verdict() {
    if awk -v a="$1" "BEGIN { exit !($2) }"; then
        VERDICT=PASS
    else
        FAILED_GOALS=$((FAILED_GOALS + 1))
        VERDICT=FAIL
    fi
}

row() {
    printf '%-34s %12s %12s %8s  %-24s %s\n' "$@"
}

echo
echo "Raw runs (wall seconds, peak resident kB, CPU seconds user+system):"
awk '{ printf "  %-28s %9s s %9s kB %7s s CPU\n", $1, $2, $3, $5 }' "$WORK/logs/runs.txt"
echo
echo "Velmora transfer benchmark: vsftpd on 127.0.0.1, median of $RUNS runs, MB = 10^6 bytes"
echo "machine: $(nproc) cores; load average (1/5/15 min) at start $LOAD_START, at end $LOAD_END"
echo
row "measurement" "velmora" "reference" "ratio/diff" "goal" "result"
row "-----------" "-------" "---------" "----------" "----" "------"

if [ "$ONLY" != "tree" ]; then
    big_bytes=$((BIG_MIB * 1024 * 1024))
    for dir in get put; do
        what=download
        [ "$dir" = put ] && what=upload
        v_s=$(column_of "$dir-big.bin-velmora-" 2 | median)
        c_s=$(column_of "$dir-big.bin-curl-" 2 | median)
        v_rate=$(mbps "$big_bytes" "$v_s")
        c_rate=$(mbps "$big_bytes" "$c_s")
        r=$(ratio "$v_rate" "$c_rate")
        verdict "$r" 'a >= 0.9'
        row "$BIG_MIB MiB $what MB/s (curl)" "$v_rate" "$c_rate" "$r" ">= 0.90x curl" "$VERDICT"
    done
    for dir in get put; do
        what=download
        [ "$dir" = put ] && what=upload
        v_m=$(column_of "$dir-big.bin-velmora-" 3 | maximum)
        c_m=$(column_of "$dir-big.bin-curl-" 3 | maximum)
        row "$BIG_MIB MiB $what peak kB (curl)" "$v_m" "$c_m" "$(ratio "$v_m" "$c_m")" "(information)" ""
    done
    for dir in get put; do
        what=download
        [ "$dir" = put ] && what=upload
        v_c=$(column_of "$dir-big.bin-velmora-" 5 | median)
        c_c=$(column_of "$dir-big.bin-curl-" 5 | median)
        row "$BIG_MIB MiB $what CPU s (curl)" "$v_c" "$c_c" "$(ratio "$v_c" "$c_c")" "(information)" ""
    done
    for dir in get put; do
        what=download
        [ "$dir" = put ] && what=upload
        big_m=$(column_of "$dir-big.bin-velmora-" 3 | maximum)
        small_m=$(column_of "$dir-small.bin-velmora-" 3 | maximum)
        g=$((big_m - small_m))
        verdict "$g" "a <= $GROWTH_LIMIT_KB"
        row "peak kB $what $BIG_MIB vs $SMALL_MIB MiB" "$big_m" "$small_m" "$(printf '%+d' "$g")" "growth <= $GROWTH_LIMIT_KB kB" "$VERDICT"
    done
    small_bytes=$((SMALL_MIB * 1024 * 1024))
    for dir in get put; do
        what=download
        [ "$dir" = put ] && what=upload
        s_s=$(column_of "$dir-small.bin-velmora-" 2 | median)
        row "$SMALL_MIB MiB $what MB/s" "$(mbps "$small_bytes" "$s_s")" "" "" "(information)" ""
    done
fi
if [ "$ONLY" != "big" ]; then
    for dir in get put; do
        what=download
        [ "$dir" = put ] && what=upload
        v_s=$(column_of "$dir-tree-velmora-" 2 | median)
        l_s=$(column_of "$dir-tree-lftp-" 2 | median)
        r=$(ratio "$v_s" "$l_s")
        verdict "$r" 'a <= 1.0'
        row "tree $what seconds (lftp)" "$v_s" "$l_s" "$r" "<= 1.00x lftp's time" "$VERDICT"
    done
    for dir in get put; do
        what=download
        [ "$dir" = put ] && what=upload
        v_m=$(column_of "$dir-tree-velmora-" 3 | maximum)
        l_m=$(column_of "$dir-tree-lftp-" 3 | maximum)
        row "tree $what peak kB (lftp)" "$v_m" "$l_m" "$(ratio "$v_m" "$l_m")" "(information)" ""
    done
    for dir in get put; do
        what=download
        [ "$dir" = put ] && what=upload
        v_c=$(column_of "$dir-tree-velmora-" 5 | median)
        l_c=$(column_of "$dir-tree-lftp-" 5 | median)
        row "tree $what CPU s (lftp)" "$v_c" "$l_c" "$(ratio "$v_c" "$l_c")" "(information)" ""
    done
fi
echo
if [ "$FAILED_GOALS" -gt 0 ]; then
    echo "bench: $FAILED_GOALS goal(s) missed (every transfer compared equal)"
    exit 2
fi
echo "bench: all goals met (every transfer compared equal)"
exit 0
