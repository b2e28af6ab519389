#!/usr/bin/env bash
# The desktop app on a real X server, driven by keys as a person would: open
# Filter > Torvik <Create> > Quelvix..., confirm the dialog with Return, quit,
# and let the drawing go when asked about the unsaved changes. The kept
# settings file proves the filter ran to the end.
# Usage (inside an X session, e.g. under xvfb-run): gui_under_x.sh QUELVIX
set -euo pipefail

quelvix="$1"
dir="$(mktemp -d)"
app=""
cleanup() {
  [[ -n "$app" ]] && kill "$app" 2>/dev/null || true
  rm -rf "$dir"
}
trap cleanup EXIT

export QT_QPA_PLATFORM=xcb
# Font configuration's caches and the session bus connection Qt opens on X
# live as long as the process.
printf 'leak:libfontconfig\nleak:libdbus-1\n' > "$dir/lsan.supp"
export LSAN_OPTIONS="suppressions=$dir/lsan.supp"

fail() {
  echo "gui_under_x: $*" >&2
  exit 1
}

# Wait at most $1 seconds for a window whose name matches $2; print its id
# (nothing when none came).
wait_window() {
  timeout "$1" xdotool search --sync --onlyvisible --name "$2" 2>/dev/null | head -1 || true
}

"$quelvix" gui --fresh --state "$dir/state.bin" &
app=$!

main="$(wait_window 60 '^Untitled - Quelvix$')"
[[ -n "$main" ]] || fail "the document window did not appear"
# Filter, its first category, its first filter. A busy machine may drop a key
# sent before a menu is up, so each key waits a little and the whole choice is
# tried again while no dialog shows.
dialog=""
for _ in 1 2 3 4 5; do
  xdotool windowfocus --sync "$main"
  for key in alt+r Right Return; do
    xdotool key --clearmodifiers "$key"
    sleep 0.3
  done
  dialog="$(wait_window 10 'Plug-in')"
  [[ -n "$dialog" ]] && break
  xdotool key Escape Escape  # close a menu left open
done
[[ -n "$dialog" ]] || fail "the settings dialog did not open"
xdotool windowfocus --sync "$dialog"
xdotool key Return  # OK

for _ in $(seq 600); do
  [[ -s "$dir/state.bin" ]] && break
  kill -0 "$app" 2>/dev/null || fail "the app ended while the filter ran"
  sleep 0.1
done
[[ "$(stat -c %s "$dir/state.bin" 2>/dev/null)" == 236 ]] || fail "the filter's settings were not kept after OK"

[[ -n "$(wait_window 10 '^Untitled\* - Quelvix$')" ]] || fail "the title does not mark the unsaved drawing"
xdotool windowfocus --sync "$main"
xdotool key ctrl+q
prompt="$(wait_window 10 '^Quelvix$')"
[[ -n "$prompt" ]] || fail "Quit did not ask about the unsaved drawing"
xdotool windowfocus --sync "$prompt"
xdotool key alt+d  # Discard
for _ in $(seq 300); do
  kill -0 "$app" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$app" 2>/dev/null && fail "Quit did not close the app"
status=0
wait "$app" || status=$?
app=""
[[ "$status" == 0 ]] || fail "the app exited with status $status"
echo "gui_under_x: the filter ran from its menu and the app quit cleanly"
