#!/usr/bin/env bash
# The decorated system menu of the real program: a press on the system glyph opens it at
# +229+112 as a popup-menu window with the banner strip along its left edge; keys and
# access keys walk to "Copy to clipboard" > "IP"; a letter two items share moves between
# them; fifty idle connections to the instance socket hold up neither the menu nor a second
# start that spells the display otherwise; "Always On Top" sets the window's above state;
# Esc and a click outside close it and the window keeps working; "Close" ends the program;
# Shift+F10, Menu and Alt+Space open it; at the bottom right corner the submenus cascade
# without covering each other. Run with no window manager, and under openbox when
# REZAZO_E2E_WM=openbox.
set -euo pipefail
bin=$1
source "$(dirname "$0")/common.sh"
need_display
shots=$(mktemp -d)
remove_at_exit "$shots"
[ "${REZAZO_E2E_WM:-}" = openbox ] && start_openbox
start_program
sleep 0.5
origin=$(position)

# The menu's window: the mapped window whose top-left corner is at +229+112 (the windows of
# closed menus are kept, unmapped, for the next).
menu_window() {
    local w
    for w in $(xwininfo -root -tree | awk '/\+229\+112 *\+229\+112/ && !/164x51/ {print $1}'); do
        xwininfo -id "$w" 2>/dev/null | grep -q IsViewable && { echo "$w"; return; }
    done
}
wait_menu() {
    for _ in $(seq 100); do m=$(menu_window); [ -n "$m" ] && { echo "$m"; return 0; }; sleep 0.05; done
    return 1
}
wait_no_menu() {
    for _ in $(seq 100); do [ -z "$(menu_window)" ] && return 0; sleep 0.05; done
    return 1
}
open_menu() {  # a press on the system glyph, left + 2, top + 2 of the window
    xdotool mousemove 233 116 mousedown 1
    menu=$(wait_menu) || { echo "menu did not open"; exit 1; }
    xdotool mouseup 1
    sleep 0.3
}
pixel() { convert "$1" -format "%[pixel:p{$2,$3}]" info:; }

open_menu
xprop -id "$menu" _NET_WM_WINDOW_TYPE | grep -q _NET_WM_WINDOW_TYPE_POPUP_MENU || {
    echo "type: $(xprop -id "$menu" _NET_WM_WINDOW_TYPE)"; exit 1; }
h=$(xwininfo -id "$menu" | awk '/Height:/{print $2}')
# The release of the opening press chose nothing: the menu is still open.
[ -n "$(menu_window)" ] || { echo "the opening release closed the menu"; exit 1; }
import -window root "$shots/open.png"
# The strip: three pixels of frame, then 13 columns; black at the top, the end colour at
# the foot, the menu's face beside it.
top=$(pixel "$shots/open.png" $((229 + 3 + 11)) $((112 + 3)))
bottom=$(pixel "$shots/open.png" $((229 + 3 + 11)) $((112 + h - 4)))
face=$(pixel "$shots/open.png" $((229 + 3 + 30)) $((112 + h - 6)))
[ "$top" = "srgb(0,0,0)" ] || { echo "strip top: $top"; exit 1; }
[ "$bottom" = "srgb(181,208,192)" ] || { echo "strip bottom: $bottom"; exit 1; }
[ "$face" = "srgb(192,192,192)" ] || { echo "item face: $face"; exit 1; }

# Arrow keys: Settings, Copy to clipboard; into it, Hostname, IP; choose.
printf 'none' | xclip -selection clipboard
xdotool key Down Down Right Down Return
wait_no_menu || { echo "menu stayed open after choosing"; exit 1; }
# The copy comes with the probe's fresh answer, a moment after the choice.
clip_changed() { [ "$(xclip -o -selection clipboard)" != none ]; }
wait_for 5 clip_changed || true
address=$(xclip -o -selection clipboard)
echo "$address" | grep -Eq '^[0-9]+\.[0-9]+\.[0-9]+\.[0-9]+$' || { echo "clipboard: $address"; exit 1; }
known="$(hostname -I 2>/dev/null) 127.0.0.1"
echo " $known " | grep -q " $address " || { echo "clipboard $address is not one of: $known"; exit 1; }

# Access keys through the owner-drawn items: c (Copy to clipboard, which shares its letter
# with Close: highlighted, then opened by Return), h (Hostname).
open_menu
printf 'none' | xclip -selection clipboard
xdotool key c Return h
wait_no_menu || { echo "access keys left the menu open"; exit 1; }
wait_for 5 clip_changed || true
[ "$(xclip -o -selection clipboard)" = "$(hostname)" ] || { echo "hostname: $(xclip -o -selection clipboard)"; exit 1; }

# Fifty idle connections to the instance socket, each made again as the program lets it
# go: the menu opens while they are held, and a second start that spells the display
# another way finds the first all the same and leaves.
dir=/run/user/$(id -u)
[ -O "$dir" ] && [ "$(stat -c %a "$dir")" = 700 ] || dir=$(getent passwd "$(id -u)" | cut -d: -f6)/.cache/rezazo
perl -MIO::Socket::UNIX -MIO::Select -MSocket -e 'my ($path, $ready) = @ARGV;
    my ($held, $made) = (IO::Select->new, 0);
    for (;;) {
        while ($held->count < 50) {
            $held->add(IO::Socket::UNIX->new(Type => SOCK_STREAM, Peer => $path) or exit 1);
            open(my $f, ">", $ready) if ++$made == 50;
        }
        $held->remove($_), close $_ for $held->can_read(0.05);
    }' \
    "$dir/rezazo-_${DISPLAY#:}.sock" "$shots/held" &
flood=$!
end_at_exit "$flood"
wait_for 10 test -e "$shots/held" || fail "the fifty connections were not made"
open_menu
kill -0 "$flood" || fail "the connections ended before the menu opened"
xdotool key Escape
wait_no_menu || fail "Esc did not close the menu"
for display in "unix:${DISPLAY#:}" "unix:${DISPLAY#:}.0" "unix/:${DISPLAY#:}"; do
    err=$(DISPLAY=$display timeout 20 "$bin" 2>&1) && [ -z "$err" ] || fail "second start on $display: $err"
done
kill "$flood" || fail "the connections ended before the second starts"
[ "$(xdotool search --onlyvisible --name "^Rezazo '98\$" | wc -l)" -eq 1 ] || fail "two widgets"

# Always On Top: s (Settings), a (Appearance), a (Always On Top).
xprop -id "$win" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE && { echo "above from the start"; exit 1; }
open_menu
xdotool key s a a
wait_no_menu || { echo "menu stayed open"; exit 1; }
# The style change may give the window a new X window: find it by its name again.
above=no
for _ in $(seq 50); do
    for w in $(xdotool search --onlyvisible --name "^Rezazo '98\$" 2>/dev/null); do
        if xprop -id "$w" _NET_WM_STATE 2>/dev/null | grep -q _NET_WM_STATE_ABOVE; then
            above=yes
            win=$w
        fi
    done
    [ $above = yes ] && break
    sleep 0.1
done
[ $above = yes ] || { echo "state: $(xprop -id "$win" _NET_WM_STATE)"; exit 1; }

# Esc closes; the window keeps working: a click outside the menu on the window closes the
# menu and does nothing else (no drag, no command), and the menu opens again.
open_menu
xdotool key Escape
wait_no_menu || { echo "Esc did not close the menu"; exit 1; }
open_menu
xdotool mousemove 380 140 mousedown 1 mousemove 390 150 mouseup 1
wait_no_menu || { echo "a click outside did not close the menu"; exit 1; }
[ "$(position)" = "$origin" ] || { echo "window moved: $(position) from $origin"; exit 1; }
# After a menu opened by a press, that press holds the mouse no more: a press and a
# release on the skin open no menu.
open_menu
xdotool key Escape
wait_no_menu || { echo "Esc did not close the menu"; exit 1; }
xdotool mousemove 300 150 mousedown 1 mousemove 305 152 mouseup 1
sleep 0.5
[ -z "$(menu_window)" ] || { echo "a press on the skin opened the menu"; exit 1; }
kill -0 $pid || { echo "program ended"; exit 1; }

# A click on the close glyph while the menu is open only closes the menu.
open_menu
xdotool mousemove 386 114 click 1
wait_no_menu || { echo "a click on the close glyph did not close the menu"; exit 1; }
sleep 0.5
kill -0 $pid || { echo "the click that closed the menu also closed the program"; exit 1; }
open_menu
xdotool key Escape
wait_no_menu || { echo "menu did not close again"; exit 1; }
kill -0 $pid || { echo "program ended"; exit 1; }

# From the keyboard, once a click has given the window the keys: Shift+F10 and the Menu
# key open the menu where the glyph does, and so does Alt+Space where no window manager
# takes that key for its own menu.
point_at 10 45
xdotool click 1
sleep 0.3
keys="shift+F10 Menu"
wm_running || keys="$keys alt+space"
for k in $keys; do
    xdotool key "$k"
    wait_menu >/dev/null || { echo "$k did not open the menu"; exit 1; }
    xdotool key Escape
    wait_no_menu || { echo "Esc did not close the menu opened by $k"; exit 1; }
done
# The windows its keys open take the keys and give them back: Escape closes the log and
# About windows and the font dialog, the pointer on none of them.
xdotool mousemove 700 20
for keys in k a "s Down Right i" ""; do
    xdotool key shift+F10
    wait_menu >/dev/null || fail "shift+F10 opened no menu after: $keys"
    [ -n "$keys" ] || { xdotool key Escape; break; }
    for k in $keys; do xdotool key "$k"; sleep 0.3; done
    wait_for 5 window_count_is 2 || fail "$keys opened no window"
    xdotool key Escape
    wait_for 5 window_count_is 1 || fail "Escape left open what $keys opened"
done

# What a choice changes shows at the next opening, and choosing back shows the same pixels
# as before: the windows of closed levels are kept, what they show is not. A row: the
# submenu of Settings, the access key of the change, the one that changes it back.
levels_picture() {  # FILE: the open levels side by side, left to right
    local g n=0 parts=()
    import -window root "$shots/screen.png"
    for g in $(for w in $(xdotool search --maxdepth 2 --onlyvisible --pid "$pid" 2>/dev/null); do
                   [ "$w" = "$win" ] || geometry_of "$w"; done | sort -t+ -k2n); do
        convert "$shots/screen.png" -crop "$g" +repage "$shots/level$n.png"
        parts+=("$shots/level$n.png")
        n=$((n + 1))
    done
    convert "${parts[@]}" +append "$1"
}
for row in "f,Return m s" "a c c"; do
    read -r sub change back <<<"$row"
    for step in before changed back; do
        open_menu
        xdotool key s ${sub//,/ }
        sleep 0.4
        levels_picture "$shots/$step.png"
        xdotool key Escape Escape Escape
        wait_no_menu || fail "Esc did not close the menu"
        key=$([ $step = before ] && echo "$change" || { [ $step = changed ] && echo "$back"; } || true)
        [ -n "$key" ] || continue
        open_menu
        xdotool key s ${sub//,/ } "$key"
        wait_no_menu || fail "choosing $sub $key left the menu open"
        sleep 0.3
    done
    [ "$(compare -metric AE "$shots/before.png" "$shots/changed.png" null: 2>&1)" != 0 ] ||
        fail "choosing $change in submenu $sub showed nothing new at the next opening"
    [ "$(compare -metric AE "$shots/before.png" "$shots/back.png" null: 2>&1)" = 0 ] ||
        fail "choosing $change then $back in submenu $sub does not show the first pictures"
done

# Close, the last item, by its shared letter: c, c again, Return.
open_menu
xdotool key c c Return
wait_for 10 process_gone "$pid" || { echo "Close did not end the program"; exit 1; }
wait $pid || true

# At the bottom right corner, each submenu level opens beside the one it came from, never
# over an earlier level: Settings, then Refresh rate.
ini=$XDG_CONFIG_HOME/rezazo/rezazo.ini
sed -i 's/^Form1.Left=.*/Form1.Left=636/; s/^Form1.Top=.*/Form1.Top=549/' "$ini"
start_program
sleep 0.5
point_at 10 45
xdotool click 1
sleep 0.3
xdotool key shift+F10
sleep 0.3
xdotool key s f Return
sleep 0.5
# The open levels as "left right top bottom", one a line.
levels() {
    local w
    for w in $(xdotool search --maxdepth 2 --onlyvisible --pid "$pid" 2>/dev/null); do
        [ "$w" = "$win" ] && continue
        xwininfo -id "$w" | awk '/Absolute upper-left X:/ {x=$4} /Absolute upper-left Y:/ {y=$4}
            /^ *Width:/ {w=$2} /^ *Height:/ {h=$2} END {print x, x + w, y, y + h}'
    done
}
[ "$(levels | wc -l)" -eq 3 ] || { echo "open levels: $(levels | tr '\n' ';')"; exit 1; }
# Two levels share at most the 3-pixel border where one opens from the other.
levels | awk '{l[NR]=$1; r[NR]=$2; t[NR]=$3; b[NR]=$4}
    END {for (i = 1; i <= NR; i++) for (j = i + 1; j <= NR; j++) {
        w = (r[i] < r[j] ? r[i] : r[j]) - (l[i] > l[j] ? l[i] : l[j])
        h = (b[i] < b[j] ? b[i] : b[j]) - (t[i] > t[j] ? t[i] : t[j])
        if (w > 3 && h > 0) {print "levels overlap:", l[i], t[i], "and", l[j], t[j]; exit 1}}}' || exit 1
xdotool key Escape Escape Escape
stop_program
echo "menus ok"
