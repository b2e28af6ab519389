#!/usr/bin/env bash
# Build the libFuzzer targets of fuzz/ with clang and run each for SECONDS
# (default 30) on a scratch copy of its seed corpus, so the committed corpus
# stays as it is. Prints each target's executions, rate and coverage; a
# crash, hang or memory blow-up leaves its input in BUILD/crashes/TARGET/ and
# makes the script exit 1. fuzz/TARGET.dict, when there is one, is the
# target's dictionary.
#   scripts/fuzz.sh [--build-dir DIR] [--no-build] [SECONDS] [TARGET...]
#     --build-dir DIR  the clang build to use (default build-fuzz/); it is
#                      configured with -DQX_FUZZ=ON when it is not yet
#     --no-build       run what DIR holds (the test run's sanitizer build
#                      calls it so, one target a test)
#     TARGET...        only these (default: every target)
#   QX_JOBS: build jobs (default 2)
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
jobs="${QX_JOBS:-2}"
build="$repo/build-fuzz"
do_build=1
seconds=30
all_targets=(fuzz_resources fuzz_svg fuzz_state fuzz_script fuzz_palette)
wanted=()

usage() {
  echo "usage: scripts/fuzz.sh [--build-dir DIR] [--no-build] [SECONDS] [TARGET...]" >&2
  exit 2
}

while (($#)); do
  case "$1" in
    --build-dir)
      (($# >= 2)) || usage
      build="$2"
      shift 2
      ;;
    --no-build)
      do_build=0
      shift
      ;;
    -*) usage ;;
    *)
      if [[ "$1" =~ ^[1-9][0-9]*$ ]] && ((${#wanted[@]} == 0)); then
        seconds="$1"
      elif [[ " ${all_targets[*]} " == *" $1 "* ]]; then
        wanted+=("$1")
      else
        echo "scripts/fuzz.sh: no fuzzing target or number of seconds: $1" >&2
        usage
      fi
      shift
      ;;
  esac
done
((${#wanted[@]})) || wanted=("${all_targets[@]}")

if ((do_build)); then
  if ! grep -qs '^QX_FUZZ:BOOL=ON' "$build/CMakeCache.txt"; then
    CC=clang CXX=clang++ cmake -S "$repo" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQX_FUZZ=ON \
      -DBUILD_TESTING=OFF -DQX_BUILD_BENCH=OFF >/dev/null
  fi
  # fuzz_svg needs Qt 6; CMake says so when it skips it.
  known=" $(cmake --build "$build" --target help | sed -n 's/^\.\.\. \([a-z_]*\).*/\1/p' | tr '\n' ' ') "
  targets=()
  for target in "${wanted[@]}"; do
    [[ "$known" == *" $target "* ]] && targets+=("$target")
  done
  ((${#targets[@]})) && cmake --build "$build" -j"$jobs" --target "${targets[@]}"
else
  targets=()
  for target in "${wanted[@]}"; do
    [[ -x "$build/fuzz/$target" ]] && targets+=("$target")
  done
fi
if ! ((${#targets[@]})); then
  echo "scripts/fuzz.sh: no fuzzing target is built in $build" >&2
  exit 1
fi

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
        QT_QPA_PLATFORM=offscreen "$build/fuzz/$target" -max_total_time="$seconds" -rss_limit_mb=2048 \
        -timeout=10 -print_final_stats=1 -artifact_prefix="$crashes/" "${dict[@]}" "$work/corpus" >"$log" 2>&1); then
    verdict="ok"
  else
    verdict="FAILED (see $log; inputs in $crashes/)"
    status=1
    tail -n 40 "$log" >&2
  fi
  executions="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)"
  rate="$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)"
  coverage="$(grep -E '^#[0-9]+' "$log" | tail -1 | grep -oE 'cov: [0-9]+ ft: [0-9]+' || true)"
  corpus="$(find "$work/corpus" -type f | wc -l)"
  echo "$target: ${executions:-?} executions, ${rate:-?} exec/s, ${coverage:-cov: ? ft: ?}, corpus $corpus inputs: $verdict"
done
exit $status
