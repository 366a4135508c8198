#!/usr/bin/env bash
# Builds everything and runs every test. With --sanitize the build and the
# tests run under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=build
cmake_args=()
if [[ "${1:-}" == "--sanitize" ]]; then
  build_dir=build-sanitize
  cmake_args+=(-DQUORVEL_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DQUORVEL_BUILD_BENCH=OFF)
fi

bash scripts/install-deps.sh
cmake -S . -B "$build_dir" "${cmake_args[@]}" >/dev/null
cmake --build "$build_dir" -j "$(nproc)"
ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)"
