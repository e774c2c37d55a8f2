#!/usr/bin/env bash
# Installs what is missing, builds Velmora and opens its window. Without a
# display it runs the window under a virtual X server, saves a screenshot of
# it after start-up, prints the file's path and exits.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/ensure-packages.sh build run
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF \
  -DVELMORA_BENCHMARKS=OFF >/dev/null
cmake --build build -j"$(nproc)" --target velmora velmora-script

if [[ -n "${DISPLAY:-}" ]]; then
  exec build/bin/velmora
fi

shot="${VELMORA_SCREENSHOT:-$PWD/build/velmora-startup.png}"
# The same window and start-up, on a real X server, photographed once shown.
echo "snapshot $shot" | QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1920x1080x24" \
  build/bin/velmora-script
echo "$shot"
