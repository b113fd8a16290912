# Shared by the end-to-end scripts: start and stop the real program, wait for conditions,
# drive the mouse, run a window manager.
# Without a display: a skip (77) for a person running one script by hand, a failure where
# scripts/test or CI set REZAZO_E2E_REQUIRED.
if ! { [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; }; then
    echo "no X display"
    [ -n "${REZAZO_E2E_REQUIRED:-}" ] && exit 1
    exit 77
fi
export QT_SCALE_FACTOR=1
E2E_PIDS=""
E2E_DIRS=""
e2e_cleanup() {
    local p
    # The program saves its settings as it ends: let it, before its directory goes.
    for p in $E2E_PIDS; do
        kill "$p" 2>/dev/null || continue
        for _ in $(seq 50); do kill -0 "$p" 2>/dev/null || break; sleep 0.1; done
        kill -9 "$p" 2>/dev/null || true
    done
    # shellcheck disable=SC2086
    [ -n "$E2E_DIRS" ] && rm -rf $E2E_DIRS || true
}
trap e2e_cleanup EXIT

fail() { echo "FAIL: $*"; exit 1; }

# until SECONDS COMMAND...: true once the command succeeds, false after the time is up.
until_true() {
    local limit=$1; shift
    local end=$((SECONDS + limit))
    while ! "$@"; do
        [ $SECONDS -ge $end ] && return 1
        sleep 0.1
    done
}

# start_program [env assignments...]: runs the program with a fresh settings directory
# (unless XDG_CONFIG_HOME is set by the caller); sets pid and win.
start_program() {
    if [ -z "${KEEP_CONFIG:-}" ]; then
        XDG_CONFIG_HOME=$(mktemp -d)
        export XDG_CONFIG_HOME
        E2E_DIRS="$E2E_DIRS $XDG_CONFIG_HOME"
    fi
    env -u QT_QPA_PLATFORM "$@" "$bin" &
    pid=$!
    E2E_PIDS="$E2E_PIDS $pid"
    win=$(timeout 20 xdotool search --sync --onlyvisible --name "^Rezazo '98\$" | head -n1)
    [ -n "$win" ] || fail "window did not appear"
    until_true 5 window_count_is 1 || true
}

stop_program() {
    kill -TERM "$pid" 2>/dev/null || true
    until_true 10 bash -c "! kill -0 $pid 2>/dev/null" || { kill -9 "$pid"; fail "did not end on SIGTERM"; }
    wait "$pid" || true
}

# Visible windows of the program (the main window, open menus and dialogs).
window_count() { xdotool search --onlyvisible --pid "$pid" 2>/dev/null | wc -l; }
window_count_is() { [ "$(window_count)" -eq "$1" ]; }
window_count_above() { [ "$(window_count)" -gt "$1" ]; }

# Position of the main window's top-left corner: "X Y".
position() {
    xwininfo -id "$win" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} END {print x, y}'
}

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

start_openbox() {
    wm_running && fail "a window manager runs already"
    openbox --sm-disable >/dev/null 2>&1 &
    E2E_PIDS="$E2E_PIDS $!"
    wm_pid=$!
    until_true 10 wm_running || fail "openbox did not start"
}

stop_openbox() {
    kill "$wm_pid" 2>/dev/null || true
    wait "$wm_pid" 2>/dev/null || true
    until_true 10 wm_gone || true
}

# The main window may be made anew (a change of its stay-on-top style): find it again.
refind_window() {
    local w
    w=$(timeout 10 xdotool search --sync --onlyvisible --pid "$pid" --name "^Rezazo '98\$" | head -n1)
    [ -n "$w" ] || fail "main window gone"
    win=$w
}

# system_menu KEYS...: opens the system menu from its glyph and types the access keys.
system_menu() {
    point_at 5 5
    sleep 0.2
    xdotool click 1
    until_true 5 window_count_above 1 || fail "the system glyph opened no menu"
    local k
    for k in "$@"; do xdotool key "$k"; sleep 0.3; done
}
