#!/usr/bin/env bash
# Build the libFuzzer targets of fuzz/ with clang into build-fuzz/ and run
# each for SECONDS (default 30) on a scratch copy of its seed corpus, so the
# committed corpus stays as it is. Prints each target's executions, rate and
# coverage; a crash, hang or memory blow-up leaves its input in
# build-fuzz/crashes/TARGET/ and makes the script exit 1. fuzz/TARGET.dict,
# when there is one, is the target's dictionary.
#   scripts/fuzz.sh [SECONDS]      QX_JOBS: build jobs (default 2)
#   QX_FUZZ_TARGETS="fuzz_svg fuzz_state": run only these
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-30}"
jobs="${QX_JOBS:-2}"
build="$repo/build-fuzz"

if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: scripts/fuzz.sh [SECONDS]" >&2
  exit 2
fi

all_targets="fuzz_resources fuzz_svg fuzz_state fuzz_script fuzz_palette"
CC=clang CXX=clang++ cmake -S "$repo" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQX_FUZZ=ON \
  -DBUILD_TESTING=OFF -DQX_BUILD_BENCH=OFF >/dev/null
targets=()
for target in ${QX_FUZZ_TARGETS:-$all_targets}; do
  # fuzz_svg needs Qt 6; CMake says so when it skips it.
  if grep -q "^$target:" <(cmake --build "$build" --target help | sed -n 's/^\.\.\. \([a-z_]*\).*/\1:/p'); then
    targets+=("$target")
  fi
done
cmake --build "$build" -j"$jobs" --target "${targets[@]}"

status=0
for target in "${targets[@]}"; do
  work="$build/run/$target"
  crashes="$build/crashes/$target"
  rm -rf "$work"
  mkdir -p "$work/corpus" "$work/tmp" "$crashes"
  cp -r "$repo/fuzz/corpus/$target/." "$work/corpus/"
  log="$work/fuzz.log"
  dict=()
  [[ -f "$repo/fuzz/$target.dict" ]] && dict=(-dict="$repo/fuzz/$target.dict")
  echo "== $target: $seconds s"
  # The targets write no files; whatever a library might write goes to the
  # scratch folder.
  if (cd "$work/tmp" && TMPDIR="$work/tmp" XDG_CONFIG_HOME="$work/tmp" XDG_CACHE_HOME="$work/tmp" \
        "$build/fuzz/$target" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
        -print_final_stats=1 -artifact_prefix="$crashes/" "${dict[@]}" "$work/corpus" >"$log" 2>&1); then
    verdict="ok"
  else
    verdict="FAILED (see $log; inputs in $crashes/)"
    status=1
  fi
  executions="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)"
  rate="$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)"
  coverage="$(grep -E '^#[0-9]+' "$log" | tail -1 | grep -oE 'cov: [0-9]+ ft: [0-9]+' || true)"
  echo "$target: ${executions:-?} executions, ${rate:-?} exec/s, ${coverage:-cov: ? ft: ?}: $verdict"
done
exit $status
