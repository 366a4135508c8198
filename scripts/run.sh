#!/usr/bin/env bash
# Builds the programs into build/app (the common folder) and starts them there.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build >/dev/null
cmake --build build -j "$(nproc)"
cd build/app
echo "Starting vantrel in $(pwd)"
# The generator stamps the pictures listed in "filelist" with the settings of
# "sysconfig.ini", both in this folder, while the front-end runs; it tells
# what is missing on standard error and ends.
if ./vantrel; then
  echo "vantrel finished."
else
  echo "vantrel ended with status $?; see its message above." >&2
  exit 1
fi
