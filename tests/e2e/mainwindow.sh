#!/usr/bin/env bash
# The real program on the X display: a 164 x 51 window at +227+110 named "Rezazo '98",
# undecorated, kept out of the taskbar, and ended in order by SIGTERM.
set -euo pipefail
bin=$1
source "$(dirname "$0")/common.sh"
need_display
start_program
wait_for 10 geometry_is "$win" "164x51+227+110" || { echo "geometry: $(geometry_of "$win")"; exit 1; }
# Pressed right after the start, the minimise glyph (147,0 in the window) shows the glyph
# list's first picture; the list is unpacked at that first use. Released off the glyph, the
# press is no click. A press before the fresh window takes input is pressed again.
tmp=$(mktemp -d)
remove_at_exit "$tmp"
convert "$(dirname "$0")/../../resources/art/glyphs.bmp" -crop 9x8+0+0 +repage "$tmp/pressed.png"
shows_pressed() {
    import -window root -crop 9x8+374+110 +repage "$tmp/shown.png" 2>/dev/null &&
        [ "$(compare -metric AE "$tmp/shown.png" "$tmp/pressed.png" null: 2>&1)" = 0 ]
}
press_minimise() {
    xdotool mousemove 378 114 mousedown 1
    wait_for 1 shows_pressed && return 0
    xdotool mousemove 300 150 mouseup 1
    return 1
}
wait_for 10 press_minimise || { echo "no pressed minimise glyph after a press"; exit 1; }
xdotool mousemove 300 150 mouseup 1
shows_released() { ! shows_pressed; }
wait_for 5 shows_released || { echo "the glyph stayed pressed"; exit 1; }
state=$(xprop -id "$win" _NET_WM_STATE)
echo "$state" | grep -q '_NET_WM_STATE_SKIP_TASKBAR' || { echo "state: $state"; exit 1; }
# Undecorated: the Motif hints have the decorations flag (bit 1) set and ask for none.
hints=$(xprop -id "$win" _MOTIF_WM_HINTS)
no_decorations() {
    [[ $1 == *" = "* ]] || return 1
    local flags functions decorations
    IFS=', ' read -r flags functions decorations _ <<<"${1#* = }"
    [[ $flags =~ ^(0x[0-9a-fA-F]+|[0-9]+)$ && $decorations =~ ^(0x[0-9a-fA-F]+|[0-9]+)$ ]] || return 1
    (( (flags & 2) != 0 && decorations == 0 ))
}
# The check itself must refuse hints that leave decorations on or do not say.
for wrong in "_MOTIF_WM_HINTS(_MOTIF_WM_HINTS) = 0x2, 0x0, 0x1, 0x0, 0x0" \
             "_MOTIF_WM_HINTS(_MOTIF_WM_HINTS) = 0x1, 0x0, 0x0, 0x0, 0x0" \
             "_MOTIF_WM_HINTS:  not found."; do
    if no_decorations "$wrong"; then echo "hint check accepts: $wrong"; exit 1; fi
done
no_decorations "$hints" || { echo "hints: $hints"; exit 1; }
stop_program
echo "main window ok"
