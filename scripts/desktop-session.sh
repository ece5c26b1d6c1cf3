# Sourced by with-x11.sh and with-wayland.sh: what both need to put a private desktop up
# and take it down again, whatever the command run on it does.
#   session_begin NAME        a work folder, and the stop of everything at exit
#   start_group COMMAND...    a daemon leading a process group of its own
#   wait_until WHAT SECONDS COMMAND...
#                             polls COMMAND; fails the run after SECONDS or once a daemon
#                             started here has died
#   start_xvfb SIZE [ARGS...] an Xvfb on a free display: sets xvfb_display and xvfb_pid
#   start_session_bus [env NAME=VALUE...]
#                             a D-Bus session of its own, its services started in that
#                             environment: exports DBUS_SESSION_BUS_ADDRESS
#   session_fail REASON       says what did not start, with the end of session_log

session_name=""
session_work=""
session_log=""
session_groups=()

session_begin() {
    session_name=$1
    session_work=$(mktemp -d "/tmp/varneth-$1.XXXXXX")
    session_log="$session_work/log"
    trap session_end EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM HUP
}

# A daemon leads a process group of its own, which takes along what it starts itself (an
# XWayland, a window manager's helpers, services the bus activates): stopping the group
# stops all of it. setsid does not fork here (a background job is never a group leader),
# so $! is the group's id.
start_group() {
    setsid "$@" &
    session_groups+=("$!")
}

# Every group gets TERM, a moment to go, and then KILL.
session_end() {
    local pid alive
    for pid in "${session_groups[@]}"; do
        kill -TERM -- "-$pid" 2>/dev/null || true
    done
    for _ in $(seq 100); do
        alive=0
        for pid in "${session_groups[@]}"; do
            kill -0 -- "-$pid" 2>/dev/null && alive=1
        done
        [ "$alive" = 0 ] && break
        sleep 0.05
    done
    for pid in "${session_groups[@]}"; do
        kill -KILL -- "-$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    rm -rf "$session_work"
}

session_fail() {
    echo "$session_name: did not start: $*" >&2
    if [ -s "$session_log" ]; then
        echo "---- last lines of its log:" >&2
        tail -n 20 "$session_log" >&2
    fi
    exit 1
}

# Whether every daemon started here still runs.
daemons_alive() {
    local pid
    for pid in "${session_groups[@]}"; do
        kill -0 "$pid" 2>/dev/null || return 1
    done
}

wait_until() {
    local what=$1 seconds=$2
    shift 2
    local deadline=$((SECONDS + seconds))
    until "$@" >/dev/null 2>&1; do
        daemons_alive || session_fail "a part of it exited while waiting for $what"
        [ $SECONDS -lt "$deadline" ] || session_fail "no $what after $seconds s"
        sleep 0.05
    done
}

# -displayfd lets Xvfb pick a free display number and tell us which one it took.
start_xvfb() {
    local size=$1
    shift
    exec 3>"$session_work/xvfb-display"
    start_group Xvfb -displayfd 3 -screen 0 "$size" -nolisten tcp "$@" 2>>"$session_log"
    exec 3>&-
    xvfb_pid=${session_groups[-1]}
    wait_until "Xvfb display" 20 test -s "$session_work/xvfb-display"
    xvfb_display=":$(head -n1 "$session_work/xvfb-display" | tr -d '[:space:]')"
}

start_session_bus() {
    start_group "$@" dbus-daemon --session --nofork --print-address=1 >"$session_work/bus" \
        2>>"$session_log"
    wait_until "D-Bus session" 20 test -s "$session_work/bus"
    DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$session_work/bus")
    export DBUS_SESSION_BUS_ADDRESS
}
