#!/usr/bin/env bash
# Large fonts never draw one text over another, read from the screen's pure black (the
# texts' colour; the skin and the indicator have none): a 14-pixel bold serif address stops
# short of the indicator; in the compact form a 19-pixel address is neither cut by the
# window's bottom edge nor runs under the glyphs; a 9-point italic host-name caption, set
# through the font dialog, pushes the marquee right, so the moving name never paints on the
# caption's columns. The dialog's "only existing fonts" refuses a name in none of its entries.
set -euo pipefail
bin=$1
source "$(dirname "$0")/common.sh"
need_display
ini=$XDG_CONFIG_HOME/rezazo/rezazo.ini
mkdir -p "$(dirname "$ini")"
shot=$XDG_CONFIG_HOME/shot.png

# black W H X Y: pure black pixels in that part of the main window.
black() {
    import -window "$win" "$shot"
    convert "$shot" +repage -crop "${1}x${2}+${3}+${4}" +repage -fill white +opaque black \
        -format '%[fx:int(w*h*(1-mean)+0.5)]' info:
}
ip_font() {  # height, name, compact
    printf '%s\n' '[TForm1]' "Compact1.Checked=$3" "Label1.Font.Height=$1" \
        "Label1.Font.Name=''$2''" 'Label1.Font.Style=[fsBold]' >"$ini"
}

# The address is long enough to run past the indicator, which would hide a shorter overrun.
ip_font -14 Serif False
start_program
[ "$(black 110 10 27 18)" -gt 20 ] || fail "no address drawn"
[ "$(black 22 14 142 17)" -eq 0 ] || fail "the address runs under and past the indicator"
stop_program

ip_font -19 Serif True
start_program
wait_for 5 height_is 24 || fail "not compact"
[ "$(black 120 18 22 2)" -gt 20 ] || fail "no address drawn in the compact form"
[ "$(black 164 2 0 22)" -eq 0 ] || fail "the address is cut by the compact window's bottom"
[ "$(black 17 24 147 0)" -eq 0 ] || fail "the address runs under the glyphs"

# The host-name font: the caption's menu, "Change font", then name, style and size typed.
point_at 10 18  # the skin, left of the address
xdotool click --repeat 2 --delay 80 1
wait_for 5 height_is 51 || fail "not back to the full form"
font_dialog() {
    point_at 40 38
    sleep 0.2
    xdotool click 3
    wait_for 5 window_count_above 1 || fail "no host-name menu"
    xdotool key f
    wait_for 5 bash -c "xdotool search --all --onlyvisible --pid $pid --name '^Font\$' >/dev/null" ||
        fail "no font dialog"
    sleep 0.5
}
font_dialog
xdotool key alt+f ctrl+a type NoSuchFontXYZ
xdotool key Return
wait_for 5 bash -c "xdotool search --all --onlyvisible --pid $pid --name '^Warning\$' >/dev/null" ||
    fail "a font that does not exist was taken"
sleep 0.5
# With no window manager the box need not have the keyboard: its OK button is clicked.
eval "$(xdotool getwindowgeometry --shell "$(xdotool search --all --onlyvisible --pid "$pid" --name '^Warning$' | head -n1)")"
xdotool mousemove $((X + WIDTH - 51)) $((Y + HEIGHT - 21)) click 1
wait_for 5 bash -c "! xdotool search --all --onlyvisible --pid $pid --name '^Warning\$' >/dev/null" ||
    fail "the warning did not close"
dialog=$(xdotool search --all --onlyvisible --pid "$pid" --name '^Font$') || fail "the dialog closed on a refused name"
eval "$(xdotool getwindowgeometry --shell "$dialog")"
xdotool mousemove $((X + 90)) $((Y + 42)) click 1  # the keyboard back to the dialog
xdotool key alt+f ctrl+a type 'Liberation Sans'
xdotool key alt+y Home Down alt+s ctrl+a type 9
xdotool key Return
wait_for 5 window_count_is 1 || fail "the font dialog did not close"
# The caption stands still and the name moves: what is black in every shot is the caption;
# no shot may have more black than that on the caption's columns.
for i in $(seq 12); do
    import -window "$win" "$XDG_CONFIG_HOME/host$i.png"
    sleep 0.3
done
convert "$XDG_CONFIG_HOME"/host*.png +repage -crop 137x17+27+34 +repage -evaluate-sequence max \
    -fill white +opaque black "$XDG_CONFIG_HOME/static.png"
right=$(convert "$XDG_CONFIG_HOME/static.png" -negate -trim -format '%[fx:page.x+w]' info:)
[ "$right" -gt 55 ] || fail "the caption is not in the larger font (ends at $((27 + right)))"
for i in $(seq 12); do
    extra=$(convert "$XDG_CONFIG_HOME/host$i.png" +repage -crop "${right}x17+27+34" +repage \
        -fill white +opaque black "$XDG_CONFIG_HOME/static.png" -crop "${right}x17+0+0" +repage \
        -compose difference -composite -format '%[fx:int(w*h*mean+0.5)]' info:)
    [ "$extra" -eq 0 ] || fail "shot $i: the marquee painted $extra pixels on the caption"
done
stop_program
grep -q "FontDialog1.Font.Name=''Liberation Sans''" "$ini" || fail "the dialog's font was not kept: $(cat "$ini")"
echo "fonts ok"
