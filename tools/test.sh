#!/usr/bin/env bash
# Builds the project and runs every test.  Usage: tools/test.sh [build-dir] [cmake options...]
set -euo pipefail
cd "$(dirname "$0")/.."
bash .ci/install-deps
dir="${1:-build}"; shift || true
cmake -S . -B "$dir" "$@" >/dev/null
cmake --build "$dir" -j"$(nproc)"
# Each test makes its own registry file and application-data folder.
unset CADHOST_HOME
ctest --test-dir "$dir" --output-on-failure -j"$(nproc)"
