#!/usr/bin/env bash
# Renders the screenshots of docs/screenshots anew from the real windows, offscreen (the README and
# the help show them). The test command renders them into the build tree only, so a test run never
# changes the documentation; run this after a change that alters what a window shows, and commit
# the pictures that changed.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${AXOLITE_BUILD_DIR:-build}
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" -j "$(nproc)" --target axolite_screenshots
mkdir -p "$build/screenshots-runtime"
QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$build/screenshots-runtime" \
    "$build/src/app/axolite_screenshots" docs/screenshots
git status --short docs/screenshots
