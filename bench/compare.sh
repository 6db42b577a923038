#!/usr/bin/env bash
# Benchmark of the project-pair commands of velmora-cli against lftp on a
# private vsftpd on 127.0.0.1: a compare of a tree (2000 files in 100 folders,
# 20 files of another size on the server) against `lftp mirror --dry-run`, and
# `deploy --changed` of that tree with 20 changed files against
# `lftp mirror -R --only-newer`.
#
#   bash bench/compare.sh BUILD_DIR
#
# Knobs (environment): BENCH_RUNS (3), BENCH_TREE_FILES (2000),
# BENCH_TREE_FOLDERS (100), BENCH_CHANGED (20), BENCH_TMPDIR.
#
# Exit status: 0 all goals met, 2 a goal was missed, 1 the benchmark failed.
set -uo pipefail

RUNS=${BENCH_RUNS:-3}
TREE_FILES=${BENCH_TREE_FILES:-2000}
TREE_FOLDERS=${BENCH_TREE_FOLDERS:-100}
CHANGED=${BENCH_CHANGED:-20}
SEED=20240611
WORK=""
SERVER_PID=""
FAILED_GOALS=0

die() {
    echo "bench: $*" >&2
    exit 1
}

stop_server() {
    [ -n "$SERVER_PID" ] || return 0
    kill -TERM -- "-$SERVER_PID" 2>/dev/null
    sleep 0.2
    kill -KILL -- "-$SERVER_PID" 2>/dev/null
    wait "$SERVER_PID" 2>/dev/null
    SERVER_PID=""
}

cleanup() {
    local status=$?
    trap - EXIT INT TERM
    stop_server
    [ -n "$WORK" ] && [ -d "$WORK" ] && rm -rf -- "$WORK"
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

[ $# -eq 1 ] || { echo "usage: bash bench/compare.sh BUILD_DIR" >&2; exit 1; }
CLI="$(cd "$1" 2>/dev/null && pwd)/velmora-cli"
[ -x "$CLI" ] || die "no velmora-cli in $1"
[ "$(id -u)" -eq 0 ] || die "vsftpd serves anonymous users only when started as root"
[ -x /usr/sbin/vsftpd ] || die "/usr/sbin/vsftpd is not installed"
for tool in lftp python3 timeout; do
    command -v "$tool" >/dev/null || die "$tool is not installed"
done

BASE=${BENCH_TMPDIR:-${TMPDIR:-/tmp}}
WORK=$(mktemp -d "$BASE/velmora-cmpbench.XXXXXX") || die "cannot create a temporary folder"
mkdir -p "$WORK/srv/empty" "$WORK/root/pub" "$WORK/settings" || die "cannot create folders"
chmod 755 "$WORK" "$WORK/root"

start_server() {
    local attempt token banner i
    for attempt in 1 2 3 4 5; do
        PORT=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
        token="cmpbench$RANDOM$RANDOM"
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
xferlog_enable=NO
syslog_enable=NO
local_enable=NO
anonymous_enable=YES
no_anon_password=NO
anon_root=$WORK/root
write_enable=YES
anon_upload_enable=YES
anon_mkdir_write_enable=YES
anon_other_write_enable=YES
anon_umask=022
force_dot_files=YES
use_localtime=NO
ftpd_banner=Velmora bench vsftpd $token
EOF
        setsid /usr/sbin/vsftpd "$WORK/srv/vsftpd.conf" >>"$WORK/srv/start.log" 2>&1 &
        SERVER_PID=$!
        for i in $(seq 1 50); do
            kill -0 "$SERVER_PID" 2>/dev/null || break
            banner=$(timeout 2 bash -c "exec 3<>/dev/tcp/127.0.0.1/$PORT && head -n 1 <&3" 2>/dev/null)
            [[ "$banner" == 220*"$token"* ]] && return 0
            sleep 0.1
        done
        stop_server
    done
    cat "$WORK/srv/start.log" >&2
    die "vsftpd did not start"
}

# The local tree, and its server copy with CHANGED files one byte longer.
python3 - "$WORK/local" "$WORK/root/pub/site" "$TREE_FILES" "$TREE_FOLDERS" "$SEED" "$CHANGED" <<'EOF' || die "cannot write the trees"
import os, random, sys
local, remote, files, folders, seed, changed = sys.argv[1], sys.argv[2], *map(int, sys.argv[3:])
rng = random.Random(seed)
for f in range(folders):
    os.makedirs(os.path.join(local, "d%03d" % f))
    os.makedirs(os.path.join(remote, "d%03d" % f))
step = max(1, files // changed)
for i in range(files):
    data = rng.randbytes(rng.randint(1024, 8192))
    rel = os.path.join("d%03d" % (i % folders), "f%04d.bin" % i)
    open(os.path.join(local, rel), "wb").write(data)
    server = data + b"x" if i % step == 0 and i // step < changed else data
    open(os.path.join(remote, rel), "wb").write(server)
EOF
chown -R ftp:ftp "$WORK/root/pub"
start_server
URL="ftp://127.0.0.1:$PORT"
echo "bench: vsftpd on 127.0.0.1:$PORT, $TREE_FILES files in $TREE_FOLDERS folders, $CHANGED differ"

"$CLI" --setting-dir "$WORK/settings" sites add bench --host 127.0.0.1 --port "$PORT" \
    --anonymous --password bench@ --local-project "$WORK/local" --remote-project /pub/site \
    >/dev/null ||
    die "cannot store the bench site"
LFTP_SETTINGS="set ftp:ssl-allow no; set ftp:passive-mode on; set net:max-retries 1; set net:timeout 30; set cmd:fail-exit yes"

seconds() {  # seconds COMMAND...: wall time of one run, the command's output to a log
    local start end
    start=$(date +%s.%N)
    "$@" >"$WORK/last.out" 2>"$WORK/last.err"
    local status=$?
    end=$(date +%s.%N)
    echo "$status $(python3 -c "print(f'{$end - $start:.3f}')")"
}

median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2}'; }

# --- compare ------------------------------------------------------------------
declare -a V_CMP L_CMP
for run in $(seq 1 "$RUNS"); do
    read -r status t < <(seconds "$CLI" --setting-dir "$WORK/settings" --site bench compare \
        --recursive --sizes --tsv)
    [ "$status" -eq 1 ] || { cat "$WORK/last.err" >&2; die "velmora-cli compare exited $status"; }
    lines=$(wc -l <"$WORK/last.out")
    [ "$lines" -eq "$CHANGED" ] || die "velmora-cli compare found $lines differences, not $CHANGED"
    V_CMP+=("$t")
    read -r status t < <(seconds lftp -e "$LFTP_SETTINGS; mirror --dry-run --parallel=1 /pub/site $WORK/lftp-dry; quit" -u anonymous, "$URL")
    [ "$status" -eq 0 ] || { cat "$WORK/last.err" >&2; die "lftp mirror --dry-run exited $status"; }
    L_CMP+=("$t")
done

# --- deploy --changed ---------------------------------------------------------
# Each run starts from the server tree of the same size as local (the state of
# the first deploy) with CHANGED local files edited at equal size.
declare -a V_DEP L_DEP
reset_trees() {
    rm -rf "$WORK/root/pub/site" && cp -a "$WORK/local" "$WORK/root/pub/site" && chown -R ftp:ftp "$WORK/root/pub/site"
}
reset_trees || die "cannot copy the tree"
# A first deploy writes the state file (everything agrees by size then).
"$CLI" --setting-dir "$WORK/settings" --site bench deploy --changed >/dev/null 2>"$WORK/last.err" ||
    { cat "$WORK/last.err" >&2; die "the first deploy failed"; }
STATE="$WORK/root/pub/site/.velmora-deploy"
cp "$STATE" "$WORK/state"
edit_local() {  # CHANGED files get one different byte (same size), and a newer time
    python3 - "$WORK/local" "$TREE_FILES" "$TREE_FOLDERS" "$CHANGED" "$1" <<'EOF'
import os, sys
root, files, folders, changed, salt = sys.argv[1], *map(int, sys.argv[2:])
step = max(1, files // changed)
for n in range(changed):
    i = n * step
    p = os.path.join(root, "d%03d" % (i % folders), "f%04d.bin" % i)
    data = bytearray(open(p, "rb").read())
    data[0] = (data[0] + 1 + salt) % 256
    open(p, "wb").write(data)
EOF
}
for run in $(seq 1 "$RUNS"); do
    reset_trees && cp "$WORK/state" "$STATE" && chown ftp:ftp "$STATE" || die "cannot reset"
    sleep 1.1  # a newer local time for lftp's --only-newer
    edit_local "$run"
    read -r status t < <(seconds "$CLI" --setting-dir "$WORK/settings" --site bench deploy --changed)
    [ "$status" -eq 0 ] || { cat "$WORK/last.err" >&2; die "velmora-cli deploy --changed exited $status"; }
    sent=$(grep -c '^upload ' "$WORK/last.out")
    [ "$sent" -eq "$CHANGED" ] || die "velmora-cli deploy --changed sent $sent files, not $CHANGED"
    diff -r -x .velmora-deploy "$WORK/local" "$WORK/root/pub/site" >/dev/null || die "deploy left the trees different"
    V_DEP+=("$t")

    reset_trees || die "cannot reset"
    # The server copy is older than every local file but the edited ones.
    find "$WORK/root/pub/site" -type f -exec touch -d '2000-01-01' {} +
    find "$WORK/local" -type f -exec touch -d '1999-01-01' {} +
    edit_local "$((run + 7))"
    read -r status t < <(seconds lftp -e "$LFTP_SETTINGS; mirror -R --only-newer --parallel=1 $WORK/local /pub/site; quit" -u anonymous, "$URL")
    [ "$status" -eq 0 ] || { cat "$WORK/last.err" >&2; die "lftp mirror -R exited $status"; }
    diff -r "$WORK/local" "$WORK/root/pub/site" >/dev/null || die "lftp left the trees different"
    L_DEP+=("$t")
done

report() {  # report WHAT VELMORA_TIMES LFTP_TIMES
    local v l ratio
    v=$(printf '%s\n' $2 | median)
    l=$(printf '%s\n' $3 | median)
    ratio=$(python3 -c "print(f'{$v / $l:.2f}')")
    local verdict=met
    python3 -c "import sys; sys.exit(0 if $v <= $l else 1)" || { verdict=MISSED; FAILED_GOALS=$((FAILED_GOALS + 1)); }
    printf '%-34s %8s s %8s s %6sx  goal <= 1.00x  %s\n' "$1" "$v" "$l" "$ratio" "$verdict"
    printf '    runs: velmora %s; lftp %s\n' "$2" "$3"
}
echo
printf '%-34s %10s %10s %7s\n' "measurement (median of $RUNS)" "velmora" "lftp" "ratio"
report "compare --recursive --sizes" "${V_CMP[*]}" "${L_CMP[*]}"
report "deploy --changed ($CHANGED changed)" "${V_DEP[*]}" "${L_DEP[*]}"
echo "load average: $(cut -d ' ' -f 1-3 /proc/loadavg)"
[ "$FAILED_GOALS" -eq 0 ] || exit 2
exit 0
