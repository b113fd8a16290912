#!/usr/bin/env bash
# A menu or dialog opened by a press takes that press's release; afterwards the window
# still answers the mouse: a drag on the skin moves it, a press on the skin opens no menu,
# a double-click compacts, the IP text's menu opens and the close glyph ends the program.
set -euo pipefail
bin=$1
source "$(dirname "$0")/common.sh"
need_display

start_program

# Dragging moves the window by the mouse's motion (snapping is on; we stay clear of edges).
drag_moves() {  # $1 why
    local bx by
    read -r bx by < <(position)
    drag 100 47 30 20
    wait_for 3 position_is $((bx + 30)) $((by + 20)) ||
        fail "$1: drag did not move the window by 30, 20: $(position), was $bx $by"
}

# A menu on the system glyph: opened by a press, closed by Escape.
glyph_menu() {  # $1 button, $2 release before Escape (yes/no)
    point_at 5 5
    sleep 0.2
    xdotool mousedown "$1"
    wait_for 5 window_count_above 1 || fail "button $1 on the system glyph opened no menu"
    [ "$2" = yes ] && { xdotool mouseup "$1"; sleep 0.2; }
    xdotool key Escape
    wait_for 5 window_count_is 1 || fail "menu did not close on Escape"
    [ "$2" = yes ] || xdotool mouseup "$1"
    sleep 0.3
}

drag_moves "before any menu"
glyph_menu 1 no
drag_moves "after a left press menu, released after Escape"
glyph_menu 1 yes
drag_moves "after a left press menu, released in the menu"
glyph_menu 3 yes
drag_moves "after a right press menu"
window_count_is 1 || fail "a menu is open after the right press: $(window_count) windows"

# A press on the skin opens no menu any more.
point_at 100 47
sleep 0.2
xdotool click 1
sleep 0.5
window_count_is 1 || fail "a press on the skin opened a menu"

# The font dialog, from the system menu held open by a left press: Settings, Change fonts,
# IP Font; Escape closes the dialog and the button comes up afterwards.
point_at 5 5
sleep 0.2
xdotool mousedown 1
wait_for 5 window_count_above 1 || fail "no menu for the font dialog"
# Down to Change fonts, Right into it, then "i" ("f" is shared with Refresh rate).
for k in s Down Right i; do xdotool key "$k"; sleep 0.3; done
wait_for 5 bash -c "xdotool search --onlyvisible --pid $pid --name 'Font' >/dev/null" || fail "no font dialog"
xdotool key Escape
wait_for 5 window_count_is 1 || fail "font dialog did not close"
xdotool mouseup 1
sleep 0.3
drag_moves "after the font dialog"

# Double-click on the skin still toggles the compact form.
point_at 100 20
sleep 0.2
xdotool click --repeat 2 --delay 80 1
wait_for 5 height_is 24 || fail "double-click did not compact the window"

# The IP text's right-click menu opens on the right button's release (compact: at 22, 7).
point_at 35 11
sleep 0.2
xdotool click 3
wait_for 5 window_count_above 1 || fail "a right click on the IP text opened no menu"
xdotool key Escape
wait_for 5 window_count_is 1 || fail "the IP menu did not close"

# The close glyph ends the program.
point_at 159 4
sleep 0.2
xdotool click 1
wait_for 10 bash -c "! kill -0 $pid 2>/dev/null" || fail "the close glyph did not end the program"
wait "$pid" || fail "ended with status $?"
echo "capture ok"
