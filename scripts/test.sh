#!/usr/bin/env bash
# Sets up this machine, builds VARNETH with its tests and runs the whole suite,
# once in the dev build and once under AddressSanitizer/UndefinedBehaviorSanitizer.
# The X11 tests get their own Xvfb and openbox, started and stopped here.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup.sh

for preset in dev asan; do
    echo "== $preset: configure and build"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    echo "== $preset: tests"
    ./scripts/with-x11.sh ctest --preset "$preset" -j2
done
