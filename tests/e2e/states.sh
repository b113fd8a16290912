#!/usr/bin/env bash
# The main window stays out of the taskbar and the pager, and above other windows exactly
# while "Always On Top" is checked: after start-up, both ways of the command, a restart
# with it stored, a compact toggle and (under a window manager) an iconify and restore.
# While it is on top, the About and log windows and the font dialog stack above it.
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

# The program's top-level windows from the bottom of the stack up: the window manager's
# stacking list, or with none the root's children (which xwininfo lists top first).
stacking() {
    if wm_running; then
        xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //; s/,//g' | tr ' ' '\n'
    else
        xwininfo -root -children | awk '$1 ~ /^0x/ {print $1}' | tac
    fi
}
# Window $1 (a decimal id) is stacked above the main window.
stacked_above() {
    local order
    order=$(stacking | awk -v w="$(printf '0x%x' "$1")" -v m="$(printf '0x%x' "$win")" '
        $1 == m {seen = 1} $1 == w {print (seen ? "above" : "below"); exit}')
    [ "$order" = above ]
}
# A shown window of the program by its width, waited for.
window_of() {  # $1 width
    local w
    for _ in $(seq 100); do
        for w in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null); do
            xwininfo -id "$w" 2>/dev/null | grep -q "Width: $1\$" && { echo "$w"; return 0; }
        done
        sleep 0.05
    done
    return 1
}
# A click into window $1 at $2,$3 gives it the keys; Escape then closes it. $4 what, $5 label.
closes_on_escape() {
    xdotool mousemove --window "$1" "$2" "$3" click 1
    sleep 0.3
    xdotool key Escape
    wait_for 5 bash -c "xwininfo -id $1 | grep -q IsUnMapped" || fail "Escape left $4 open ($5)"
}
# Each window the widget opens stays above it while it is on top, also after a click on
# the widget (a window manager raises what is clicked); Escape closes the About and log
# windows. $1 label.
above_on_top_widget() {
    local dlg
    check_above() {  # $1 window, $2 what
        wait_for 5 stacked_above "$1" || fail "$2 under the widget ($3): $(stacking | tr '\n' ' ')"
        point_at 10 45
        xdotool click 1
        sleep 0.5
        stacked_above "$1" || fail "$2 under the widget after a click on it ($3)"
    }
    system_menu a
    dlg=$(window_of 314) || fail "no About window ($1)"
    check_above "$dlg" "the About window" "$1"
    closes_on_escape "$dlg" 150 8 "the About window" "$1"
    system_menu k
    dlg=$(window_of 144) || fail "no log window ($1)"
    check_above "$dlg" "the log window" "$1"
    closes_on_escape "$dlg" 50 60 "the log window" "$1"
    system_menu s Down Right i
    dlg=$(timeout 10 xdotool search --sync --onlyvisible --name '^Font$' | head -n1) || fail "no font dialog ($1)"
    check_above "$dlg" "the font dialog" "$1"
    xdotool key Escape
    wait_for 5 bash -c "! xdotool search --onlyvisible --name '^Font\$' >/dev/null" ||
        fail "the font dialog stayed ($1)"
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
    above_on_top_widget "$1"
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
