#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors and runs every test; then builds again with
# AddressSanitizer and UndefinedBehaviorSanitizer in build-asan/ and runs every test a second time there.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-debian.sh
scripts/build.sh -DVIREO_WERROR=ON
# Windows are tested without a display.
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j"$(nproc)"

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVIREO_WERROR=ON -DVIREO_SANITIZE=ON -DVIREO_BENCH=OFF
cmake --build build-asan
# The first finding ends the test that met it.
export ASAN_OPTIONS=abort_on_error=1:detect_leaks=1:strict_string_checks=1:check_initialization_order=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# ASan's dlopen runs from its own runtime library, which does not carry the programs' run path to the
# ISA card driver stand-in: name its folder.
export LD_LIBRARY_PATH="$PWD/build-asan/link/iocard${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"
ctest --test-dir build-asan --output-on-failure -j"$(nproc)"
