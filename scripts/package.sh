#!/usr/bin/env bash
# Builds the Debian package of Axolite from the Release build (build/) and checks it: lintian
# (no errors), desktop-file-validate and appstreamcli validate. The package is written to
# build/package/. Installs what is missing first, as the README's commands do.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${AXOLITE_SKIP_SETUP:-}" ]; then bash scripts/setup.sh; fi
build=${AXOLITE_BUILD_DIR:-build}

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" -j "$(nproc)"
rm -rf "$build/package"
(cd "$build" && cpack -G DEB >/dev/null)
package=$(ls "$build"/package/axolite_*.deb)
echo "package: $package"

desktop-file-validate packaging/org.axolite.Axolite.desktop
appstreamcli validate --no-net --pedantic "$build/packaging/org.axolite.Axolite.metainfo.xml" \
    >/dev/null || appstreamcli validate --no-net "$build/packaging/org.axolite.Axolite.metainfo.xml"
# lintian refuses to run as root without this flag; it reads the package and runs nothing of it.
lintian_flags=(--fail-on error)
if [ "$(id -u)" -eq 0 ]; then lintian_flags+=(--allow-root); fi
lintian "${lintian_flags[@]}" "$package"
echo "package checked: $package"
