#!/usr/bin/env bash
# Measures a whole run of the front-end: 20 pictures of 12 megapixels, from the
# click on "Imprint" to "Imprint Finish.", against the generator alone on the
# same list. The front-end is the real main window, driven by the test driver
# (build/tests/frontend_driver/Quorvel); target ratio <= 1.05.
# Builds nothing. Usage: bench/run_imprint_bench.sh BUILD_DIR [RUNS]
# (BUILD_DIR configured with -DQUORVEL_BUILD_BENCH=ON and the tests on, and built.)
set -euo pipefail
. "$(dirname "$0")/bench_settings.sh"
export LC_ALL=C

if (($# < 1)); then
  echo "usage: $0 BUILD_DIR [RUNS]" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
runs=${2:-3}
count=20
vantrel=$build/app/vantrel
driver=$build/tests/frontend_driver/Quorvel
maker=$build/bench/make_bench_pictures
for tool in "$vantrel" "$driver" "$maker"; do
  [[ -x $tool ]] || { echo "missing $tool: build $build first" >&2; exit 2; }
done

work=$(mktemp -d)
standin_pid=""
cleanup() {
  if [[ -n $standin_pid ]]; then
    kill "$standin_pid" 2>/dev/null || true
    wait "$standin_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# A window registry of our own, so no other window of the user is met.
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=offscreen

pictures=$work/pictures
common=$work/common
out=$work/out
mkdir -p "$pictures" "$common" "$out" "$work/standin"

echo "Making the pictures..."
"$maker" "$pictures"
list=()
for ((i = 1; i <= count; i++)); do
  name=$(printf 'p%02d.jpg' "$i")
  cp "$pictures/bench-12mp.jpg" "$pictures/$name"
  list+=("$pictures/$name")
done

cp "$vantrel" "$common/vantrel"
if [[ -d $build/app/package ]]; then cp -r "$build/app/package" "$common/"; fi
write_bench_settings "$common/sysconfig.ini" "$out"

# The generator works only while a process named like the front-end runs.
cp /bin/sleep "$work/standin/Quorvel"
"$work/standin/Quorvel" 3600 &
standin_pid=$!

outputs() { find "$out" -type f | wc -l; }

# Another generator of this user would be relied on in place of ours.
wait_for_no_generator() {
  while pgrep -x vantrel >/dev/null; do sleep 0.1; done
}

# run_alone: seconds of one generator run over the list.
run_alone() {
  rm -f "$out"/*
  local joined
  joined=$(printf '%s\r\n' "${list[@]}")
  printf '%s' "${joined%$'\r'}" >"$common/filelist"  # CR LF between lines, none after the last
  wait_for_no_generator
  local start end
  start=$EPOCHREALTIME
  "$common/vantrel" 2>"$work/stderr.txt" || { cat "$work/stderr.txt" >&2; return 1; }
  end=$EPOCHREALTIME
  [[ $(outputs) -eq $count ]] || { echo "the generator wrote $(outputs) of $count" >&2; return 1; }
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.3f\n", e - s }'
}

# run_window: seconds from the click to the end of the run, as the driver saw them.
run_window() {
  rm -f "$out"/*
  wait_for_no_generator
  "$driver" "$common" "$work/outcome.txt" 600 "${list[@]}" 2>"$work/driver.txt" ||
    { cat "$work/driver.txt" >&2; return 1; }
  grep -qx 'result=finished' "$work/outcome.txt" ||
    { cat "$work/outcome.txt" >&2; return 1; }
  [[ $(outputs) -eq $count ]] || { echo "the run wrote $(outputs) of $count" >&2; return 1; }
  awk -F= '$1 == "elapsed_ms" { printf "%.3f\n", $2 / 1000 }' "$work/outcome.txt"
}

median() {
  printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# By turns, so that a slow spell of the machine falls on both alike.
alone_times=()
window_times=()
for ((i = 0; i < runs; i++)); do
  alone_times+=("$(run_alone)")
  window_times+=("$(run_window)")
  echo "  run $((i + 1)): generator alone ${alone_times[-1]} s, window ${window_times[-1]} s"
done
alone=$(median "${alone_times[@]}")
window=$(median "${window_times[@]}")
ratio=$(awk -v w="$window" -v a="$alone" 'BEGIN { printf "%.3f", w / a }')
echo
echo "$count pictures of 12 MP: generator alone $alone s, click to \"Imprint Finish.\" $window s, ratio $ratio"
if awk -v r="$ratio" 'BEGIN { exit !(r <= 1.05) }'; then
  echo "  ratio <= 1.05: ok"
else
  echo "  ratio <= 1.05: MISSED"
  exit 1
fi
