#!/usr/bin/env bash
# Takes a picture of the front-end's main window on a virtual screen. Builds
# nothing: run it after a build. Usage: scripts/screenshot.sh [output.png]
set -euo pipefail
cd "$(dirname "$0")/.."

output=${1:-docs/main-window.png}
app=build/app
[[ -x "$app/Quorvel" ]] || { echo "build/app/Quorvel is missing: build first" >&2; exit 1; }
for tool in xvfb-run import convert; do
  command -v "$tool" >/dev/null ||
    { echo "$tool is missing: install the Debian packages xvfb and imagemagick" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$app"/. "$work"/
rm -f "$work/sysconfig.ini"
mkdir -p "$work/runtime" && chmod 700 "$work/runtime"

XDG_RUNTIME_DIR="$work/runtime" xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  "$1/Quorvel" &
  program=$!
  sleep 2
  import -window root "$2"
  kill "$program"
  wait "$program" 2>/dev/null || true
' screenshot "$work" "$work/shot.png"
mkdir -p "$(dirname "$output")"
# Without a window manager the window sits at the top-left corner at its
# design size; the rest of the virtual screen is cut away.
convert "$work/shot.png" -crop 796x562+0+0 +repage "$output"
echo "wrote $output"
