#!/usr/bin/env bash
# Builds the browser and runs it; every option is passed on to kinvo (see README.md).
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup-deps
cmake -S . -B build -G Ninja -Wno-dev >/dev/null
cmake --build build -j"$(nproc)" --target kinvo
exec build/bin/kinvo "$@"
