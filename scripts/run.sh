#!/usr/bin/env bash
# Builds both programs into build/app (the common folder) and starts the
# front-end there. It needs a desktop session (X11 or Wayland).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build >/dev/null
cmake --build build -j "$(nproc)" --target Quorvel vantrel shipped_font output_folder

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  echo "Quorvel is built in $(pwd)/build/app, but there is no desktop session to show" >&2
  echo "its window in (neither DISPLAY nor WAYLAND_DISPLAY is set). Start it from a" >&2
  echo "desktop with: $(pwd)/build/app/Quorvel" >&2
  exit 1
fi
echo "Starting Quorvel in $(pwd)/build/app"
exec build/app/Quorvel
