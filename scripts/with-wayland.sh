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

compositor=${1:-}
case "$compositor" in
    sway | weston | mutter) shift ;;
    *)
        echo "usage: $0 sway|weston|mutter COMMAND [ARGS...]" >&2
        exit 2
        ;;
esac
[ $# -gt 0 ] || { echo "usage: $0 $compositor COMMAND [ARGS...]" >&2; exit 2; }

work=$(mktemp -d /tmp/varneth-wayland.XXXXXX)
log="$work/$compositor.log"
groups=()

# Each daemon leads a process group of its own, which takes along what it starts itself
# (XWayland, weston's shell helpers); stopping the group stops all of it.
start_group() {
    setsid "$@" &
    groups+=("$!")
}

cleanup() {
    local pid
    for pid in "${groups[@]}"; do
        kill -TERM -- "-$pid" 2>/dev/null || true
    done
    for _ in $(seq 100); do
        local alive=0
        for pid in "${groups[@]}"; do
            kill -0 -- "-$pid" 2>/dev/null && alive=1
        done
        [ "$alive" = 0 ] && break
        sleep 0.05
    done
    for pid in "${groups[@]}"; do
        kill -KILL -- "-$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "with-wayland: $compositor did not start: $*" >&2
    if [ -s "$log" ]; then
        echo "---- last lines of its log:" >&2
        tail -n 20 "$log" >&2
    fi
    exit 1
}

# Polls until COMMAND succeeds; fails once the compositor has died or after 20 s.
wait_until() {
    local what=$1
    shift
    local deadline=$((SECONDS + 20))
    until "$@" >/dev/null 2>&1; do
        kill -0 "$compositor_pid" 2>/dev/null || fail "it exited while waiting for $what"
        [ $SECONDS -lt $deadline ] || fail "no $what after 20 s"
        sleep 0.05
    done
}

# A Wayland display answers once a client completes a round trip with it.
wayland_answers() { WAYLAND_DISPLAY=$1 timeout 5 weston-info; }
x_answers() { DISPLAY=$1 timeout 5 xdpyinfo; }
seat_has_keyboard() { swaymsg -t get_inputs | grep -q '"type": "keyboard"'; }
log_display() { grep -o "$1 *:[0-9]*" "$log" | grep -o ':[0-9]*' | head -n1; }

unset DISPLAY XAUTHORITY WAYLAND_DISPLAY WAYLAND_SOCKET SWAYSOCK
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

# The session's own bus, so GLib and Qt find one and start no bus daemon that outlives
# the run; mutter needs it for its D-Bus interfaces.
start_group dbus-daemon --session --nofork --print-address=1 >"$work/bus" 2>/dev/null
for _ in $(seq 100); do
    [ -s "$work/bus" ] && break
    sleep 0.05
done
DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$work/bus")
[ -n "$DBUS_SESSION_BUS_ADDRESS" ] || { echo "with-wayland: no D-Bus session" >&2; exit 1; }
export DBUS_SESSION_BUS_ADDRESS

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
            WLR_HEADLESS_OUTPUTS=1 sway --config "$work/sway.conf" >"$log" 2>&1
        compositor_pid=${groups[-1]}
        wait_until "IPC socket" compgen -G "$sway_runtime/sway-ipc.*.sock"
        SWAYSOCK=$(compgen -G "$sway_runtime/sway-ipc.*.sock" | head -n1)
        export SWAYSOCK
        wait_until "answer on its IPC socket" swaymsg -t get_version
        wait_until "XWayland display name" test -s "$sway_runtime/x-display"
        socket=$(basename "$(compgen -G "$sway_runtime/wayland-*[0-9]" | head -n1)")
        ln -s "$sway_runtime/$socket" "$XDG_RUNTIME_DIR/$socket"
        export WAYLAND_DISPLAY=$socket
        DISPLAY=$(head -n1 "$sway_runtime/x-display")
        # A keyboard that stays plugged in, as a user's does. A seat without one gains the
        # keyboard only when wtype makes one, and clients miss the first keys while they
        # take it up; with this one there, each wtype only brings its own keymap.
        start_group wtype -s 4000000
        wait_until "keyboard in its seat" seat_has_keyboard
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
        exec 3>"$work/xvfb-display"
        start_group Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 2>/dev/null
        exec 3>&-
        compositor_pid=${groups[-1]}
        wait_until "Xvfb display for it" test -s "$work/xvfb-display"
        host=":$(head -n1 "$work/xvfb-display" | tr -d '[:space:]')"
        DISPLAY=$host start_group weston --backend=x11-backend.so --use-pixman --xwayland \
            --debug --config="$work/weston.ini" --socket=wayland-1 --width=1280 \
            --height=800 >"$log" 2>&1
        compositor_pid=${groups[-1]}
        export WAYLAND_DISPLAY=wayland-1 VARNETH_WESTON_HOST_DISPLAY=$host
        wait_until "XWayland display name" log_display "listening on display"
        DISPLAY=$(log_display "listening on display")
        ;;
    mutter)
        start_group mutter --headless --wayland --virtual-monitor 1280x1024 \
            --wayland-display wayland-1 --sm-disable >"$log" 2>&1
        compositor_pid=${groups[-1]}
        export WAYLAND_DISPLAY=wayland-1
        wait_until "XWayland display name" log_display "Using public X11 display"
        DISPLAY=$(log_display "Using public X11 display")
        wait_until "XWayland authority file" compgen -G "$XDG_RUNTIME_DIR/.mutter-Xwaylandauth*"
        XAUTHORITY=$(compgen -G "$XDG_RUNTIME_DIR/.mutter-Xwaylandauth*" | head -n1)
        export XAUTHORITY
        wait_until "remote desktop interface" gdbus introspect --session \
            --dest org.gnome.Mutter.RemoteDesktop --object-path /org/gnome/Mutter/RemoteDesktop
        ;;
esac

[ -n "$DISPLAY" ] || fail "no XWayland display"
export DISPLAY VARNETH_COMPOSITOR=$compositor
wait_until "answer on Wayland display $WAYLAND_DISPLAY" wayland_answers "$WAYLAND_DISPLAY"
wait_until "answer from XWayland on $DISPLAY" x_answers "$DISPLAY"

status=0
"$@" || status=$?
exit $status
