#!/usr/bin/env bash
# Runs the test suite of a -DVELMORA_SANITIZE=ON build (see `make test-sanitize`).
# Every report fails the run. Undefined behaviour stops the program at once
# (its report goes to stderr whatever log_path says). Memory errors and leaks,
# also those of the programs the tests start (velmora-cli, velmora), whose
# output a test may swallow, are written to files and checked here afterwards.
set -uo pipefail
build="${1:-build-sanitize}"
jobs="${2:-2}"
here="$(cd "$(dirname "$0")" && pwd)"
cd "$build" || exit 1

logs="$PWD/sanitizer-reports"
rm -rf "$logs"
mkdir -p "$logs"

export QT_QPA_PLATFORM=offscreen
XDG_RUNTIME_DIR="$(mktemp -d)"
export XDG_RUNTIME_DIR
chmod 700 "$XDG_RUNTIME_DIR"
# Qt is built without frame pointers: the slow unwinder gives leaks whole stacks.
export ASAN_OPTIONS="detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1:fast_unwind_on_malloc=0:log_path=$logs/asan"
export LSAN_OPTIONS="suppressions=$here/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"

ctest --output-on-failure -j "$jobs" --timeout 300
status=$?

reports=("$logs"/*)
if [ -e "${reports[0]}" ]; then
  for r in "${reports[@]}"; do
    echo "==== $r"
    cat "$r"
  done
  echo "test-sanitize: ${#reports[@]} sanitizer report(s), listed above" >&2
  status=1
fi
rm -rf "$XDG_RUNTIME_DIR"
exit "$status"
