#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the benchmarks need (only what is missing).
set -euo pipefail

packages=(
    build-essential git cmake ninja-build clang clang-format libclang-rt-14-dev lld
    libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev nlohmann-json3-dev
    qt6-base-dev qt6-svg-dev qt6-translations-l10n xvfb xauth time
    appstream desktop-file-utils lintian man-db locales
    libopenblas-dev libmuparser-dev libfann-dev libboost-dev
    python3-dev pybind11-dev python3-pybind11 python3-numpy python3-pytest python3-matplotlib
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -qq
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
