#!/usr/bin/env bash
# Runs a command on a private X desktop: Xvfb (1920x1200, 96 dpi) on a free display number,
# a session D-Bus of its own and a real window manager, all in one process group that is
# stopped when the command ends, whatever its outcome.
#
# Usage: [VARNETH_WM=NAME] scripts/with-x11.sh COMMAND [ARGS...]
# NAME is one of: openbox (the default), xfwm4, kwin, mutter, metacity, marco, icewm, fluxbox.
#
# A window manager that does not start, or dies before the command has ended, fails the
# run with a message: a test that ran without its window manager proved nothing.
set -euo pipefail

wm=${VARNETH_WM:-openbox}
case "$wm" in
openbox | xfwm4 | kwin | mutter | metacity | marco | icewm | fluxbox) ;;
*)
    echo "with-x11: unknown window manager '$wm' in VARNETH_WM" >&2
    exit 2
    ;;
esac

state=$(mktemp -d)
pgid=""
cleanup() {
    if [ -n "$pgid" ]; then
        kill -TERM -- "-$pgid" 2>/dev/null || true
        # Give the desktop a moment to go, then take what is left by force. Zombies
        # waiting for their parent are gone already. The group is also the session.
        for _ in $(seq 40); do
            ps -o stat= --sid "$pgid" | grep -qv '^Z' || break
            sleep 0.05
        done
        kill -KILL -- "-$pgid" 2>/dev/null || true
    fi
    wait 2>/dev/null || true
    rm -rf "$state"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

# The desktop: runs as the leader of a process group of its own, so that everything it
# starts (the window manager's helpers, services the bus activates) is stopped with it.
# It reports through files in $state: "ready" holds the display and the bus address,
# "failed" the reason it could not start.
desktop() {
    set -euo pipefail
    local wm=$1 state=$2
    # The whole group gets the stop; the leader stays to collect its children.
    trap 'wait; exit 0' TERM
    fail() {
        echo "$*" >"$state/failed"
        exit 1
    }

    # The window manager and its services see a home and XDG folders of their own: they
    # write their configuration there, never into the real user's.
    export HOME="$state/home"
    export XDG_CONFIG_HOME="$HOME/.config" XDG_CACHE_HOME="$HOME/.cache"
    export XDG_DATA_HOME="$HOME/.local/share" XDG_RUNTIME_DIR="$state/runtime"
    mkdir -p "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_DATA_HOME"
    mkdir -m 0700 "$XDG_RUNTIME_DIR"

    # -displayfd lets Xvfb pick a free display and tell us which one it took. Without
    # -noreset the server starts over whenever its last client leaves, and a client that
    # connects meanwhile is refused: a window manager started right after a first client
    # (the check below, or a helper of its own) then fails to open the display.
    Xvfb -displayfd 3 -screen 0 1920x1200x24 -nolisten tcp -noreset 3>"$state/display" \
        >"$state/xvfb.log" 2>&1 &
    local display=""
    for _ in $(seq 200); do
        # The file may not be there yet: the redirection is the background job's.
        display=$(head -n1 "$state/display" 2>/dev/null | tr -d '[:space:]' || true)
        [ -n "$display" ] && break
        sleep 0.05
    done
    [ -n "$display" ] || fail "Xvfb did not start: $(tail -n3 "$state/xvfb.log")"
    export DISPLAY=":$display"
    # Wait until a client really gets through.
    for _ in $(seq 200); do
        xprop -root >/dev/null 2>&1 && break
        sleep 0.05
    done
    xprop -root >/dev/null 2>&1 || fail "no client can connect to Xvfb on $DISPLAY"

    dbus-daemon --session --nofork --print-address=1 >"$state/bus" 2>"$state/bus.log" &
    local bus=""
    for _ in $(seq 200); do
        bus=$(head -n1 "$state/bus" 2>/dev/null || true)
        [ -n "$bus" ] && break
        sleep 0.05
    done
    [ -n "$bus" ] || fail "the session D-Bus did not start: $(tail -n3 "$state/bus.log")"
    export DBUS_SESSION_BUS_ADDRESS="$bus"

    local command=()
    case "$wm" in
    openbox) command=(openbox --sm-disable) ;;
    xfwm4) command=(xfwm4 --sm-client-disable) ;;
    kwin)
        # Without compositing: the frame and the stacking are the same, and Mesa's software
        # renderer would take a core of this machine for itself.
        export KWIN_COMPOSE=N QT_QPA_PLATFORM=xcb
        command=(kwin_x11)
        ;;
    mutter) command=(mutter --x11 --replace --sm-disable) ;;
    metacity) command=(metacity --sm-disable) ;;
    marco)
        # marco aborts without the mouse schema of MATE's settings daemon, which it reads
        # only for the cursor: a stand-in with the two keys it reads is enough.
        local schemas="$state/schemas"
        mkdir -p "$schemas"
        cat >"$schemas/org.mate.peripherals-mouse.gschema.xml" <<'EOF'
<schemalist>
  <schema id="org.mate.peripherals-mouse" path="/org/mate/desktop/peripherals/mouse/">
    <key name="cursor-theme" type="s"><default>''</default></key>
    <key name="cursor-size" type="i"><default>0</default></key>
  </schema>
</schemalist>
EOF
        glib-compile-schemas "$schemas" || fail "marco's stand-in schema did not compile"
        export GSETTINGS_SCHEMA_DIR="$schemas"
        command=(marco --sm-disable)
        ;;
    icewm) command=(icewm) ;;
    fluxbox)
        # Without a wallpaper setter fluxbox opens an error window that takes the focus.
        mkdir -p "$HOME/.fluxbox"
        echo "background: none" >"$HOME/.fluxbox/overlay"
        command=(fluxbox)
        ;;
    esac

    # Should a window manager still fail to start, it gets one more try, and the first
    # failure is shown.
    local tries=2 pid=""
    for try in $(seq "$tries"); do
        "${command[@]}" >"$state/wm.log" 2>&1 &
        pid=$!
        # It has claimed the screen once it names itself on the root (EWMH).
        for _ in $(seq 600); do
            if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
                printf '%s\n%s\n%s\n' "$DISPLAY" "$DBUS_SESSION_BUS_ADDRESS" "$pid" \
                    >"$state/ready.tmp"
                mv "$state/ready.tmp" "$state/ready"
                # Stays the group's leader until the group is stopped.
                wait
                exit 0
            fi
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.05
        done
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
        echo "with-x11: $wm did not start (try $try of $tries): $(tail -n5 "$state/wm.log")" >&2
    done
    fail "$wm did not claim the screen in $tries tries: $(tail -n5 "$state/wm.log")"
}

# setsid makes the desktop the leader of a new session and process group; it does not fork
# here (a background job is never a group leader), so $! is the group's id.
setsid bash -c "$(declare -f desktop); desktop \"\$@\"" desktop "$wm" "$state" &
pgid=$!

for _ in $(seq 1800); do
    [ -e "$state/ready" ] || [ -e "$state/failed" ] && break
    kill -0 "$pgid" 2>/dev/null || break
    sleep 0.05
done
if [ ! -e "$state/ready" ]; then
    echo "with-x11: FAILED to start the desktop with $wm: $(cat "$state/failed" 2>/dev/null ||
        echo 'no reason given')" >&2
    exit 1
fi
{
    read -r DISPLAY
    read -r DBUS_SESSION_BUS_ADDRESS
    read -r wm_pid
} <"$state/ready"
export DISPLAY DBUS_SESSION_BUS_ADDRESS VARNETH_WM="$wm"

status=0
"$@" || status=$?

if ! kill -0 "$wm_pid" 2>/dev/null; then
    echo "with-x11: FAILED: $wm died during the run: $(tail -n5 "$state/wm.log")" >&2
    [ "$status" -ne 0 ] || status=1
fi
exit "$status"
