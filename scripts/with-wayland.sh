#!/usr/bin/env bash
# Runs a command inside a real Wayland compositor started headless, with its XWayland and
# a private D-Bus session: sway, weston or mutter. Everything started here is stopped
# when the command ends, whatever its outcome. A compositor that does not come up fails
# the run with its log; nothing is skipped.
#
# The command gets WAYLAND_DISPLAY, DISPLAY (the compositor's XWayland), XDG_RUNTIME_DIR,
# DBUS_SESSION_BUS_ADDRESS and VARNETH_COMPOSITOR, and per compositor:
#   sway    SWAYSOCK for swaymsg; wtype, grim and swaymsg reach it as they would a user's.
#   weston  VARNETH_WESTON_HOST_DISPLAY, the private Xvfb that weston's X11 backend draws
#           on: keys and clicks sent there with xdotool reach weston's seat. Weston runs
#           with --debug, so `weston-debug scene-graph` lists its windows.
#   mutter  XAUTHORITY for its XWayland. It has no input devices of its own; its remote
#           desktop D-Bus interface on the private session bus gives a keyboard.
# Usage: scripts/with-wayland.sh sway|weston|mutter COMMAND [ARGS...]
set -euo pipefail
source "$(dirname "$0")/desktop-session.sh"

compositor=${1:-}
case "$compositor" in
    sway | weston | mutter) shift ;;
    *)
        echo "usage: $0 sway|weston|mutter COMMAND [ARGS...]" >&2
        exit 2
        ;;
esac
[ $# -gt 0 ] || { echo "usage: $0 $compositor COMMAND [ARGS...]" >&2; exit 2; }

session_begin "wayland-$compositor"
work=$session_work

# A Wayland display answers once a client completes a round trip with it.
wayland_answers() { WAYLAND_DISPLAY=$1 timeout 5 weston-info; }
x_answers() { DISPLAY=$1 timeout 5 xdpyinfo; }
seat_has_keyboard() { swaymsg -t get_inputs | grep -q '"type": "keyboard"'; }
log_display() { grep -o "$1 *:[0-9]*" "$session_log" | grep -o ':[0-9]*' | head -n1; }

unset DISPLAY XAUTHORITY WAYLAND_DISPLAY WAYLAND_SOCKET SWAYSOCK
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

# The session's own bus, so GLib and Qt find one and start no bus daemon that outlives
# the run; mutter needs it for its D-Bus interfaces.
start_session_bus

case "$compositor" in
    sway)
        # sway refuses to run as root. It runs as nobody in a runtime folder of its own;
        # our clients, root or not, reach its sockets through links in ours, and its
        # XWayland, which admits only its own user, is told to admit ours.
        sway_runtime="$work/sway-runtime"
        mkdir -m 700 "$sway_runtime"
        chmod 711 "$work"
        printf 'xwayland enable\nexec printenv DISPLAY > %s/x-display && xhost +si:localuser:%s\n' \
            "$sway_runtime" "$(id -un)" >"$work/sway.conf"
        chmod 644 "$work/sway.conf"
        chown nobody:nogroup "$sway_runtime"
        start_group setpriv --reuid=nobody --regid=nogroup --clear-groups \
            env -i PATH=/usr/bin:/bin HOME="$sway_runtime" XDG_RUNTIME_DIR="$sway_runtime" \
            WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
            WLR_HEADLESS_OUTPUTS=1 sway --config "$work/sway.conf" >"$session_log" 2>&1
        wait_until "IPC socket" 20 compgen -G "$sway_runtime/sway-ipc.*.sock"
        SWAYSOCK=$(compgen -G "$sway_runtime/sway-ipc.*.sock" | head -n1)
        export SWAYSOCK
        wait_until "answer on its IPC socket" 20 swaymsg -t get_version
        wait_until "XWayland display name" 20 test -s "$sway_runtime/x-display"
        socket=$(basename "$(compgen -G "$sway_runtime/wayland-*[0-9]" | head -n1)")
        ln -s "$sway_runtime/$socket" "$XDG_RUNTIME_DIR/$socket"
        export WAYLAND_DISPLAY=$socket
        DISPLAY=$(head -n1 "$sway_runtime/x-display")
        # A keyboard that stays plugged in, as a user's does. A seat without one gains the
        # keyboard only when wtype makes one, and clients miss the first keys while they
        # take it up; with this one there, each wtype only brings its own keymap.
        start_group wtype -s 4000000
        wait_until "keyboard in its seat" 20 seat_has_keyboard
        ;;
    weston)
        # The X11 backend, on an Xvfb of its own, gives weston a keyboard and a pointer
        # that xdotool drives; the headless backend has no seat at all. No on-screen
        # keyboard, which would pop up over the windows on every text field, no panel,
        # whose launchers a stray click would start, and no animations, during which a
        # window is not where it will be.
        cat >"$work/weston.ini" <<'EOF'
[core]
idle-time=0
[input-method]
path=
[shell]
locking=false
panel-position=none
animation=none
close-animation=none
startup-animation=none
focus-animation=none
EOF
        start_xvfb 1280x800x24
        host=$xvfb_display
        DISPLAY=$host start_group weston --backend=x11-backend.so --use-pixman --xwayland \
            --debug --config="$work/weston.ini" --socket=wayland-1 --width=1280 \
            --height=800 >"$session_log" 2>&1
        export WAYLAND_DISPLAY=wayland-1 VARNETH_WESTON_HOST_DISPLAY=$host
        wait_until "XWayland display name" 20 log_display "listening on display"
        DISPLAY=$(log_display "listening on display")
        ;;
    mutter)
        start_group mutter --headless --wayland --virtual-monitor 1280x1024 \
            --wayland-display wayland-1 --sm-disable >"$session_log" 2>&1
        export WAYLAND_DISPLAY=wayland-1
        wait_until "XWayland display name" 20 log_display "Using public X11 display"
        DISPLAY=$(log_display "Using public X11 display")
        wait_until "XWayland authority file" 20 compgen -G "$XDG_RUNTIME_DIR/.mutter-Xwaylandauth*"
        XAUTHORITY=$(compgen -G "$XDG_RUNTIME_DIR/.mutter-Xwaylandauth*" | head -n1)
        export XAUTHORITY
        wait_until "remote desktop interface" 20 gdbus introspect --session \
            --dest org.gnome.Mutter.RemoteDesktop --object-path /org/gnome/Mutter/RemoteDesktop
        ;;
esac

[ -n "$DISPLAY" ] || session_fail "no XWayland display"
export DISPLAY VARNETH_COMPOSITOR=$compositor
wait_until "answer on Wayland display $WAYLAND_DISPLAY" 20 wayland_answers "$WAYLAND_DISPLAY"
wait_until "answer from XWayland on $DISPLAY" 20 x_answers "$DISPLAY"

status=0
"$@" || status=$?
exit $status
