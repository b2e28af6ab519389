#!/usr/bin/env bash
# Check the include graph against docs/ARCHITECTURE.md:
#  - a host layer (its folder with its subfolders) includes only the layers
#    its row of the layer table names (and itself); only paint and gui
#    include Qt; nothing in host/ includes
#    the plug-in's sources;
#  - the plug-in includes only its own files, sdk/ and the C++ standard
#    library.
# Prints one line per offending include and exits 1 when there is any.
set -euo pipefail

repo="${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}"
doc="$repo/docs/ARCHITECTURE.md"
status=0

# The layer table: rows "| `layer` | `a`, `b` | ..." between the markers.
declare -A allowed
while IFS='|' read -r _ layer deps _; do
  layer="$(tr -d ' `' <<<"$layer")"
  deps="$(tr -d ' `' <<<"$deps" | tr ',' ' ')"
  [[ -n "$layer" ]] && allowed[$layer]="$deps"
done < <(sed -n '/<!-- layers -->/,/<!-- \/layers -->/p' "$doc" | grep '^| `')

if ((${#allowed[@]} == 0)); then
  echo "check-includes: no layer table found in $doc" >&2
  exit 1
fi

for dir in "$repo"/host/*/; do
  layer="$(basename "$dir")"
  if [[ -z "${allowed[$layer]+set}" ]]; then
    echo "host/$layer: a folder the layer table of docs/ARCHITECTURE.md does not list"
    status=1
    continue
  fi
  while IFS=: read -r file line text; do
    target="$(sed -E 's|.*#include "host/([a-z_]+)/.*|\1|' <<<"$text")"
    [[ "$target" == "$layer" ]] && continue
    if [[ " ${allowed[$layer]} " != *" $target "* ]]; then
      echo "${file#"$repo"/}:$line: $layer may not include $target (${text})"
      status=1
    fi
  done < <(grep -rHn --include='*.h' --include='*.cpp' '#include "host/' "$dir" || true)
done

# Qt stays in the painting layer and the desktop app.
for dir in "$repo"/host/*/; do
  layer="$(basename "$dir")"
  [[ "$layer" == paint || "$layer" == gui ]] && continue
  while IFS=: read -r file line text; do
    echo "${file#"$repo"/}:$line: $layer may not include Qt, which stays in paint and gui (${text})"
    status=1
  done < <(grep -rHn --include='*.h' --include='*.cpp' '^[[:space:]]*#[[:space:]]*include[[:space:]]*<Q' "$dir" || true)
done

while IFS=: read -r file line text; do
  echo "${file#"$repo"/}:$line: the host includes the plug-in's sources (${text})"
  status=1
done < <(grep -rHn '#include "plugin/' "$repo/host" || true)

# The C++ standard library's headers (C++20), C compatibility headers included.
std_headers=" algorithm any array atomic barrier bit bitset cassert cctype cerrno cfenv cfloat charconv chrono
  cinttypes climits clocale cmath codecvt compare complex concepts condition_variable coroutine csetjmp csignal
  cstdarg cstddef cstdint cstdio cstdlib cstring ctime cuchar cwchar cwctype deque exception execution expected
  filesystem format forward_list fstream functional future initializer_list iomanip ios iosfwd iostream istream
  iterator latch limits list locale map memory memory_resource mutex new numbers numeric optional ostream queue
  random ranges ratio regex scoped_allocator semaphore set shared_mutex source_location span sstream stack
  stdexcept stop_token streambuf string string_view syncstream system_error thread tuple type_traits typeindex
  typeinfo unordered_map unordered_set utility valarray variant vector version "

while IFS= read -r -d '' file; do
  while IFS=: read -r line text; do
    if [[ "$text" =~ \#include\ *\<([^>]+)\> ]]; then
      header="${BASH_REMATCH[1]}"
      if [[ "$std_headers" != *" $header "* ]]; then
        echo "${file#"$repo"/}:$line: the plug-in includes <$header>, which is not the C++ standard library"
        status=1
      fi
    elif [[ "$text" =~ \#include\ *\"([^\"]+)\" ]]; then
      header="${BASH_REMATCH[1]}"
      if [[ ! -f "$repo/plugin/$header" && ! -f "$repo/sdk/$header" && ! -f "$(dirname "$file")/$header" ]]; then
        echo "${file#"$repo"/}:$line: the plug-in includes \"$header\", which is neither its own nor sdk/"
        status=1
      fi
    fi
  done < <(grep -n '^[[:space:]]*#[[:space:]]*include' "$file" || true)
done < <(find "$repo/plugin" \( -name '*.h' -o -name '*.cpp' \) -print0)

exit $status
