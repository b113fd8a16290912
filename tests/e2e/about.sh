#!/usr/bin/env bash
# The About window of the real program: "&About..." (reached from the system glyph with
# the keyboard) shows it hidden until then at +230+191, 314 x 152; its links hand the home
# page and "mailto:" + the feedback address to the desktop (a recording xdg-open first on
# PATH); a drag by its title text moves it without snapping; "X" unmaps it and "&About..."
# brings it back where it was left with the text typed into the history still there.
set -euo pipefail
bin=$1
source "$(dirname "$0")/common.sh"
need_display
fake=$XDG_CONFIG_HOME/bin
mkdir -p "$fake"
printf '#!/bin/sh\nprintf "%%s\\n" "$*" >> "%s/opened"\n' "$fake" > "$fake/xdg-open"
chmod +x "$fake/xdg-open"
# The recording opener comes first on the program's PATH.
export PATH="$fake:$PATH"
start_program
main=$win

about_window() {
    local w
    for w in $(xdotool search --class rezazo); do
        xwininfo -id "$w" | grep -q 'Width: 314' && { echo "$w"; return 0; }
    done
    return 1
}
mapped() {
    about=$(about_window) || return 1
    xwininfo -id "$about" | grep -q 'IsViewable'
}
unmapped() { xwininfo -id "$about" | grep -q 'IsUnMapped'; }
origin() { origin_of "$about"; }
origin_is() { [ "$(origin)" = "$1" ]; }
# The menu opens over the glyph: the window under the mouse is then no longer the main one.
menu_open() { [ "$(xdotool getmouselocation --shell | sed -n 's/^WINDOW=//p')" != "$main" ]; }
choose_about() {
    eval "$(xdotool getwindowgeometry --shell "$main")"
    # A press on the system glyph opens the system menu; the keys walk to "&About...".
    # A press that comes before the fresh window takes input is pressed again.
    local tries=0
    until xdotool mousemove $((X + 5)) $((Y + 5)) mousedown 1 && wait_for 2 menu_open; do
        xdotool mouseup 1
        tries=$((tries + 1))
        [ $tries -lt 3 ] || { echo "system menu did not open"; exit 1; }
    done
    xdotool mouseup 1
    xdotool key Down Down Down Down Return
    wait_for 5 mapped || { echo "About window not shown"; exit 1; }
}
opened_line() { [ -f "$fake/opened" ] && [ "$(wc -l < "$fake/opened")" -ge "$1" ]; }
copy_history() {  # select the history box's text and copy it
    local x y; read -r x y < <(origin)
    xdotool mousemove $((x + 200)) $((y + 60)) click 1
    xdotool key ctrl+a ctrl+c
    sleep 0.3
    xclip -selection clipboard -o 2>/dev/null || true
}

# Made hidden at start: no About window on the screen until it is asked for.
if about=$(about_window); then
    unmapped || { echo "About window shown before it was asked for"; exit 1; }
fi

choose_about
info=$(xwininfo -id "$about")
for want in 'Width: 314' 'Height: 152' 'Absolute upper-left X:  230' 'Absolute upper-left Y:  191'; do
    echo "$info" | grep -q "$want" || { echo "geometry ($want): $info"; exit 1; }
done
[ -n "${SCREENSHOT:-}" ] && import -window root "$SCREENSHOT"
# Like the main window: no taskbar entry, no frame.
xprop -id "$about" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR || { echo "in the taskbar"; exit 1; }
xprop -id "$about" _MOTIF_WM_HINTS | grep -Eq '= (0x)?[0-9a-f]*[2367abef], [0-9a-fx]+, 0x0|= [0-9]+, [0-9]+, 0,' ||
    { echo "decorated: $(xprop -id "$about" _MOTIF_WM_HINTS)"; exit 1; }

# The links: the web address, then the mail address.
xdotool mousemove $((230 + 20)) $((191 + 81)) click 1
wait_for 30 opened_line 1 || { echo "web link opened nothing"; exit 1; }
xdotool mousemove $((230 + 20)) $((191 + 118)) click 1
wait_for 30 opened_line 2 || { echo "mail link opened nothing"; exit 1; }
diff <(printf '%s\n' 'https://rezazo.example.org/' 'mailto:feedback@rezazo.example.org') \
    "$fake/opened" || { echo "links opened the wrong addresses"; exit 1; }

# Typed history text.
xdotool mousemove $((230 + 200)) $((191 + 40)) click 1
xdotool key ctrl+Home
xdotool type --delay 20 'typed-history-line '
# Tab moves the focus on (the history is the one control that takes it), it is not typed.
xdotool key Tab shift+Tab
history=$(copy_history)
echo "$history" | grep -q 'typed-history-line' || { echo "typing did not reach the history"; exit 1; }
[[ $history != *$'\t'* ]] || { echo "Tab was typed into the history"; exit 1; }

# A drag by the title text: 100 left and 178 up ends at 130, 13; snapping would put the
# top at 0.
xdotool mousemove $((230 + 20)) $((191 + 7)) mousedown 1
for i in $(seq 10); do xdotool mousemove $((250 - 10 * i)) $((198 - 178 * i / 10)); done
xdotool mouseup 1
wait_for 5 origin_is "130 13" || { echo "drag ended at $(origin)"; exit 1; }

# "X" hides; "&About..." shows it again where it was, with the typed text.
xdotool mousemove $((130 + 299)) $((13 + 8)) click 1
wait_for 5 unmapped || { echo "X did not hide the window"; exit 1; }
choose_about
[ "$(origin)" = "130 13" ] || { echo "shown again at $(origin)"; exit 1; }
copy_history | grep -q 'typed-history-line' || { echo "typed text lost on hide and show"; exit 1; }
# "&About..." on a visible window leaves it where it is.
choose_about
[ "$(origin)" = "130 13" ] || { echo "moved by a second About: $(origin)"; exit 1; }
echo "about window ok"
