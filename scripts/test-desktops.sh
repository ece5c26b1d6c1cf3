#!/usr/bin/env bash
# Runs the X11 tests of the dev build (ctest label x11; the session-end test, label session,
# only runs in the openbox pass of test.sh) under each window manager in turn,
# each on a desktop of its own from scripts/with-x11.sh, and sums up which passed and how
# long each took. Builds nothing: build the dev preset first (scripts/test.sh does).
# Usage: scripts/test-desktops.sh [WM...]   default: all twelve
# A window manager that does not start counts as failed, never as skipped.
set -uo pipefail
cd "$(dirname "$0")/.."

desktops=("$@")
if [ ${#desktops[@]} -eq 0 ]; then
    desktops=(openbox xfwm4 kwin mutter metacity marco icewm fluxbox awesome fvwm bspwm wmaker)
fi
if [ ! -f build/dev/CTestTestfile.cmake ]; then
    echo "test-desktops: no dev build in build/dev; run cmake --build --preset dev first" >&2
    exit 2
fi

summary=()
failed=()
for wm in "${desktops[@]}"; do
    echo "== desktop $wm: x11 tests"
    start=$SECONDS
    if VARNETH_WM="$wm" ./scripts/with-x11.sh ctest --preset dev -L x11 -LE session \
        --repeat until-pass:2; then
        result=passed
    else
        result=FAILED
        failed+=("$wm")
    fi
    summary+=("$(printf '%-9s %-7s %4d s' "$wm" "$result" $((SECONDS - start)))")
done

echo "== desktops:"
printf '   %s\n' "${summary[@]}"
if [ ${#failed[@]} -gt 0 ]; then
    echo "== desktops: FAILED under ${failed[*]}"
    exit 1
fi
echo "== desktops: the x11 tests passed under all ${#desktops[@]}"
