#!/usr/bin/env bash
# Measures a whole run of the front-end, from the click on "Imprint" to
# "Imprint Finish.", against the generator alone on the same list: 20 pictures
# of 12 megapixels (target ratio <= 1.05), and 1,500 pictures of 640 x 480,
# where the window's own work per picture shows (target ratio <= 1.03). The
# front-end is the real main window, driven by the test driver
# (build/tests/frontend_driver/Quorvel).
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
mkdir -p "$pictures" "$common" "$out"

echo "Making the pictures..."
"$maker" "$pictures"

# make_list SOURCE COUNT: COUNT copies of SOURCE, named into the array `list`.
make_list() {
  rm -f "$pictures"/p*.jpg
  list=()
  for ((i = 1; i <= $2; i++)); do
    name=$(printf 'p%04d.jpg' "$i")
    cp "$pictures/$1" "$pictures/$name"
    list+=("$pictures/$name")
  done
  count=$2
}

cp "$vantrel" "$common/vantrel"
if [[ -d $build/app/package ]]; then cp -r "$build/app/package" "$common/"; fi
write_bench_settings "$common/sysconfig.ini" "$out"

# The generator works only while the front-end of its own folder runs, and
# reports only to a window of that folder: the program file at
# $common/Quorvel is a stand-in that sleeps for a run of the generator alone,
# and the test driver for a run of the window.
install_front_end() {
  rm -f "$common/Quorvel"
  cp "$1" "$common/Quorvel"
}
start_standin() {
  install_front_end /bin/sleep
  "$common/Quorvel" 3600 &
  standin_pid=$!
}
stop_standin() {
  kill "$standin_pid" 2>/dev/null || true
  wait "$standin_pid" 2>/dev/null || true
  standin_pid=""
}

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
  start_standin
  local start end
  start=$EPOCHREALTIME
  "$common/vantrel" 2>"$work/stderr.txt" || { stop_standin; cat "$work/stderr.txt" >&2; return 1; }
  end=$EPOCHREALTIME
  stop_standin
  [[ $(outputs) -eq $count ]] || { echo "the generator wrote $(outputs) of $count" >&2; return 1; }
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.3f\n", e - s }'
}

# run_window: seconds from the click to the end of the run, as the driver saw them.
run_window() {
  rm -f "$out"/*
  wait_for_no_generator
  install_front_end "$driver"
  "$common/Quorvel" "$common" "$work/outcome.txt" 600 "${list[@]}" 2>"$work/driver.txt" ||
    { cat "$work/driver.txt" >&2; return 1; }
  grep -qx 'result=finished' "$work/outcome.txt" ||
    { cat "$work/outcome.txt" >&2; return 1; }
  [[ $(outputs) -eq $count ]] || { echo "the run wrote $(outputs) of $count" >&2; return 1; }
  awk -F= '$1 == "elapsed_ms" { printf "%.3f\n", $2 / 1000 }' "$work/outcome.txt"
}

median() {
  printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# bench_row SOURCE COUNT LABEL TARGET: runs taken by turns, so that a slow
# spell of the machine falls on both alike. Returns 1 when the target is missed.
bench_row() {
  make_list "$1" "$2"
  local alone_times=() window_times=() i alone_time window_time
  for ((i = 0; i < runs; i++)); do
    alone_time=$(run_alone) || return 1
    window_time=$(run_window) || return 1
    alone_times+=("$alone_time")
    window_times+=("$window_time")
    echo "  run $((i + 1)): generator alone ${alone_times[-1]} s, window ${window_times[-1]} s"
  done
  local alone window ratio
  alone=$(median "${alone_times[@]}")
  window=$(median "${window_times[@]}")
  ratio=$(awk -v w="$window" -v a="$alone" 'BEGIN { printf "%.3f", w / a }')
  echo "$count pictures of $3: generator alone $alone s, click to \"Imprint Finish.\" $window s, ratio $ratio"
  if awk -v r="$ratio" -v t="$4" 'BEGIN { exit !(r <= t) }'; then
    echo "  ratio <= $4: ok"
  else
    echo "  ratio <= $4: MISSED"
    return 1
  fi
}

missed=0
bench_row bench-12mp.jpg 20 "12 MP" 1.05 || missed=1
echo
bench_row small.jpg 1500 "640 x 480" 1.03 || missed=1
exit "$missed"
