#!/usr/bin/env bash
# Characterizes ../shared/skeletons with an HTML page and photographs the page in headless
# Chromium (Debian's `chromium` package), to check it in a real browser and to keep the
# README's picture: docs/images/characterize_report.png (8-bit palette through pngquant).
# Usage: scripts/report-screenshot.sh [OUT_DIR]; CT_BUILD_DIR picks the build folder
# (default build). CI does not run it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${CT_BUILD_DIR:-$root/build}
out=${1:-$build/characterize}
skeletons=$root/../shared/skeletons
[ -d "$skeletons" ] || { echo "report-screenshot.sh: $skeletons is missing" >&2; exit 1; }
command -v chromium >/dev/null || { echo "report-screenshot.sh: install chromium" >&2; exit 1; }
cmake --build "$build" -j 1 --target kestrel-app characterizationTool >/dev/null
mkdir -p "$out"
# Exit status 1 is expected: the shared folder holds non-bipeds, which are refused.
APPDATA=$out/appdata "$build/bin/kestrel" --characterize -q --kntc "$out/kntc" \
    --report "$out/report.json" --html "$out/report.html" "$skeletons" || [ $? -eq 1 ]
chromium --headless --no-sandbox --disable-gpu --hide-scrollbars --window-size=1000,1300 \
    --screenshot="$out/report.png" "file://$out/report.html" 2>/dev/null
if command -v pngquant >/dev/null; then
    pngquant --force --output "$root/docs/images/characterize_report.png" 64 "$out/report.png"
else
    cp "$out/report.png" "$root/docs/images/characterize_report.png"
fi
echo "$out/report.html -> docs/images/characterize_report.png"
