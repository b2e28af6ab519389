#!/usr/bin/env bash
# Put the built plug-in through the validator at a high strictness (default
# 8), with a few seeds: longer than the test run's pass at strictness 2.
# Usage: scripts/validate.sh [STRICTNESS] [BUILD]
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
strictness="${1:-8}"
build="${2:-$repo/build}"
status=0
for seed in 1 2 3; do
  "$build/quelvix" validate --plugins "$build/plugins" --strictness "$strictness" --seed "$seed" || status=1
done
exit "$status"
