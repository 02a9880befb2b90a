#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/bootstrap.sh
scripts/format.sh --check
cmake --preset default >/dev/null
cmake --build --preset default
ctest --preset default --timeout 300 "$@"
