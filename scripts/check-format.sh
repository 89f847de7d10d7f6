#!/usr/bin/env bash
# Fails when a tracked C++ file differs from the repository's .clang-format; prints the
# places. Format a file with `clang-format -i FILE`.
set -euo pipefail
cd "$(dirname "$0")/.."

git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
