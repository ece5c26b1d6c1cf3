#!/usr/bin/env bash
# Runs a command on a private X desktop: Xvfb (1920x1200, 96 dpi) on a free display number,
# a session D-Bus of its own and a real window manager, each stopped when the command ends,
# whatever its outcome.
#
# Usage: [VARNETH_WM=NAME] scripts/with-x11.sh COMMAND [ARGS...]
# NAME is one of: openbox (the default), xfwm4, kwin, mutter, metacity, marco, icewm, fluxbox,
# awesome, fvwm, bspwm, wmaker; each runs with its Debian default configuration.
# The command gets DISPLAY, DBUS_SESSION_BUS_ADDRESS, VARNETH_WM and VARNETH_XVFB_PID (for a
# test that takes the X server away).
#
# A window manager that does not start, or dies before the command has ended, fails the
# run with a message: a test that ran without its window manager proved nothing.
set -euo pipefail
source "$(dirname "$0")/desktop-session.sh"

wm=${VARNETH_WM:-openbox}
case "$wm" in
openbox | xfwm4 | kwin | mutter | metacity | marco | icewm | fluxbox | awesome | fvwm | bspwm | wmaker) ;;
*)
    echo "with-x11: unknown window manager '$wm' in VARNETH_WM" >&2
    exit 2
    ;;
esac
[ $# -gt 0 ] || { echo "usage: [VARNETH_WM=NAME] $0 COMMAND [ARGS...]" >&2; exit 2; }

session_begin "x11-$wm"

# Without -noreset the server starts over whenever its last client leaves, and a client that
# connects meanwhile is refused: a window manager started right after a first client (the
# check below, or a helper of its own) then fails to open the display.
start_xvfb 1920x1200x24 -noreset
export DISPLAY=$xvfb_display VARNETH_XVFB_PID=$xvfb_pid VARNETH_WM=$wm
wait_until "client connection to Xvfb on $DISPLAY" 10 xprop -root

# The window manager and the services the bus starts for it (the accessibility bus of a
# GTK window manager among them) see a home and XDG folders of their own: they write there,
# never into the real user's.
home="$session_work/home"
mkdir -p "$home/.config" "$home/.cache" "$home/.local/share"
mkdir -m 0700 "$session_work/runtime"
wm_env=(HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_CACHE_HOME="$home/.cache"
    XDG_DATA_HOME="$home/.local/share" XDG_RUNTIME_DIR="$session_work/runtime")
start_session_bus env "${wm_env[@]}"
case "$wm" in
openbox) command=(openbox --sm-disable) ;;
xfwm4) command=(xfwm4 --sm-client-disable) ;;
kwin)
    # Without compositing: the frame and the stacking are the same, and Mesa's software
    # renderer would take a core of this machine for itself.
    command=(env KWIN_COMPOSE=N QT_QPA_PLATFORM=xcb kwin_x11)
    ;;
mutter) command=(mutter --x11 --replace --sm-disable) ;;
metacity) command=(metacity --sm-disable) ;;
marco)
    # marco aborts without the mouse schema of MATE's settings daemon, which it reads only
    # for the cursor: a stand-in with the two keys it reads is enough.
    schemas="$session_work/schemas"
    mkdir -p "$schemas"
    cat >"$schemas/org.mate.peripherals-mouse.gschema.xml" <<'EOF'
<schemalist>
  <schema id="org.mate.peripherals-mouse" path="/org/mate/desktop/peripherals/mouse/">
    <key name="cursor-theme" type="s"><default>''</default></key>
    <key name="cursor-size" type="i"><default>0</default></key>
  </schema>
</schemalist>
EOF
    glib-compile-schemas "$schemas" || session_fail "marco's stand-in schema did not compile"
    command=(env GSETTINGS_SCHEMA_DIR="$schemas" marco --sm-disable)
    ;;
icewm) command=(icewm) ;;
fluxbox)
    # Without a wallpaper setter fluxbox opens an error window that takes the focus.
    mkdir -p "$home/.fluxbox"
    echo "background: none" >"$home/.fluxbox/overlay"
    command=(fluxbox)
    ;;
awesome) command=(awesome) ;;
fvwm) command=(fvwm) ;;
bspwm)
    # bspwm does nothing without its start-up script, which names the desktops and the
    # border: Debian's example is what a new user copies.
    mkdir -p "$home/.config/bspwm"
    install -m 0755 "$(dpkg -L bspwm | grep 'examples/bspwmrc$')" "$home/.config/bspwm/bspwmrc"
    command=(bspwm)
    ;;
wmaker)
    # Its wrapper makes the user's GNUstep folder from Debian's defaults on first start.
    command=(wmaker)
    ;;
esac

# It has claimed the screen once it names itself on the root (EWMH).
wm_claimed() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

# KWin fails about one start in twenty on a display number just freed: a window manager
# that does not start gets one more try, and the first failure is shown.
wm_pid=""
for try in 1 2; do
    start_group env "${wm_env[@]}" "${command[@]}" >"$session_log" 2>&1
    wm_pid=${session_groups[-1]}
    for _ in $(seq 600); do
        wm_claimed && break 2
        kill -0 "$wm_pid" 2>/dev/null || break
        sleep 0.05
    done
    kill -KILL -- "-$wm_pid" 2>/dev/null || true
    wait "$wm_pid" 2>/dev/null || true
    unset 'session_groups[-1]'
    echo "with-x11: $wm did not start (try $try of 2): $(tail -n5 "$session_log")" >&2
    wm_pid=""
done
[ -n "$wm_pid" ] || session_fail "$wm did not claim the screen in 2 tries"
if [ "$wm" = bspwm ]; then
    # It claims the screen before its start-up script has run; until then it tiles.
    wait_until "bspwm's start-up script" 20 env "${wm_env[@]}" sh -c \
        '[ "$(bspc config border_width)" = 2 ]'
fi

status=0
"$@" || status=$?

if ! kill -0 "$wm_pid" 2>/dev/null; then
    echo "with-x11: FAILED: $wm died during the run: $(tail -n5 "$session_log")" >&2
    [ "$status" -ne 0 ] || status=1
fi
exit "$status"
