#!/usr/bin/env bash
# Builds the programs into build/app (the common folder) and starts them there.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build >/dev/null
cmake --build build -j "$(nproc)"
cd build/app
exec ./vantrel
