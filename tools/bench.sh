#!/usr/bin/env bash
# The benchmark command (never part of the test command): installs what is
# missing, builds the benchmarks, runs them and prints the five figures, each
# as a ratio against its floor measured in the same run.
#   tools/bench.sh
# Build folders: build/bench-native (Google Benchmark, the engine on the
# in-memory backends) and build/bench-win (the timing program, the empty
# dialog and SetUp.exe). Wine prefixes: build/bench-win/wine/prefix (the
# large registry; seeded once and kept), prefix-x4 and prefix-x16 (4 and 16
# times its size, for the growth figure) and prefix-empty (no AutoCAD keys).
# Figures 1 to 5 run under Wine on a (virtual) display. A quiet machine gives
# steady figures: the load average is printed beside them. See
# docs/benchmarks.md.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=$(nproc)
reps=${TAVRIN_BENCH_REPS:-15}         # repetitions of figures 1 to 4
growth_reps=${TAVRIN_BENCH_GROWTH_REPS:-7}
# Wine runs on this one CPU (empty: on every CPU). Every registry call is a
# round trip to the wineserver; on an idle virtual machine a round trip
# between two CPUs costs several times more than on one and varies with the
# load, for our code and its floor alike.
cpu=${TAVRIN_BENCH_CPU-0}

win=$root/build/bench-win
timing=$win/bench/bench_timing.exe
wine_dir=$win/wine

# The Wine part, run under one display so that every process of a prefix
# sees the same one.
if [ "${1:-}" = --under-display ]; then
  windows_path() { local p=${1//\//\\}; echo "Z:$p"; }
  on() { local prefix=$1; shift; TAVRIN_WINEPREFIX=$prefix "$root/tools/wine-run" "$timing" "$@"; }
  quiet() { "$root/tools/wine-as-user" "$1" wineserver -w || true; }

  # A server still running from before would not be on our CPU.
  for prefix in "$wine_dir"/prefix "$wine_dir"/prefix-*; do
    [ -d "$prefix" ] && quiet "$prefix"
  done
  for scale in 1 4 16; do
    prefix=$wine_dir/prefix; [ "$scale" = 1 ] || prefix=$wine_dir/prefix-x$scale
    echo "== seeding $prefix (scale $scale)"
    on "$prefix" seed "$scale"
    quiet "$prefix"
  done

  prefix=$wine_dir/prefix
  echo "== figures 1 to 4 in $prefix"
  on "$prefix" detect "$reps"
  on "$prefix" trusted "$reps"
  on "$prefix" copy "$reps"
  on "$prefix" startup "$reps" "$(windows_path "$win/wizard/SetUp.exe")" "$(windows_path "$win/bench/empty_dialog.exe")"
  quiet "$prefix"
  # Extra: the same start-up in a prefix without AutoCAD keys, where
  # detection has nothing to walk.
  echo "== start-up without AutoCAD keys (extra)"
  on "$wine_dir/prefix-empty" startup "$reps" "$(windows_path "$win/wizard/SetUp.exe")" \
    "$(windows_path "$win/bench/empty_dialog.exe")" | sed 's/^RESULT startup /RESULT startup-empty /'
  quiet "$wine_dir/prefix-empty"
  for scale in 4 16; do
    echo "== figure 5 at scale $scale"
    on "$wine_dir/prefix-x$scale" detect "$growth_reps"
    quiet "$wine_dir/prefix-x$scale"
  done
  exit 0
fi

tools/deps.sh

echo "== native build (build/bench-native)"
cmake -S . -B build/bench-native -DCMAKE_BUILD_TYPE=Release -DTAVRIN_BUILD_BENCH=ON >/dev/null
cmake --build build/bench-native -j"$jobs" --target engine_bench

echo "== Windows build (build/bench-win)"
cmake -S . -B build/bench-win -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DTAVRIN_BUILD_BENCH=ON >/dev/null
cmake --build build/bench-win -j"$jobs" --target bench_timing empty_dialog SetUp

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
echo "== the engine on the in-memory backends (Google Benchmark; extra information)"
build/bench-native/bench/engine_bench --benchmark_min_time=0.2

log=$win/bench-results.txt
pin=()
[ -z "$cpu" ] || pin=(taskset -c "$cpu")
"${pin[@]}" tools/with-display "$0" --under-display | tee "$log"
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

# One RESULT line per run: "RESULT <figure> ours_ms=.. floor_ms=.. ...".
field() { # field FIGURE SCALE NAME
  awk -v f="$1" -v s="$2" -v n="$3" '$1 == "RESULT" && $2 == f && (s == "" || index($0, " scale=" s " ")) {
    for (i = 3; i <= NF; i++) { split($i, kv, "="); if (kv[1] == n) print kv[2] } }' "$log" | tail -1
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
row() { # row LABEL OURS FLOOR TARGET
  local r; r=$(ratio "$2" "$3")
  local verdict; verdict=$(awk -v r="$r" -v t="$4" 'BEGIN { print (r <= t) ? "met" : "MISSED" }')
  printf '%-44s %10.1f %10.1f %7sx %8s  %s\n' "$1" "$2" "$3" "$r" "<= $4x" "$verdict"
}

echo
echo "== results (medians in ms; Wine on CPU ${cpu:-any}; load average $load_before before, $load_after after)"
printf '%-44s %10s %10s %8s %8s\n' "figure" "ours" "floor" "ratio" "target"
row "1 detection, large registry ($(field detect 1 keys) keys)" "$(field detect 1 ours_ms)" "$(field detect 1 floor_ms)" 1.5
row "2 install run's file work ($(field copy '' copied_mb) MB)" "$(field copy '' ours_ms)" "$(field copy '' floor_ms)" 1.1
row "3 trusted locations ($(field trusted '' profiles) profiles)" "$(field trusted '' ours_ms)" "$(field trusted '' floor_ms)" 1.5
row "4 start-up to the first page" "$(field startup '' ours_ms)" "$(field startup '' floor_ms)" 1.2
printf '   without AutoCAD keys (extra): %.1f against %.1f, %sx; detection alone on the large registry: %.1f\n' \
  "$(field startup-empty '' ours_ms)" "$(field startup-empty '' floor_ms)" \
  "$(ratio "$(field startup-empty '' ours_ms)" "$(field startup-empty '' floor_ms)")" "$(field detect 1 ours_ms)"
echo "5 growth of detection (time per key walked; linear when the ratios stay near 1, target <= 1.25x):"
printf '   %-6s %8s %12s %12s %14s %12s\n' scale keys "ours us/key" "floor us/key" "ours vs 1x" "ours/floor"
base=""
for scale in 1 4 16; do
  keys=$(field detect $scale keys)
  ours=$(field detect $scale ours_ms)
  floor=$(field detect $scale floor_ms)
  per_key=$(awk -v t="$ours" -v k="$keys" 'BEGIN { printf "%.2f", 1000 * t / k }')
  floor_per_key=$(awk -v t="$floor" -v k="$keys" 'BEGIN { printf "%.2f", 1000 * t / k }')
  [ -n "$base" ] || base=$per_key
  printf '   %-6s %8s %12s %12s %13sx %11sx\n' "${scale}x" "$keys" "$per_key" "$floor_per_key" \
    "$(ratio "$per_key" "$base")" "$(ratio "$ours" "$floor")"
done
