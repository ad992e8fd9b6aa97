#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the normal build (with the benchmarks'
# identity checks, label bench-smoke), the same suite built with AddressSanitizer and
# UndefinedBehaviorSanitizer, the fuzz targets for a bounded time each, and the format check.
# Both builds treat compiler warnings as errors.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
jobs=$(nproc)

echo "== format"
git ls-files -z -- '*.cpp' '*.h' | xargs -0 -r clang-format --dry-run -Werror

echo "== normal build"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DAXOLITE_WERROR=ON >/dev/null
cmake --build build -j "$jobs"
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs")

echo "== sanitizer build with fuzz targets"
# -O1 with line tables: what the sanitizers' reports need, at a fraction of the compile time of
# full debug information.
CC=clang CXX=clang++ cmake -S . -B build-san -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -gline-tables-only -DNDEBUG" \
    -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -gline-tables-only -DNDEBUG" \
    -DAXOLITE_SANITIZE=ON -DAXOLITE_FUZZ=ON -DAXOLITE_BENCH=OFF -DAXOLITE_WERROR=ON >/dev/null
cmake --build build-san -j "$jobs"
(cd build-san && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j "$jobs")
