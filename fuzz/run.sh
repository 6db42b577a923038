#!/usr/bin/env bash
# Builds the fuzz targets with clang into build-fuzz/ and runs each for
# FUZZ_SECONDS (default 300), FUZZ_JOBS (default 1) at a time. The working
# corpus of a target is build-fuzz/corpus/<target>, seeded from fuzz/corpus and
# fuzz/regressions; findings land in build-fuzz/artifacts/<target>. Prints one
# line per target: executions, coverage, and the number of crash/leak/timeout/
# oom files. Exits non-zero when any target found something.
# FUZZ_TARGETS (blank-separated names) limits the run to those targets.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${FUZZ_BUILD:-$root/build-fuzz}
seconds=${FUZZ_SECONDS:-300}
jobs=${FUZZ_JOBS:-1}
max_len=${FUZZ_MAX_LEN:-8192}

if ! command -v clang++ >/dev/null 2>&1 ||
   ! ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1; then
    echo "make fuzz needs clang++ with libFuzzer: apt-get install clang libclang-rt-dev" \
         "(Debian 12: clang-14 libclang-rt-14-dev)" >&2
    exit 2
fi

export CCACHE_BASEDIR=$root
launcher=()
command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
CC=clang CXX=clang++ cmake -S "$root/fuzz" -B "$build" -G Ninja "${launcher[@]}" >/dev/null ||
    exit 2
nice -n 5 cmake --build "$build" -j "${FUZZ_BUILD_JOBS:-2}" || exit 2

targets=${FUZZ_TARGETS:-$(cat "$build/targets.txt")}

run_one() {
    local t=$1
    local corpus=$build/corpus/$t artifacts=$build/artifacts/$t log=$build/logs/$t.log
    mkdir -p "$corpus" "$artifacts" "$build/logs"
    for seeds in "$root/fuzz/corpus/$t" "$root/fuzz/regressions/$t"; do
        [ -d "$seeds" ] && cp -n "$seeds"/* "$corpus"/ 2>/dev/null
    done
    # One fault must not end the target's time: after a finding the fuzzer
    # starts again from the grown corpus until the time is used up.
    local deadline=$((SECONDS + seconds)) execs=0 left n
    : >"$log"
    while left=$((deadline - SECONDS)); [ "$left" -gt 0 ]; do
        nice -n 5 timeout --kill-after=30 $((left + 120)) "$build/fuzz_$t" \
            -max_total_time="$left" -max_len="$max_len" -timeout=10 -rss_limit_mb=2560 \
            -artifact_prefix="$artifacts/" -print_final_stats=1 "$corpus" >"$log.run" 2>&1
        n=$(grep -oE 'stat::number_of_executed_units: *[0-9]+' "$log.run" | grep -oE '[0-9]+$' |
            tail -1)
        [ -z "$n" ] && n=$(grep -oE '^#[0-9]+' "$log.run" | tail -1 | tr -d '#')
        execs=$((execs + ${n:-0}))
        cat "$log.run" >>"$log"
        # A run that ended at once would end the same way again.
        [ "${n:-0}" -eq 0 ] && break
    done
    rm -f "$log.run"
    local cov ft found
    cov=$(grep -oE 'cov: [0-9]+' "$log" | tail -1 | grep -oE '[0-9]+')
    ft=$(grep -oE 'ft: [0-9]+' "$log" | tail -1 | grep -oE '[0-9]+')
    found=$(find "$artifacts" -maxdepth 1 -type f \
            \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | wc -l)
    printf '%-16s execs %-10s cov %-6s ft %-7s crashes %s\n' \
        "$t" "${execs:-0}" "${cov:-?}" "${ft:-?}" "$found"
}

echo "fuzzing $(echo $targets | wc -w) targets for ${seconds}s each, $jobs at a time"
summary=$build/summary.txt
: >"$summary"
running=0
for t in $targets; do
    run_one "$t" >>"$summary" &
    running=$((running + 1))
    if [ "$running" -ge "$jobs" ]; then
        wait -n
        running=$((running - 1))
    fi
done
wait
sort "$summary"
! grep -qE 'crashes [1-9]' "$summary"
