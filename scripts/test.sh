#!/usr/bin/env bash
# Builds everything and runs every test, with compiler warnings as errors.
#   --sanitize  builds into build-sanitize/ and runs the tests under
#               AddressSanitizer and UndefinedBehaviorSanitizer;
#   --release   builds the Release configuration into build-release/ and runs
#               nothing (the optimiser finds warnings the other builds do not).
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=build
run_tests=true
cmake_args=(-DQUORVEL_WERROR=ON)
case "${1:-}" in
  "") ;;
  --sanitize)
    build_dir=build-sanitize
    cmake_args+=(-DQUORVEL_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DQUORVEL_BUILD_BENCH=OFF)
    ;;
  --release)
    build_dir=build-release
    run_tests=false
    cmake_args+=(-DCMAKE_BUILD_TYPE=Release)
    ;;
  *)
    echo "usage: $0 [--sanitize | --release]" >&2
    exit 2
    ;;
esac

bash scripts/install-deps.sh
cmake -S . -B "$build_dir" "${cmake_args[@]}" >/dev/null
cmake --build "$build_dir" -j "$(nproc)"
if $run_tests; then
  ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)"
fi
