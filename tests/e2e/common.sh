# Shared by the end-to-end scripts (sourced): the display check, waiting for conditions,
# and starting and ending the program under test.

# Without a display a person running one script by hand gets a skip (77); scripts/test and
# CI set REZAZO_E2E_REQUIRED, and there a missing display is a failure.
need_display() {
    if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return 0; fi
    if [ -n "${REZAZO_E2E_REQUIRED:-}" ]; then
        echo "no X display, and the end-to-end tests are required here"
        exit 1
    fi
    echo "no X display"
    exit 77
}

# wait_for SECONDS COMMAND...: runs COMMAND until it succeeds; fails after SECONDS.
wait_for() {
    local limit=$1
    shift
    local end=$((SECONDS + limit))
    until "$@"; do
        [ "$SECONDS" -lt "$end" ] || return 1
        sleep 0.05
    done
}

# The window's geometry as "WIDTHxHEIGHT+LEFT+TOP" (absolute position).
geometry_of() {
    xwininfo -id "$1" | awk '/Absolute upper-left X:/ {x=$4} /Absolute upper-left Y:/ {y=$4}
        /^ *Width:/ {w=$2} /^ *Height:/ {h=$2} END {printf "%sx%s+%s+%s\n", w, h, x, y}'
}
geometry_is() { [ "$(geometry_of "$1")" = "$2" ]; }

# Starts the program (settings under $XDG_CONFIG_HOME) and waits for its main window; sets
# pid and win. The caller's EXIT trap calls stop_program_now.
start_program() {
    env -u QT_QPA_PLATFORM "$bin" &
    pid=$!
    win=$(timeout 20 xdotool search --sync --onlyvisible --name "^Rezazo '98\$" | head -n1) || true
    [ -n "$win" ] || { echo "window did not appear"; exit 1; }
}

# Ends the program in order (SIGTERM) and waits for it; fails when it does not end.
stop_program() {
    kill -TERM "$pid"
    if ! wait_for 10 program_ended; then
        echo "did not end on SIGTERM"
        exit 1
    fi
    local rc=0
    wait "$pid" || rc=$?
    pid=""
    [ "$rc" -eq 0 ] || { echo "ended with status $rc"; exit 1; }
}
program_ended() { ! kill -0 "$pid" 2>/dev/null; }

# For the EXIT trap: whatever failed, the program does not outlive the script.
stop_program_now() {
    if [ -n "${pid:-}" ] && kill -0 "$pid" 2>/dev/null; then
        kill -TERM "$pid" 2>/dev/null || true
        wait_for 5 program_ended || kill -KILL "$pid" 2>/dev/null || true
    fi
}
