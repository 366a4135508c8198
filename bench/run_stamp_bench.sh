#!/usr/bin/env bash
# Measures the generator on photo-like 12 and 24 megapixel pictures:
#  - median time per megapixel against the floor (floor_codec: decode and re-encode
#    with the same libjpeg settings and nothing else); target ratio <= 1.10;
#  - peak memory against 1.25 x the decoded bitmap (3 bytes a pixel) + 32 MiB;
#  - a 12 megapixel picture that is to be turned (orientation 6) against the
#    same pixels upright (orientation 1): median time ratio <= 1.15, and its peak
#    memory within the same limit;
#  - start-up: a whole run over a one-picture list of a 640 x 480 picture;
#    target <= 60 ms.
# Builds nothing. Usage: bench/run_stamp_bench.sh BUILD_DIR [RUNS]
# (BUILD_DIR configured with -DQUORVEL_BUILD_BENCH=ON and built.)
set -euo pipefail
. "$(dirname "$0")/bench_settings.sh"
export LC_ALL=C

if (($# < 1)); then
  echo "usage: $0 BUILD_DIR [RUNS]" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
runs=${2:-10}
vantrel=$build/app/vantrel
floor=$build/bench/floor_codec
maker=$build/bench/make_bench_pictures
for tool in "$vantrel" "$floor" "$maker"; do
  [[ -x $tool ]] || { echo "missing $tool: build $build first" >&2; exit 2; }
done
[[ -x /usr/bin/time ]] || { echo "GNU time missing: run scripts/install-deps.sh" >&2; exit 2; }

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

pictures=$work/pictures
common=$work/common
out=$work/out
mkdir -p "$pictures" "$common" "$out" "$work/standin"

echo "Making the pictures..."
"$maker" "$pictures"

# The common folder: the generator, its shipped files, settings and list.
cp "$vantrel" "$common/vantrel"
if [[ -d $build/app/package ]]; then cp -r "$build/app/package" "$common/"; fi

write_bench_settings "$common/sysconfig.ini" "$out"

# The generator works only while a process named like the front-end runs.
cp /bin/sleep "$work/standin/Quorvel"
"$work/standin/Quorvel" 600 &
standin_pid=$!

# measure COMMAND...: prints "seconds peak_kib" of one run.
measure() {
  local start end
  start=$EPOCHREALTIME
  if ! /usr/bin/time -f "%e %M" -o "$work/time.txt" "$@" >"$work/stdout.txt" 2>"$work/stderr.txt"; then
    echo "failed: $*" >&2
    cat "$work/stderr.txt" >&2
    return 1
  fi
  end=$EPOCHREALTIME
  awk -v s="$start" -v e="$end" -v m="$(tail -n 1 "$work/time.txt" | cut -d' ' -f2)" \
    'BEGIN { printf "%.4f %d\n", e - s, m }'
}

# run_vantrel PICTURE: one generator run over a one-picture list; prints
# "seconds peak_kib", or "none" when no output picture appeared.
run_vantrel() {
  rm -f "$out"/*
  printf '%s' "$1" >"$common/filelist"
  local result
  result=$(measure "$common/vantrel") || return 1
  if [[ -z $(ls -A "$out") ]]; then
    echo "none"
  else
    echo "$result"
  fi
}

run_floor() {
  rm -f "$out"/*
  measure "$floor" "$1" "$out/floor.jpg"
}

# best_of FUNCTION ARG: the least time and the largest peak over the runs.
best_of() {
  local i line best_t="" max_m=0 t m
  for ((i = 0; i < runs; i++)); do
    line=$("$1" "$2") || return 1
    if [[ $line == none ]]; then
      echo none
      return 0
    fi
    read -r t m <<<"$line"
    if [[ -z $best_t ]] || awk -v a="$t" -v b="$best_t" 'BEGIN { exit !(a < b) }'; then best_t=$t; fi
    ((m > max_m)) && max_m=$m
  done
  echo "$best_t $max_m"
}

# median_of_pair RUN_A PICTURE_A RUN_B PICTURE_B: the two run by turns, so that
# a slow spell of the machine falls on both alike; prints the median time and
# the largest peak of each ("a_t a_m b_t b_m"), or "none" when the generator
# wrote no output. The median, since on a shared machine single runs stray
# both ways.
median_of_pair() {
  local i line a_times=() b_times=() a_m=0 b_m=0 t m
  for ((i = 0; i < runs; i++)); do
    line=$("$1" "$2") || return 1
    [[ $line == none ]] && { echo none; return 0; }
    read -r t m <<<"$line"
    a_times+=("$t")
    ((m > a_m)) && a_m=$m
    line=$("$3" "$4") || return 1
    [[ $line == none ]] && { echo none; return 0; }
    read -r t m <<<"$line"
    b_times+=("$t")
    ((m > b_m)) && b_m=$m
  done
  echo "$(median "${a_times[@]}") $a_m $(median "${b_times[@]}") $b_m"
}

median() {
  printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# memory_limit_mib PIXELS: 1.25 x the decoded bitmap + 32 MiB.
memory_limit_mib() {
  awk -v p="$1" 'BEGIN { printf "%.1f", (1.25 * 3 * p + 32 * 1048576) / 1048576 }'
}

# ms_per_mp SECONDS PIXELS
ms_per_mp() {
  awk -v t="$1" -v p="$2" 'BEGIN { printf "%.1f", t * 1000 / (p / 1e6) }'
}

failures=0
check() { # check LABEL AWK_CONDITION
  if awk "BEGIN { exit !($2) }"; then
    echo "  $1: ok"
  else
    echo "  $1: MISSED"
    failures=$((failures + 1))
  fi
}

printf '\n%-16s %6s %10s %10s %8s %12s %12s %12s\n' picture MP "floor ms/MP" "vantrel ms/MP" ratio \
  "floor MiB" "vantrel MiB" "limit MiB"
vantrel_measured=1
for name in bench-12mp bench-24mp; do
  picture=$pictures/$name.jpg
  case $name in
    bench-12mp) pixels=$((4000 * 3000)) ;;
    bench-24mp) pixels=$((6000 * 4000)) ;;
  esac
  pair=$(median_of_pair run_floor "$picture" run_vantrel "$picture")
  if [[ $pair == none ]]; then
    vantrel_line=none
    read -r floor_t floor_m <<<"$(best_of run_floor "$picture")"
  else
    read -r floor_t floor_m vantrel_t vantrel_m <<<"$pair"
    vantrel_line="$vantrel_t $vantrel_m"
  fi
  mp=$(awk -v p="$pixels" 'BEGIN { printf "%.1f", p / 1e6 }')
  limit_mib=$(memory_limit_mib "$pixels")
  floor_ms=$(ms_per_mp "$floor_t" "$pixels")
  floor_mib=$(awk -v m="$floor_m" 'BEGIN { printf "%.1f", m / 1024 }')
  if [[ $vantrel_line == none ]]; then
    vantrel_measured=0
    printf '%-16s %6s %10s %10s %8s %12s %12s %12s\n' "$name" "$mp" "$floor_ms" "-" "-" \
      "$floor_mib" "-" "$limit_mib"
    continue
  fi
  read -r vantrel_t vantrel_m <<<"$vantrel_line"
  vantrel_ms=$(ms_per_mp "$vantrel_t" "$pixels")
  ratio=$(awk -v a="$vantrel_t" -v b="$floor_t" 'BEGIN { printf "%.3f", a / b }')
  vantrel_mib=$(awk -v m="$vantrel_m" 'BEGIN { printf "%.1f", m / 1024 }')
  printf '%-16s %6s %10s %10s %8s %12s %12s %12s\n' "$name" "$mp" "$floor_ms" "$vantrel_ms" \
    "$ratio" "$floor_mib" "$vantrel_mib" "$limit_mib"
  check "time ratio <= 1.10" "$ratio <= 1.10"
  check "peak memory <= limit" "$vantrel_mib <= $limit_mib"
done

twelve_mp=$((4000 * 3000))
turns=$(median_of_pair run_vantrel "$pictures/bench-12mp.jpg" \
  run_vantrel "$pictures/bench-12mp-turned.jpg")
if [[ $turns == none ]]; then
  vantrel_measured=0
else
  read -r upright_t _ turned_t turned_m <<<"$turns"
  limit_mib=$(memory_limit_mib "$twelve_mp")
  ratio=$(awk -v a="$turned_t" -v b="$upright_t" 'BEGIN { printf "%.3f", a / b }')
  turned_mib=$(awk -v m="$turned_m" 'BEGIN { printf "%.1f", m / 1024 }')
  printf '\n%-16s %6s %14s %14s %8s %12s %12s\n' picture MP "upright ms/MP" "turned ms/MP" \
    ratio "turned MiB" "limit MiB"
  printf '%-16s %6s %14s %14s %8s %12s %12s\n' "bench-12mp-turned" 12.0 \
    "$(ms_per_mp "$upright_t" "$twelve_mp")" "$(ms_per_mp "$turned_t" "$twelve_mp")" \
    "$ratio" "$turned_mib" "$limit_mib"
  check "turned time ratio <= 1.15" "$ratio <= 1.15"
  check "turned peak memory <= limit" "$turned_mib <= $limit_mib"
fi

startup=$(best_of run_vantrel "$pictures/small.jpg")
if [[ $startup == none ]]; then
  vantrel_measured=0
else
  startup_ms=$(awk -v t="${startup%% *}" 'BEGIN { printf "%.1f", t * 1000 }')
  echo
  echo "start-up, one 640 x 480 picture: $startup_ms ms"
  check "start-up <= 60 ms" "$startup_ms <= 60"
fi

if ((!vantrel_measured)); then
  echo
  echo "vantrel wrote no output picture: the generator was not measured." >&2
  exit 1
fi
((failures == 0))
