# Shared by the end-to-end scripts (sourced): the display check, clean-up at exit, waiting
# for conditions, starting and ending the program under test, driving the mouse and
# running a window manager.
# Sourcing it gives the script a fresh settings directory ($XDG_CONFIG_HOME, removed at
# exit) and pins the scale to 1; a script that wants other settings sets its own after.

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

# A tool the test needs is missing: a skip, or a failure where end-to-end runs are required.
missing() {
    echo "missing $1"
    [ -z "${REZAZO_E2E_REQUIRED:-}" ] || exit 1
    exit 77
}

fail() {
    echo "FAIL: $*"
    exit 1
}

# At exit, whatever failed: the programs and window managers started here end (the program
# saves its settings as it ends: it is let, before its directory goes), then what the
# script asked for with at_exit, then the files given to remove_at_exit.
E2E_PIDS=""
E2E_DIRS=""
E2E_AT_EXIT=()
at_exit() { E2E_AT_EXIT+=("$1"); }
remove_at_exit() { E2E_DIRS="$E2E_DIRS $*"; }
end_at_exit() { E2E_PIDS="$E2E_PIDS $*"; }
e2e_cleanup() {
    local p c
    for p in $E2E_PIDS; do
        kill "$p" 2>/dev/null || continue
        wait_for 5 process_gone "$p" || kill -KILL "$p" 2>/dev/null || true
    done
    for c in "${E2E_AT_EXIT[@]}"; do eval "$c" || true; done
    # shellcheck disable=SC2086
    [ -z "$E2E_DIRS" ] || rm -rf $E2E_DIRS
}
trap e2e_cleanup EXIT
process_gone() { ! kill -0 "$1" 2>/dev/null; }

# own_display FIRST [WIDTHxHEIGHT]: an X server of the script's own (800x600 unless asked)
# on the first free display number from FIRST (or on REZAZO_E2E_DISPLAY), ended at exit
# after everything started on it, so that nothing reports losing it; exports DISPLAY and
# leaves the server's process id in $! (and in xserver_pid). A number whose lock file is
# gone while another server still holds it makes the new server end at once: then the next
# number is tried, since the other server may go away under the test.
own_display() {
    local n=${REZAZO_E2E_DISPLAY:-$1} try
    for try in 1 2 3 4 5; do
        if [ -z "${REZAZO_E2E_DISPLAY:-}" ]; then
            while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
        fi
        Xvfb ":$n" -screen 0 "${2:-800x600}x24" -nolisten tcp >/dev/null 2>&1 &
        xserver_pid=$!
        at_exit "kill $xserver_pid 2>/dev/null"
        export DISPLAY=":$n"
        wait_for 20 server_up "$xserver_pid" && ! process_gone "$xserver_pid" && return 0
        n=$((n + 1))
    done
    fail "no X server of our own from :$1 on"
}
# server_up PID: the display answers, or the server PID has ended.
server_up() { process_gone "$1" || xdpyinfo >/dev/null 2>&1; }

# A new, empty settings directory for the next start.
fresh_config() {
    XDG_CONFIG_HOME=$(mktemp -d)
    export XDG_CONFIG_HOME
    remove_at_exit "$XDG_CONFIG_HOME"
}
fresh_config
export QT_SCALE_FACTOR=1

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
# The window's top-left corner: "X Y".
origin_of() {
    xwininfo -id "$1" | awk '/Absolute upper-left X:/ {x=$4} /Absolute upper-left Y:/ {y=$4}
        END {print x, y}'
}

# start_program [VAR=value...]: runs the program with those variables and waits for its
# main window; sets pid and win.
start_program() {
    env -u QT_QPA_PLATFORM "$@" "$bin" &
    pid=$!
    end_at_exit "$pid"
    win=$(timeout 20 xdotool search --sync --onlyvisible --name "^Rezazo '98\$" | head -n1) || true
    [ -n "$win" ] || fail "window did not appear"
    wait_for 5 window_count_is 1 || true
}

# Ends the program in order (SIGTERM) and waits for it; fails when it does not end or ends
# with an error.
stop_program() {
    kill -TERM "$pid"
    wait_for 10 process_gone "$pid" || fail "did not end on SIGTERM"
    local rc=0
    wait "$pid" || rc=$?
    [ "$rc" -eq 0 ] || fail "ended with status $rc"
}

# Visible windows of the program (the main window, open menus and dialogs): top-level
# windows, framed or not (depth 1 or 2); the tray icon lies deeper, inside the tray host.
window_count() { xdotool search --maxdepth 2 --onlyvisible --pid "$pid" 2>/dev/null | wc -l; }
window_count_is() { [ "$(window_count)" -eq "$1" ]; }
window_count_above() { [ "$(window_count)" -gt "$1" ]; }

# The main window's top-left corner: "X Y".
position() { origin_of "$win"; }
position_is() { [ "$(position)" = "$1 $2" ]; }
height_is() { xwininfo -id "$win" | grep -q "Height: $1\$"; }

# drag X Y DX DY: a plain left drag from a point in the window's client coordinates.
drag() {
    local x y
    read -r x y < <(position)
    xdotool mousemove $((x + $1)) $((y + $2))
    sleep 0.2
    xdotool mousedown 1
    sleep 0.1
    xdotool mousemove $((x + $1 + $3 / 2)) $((y + $2 + $4 / 2))
    sleep 0.1
    xdotool mousemove $((x + $1 + $3)) $((y + $2 + $4))
    sleep 0.1
    xdotool mouseup 1
}

# Moves the mouse to a point in the window's client coordinates.
point_at() {
    local x y
    read -r x y < <(position)
    xdotool mousemove $((x + $1)) $((y + $2))
}

# A window manager runs when the root's check window exists (a killed one can leave the
# property behind).
wm_running() {
    local id
    id=$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | awk '/window id/ {print $NF}')
    [ -n "$id" ] && xwininfo -id "$id" >/dev/null 2>&1
}
wm_gone() { ! wm_running; }

# Its messages go to a log that a failed start prints. A window manager that did not come
# up is given one more try (it is the test's surroundings, not the program under test).
start_openbox() {
    wm_running && fail "a window manager runs already"
    local log try
    log=$(mktemp)
    remove_at_exit "$log"
    for try in 1 2; do
        openbox --sm-disable >"$log" 2>&1 &
        wm_pid=$!
        end_at_exit "$wm_pid"
        wait_for 15 wm_running && return 0
        echo "openbox on $DISPLAY, try $try ($(process_gone "$wm_pid" && echo ended || echo running)):"
        cat "$log"
        xprop -root | grep -i -E 'wm|supporting' || true
        kill "$wm_pid" 2>/dev/null || true
        wait "$wm_pid" 2>/dev/null || true
    done
    fail "openbox did not start"
}

stop_openbox() {
    kill "$wm_pid" 2>/dev/null || true
    wait "$wm_pid" 2>/dev/null || true
    wait_for 10 wm_gone || true
}

# The main window may be made anew (a change of its stay-on-top style): find it again.
refind_window() {
    local w="" c
    # The tray icon's window carries the program's name too: take the 164-pixel-wide one.
    for c in $(timeout 10 xdotool search --sync --onlyvisible --pid "$pid" --name "^Rezazo '98\$"); do
        xwininfo -id "$c" 2>/dev/null | grep -q 'Width: 164$' && { w=$c; break; }
    done
    [ -n "$w" ] || fail "main window gone"
    win=$w
}

# system_menu KEYS...: opens the system menu from its glyph and types the access keys.
system_menu() {
    point_at 5 5
    sleep 0.2
    xdotool click 1
    wait_for 5 window_count_above 1 || fail "the system glyph opened no menu"
    local k
    for k in "$@"; do
        xdotool key "$k"
        sleep 0.3
    done
}
