#!/usr/bin/env bash
# FTP over TLS benchmark: one large file downloaded and uploaded by
# velmora-cli (ftpes://, the certificate trusted by fingerprint) and by
# curl --ssl-reqd -k, on a private vsftpd with ssl_enable=YES and its default
# require_ssl_reuse=YES on 127.0.0.1, with a self-signed certificate made here.
#
#   bash bench/tls.sh BUILD_DIR
#
# Knobs (environment): BENCH_RUNS (3), BENCH_BIG_MIB (1024), BENCH_SMALL_MIB
# (100), BENCH_TMPDIR (default $TMPDIR or /tmp), BENCH_CMD_TIMEOUT (900).
#
# Exit status: 0 all goals met, 2 a goal was missed, 1 the benchmark itself
# failed (setup, a client error, or a transfer that did not compare equal).
set -uo pipefail

RUNS=${BENCH_RUNS:-3}
BIG_MIB=${BENCH_BIG_MIB:-1024}
SMALL_MIB=${BENCH_SMALL_MIB:-100}
CMD_TIMEOUT=${BENCH_CMD_TIMEOUT:-900}
# As in run.sh: what bounded buffers hold at their fullest, nothing that
# scales with the file.
GROWTH_LIMIT_KB=8192

WORK=""
SERVER_PID=""
FAILED_GOALS=0

die() {
    echo "bench: $*" >&2
    [ -n "$WORK" ] && [ -f "$WORK/srv/vsftpd.log" ] && tail -n 15 "$WORK/srv/vsftpd.log" >&2
    exit 1
}

stop_server() {
    [ -n "$SERVER_PID" ] || return 0
    # vsftpd runs in a process group of its own (setsid).
    kill -TERM -- "-$SERVER_PID" 2>/dev/null
    sleep 0.3
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

[ $# -eq 1 ] || { echo "usage: bash bench/tls.sh BUILD_DIR" >&2; exit 1; }
CLI="$(cd "$1" 2>/dev/null && pwd)/velmora-cli"
[ -x "$CLI" ] || die "no velmora-cli in $1"
[ "$(id -u)" -eq 0 ] || die "vsftpd serves anonymous users only when started as root"
[ -x /usr/sbin/vsftpd ] || die "/usr/sbin/vsftpd is not installed"
[ -x /usr/bin/time ] || die "/usr/bin/time (Debian package 'time') is needed for peak memory"
for tool in curl openssl python3 cmp timeout; do
    command -v "$tool" >/dev/null || die "$tool is not installed"
done

# run_measured LABEL CMD...: wall seconds, peak resident kB and CPU seconds into runs.txt.
run_measured() {
    local label=$1
    shift
    local tfile="$WORK/logs/$label.time" start end status
    sync
    start=$EPOCHREALTIME
    timeout --kill-after=10 "$CMD_TIMEOUT" /usr/bin/time -f '%e %M %U %S' -o "$tfile" \
        "$@" >"$WORK/logs/$label.log" 2>&1
    status=$?
    end=$EPOCHREALTIME
    local secs peak cpu
    secs=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }')
    peak=$(tail -n 1 "$tfile" 2>/dev/null | awk '{print $2}')
    cpu=$(tail -n 1 "$tfile" 2>/dev/null | awk '{printf "%.2f", $3 + $4}')
    echo "$label $secs ${peak:-0} $status ${cpu:--}" >>"$WORK/logs/runs.txt"
    if [ "$status" -ne 0 ]; then
        tail -n 20 "$WORK/logs/$label.log" >&2
        return 1
    fi
}

median() {
    sort -g | awk '{ v[NR] = $1 } END { if (NR == 0) print "nan"; else if (NR % 2) print v[(NR + 1) / 2]; else printf "%.3f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
maximum() { sort -g | tail -n 1; }
column_of() { awk -v p="$1" -v c="$2" 'index($1, p) == 1 { print $c }' "$WORK/logs/runs.txt"; }

WORK=$(mktemp -d "${BENCH_TMPDIR:-${TMPDIR:-/tmp}}/velmora-tls-bench.XXXXXX") || die "no temporary folder"
mkdir -p "$WORK/srv/empty" "$WORK/root/pub/up" "$WORK/data" "$WORK/out" "$WORK/logs"
chmod 755 "$WORK" "$WORK/root"
chown -R ftp:ftp "$WORK/root/pub"
: >"$WORK/logs/runs.txt"

openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes \
    -keyout "$WORK/srv/key.pem" -out "$WORK/srv/cert.pem" -days 2 \
    -subj "/CN=localhost" -addext "subjectAltName=DNS:localhost,IP:127.0.0.1" \
    >"$WORK/logs/openssl.log" 2>&1 || die "openssl could not make a certificate"
FINGERPRINT="SHA256:$(openssl x509 -in "$WORK/srv/cert.pem" -noout -fingerprint -sha256 | cut -d= -f2)"

echo "bench: writing $BIG_MIB MiB of /dev/urandom and its first $SMALL_MIB MiB ..."
head -c "$((BIG_MIB * 1024 * 1024))" /dev/urandom >"$WORK/data/big.bin" || die "cannot write the test file"
head -c "$((SMALL_MIB * 1024 * 1024))" "$WORK/data/big.bin" >"$WORK/data/small.bin"
ln "$WORK/data/big.bin" "$WORK/root/pub/big.bin" && ln "$WORK/data/small.bin" "$WORK/root/pub/small.bin" ||
    die "cannot link the test files"
chmod 644 "$WORK/data/big.bin" "$WORK/data/small.bin"

PORT=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
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
syslog_enable=NO
vsftpd_log_file=$WORK/srv/vsftpd.log
local_enable=NO
anonymous_enable=YES
no_anon_password=NO
anon_root=$WORK/root
write_enable=YES
anon_upload_enable=YES
anon_other_write_enable=YES
anon_umask=022
ssl_enable=YES
allow_anon_ssl=YES
force_anon_logins_ssl=YES
force_anon_data_ssl=YES
require_ssl_reuse=YES
ssl_ciphers=HIGH
rsa_cert_file=$WORK/srv/cert.pem
rsa_private_key_file=$WORK/srv/key.pem
EOF
setsid /usr/sbin/vsftpd "$WORK/srv/vsftpd.conf" >"$WORK/srv/start.log" 2>&1 &
SERVER_PID=$!
for i in $(seq 1 50); do
    banner=$(timeout 2 bash -c "exec 3<>/dev/tcp/127.0.0.1/$PORT && head -n 1 <&3" 2>/dev/null)
    [[ "$banner" == 220* ]] && break
    sleep 0.1
done
[[ "${banner:-}" == 220* ]] || die "vsftpd did not start"
echo "bench: vsftpd with TLS (pid $SERVER_PID) on 127.0.0.1:$PORT, certificate $FINGERPRINT"

URL="127.0.0.1:$PORT"
VELMORA=("$CLI" --timeout "$CMD_TIMEOUT" --trust "$FINGERPRINT" "ftpes://$URL")
LOAD_START=$(cut -d ' ' -f 1-3 /proc/loadavg)

transfer() {  # NAME CLIENTS...
    local name=$1 run client
    shift
    for run in $(seq 1 "$RUNS"); do
        for client in "$@"; do
            rm -rf -- "$WORK/out/$client" && mkdir -p "$WORK/out/$client"
            case $client in
                velmora) run_measured "get-$name-velmora-$run" "${VELMORA[@]}" get "/pub/$name" "$WORK/out/$client" ;;
                curl) run_measured "get-$name-curl-$run" curl -s -S --ssl-reqd -k -o "$WORK/out/$client/$name" "ftp://$URL/pub/$name" ;;
            esac || die "download of $name by $client failed"
            cmp -s "$WORK/data/$name" "$WORK/out/$client/$name" || die "download of $name by $client differs"
            rm -rf -- "$WORK/out/$client"
        done
        for client in "$@"; do
            rm -f -- "$WORK/root/pub/up/$name"
            case $client in
                velmora) run_measured "put-$name-velmora-$run" "${VELMORA[@]}" put --action always "$WORK/data/$name" /pub/up ;;
                curl) run_measured "put-$name-curl-$run" curl -s -S --ssl-reqd -k -T "$WORK/data/$name" "ftp://$URL/pub/up/" ;;
            esac || die "upload of $name by $client failed"
            cmp -s "$WORK/data/$name" "$WORK/root/pub/up/$name" || die "upload of $name by $client differs"
            rm -f -- "$WORK/root/pub/up/$name"
        done
    done
}

echo "bench: $BIG_MIB MiB over TLS, velmora-cli and curl, $RUNS runs each ..."
transfer big.bin curl velmora
echo "bench: $SMALL_MIB MiB over TLS, velmora-cli (memory against file size) ..."
transfer small.bin velmora
stop_server
LOAD_END=$(cut -d ' ' -f 1-3 /proc/loadavg)

row() { printf '%-36s %12s %12s %8s  %-20s %s\n' "$@"; }
mbps() { awk -v b="$1" -v s="$2" 'BEGIN { if (s > 0) printf "%.1f", b / s / 1e6; else print "nan" }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "nan" }'; }
verdict() {
    if awk -v a="$1" "BEGIN { exit !($2) }"; then VERDICT=PASS; else VERDICT=FAIL; FAILED_GOALS=$((FAILED_GOALS + 1)); fi
}

echo
echo "Raw runs (wall seconds, peak resident kB, CPU seconds user+system):"
awk '{ printf "  %-28s %9s s %9s kB %7s s CPU\n", $1, $2, $3, $5 }' "$WORK/logs/runs.txt"
echo
echo "Velmora FTP over TLS benchmark: vsftpd (require_ssl_reuse) on 127.0.0.1, median of $RUNS runs, MB = 10^6 bytes"
echo "machine: $(nproc) cores; load average at start $LOAD_START, at end $LOAD_END"
echo
row "measurement" "velmora" "curl" "ratio" "goal" "result"
big_bytes=$((BIG_MIB * 1024 * 1024))
for dir in get put; do
    what=download; [ "$dir" = put ] && what=upload
    v=$(mbps "$big_bytes" "$(column_of "$dir-big.bin-velmora-" 2 | median)")
    c=$(mbps "$big_bytes" "$(column_of "$dir-big.bin-curl-" 2 | median)")
    r=$(ratio "$v" "$c")
    verdict "$r" 'a >= 0.9'
    row "$BIG_MIB MiB TLS $what MB/s" "$v" "$c" "$r" ">= 0.90x curl" "$VERDICT"
done
for dir in get put; do
    what=download; [ "$dir" = put ] && what=upload
    v=$(column_of "$dir-big.bin-velmora-" 3 | maximum)
    c=$(column_of "$dir-big.bin-curl-" 3 | maximum)
    row "$BIG_MIB MiB TLS $what peak kB" "$v" "$c" "$(ratio "$v" "$c")" "(information)" ""
done
for dir in get put; do
    what=download; [ "$dir" = put ] && what=upload
    v=$(column_of "$dir-big.bin-velmora-" 5 | median)
    c=$(column_of "$dir-big.bin-curl-" 5 | median)
    row "$BIG_MIB MiB TLS $what CPU s" "$v" "$c" "$(ratio "$v" "$c")" "(information)" ""
done
for dir in get put; do
    what=download; [ "$dir" = put ] && what=upload
    b=$(column_of "$dir-big.bin-velmora-" 3 | maximum)
    s=$(column_of "$dir-small.bin-velmora-" 3 | maximum)
    g=$((b - s))
    verdict "$g" "a <= $GROWTH_LIMIT_KB"
    row "peak kB TLS $what $BIG_MIB vs $SMALL_MIB MiB" "$b" "$s" "$(printf '%+d' "$g")" "growth <= $GROWTH_LIMIT_KB kB" "$VERDICT"
done
echo
if [ "$FAILED_GOALS" -gt 0 ]; then
    echo "bench: $FAILED_GOALS goal(s) missed (every transfer compared equal)"
    exit 2
fi
echo "bench: all goals met (every transfer compared equal)"
exit 0
