#!/usr/bin/env bash
# Fails when a C++ file of the tree differs from what clang-format makes of it.
#   check_format.sh SOURCE_DIR
set -euo pipefail
cd "$1"
command -v clang-format >/dev/null || { echo "clang-format is not installed" >&2; exit 1; }
find src tests bench fuzz -name '*.cpp' -o -name '*.h' | sort | xargs clang-format --dry-run -Werror
echo "every file formatted"
