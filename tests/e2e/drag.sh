#!/usr/bin/env bash
# The mouse on the real window: dragging the skin moves the window with the pointer and
# snaps it to the screen's left and top edges within 40 pixels; a double-click on the skin
# gives the 24-pixel compact form, where the IP text drags the window too; a click on the close glyph ends the program, which
# writes the new place and form to its settings; saved at the corner of this screen, it
# starts whole on a smaller one, and comes back whole when its screen shrinks while it runs.
set -euo pipefail
bin=$1
source "$(dirname "$0")/common.sh"
need_display
ini=$XDG_CONFIG_HOME/rezazo/rezazo.ini

start_program
wait_for 10 geometry_is "$win" "164x51+227+110" || { echo "start: $(geometry_of "$win")"; exit 1; }

# drag_to FROM_X FROM_Y TO_X TO_Y (screen points): press, move in steps, release.
drag_to() {
    xdotool mousemove "$1" "$2" mousedown 1
    xdotool mousemove "$(( ($1 + $3) / 2 ))" "$(( ($2 + $4) / 2 ))"
    xdotool mousemove "$3" "$4" mouseup 1
}

# On the skin (10, 45 in the window): 20 right, 5 down.
drag_to 237 155 257 160
wait_for 10 geometry_is "$win" "164x51+247+115" || { echo "drag: $(geometry_of "$win")"; exit 1; }

# Towards the top-left corner, ending 30 pixels from each edge: both snap to 0.
drag_to 257 160 $((257 - 247 + 30)) $((160 - 115 + 30))
wait_for 10 geometry_is "$win" "164x51+0+0" || { echo "snap: $(geometry_of "$win")"; exit 1; }

# Away again, beyond the snap distance: no snap.
drag_to 10 45 110 145
wait_for 10 geometry_is "$win" "164x51+100+100" || { echo "back: $(geometry_of "$win")"; exit 1; }

# A double-click on the skin: the compact form, the top-left corner kept.
xdotool mousemove 110 145 click --repeat 2 --delay 80 1
wait_for 10 geometry_is "$win" "164x24+100+100" || { echo "compact: $(geometry_of "$win")"; exit 1; }

# In the compact form the IP text covers most of the window: it drags the window too.
drag_to 160 110 190 130
wait_for 10 geometry_is "$win" "164x24+130+120" || { echo "drag by the text: $(geometry_of "$win")"; exit 1; }

# The close glyph (155, 0, 9 x 9 in the window) ends the program.
xdotool mousemove $((130 + 159)) $((120 + 4)) click 1
wait_for 10 process_gone "$pid" || { echo "the close glyph did not end the program"; exit 1; }
rc=0
wait "$pid" || rc=$?
[ "$rc" -eq 0 ] || { echo "ended with status $rc"; exit 1; }
grep -qx 'Form1.Left=130' "$ini" || { echo "settings:"; cat "$ini"; exit 1; }
grep -qx 'Form1.Top=120' "$ini" || { echo "settings:"; cat "$ini"; exit 1; }
grep -qx 'Compact1.Checked=True' "$ini" || { echo "settings:"; cat "$ini"; exit 1; }

# Saved at the bottom right of this screen, then started on a smaller one (a laptop taken
# off its monitor): the window comes back whole at that screen's corner.
start_program
drag_to 140 130 790 590
wait_for 10 geometry_is "$win" "164x24+636+576" || { echo "corner: $(geometry_of "$win")"; exit 1; }
stop_program
ambient=$DISPLAY
own_display 150 640x480
for wm in none openbox; do
    [ $wm = openbox ] && start_openbox
    start_program
    wait_for 10 geometry_is "$win" "164x24+476+456" || { echo "on the small screen ($wm): $(geometry_of "$win")"; exit 1; }
    stop_program
done
stop_openbox

# A screen made smaller while the program runs (a monitor's resolution lowered): the window
# comes back whole at the corner of what is left. Xephyr's screen changes size through
# RandR, Xvfb's cannot; it runs as a window on the display the test was given.
command -v Xephyr >/dev/null || missing Xephyr
n=170
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
DISPLAY=$ambient Xephyr ":$n" -screen 800x600 -nolisten tcp >/dev/null 2>&1 &
at_exit "kill $! 2>/dev/null"
export DISPLAY=:$n
wait_for 20 xdpyinfo >/dev/null 2>&1 || fail "no Xephyr on $DISPLAY"
for wm in none openbox; do
    [ $wm = openbox ] && start_openbox
    xrandr -s 800x600 >/dev/null 2>&1 || fail "xrandr cannot size the screen"
    start_program
    drag 10 10 400 200
    wait_for 10 geometry_is "$win" "164x24+636+576" || { echo "live corner ($wm): $(geometry_of "$win")"; exit 1; }
    xrandr -s 640x480 >/dev/null 2>&1 || fail "xrandr cannot size the screen"
    wait_for 10 geometry_is "$win" "164x24+476+456" || { echo "after the shrink ($wm): $(geometry_of "$win")"; exit 1; }
    stop_program
    grep -qx 'Form1.Left=476' "$ini" || { echo "settings:"; cat "$ini"; exit 1; }
done
stop_openbox

# Two monitors side by side: two RandR monitors of one screen (which forgets them as its
# last client leaves: one stays). Across onto the second, snapped at its right edge, the
# menu opened there; started there again, then on the first once the second is gone.
own_display 160 1600x600
xprop -root -spy >/dev/null 2>&1 &
end_at_exit $!
xrandr --setmonitor one 800/211x600/158+0+0 screen >/dev/null
at() { wait_for 10 geometry_is "$win" "164x51+$1+110" || fail "$2 ($wm): $(geometry_of "$win")"; }
for wm in none openbox; do
    [ $wm = openbox ] && start_openbox
    xrandr --setmonitor two 800/211x600/158+800+0 none >/dev/null
    fresh_config
    start_program
    drag_to 237 155 937 155 && at 927 across
    drag_to 937 155 1437 155 && at 1436 snap
    xdotool mousemove 1441 115 click 1
    wait_for 5 bash -c "xwininfo -root -tree | grep -Eq '\+1[0-9]{3}\+112 '" || fail "menu ($wm)"
    xdotool key Escape
    stop_program && start_program && at 1436 restart
    stop_program && xrandr --delmonitor two >/dev/null && start_program && at 636 "one monitor"
    stop_program
done
stop_openbox
echo "drag ok"
