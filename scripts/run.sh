#!/usr/bin/env bash
# Sets up this machine, builds VARNETH in Release and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "run: no display (neither DISPLAY nor WAYLAND_DISPLAY is set); built build/release/varneth" >&2
    exit 1
fi
exec ./build/release/varneth "$@"
