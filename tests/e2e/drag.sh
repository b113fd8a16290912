#!/usr/bin/env bash
# The mouse on the real window: dragging the skin moves the window with the pointer and
# snaps it to the screen's left and top edges within 40 pixels; a double-click on the skin
# gives the 24-pixel compact form; a click on the close glyph ends the program, which
# writes the new place and form to its settings.
set -euo pipefail
bin=$1
source "$(dirname "$0")/common.sh"
need_display
export XDG_CONFIG_HOME=$(mktemp -d)
export QT_SCALE_FACTOR=1
pid=""
trap 'stop_program_now; rm -rf "$XDG_CONFIG_HOME"' EXIT
ini=$XDG_CONFIG_HOME/rezazo/rezazo.ini

start_program
wait_for 10 geometry_is "$win" "164x51+227+110" || { echo "start: $(geometry_of "$win")"; exit 1; }

# drag FROM_X FROM_Y TO_X TO_Y (screen points): press, move in steps, release.
drag() {
    xdotool mousemove "$1" "$2" mousedown 1
    xdotool mousemove "$(( ($1 + $3) / 2 ))" "$(( ($2 + $4) / 2 ))"
    xdotool mousemove "$3" "$4" mouseup 1
}

# On the skin (10, 45 in the window): 20 right, 5 down.
drag 237 155 257 160
wait_for 10 geometry_is "$win" "164x51+247+115" || { echo "drag: $(geometry_of "$win")"; exit 1; }

# Towards the top-left corner, ending 30 pixels from each edge: both snap to 0.
drag 257 160 $((257 - 247 + 30)) $((160 - 115 + 30))
wait_for 10 geometry_is "$win" "164x51+0+0" || { echo "snap: $(geometry_of "$win")"; exit 1; }

# Away again, beyond the snap distance: no snap.
drag 10 45 110 145
wait_for 10 geometry_is "$win" "164x51+100+100" || { echo "back: $(geometry_of "$win")"; exit 1; }

# A double-click on the skin: the compact form, the top-left corner kept.
xdotool mousemove 110 145 click --repeat 2 --delay 80 1
wait_for 10 geometry_is "$win" "164x24+100+100" || { echo "compact: $(geometry_of "$win")"; exit 1; }

# The close glyph (155, 0, 9 x 9 in the window) ends the program.
xdotool mousemove $((100 + 159)) $((100 + 4)) click 1
wait_for 10 program_ended || { echo "the close glyph did not end the program"; exit 1; }
rc=0
wait "$pid" || rc=$?
pid=""
[ "$rc" -eq 0 ] || { echo "ended with status $rc"; exit 1; }
grep -qx 'Form1.Left=100' "$ini" || { echo "settings:"; cat "$ini"; exit 1; }
grep -qx 'Form1.Top=100' "$ini" || { echo "settings:"; cat "$ini"; exit 1; }
grep -qx 'Compact1.Checked=True' "$ini" || { echo "settings:"; cat "$ini"; exit 1; }
echo "drag ok"
