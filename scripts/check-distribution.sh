#!/usr/bin/env bash
# Cheap checks of what distributions and users take from the project before any test runs:
# - the menu entry passes desktop-file-validate without even a hint;
# - the AppStream metainfo passes appstreamcli's pedantic validation;
# - a configure with CMake's -DBUILD_TESTING=OFF, as packagers' tools run it, configures no
#   test and looks for no test-only package (Qt Test, xcb-xtest);
# - on a machine where nothing is installed, scripts/setup.sh (what run.sh runs) asks apt
#   for at most 15 packages, none of them from the test bench.
set -euo pipefail
cd "$(dirname "$0")/.."

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "== distribution: FAILED: $*" >&2
    exit 1
}

echo "== distribution: menu entry and metainfo"
hints=$(desktop-file-validate packaging/org.holbreck.varneth.desktop 2>&1) || true
[ -z "$hints" ] || fail "desktop-file-validate: $hints"
appstreamcli validate --no-net --pedantic packaging/org.holbreck.varneth.metainfo.xml >"$work/as" 2>&1 ||
    fail "appstreamcli: $(cat "$work/as")"

echo "== distribution: configure with -DBUILD_TESTING=OFF"
cmake -S . -B "$work/build" -G Ninja -DBUILD_TESTING=OFF >"$work/configure.log" 2>&1 ||
    fail "configure: $(tail -n5 "$work/configure.log")"
tests=$(ctest --test-dir "$work/build" -N | sed -n 's/^Total Tests: //p')
[ "$tests" = 0 ] || fail "$tests tests configured with BUILD_TESTING=OFF"
! grep -Eq '^(Qt6Test_DIR|XCB_XTEST_FOUND):' "$work/build/CMakeCache.txt" ||
    fail "the configure looked for a test-only package"

echo "== distribution: what scripts/setup.sh asks for on an empty machine"
# Stand-ins first on PATH: dpkg reports nothing installed, apt-get and sudo only record.
mkdir "$work/bin"
printf '#!/bin/sh\nexit 1\n' >"$work/bin/dpkg-query"
printf '#!/bin/sh\n[ "$1" = install ] && echo "$@" >>"%s/asked"\nexit 0\n' "$work" >"$work/bin/apt-get"
printf '#!/bin/sh\nexec "$@"\n' >"$work/bin/sudo"
chmod +x "$work/bin/"*
PATH="$work/bin:$PATH" ./scripts/setup.sh >/dev/null
read -ra asked <"$work/asked"
packages=()
for word in "${asked[@]}"; do
    [[ "$word" == -* || "$word" == install ]] || packages+=("$word")
done
[ ${#packages[@]} -le 15 ] || fail "run.sh asks for ${#packages[@]} packages: ${packages[*]}"
bench='^(xvfb|xwayland|openbox|xfwm4|kwin.*|mutter|metacity|marco|icewm|fluxbox|sway|weston|lintian|at-spi.*|.*atspi.*|x11-session-utils)$'
for p in "${packages[@]}"; do
    [[ ! "$p" =~ $bench ]] || fail "run.sh asks for $p, which only the tests need"
done
echo "== distribution: run.sh asks for ${#packages[@]} packages: ${packages[*]}"
