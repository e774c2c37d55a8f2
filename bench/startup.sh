#!/usr/bin/env bash
# Time from process start to the first painted frame, and the peak resident
# memory after start-up, on Qt's offscreen platform: runs the start-up probe
# (the program's own start-up, ended after its first paint) RUNS times and
# prints the median and the spread of each. Writes the runs as JSON to OUT.
# Usage: bench/startup.sh [BUILD_DIR] [RUNS] [OUT]
set -euo pipefail
build="${1:-build-release}"
runs="${2:-10}"
out="${3:-$build/startup-results.json}"
probe="$build/bin/velmora-firstframe"
[[ -x "$probe" ]] || { echo "startup.sh: $probe is not built" >&2; exit 2; }

export QT_QPA_PLATFORM=offscreen
# One run first so that the files it reads are in the page cache, as for a
# person who starts the program a second time.
"$probe" --since="$(date +%s%N)" >/dev/null 2>&1 || true

lines=()
for ((i = 0; i < runs; ++i)); do
  lines+=("$("$probe" --since="$(date +%s%N)" 2>/dev/null)")
done

printf '%s\n' "${lines[@]}" | python3 "$(dirname "$0")/report.py" startup "$out"
