#!/usr/bin/env bash
# Install the build into a fresh prefix, then run the installed program
# from there: it must find its plug-in under the prefix without being told,
# and the desktop entry and icon must be in place.
set -euo pipefail
build="$1"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
test -x "$prefix/bin/quelvix"
test -f "$prefix/share/applications/quelvix.desktop"
test -f "$prefix/share/icons/hicolor/scalable/apps/quelvix.svg"
grep -q '^Exec=quelvix gui' "$prefix/share/applications/quelvix.desktop"
env -u QUELVIX_PLUGINS "$prefix/bin/quelvix" info | grep -q "lib/quelvix/plugins/Quelvix.aip"
(cd "$prefix" && env -u QUELVIX_PLUGINS "$prefix/bin/quelvix" render --fresh --state "$prefix/s.bin" --seed 3 \
   -o "$prefix/out.svg" 2>/dev/null)
grep -q '<svg' "$prefix/out.svg"
echo "installed program works"
