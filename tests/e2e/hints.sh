#!/usr/bin/env bash
# Hover hints: after the hover pause a tool tip shows on the system, minimise and close
# glyphs ("System Menu" widest, "Close" narrowest), and goes when the mouse leaves; the
# skin and the IP text (their hints are off) show none. The About window's two links show
# their address, wider than any glyph's tip. Screenshots of the tips are kept in
# $HINT_SHOTS when it is set.
set -euo pipefail
bin=$1
source "$(dirname "$0")/common.sh"
need_display

start_program
tip_window() {
    xdotool search --onlyvisible --pid "$pid" 2>/dev/null | grep -vx "$win" |
        grep -vx "${about:-none}" | head -n1
}

# hover X Y NAME [WINDOWS]: prints the tip's width after the pause; WINDOWS (1 unless
# given) is how many of the program's windows show without a tip.
hover() {
    local tip w shown=${4:-1}
    point_at 80 45  # the skin first, away from every glyph
    wait_for 5 window_count_is "$shown" || fail "a tip stayed open before $3"
    point_at "$1" "$2"
    wait_for 5 window_count_above "$shown" || fail "no tip on $3"
    tip=$(tip_window)
    w=$(xwininfo -id "$tip" | awk '/Width:/ {print $2}')
    [ -n "${HINT_SHOTS:-}" ] && import -window root "$HINT_SHOTS/$3.png"
    # The tip's pixels are not all one colour: there is text in it.
    local colours
    colours=$(import -window "$tip" -format '%k' info:)
    [ "$colours" -gt 1 ] || fail "the tip on $3 is blank"
    point_at 80 45
    wait_for 5 window_count_is "$shown" || fail "the tip on $3 did not go when the mouse left"
    echo "$w"
}

system=$(hover 5 5 system)
minimize=$(hover 151 3 minimize)
close=$(hover 159 4 close)
[ "$system" -gt "$minimize" ] && [ "$minimize" -gt "$close" ] ||
    fail "tip widths do not follow their texts: System Menu $system, Minimize $minimize, Close $close"

# No tip where ShowHint is off: the skin and the IP text.
for spot in "80 45" "40 27"; do
    # shellcheck disable=SC2086
    point_at $spot
    sleep 2
    window_count_is 1 || fail "a tip showed at $spot"
done
# The links: the About window, opened from the system menu, stands at +230+191 and the
# links at 8,76 and 8,113 in it; the main window's skin (at +227+110) is the place away.
system_menu Down Down Down Down Return
about_shown() {
    local w
    for w in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null); do
        xwininfo -id "$w" | grep -q 'Width: 314' && { about=$w; return 0; }
    done
    return 1
}
wait_for 5 about_shown || fail "no About window"
for link in "31 163 home-page" "31 200 feedback"; do
    # shellcheck disable=SC2086
    w=$(hover $link 2) || { echo "$w"; exit 1; }
    [ "$w" -gt "$system" ] || fail "the tip on the $link link ($w) is no wider than System Menu's"
done
stop_program
echo "hints ok"
