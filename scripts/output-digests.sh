#!/usr/bin/env bash
# Render a fixed set of drawings (seeds x presets, plus a few dialog scripts)
# to SVG, JSON and random logs and print one digest line per file. Run it
# before and after a change that must not change what is drawn, and compare:
#
#   scripts/output-digests.sh build > before.txt
#   ... change, rebuild ...
#   scripts/output-digests.sh build > after.txt && diff before.txt after.txt
set -euo pipefail

build="${1:-build}"
quelvix="$build/quelvix"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

render() {  # name, then quelvix render options
  local name="$1"
  shift
  "$quelvix" render --fresh --state "$work/state.bin" --random-log "$work/$name.log" \
    -o "$work/$name.json" "$@" 2>/dev/null || echo "$name: exit $?"
  "$quelvix" render --fresh --state "$work/state.bin" -o "$work/$name.svg" "$@" 2>/dev/null || true
  (cd "$work" && sha256sum "$name.json" "$name.svg" "$name.log" "state.bin")
  rm -f "$work/$name".* "$work/state.bin"
}

for preset in $(seq 0 15); do
  for seed in 1 7 42; do
    render "p${preset}-s${seed}" --seed "$seed" --preset "$preset"
  done
done
for seed in 3 11 2024; do
  render "tumble-s$seed" --seed "$seed" --tumble --shuffle
  render "tile-s$seed" --seed "$seed" --set tileMode=2 --set "shapeKind=Stars 1" --set randomOpacity=on
  render "split-s$seed" --seed "$seed" --set splitLines=on --set lineSets=4 --page a4
  render "adjust-s$seed" --seed "$seed" --adjust pointsMin=200,300 --page-tab 3 --set shapeScale=150
done
