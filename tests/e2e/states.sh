#!/usr/bin/env bash
# The main window stays out of the taskbar and the pager, and above other windows exactly
# while "Always On Top" is checked: after start-up, both ways of the command, a restart
# with it stored, a compact toggle and (under a window manager) an iconify and restore.
# Run once with no window manager and once under openbox.
set -euo pipefail
bin=$1
source "$(dirname "$0")/common.sh"
need_display

# The window's _NET_WM_STATE holds skip-taskbar and skip-pager, and above as $1 says.
states_are() {  # $1 above yes/no
    local s
    s=$(xprop -id "$win" _NET_WM_STATE 2>/dev/null) || return 1
    echo "$s" | grep -q _NET_WM_STATE_SKIP_TASKBAR || return 1
    echo "$s" | grep -q _NET_WM_STATE_SKIP_PAGER || return 1
    if [ "$1" = yes ]; then echo "$s" | grep -q _NET_WM_STATE_ABOVE; else ! echo "$s" | grep -q _NET_WM_STATE_ABOVE; fi
}
expect_states() {  # $1 above, $2 after what
    refind_window
    wait_for 5 states_are "$1" || fail "$2 ($3): $(xprop -id "$win" _NET_WM_STATE)"
}
toggle_on_top() {
    system_menu s a a
    wait_for 5 window_count_is 1 || fail "menu still open"
    sleep 0.5
}

run_all() {  # $1 label
    local ini
    fresh_config
    start_program
    expect_states no "start-up" "$1"
    toggle_on_top
    expect_states yes "Always On Top checked" "$1"
    toggle_on_top
    expect_states no "Always On Top unchecked" "$1"
    toggle_on_top
    expect_states yes "Always On Top checked again" "$1"
    # Restart with it stored.
    stop_program
    ini=$XDG_CONFIG_HOME/rezazo/rezazo.ini
    grep -q '^AlwaysOnTop1.Checked=True' "$ini" || fail "Always On Top not stored ($1)"
    start_program
    expect_states yes "restart with Always On Top stored" "$1"
    # Compact and back.
    system_menu s a c
    wait_for 5 height_is 24 || fail "not compact ($1)"
    expect_states yes "compact" "$1"
    system_menu s a c
    wait_for 5 height_is 51 || fail "not full ($1)"
    expect_states yes "full again" "$1"
    if wm_running; then
        xdotool windowminimize "$win"
        wait_for 5 bash -c "xwininfo -id $win | grep -q IsUnMapped" || fail "not iconified ($1)"
        xdotool windowactivate "$win" 2>/dev/null || xdotool windowmap "$win"
        wait_for 5 bash -c "xwininfo -id $win | grep -q IsViewable" || fail "not restored ($1)"
        expect_states yes "iconify and restore" "$1"
    fi
    stop_program
}

if wm_running; then
    run_all "the running window manager"
else
    run_all "no window manager"
    start_openbox
    run_all "openbox"
    stop_openbox
fi
echo "states ok"
