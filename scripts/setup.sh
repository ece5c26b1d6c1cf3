#!/usr/bin/env bash
# Installs the Debian packages that are not yet on this machine, in one of two sets:
#   scripts/setup.sh          what building and running VARNETH need (scripts/run.sh)
#   scripts/setup.sh --tests  that, and the test bench (scripts/test.sh)
# A second run finds everything and installs nothing.
set -euo pipefail

# Building and running: the compiler and build tools, Qt's development files (Qt D-Bus
# included) with its platform plugins, xcb, the face that stands in for MS Sans Serif,
# and Qt's Wayland platform for Wayland sessions without XWayland.
run_packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-qpa-plugins libxcb1-dev
    fonts-liberation qt6-wayland
)

# The test bench adds everything else.
test_packages=(
    # X11 tests and screenshots: a virtual display, a real window manager, tools to inspect it
    xvfb xauth openbox x11-utils xdotool imagemagick
    # Ending a session: xsm as the XSMP session manager, and iceauth, which xsm runs to
    # set up its clients' authentication
    x11-session-utils x11-xserver-utils
    # The window managers of the big desktops and four more that Debian users run, for the
    # desktop matrix (scripts/test-desktops.sh), each with a private D-Bus session; marco's
    # stand-in schema is compiled with glib's tool
    xfwm4 kwin-x11 kwin-style-breeze mutter metacity marco icewm fluxbox
    awesome fvwm bspwm wmaker
    dbus-daemon libglib2.0-bin
    # Real clicks and key presses in the X11 tests, through the XTest extension
    libxcb-xtest0-dev
    # Packaging: dpkg-shlibdeps for the .deb's dependencies, appstreamcli and
    # desktop-file-validate to check the metainfo and the menu entry, lintian to check the
    # .deb against Debian policy
    dpkg-dev appstream desktop-file-utils lintian
    # Themes and screen readers: the GTK theme plugin for the dark-theme check, a private
    # session bus with the accessibility bus, and pyatspi to read the program as a reader does
    qt6-gtk-platformtheme at-spi2-core python3-pyatspi gir1.2-atspi-2.0
    # Wayland tests: three real compositors with their XWayland; wtype, swaymsg and grim
    # under sway, xdotool on weston's host display, gdbus and python3-gi for mutter's
    # remote-desktop keyboard, xhost to let us into sway's XWayland
    sway xwayland grim wtype wl-clipboard weston python3-gi
)

packages=("${run_packages[@]}")
case "${1:-}" in
"") ;;
--tests) packages+=("${test_packages[@]}") ;;
*)
    echo "usage: $0 [--tests]" >&2
    exit 2
    ;;
esac

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null | grep -qx installed; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    echo "setup: all ${#packages[@]} packages present"
    exit 0
fi

echo "setup: installing ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
