#!/usr/bin/env bash
# Measures the front-end's start-up: from starting Quorvel, without a display
# (QT_QPA_PLATFORM=offscreen), in a fresh common folder with no settings file,
# to its first drawn preview. The first activation draws the preview and then
# saves every setting, so the moment "sysconfig.ini" appears marks the end of
# the first drawing. Prints every start and the median; target <= 400 ms.
# Builds nothing. Usage: bench/startup_bench.sh BUILD_DIR [STARTS]
set -euo pipefail
export LC_ALL=C

if (($# < 1)); then
  echo "usage: $0 BUILD_DIR [STARTS]" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
starts=${2:-15}
target_ms=400
timeout_ms=10000
[[ -x $build/app/Quorvel ]] || { echo "missing $build/app/Quorvel: build $build first" >&2; exit 2; }

work=$(mktemp -d)
pid=""
stop_front_end() {
  if [[ -n $pid ]]; then
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    pid=""
  fi
}
cleanup() {
  stop_front_end
  rm -rf "$work"
}
trap cleanup EXIT

now_ns() { date +%s%N; }

# One start in a common folder and runtime folder of its own; prints its milliseconds.
one_start() {
  local round=$1
  local common=$work/common-$round runtime=$work/runtime-$round
  mkdir -p "$common/output" "$runtime"
  chmod 700 "$runtime"
  cp "$build/app/Quorvel" "$build/app/vantrel" "$common/"
  cp -r "$build/app/package" "$common/"
  local ini=$common/sysconfig.ini
  local began ended
  began=$(now_ns)
  QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$runtime "$common/Quorvel" </dev/null >/dev/null 2>&1 &
  pid=$!
  while [[ ! -e $ini ]]; do
    if (( ($(now_ns) - began) / 1000000 > timeout_ms )); then
      echo "start $round: no settings file after ${timeout_ms} ms" >&2
      exit 1
    fi
  done
  ended=$(now_ns)
  stop_front_end
  echo $(( (ended - began) / 1000000 ))
}

# A first start that is not counted, so that every counted one finds the
# program and its libraries in the page cache.
one_start warm >/dev/null

times=()
for ((round = 1; round <= starts; round++)); do
  times+=("$(one_start "$round")")
done
sorted=$(printf '%s\n' "${times[@]}" | sort -n)
median=$(sed -n "$(( (starts + 1) / 2 ))p" <<<"$sorted")
echo "starts (ms): ${times[*]}"
echo "start to first drawn preview: median ${median} ms over ${starts} starts"
if (( median <= target_ms )); then
  echo "target: median <= ${target_ms} ms: met"
else
  echo "target: median <= ${target_ms} ms: MISSED"
  exit 1
fi
