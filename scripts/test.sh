#!/usr/bin/env bash
# Sets up this machine, checks what distributions take from the project (menu entry,
# metainfo, the build without tests, run.sh's packages), builds VARNETH with its tests and
# runs the whole suite, once in the dev build and once under AddressSanitizer/UndefinedBehaviorSanitizer.
# The X11 tests get their own Xvfb and openbox, started and stopped here; in the dev build
# they then run under the eleven other window managers too (scripts/test-desktops.sh). The
# Wayland tests get each compositor in turn.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup.sh --tests
./scripts/check-distribution.sh

for preset in dev asan; do
    echo "== $preset: configure and build"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    echo "== $preset: tests"
    # A test that fails is run once more before it fails the run: the real window managers
    # and compositors answer more slowly on a loaded 2-core machine than the tests' waits
    # sometimes allow. A failure that repeats is a failure.
    VARNETH_WM=openbox ./scripts/with-x11.sh ctest --preset "$preset" -j2 --repeat until-pass:2
    if [ "$preset" = dev ]; then
        # openbox's entry of the desktop matrix is the run just above.
        ./scripts/test-desktops.sh xfwm4 kwin mutter metacity marco icewm fluxbox \
            awesome fvwm bspwm wmaker
    fi
done

# The real program on each Wayland compositor, as a Wayland client and through XWayland.
for compositor in sway weston mutter; do
    echo "== dev: wayland tests under $compositor"
    ./scripts/with-wayland.sh "$compositor" ctest --preset dev -L wayland --repeat until-pass:2
done

# The .deb as a user gets it: built from the release preset, checked by lintian against
# Debian policy (any error or warning fails; info tags are shown), unpacked into a
# temporary root with dpkg -x, its metainfo checked, and its binary started to prove it
# opens its window.
echo "== release: package"
cmake --preset release >/dev/null
cmake --build --preset release
(cd build/release && cpack -G DEB >/dev/null)
deb=$(ls -t build/release/varneth_*.deb | head -n1)
echo "== package: lintian"
lintian --fail-on error,warning --display-info "$deb"
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml
echo "== package: starting the unpacked $root/usr/bin/varneth"
XDG_CONFIG_HOME="$root/config" ./scripts/with-x11.sh bash -c '
    "$1" & pid=$!
    for _ in $(seq 100); do
        if xdotool search --onlyvisible --name "HOLBRECK - VARNETH" >/dev/null 2>&1; then
            kill "$pid"; wait "$pid" 2>/dev/null
            exit 0
        fi
        sleep 0.1
    done
    kill "$pid" 2>/dev/null; exit 1
' opener "$root/usr/bin/varneth" || { echo "== package: FAILED, no window from $deb"; exit 1; }
echo "== package: $(basename "$deb") opens its window"
