#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time:
#   tests/fuzz/run_fuzzers.sh BUILD_DIR [SECONDS_PER_TARGET]   (default 20)
# Each target first replays its corpus in tests/fuzz/corpus/<name> (the seeds
# and every crash found so far, kept as regression cases, named regression_*),
# then fuzzes, with the tokens of <name>.dict where there is one. New
# inputs go to BUILD_DIR/corpus/<name>, a crash's input to
# BUILD_DIR/artifacts/; any crash, leak or hang fails the run.
set -euo pipefail
src=$(cd "$(dirname "$0")" && pwd)
build=$1
seconds=${2:-20}
mkdir -p "$build"
build=$(cd "$build" && pwd)

CXX=${TAVRIN_FUZZ_CXX:-clang++} cmake -S "$src" -B "$build" -DTAVRIN_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build "$build" -j"$(nproc)"

status=0
for name in reg_file path_rules install_folder trusted_paths; do
  work=$build/corpus/$name
  mkdir -p "$work" "$build/artifacts"
  dict=()
  [ -f "$src/$name.dict" ] && dict=(-dict="$src/$name.dict")
  echo "== fuzz_$name for ${seconds}s"
  if ! "$build/fuzz_$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=8192 \
       "${dict[@]}" -print_final_stats=1 -artifact_prefix="$build/artifacts/$name-" "$work" "$src/corpus/$name" \
       2> "$build/fuzz_$name.log"; then
    tail -40 "$build/fuzz_$name.log" >&2
    echo "fuzz: fuzz_$name failed; the input is in $build/artifacts" >&2
    status=1
  else
    grep -E '^stat::number_of_executed_units|^stat::new_units_added' "$build/fuzz_$name.log" | tr '\n' ' '
    echo
  fi
done
exit $status
