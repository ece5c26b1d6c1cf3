#!/usr/bin/env bash
# Runs a command on a private X display: Xvfb on a free display number with openbox
# as the window manager. Both are stopped when the command ends, whatever its outcome.
# Usage: scripts/with-x11.sh COMMAND [ARGS...]
set -euo pipefail

fdfile=$(mktemp)
cleanup() {
    [ -n "${wm_pid:-}" ] && kill "$wm_pid" 2>/dev/null || true
    [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -f "$fdfile"
}
trap cleanup EXIT

# -displayfd lets Xvfb pick a free display and tell us which one it took.
exec 3>"$fdfile"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 100); do
    [ -s "$fdfile" ] && break
    sleep 0.05
done
display=$(head -n1 "$fdfile" | tr -d '[:space:]')
if [ -z "$display" ]; then
    echo "with-x11: Xvfb did not start" >&2
    exit 1
fi
export DISPLAY=":$display"

openbox --sm-disable >/dev/null 2>&1 &
wm_pid=$!
# Wait until openbox has claimed the screen: it then sets _NET_SUPPORTING_WM_CHECK.
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.05
done

"$@"
