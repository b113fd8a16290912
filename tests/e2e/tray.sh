#!/usr/bin/env bash
# The tray icon, minimising into it, the IP log window and one instance per session, on a
# display of its own with a tray host, without a window manager ("none") or under openbox.
# In private mount namespaces: starts where no lock can be had, and a full disk under the
# program, its log and its settings. As root, links of another user's are not followed.
#   tray.sh BIN none|openbox [XWATCH]
# With XWATCH (tools/xwatch), the icon must dock after a start timed by the server's events,
# and how long after the window's first paint it did is printed.
# REZAZO_E2E_DISPLAY picks the display number; otherwise a free one is taken.
set -euo pipefail
bin=$1
wm=${2:-none}
xwatch=${3:+$(realpath "$3")}
command -v Xvfb >/dev/null && command -v trayer >/dev/null || { echo "no Xvfb or trayer"; exit 77; }
[ "$wm" = none ] || command -v "$wm" >/dev/null || { echo "no $wm"; exit 77; }

source "$(dirname "$0")/common.sh"  # its own display: no need_display
tmp=$(mktemp -d)
remove_at_exit "$tmp"
fail() { echo "FAIL ($wm): $*"; [ -n "${DISPLAY:-}" ] && import -window root "$tmp/fail.png" 2>/dev/null && cp "$tmp/fail.png" "/tmp/rezazo-tray-fail-$wm.png"; exit 1; }
# A command that fails outside a test says where.
trap 'fail "line $LINENO: $BASH_COMMAND"' ERR
# wait_or_fail DESCRIPTION COMMAND...: polls until the command succeeds (20 s at most).
wait_or_fail() {
    local what=$1; shift
    wait_for 20 quietly "$@" || fail "timed out waiting for $what"
}
quietly() { "$@" >/dev/null 2>&1; }

own_display 140
start_trayer() {
    trayer --edge bottom --align right --widthtype pixel --width 64 --heighttype pixel --height 24 \
        >/dev/null 2>&1 &
    trayer_pid=$!
    end_at_exit "$trayer_pid"
    wait_or_fail "the tray host" sh -c 'xwininfo -root -tree | grep -q "\"panel\": (\"panel\" \"trayer\")"'
}
start_trayer
if [ "$wm" != none ]; then
    "$wm" >/dev/null 2>&1 &
    end_at_exit $!
    wait_or_fail "the window manager" sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"'
fi

mkdir -p "$tmp/prog" "$tmp/cfg" "$tmp/rt"
chmod 700 "$tmp/rt"
cp "$bin" "$tmp/prog/rezazo"
export XDG_CONFIG_HOME=$tmp/cfg XDG_RUNTIME_DIR=$tmp/rt QT_SCALE_FACTOR=1
unset QT_QPA_PLATFORM
log=$tmp/prog/IP.LOG
ini=$tmp/cfg/rezazo/rezazo.ini

# The first visible window with that name, waited for. Windows come and go while a search
# looks at them (menus closing), which makes one search fail now and then: try again.
window_named() {
    local w
    for _ in $(seq 200); do
        w=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1) || true
        [ -n "$w" ] && { echo "$w"; return 0; }
        sleep 0.1
    done
    return 1
}
start() {
    (cd / && exec "$tmp/prog/rezazo") &
    pid=$!
    menu=  # a window of the last run, whose number a window of this one may take
    end_at_exit "$pid"
    win=$(window_named "^Rezazo '98\$") || fail "the main window did not appear"
}
mapped() { xwininfo -id "$1" | grep -q 'Map State: IsViewable'; }
unmapped() { ! mapped "$1"; }
at() {  # at WINDOW X Y
    local info; info=$(xwininfo -id "$1")
    echo "$info" | grep -q "Absolute upper-left X:  $2\$" && echo "$info" | grep -q "Absolute upper-left Y:  $3\$"
}
# The icon: the window of the program's process that sits inside trayer's panel.
find_icon() {
    icon=
    for w in $(xdotool search --pid "$pid" 2>/dev/null); do
        if xwininfo -id "$w" -tree 2>/dev/null | grep -q 'Parent window id: .*"panel"' ||
            xwininfo -id "$(xwininfo -id "$w" -tree 2>/dev/null | sed -n 's/.*Parent window id: \(0x[0-9a-f]*\).*/\1/p')" -tree 2>/dev/null |
            grep -q 'Parent window id: .*"panel"'; then
            icon=$w
            return 0
        fi
    done
    return 1
}
icon_docked() { find_icon && mapped "$icon"; }
# Windows of the program that are on the screen, the icon and its panel aside.
shown_windows() {
    for w in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null); do
        [ "$w" = "${icon:-}" ] || echo "$w"
    done
}
tray_menu() {  # right click on the icon; prints the menu window
    # Keys typed into the last menu may not all have been read yet, and the next menu takes
    # over its window: a click now would only close it.
    [ -z "${menu:-}" ] || wait_or_fail "the last menu to close" unmapped "$menu"
    before=$(shown_windows | sort)
    xdotool mousemove --window "$icon" 10 10 click 3
    for _ in $(seq 200); do
        menu=$(comm -13 <(echo "$before") <(shown_windows | sort) | head -n1)
        [ -n "$menu" ] && return 0
        sleep 0.1
    done
    fail "no menu opened on a right click"
}
lines() { [ -f "$log" ] && tr -cd '\n' < "$log" | wc -c || echo 0; }
# "${private_mounts[@]}" COMMAND...: COMMAND in a mount namespace of its own (as root, or as
# the user mapped to root there), so that what it mounts is nobody else's. Where neither can
# be had the steps that need it are skipped, or fail where the end-to-end tests are required.
private_mounts=(unshare -m --propagation private)
[ "$(id -u)" -eq 0 ] || private_mounts=(unshare -rm)
if "${private_mounts[@]}" true 2>/dev/null; then mounts=yes; else
    [ -z "${REZAZO_E2E_REQUIRED:-}" ] || fail "no private mount namespace (unshare -m, unshare -rm)"
    mounts=no
    echo "no private mount namespace: the steps with a full disk and with no lock are skipped"
fi
skip_taskbar() { xprop -id "$1" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR; }

# --- the icon comes right after the window ------------------------------------------------
# The icon waits for the window's first paint and must still come: both moments are taken
# from the server's map and damage events.
if [ -n "$xwatch" ]; then
    timing=$(cd / && "$xwatch" startup "Rezazo '98" 20 --stop --icon -- "$tmp/prog/rezazo") ||
        fail "no painted window and docked icon: $timing"
    set -- $timing
    [ "$3" = painted_ms ] && [ "$9" = icon_ms ] || fail "xwatch said: $timing"
    after=$(awk -v p="$4" -v i="${10}" 'BEGIN { printf "%.1f", i - p }')
    # A figure to read, not a limit: this machine's load is not ours to know.
    echo "tray icon docked $after ms after the window's first paint ($wm)"
    rm -f "$log" "$ini"
elif [ -n "${REZAZO_E2E_REQUIRED:-}" ]; then
    fail "no xwatch to time the icon against the window"
fi

# --- the icon, minimising into it and coming back -----------------------------------------
start
wait_or_fail "the tray icon" icon_docked
[ -f "$log" ] && [ ! -s "$log" ] || fail "no empty IP.LOG beside the program"
wait_or_fail "the window at its place" at "$win" 227 110
wait_or_fail "no taskbar entry" skip_taskbar "$win"
xdotool mousemove 378 114 click 1  # the minimise glyph
wait_or_fail "the window to leave the screen" unmapped "$win"
[ -z "$(shown_windows)" ] || fail "windows still mapped after minimising: $(shown_windows)"
mapped "$icon" || fail "the icon went with the window"
xdotool mousemove --window "$icon" 10 10 click 1
wait_or_fail "the window back from the tray" mapped "$win"
wait_or_fail "the window back at its place" at "$win" 227 110
wait_or_fail "no taskbar entry after restoring" skip_taskbar "$win"

# --- the system menu on the icon: "IP &Keeper", the log window, two records -----------------
# A right click soon after the last is a double click to the toolkit: it opens the menu too.
tray_menu
xdotool key Escape
tray_menu
eval "$(xdotool getmouselocation --shell)"
geo=$(xwininfo -id "$menu") || fail "the menu window went away"
mx=$(echo "$geo" | sed -n 's/.*Absolute upper-left X: *//p'); my=$(echo "$geo" | sed -n 's/.*Absolute upper-left Y: *//p')
mw=$(echo "$geo" | sed -n 's/.*Width: *//p'); mh=$(echo "$geo" | sed -n 's/.*Height: *//p')
# At the cursor: the menu opens from the cursor point (moved in only as far as the screen asks).
[ "$X" -ge "$mx" ] && [ "$X" -le $((mx + mw)) ] && [ "$Y" -ge "$my" ] && [ "$Y" -le $((my + mh)) ] ||
    fail "menu at $mx,$my ${mw}x$mh, cursor at $X,$Y"
xdotool key k
logwin=$(window_named '^IP Logger$') || fail "IP &Keeper did not show the log window"
wait_or_fail "the log window at +239+225" at "$logwin" 239 225
xwininfo -id "$logwin" | grep -q 'Width: 144' || fail "log window width"
skip_taskbar "$logwin" || fail "the log window has a taskbar entry"
xdotool mousemove --window "$logwin" 84 8 click 1
wait_or_fail "the first record" sh -c "[ \$(tr -cd '\n' < '$log' | wc -c) -eq 5 ]"
sleep 0.6  # a second click, not a double click
xdotool mousemove --window "$logwin" 84 8 click 1
wait_or_fail "the second record" sh -c "[ \$(tr -cd '\n' < '$log' | wc -c) -eq 10 ]"
import -window root "$tmp/log.png"
cp "$tmp/log.png" "/tmp/rezazo-tray-log-$wm.png"
[ "$(grep -c $'\r$' "$log")" -eq 10 ] || fail "lines not ended by CR LF"
grep -q '^Hostname : ' "$log" || fail "no host name line"
# "Clear" asks in an information box; "No" keeps the log.
sleep 0.6
xdotool mousemove --window "$logwin" 110 8 click 1
wait_or_fail "Clear to ask in an information box" xdotool search --onlyvisible --name '^Information$'
# Escape answers the box like "No" (the box's window can be remade while it opens: look again).
answered() {
    local b
    b=$(xdotool search --onlyvisible --name '^Information$' 2>/dev/null | tail -n1) || return 0
    [ -z "$b" ] && return 0
    xdotool windowfocus "$b" key Escape 2>/dev/null || true
    return 1
}
wait_or_fail "the box to be answered" answered
[ "$(lines)" -eq 10 ] || fail "the log changed though Clear was not confirmed"
# The close glyph hides the log window.
xdotool mousemove --window "$logwin" 134 5 click 1
wait_or_fail "the log window to hide" unmapped "$logwin"

# --- "&Close" from the icon's menu ends the program and writes the settings ------------------
rm -f "$ini"
tray_menu
xdotool key Up Return  # the last item, "&Close" (its access key is shared)
wait_or_fail "the program to end" sh -c "! kill -0 $pid"
wait "$pid" || fail "exit status $?"
[ -s "$ini" ] && grep -q '^Form1.Left=227' "$ini" || fail "settings not written: $(cat "$ini" 2>/dev/null)"

# --- a restart keeps the ten lines; a second start brings the first forward ------------------
# Now always on top: the window's states must survive going into the tray and back.
sed -i 's/^AlwaysOnTop1.Checked=False/AlwaysOnTop1.Checked=True/' "$ini"
above() { xprop -id "$1" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE; }
start
wait_or_fail "the tray icon" icon_docked
wait_or_fail "stay on top" above "$win"
[ "$(lines)" -eq 10 ] || fail "IP.LOG after a restart: $(lines) lines"
xdotool mousemove 378 114 click 1
wait_or_fail "the window into the tray" unmapped "$win"
# The lock's place depends on the user alone: their runtime folder, else their own cache.
lockdir=/run/user/$(id -u)
[ -d "$lockdir" ] && [ -O "$lockdir" ] && [ "$(stat -c %a "$lockdir")" = 700 ] || lockdir=$(getent passwd "$(id -u)" | cut -d: -f6)/.cache/rezazo
# Clients that connect and say nothing hold up neither the window nor a real second start.
# (A refused connection, the socket's queue being full, is tried again until 40 are held.)
python3 -c 'import socket, sys, time
held, end = [], time.time() + 4
while time.time() < end:
    while len(held) < 40:
        c = socket.socket(socket.AF_UNIX)
        c.setblocking(False)
        if c.connect_ex(sys.argv[1]) != 0:
            break
        held.append(c)
    time.sleep(0.02)' "$lockdir/rezazo-_${DISPLAY#:}.sock" &
idle=$!
sleep 0.3
(cd / && exec "$tmp/prog/rezazo"); rc=$?
[ $rc -eq 0 ] || fail "second start exited with $rc"
wait_or_fail "the first to come forward" mapped "$win"
kill "$idle" 2>/dev/null || true
kill -0 "$pid" || fail "the first instance ended"
wait_or_fail "still on top after coming back" above "$win"
wait_or_fail "still no taskbar entry after coming back" skip_taskbar "$win"
if [ "$wm" != none ]; then
    active() { xprop -root _NET_ACTIVE_WINDOW | grep -qi "$(printf '0x%x' "$win")"; }
    wait_or_fail "the first to be the active window" active
fi

# A kill -9 leaves the lock file and the socket behind: the next start is not blocked.
kill -9 "$pid"
wait "$pid" 2>/dev/null || true
[ -e "$lockdir/rezazo-_${DISPLAY#:}.lock" ] || fail "no lock file in $lockdir"
# The lock and socket of a display that nobody's lock holds: the next start removes them.
gone=$lockdir/rezazo-_gone$$
: > "$gone.lock"
: > "$gone.sock"
start
wait_or_fail "the tray icon after a crash" icon_docked
[ ! -e "$gone.lock" ] && [ ! -e "$gone.sock" ] || fail "files of an unheld lock stay: $(ls "$lockdir")"
(cd / && exec "$tmp/prog/rezazo"); rc=$?
[ $rc -eq 0 ] || fail "second start after the crash exited with $rc"
[ "$(xdotool search --onlyvisible --name "^Rezazo '98\$" | wc -l)" -eq 1 ] || fail "two widgets"

# --- no tray host: a way back is always kept ----------------------------------------------
xdotool mousemove 378 114 click 1
wait_or_fail "the window into the tray" unmapped "$win"
kill "$trayer_pid"
wait "$trayer_pid" 2>/dev/null || true
wait_or_fail "the window back when the tray host went" mapped "$win"
wait_or_fail "it back at its place" at "$win" 227 110
wait_or_fail "it back without a taskbar entry" skip_taskbar "$win"
# Minimise with no tray host. The window can be back within a double-click time of the
# last click on the glyph: wait that out, so that this is a click of its own.
sleep 0.6
xdotool mousemove 378 114 click 1
if [ "$wm" = none ]; then
    # Nothing could give it back: it stays on the screen.
    sleep 1
    mapped "$win" || fail "minimised with no tray host and no window manager: unreachable"
else
    wait_or_fail "the window iconified" sh -c "xprop -id $win WM_STATE | grep -q Iconic"
    skip_taskbar "$win" && fail "iconified without a taskbar entry"
    xdotool windowactivate "$win"
    wait_or_fail "the window back from the taskbar" mapped "$win"
    wait_or_fail "no taskbar entry after coming back" skip_taskbar "$win"
fi
start_trayer
wait_or_fail "the icon added again when a tray host appeared" icon_docked
# Into the new tray after that taskbar round trip, and the tray host goes: the window is
# not stranded unmapped and out of the taskbar.
sleep 0.6
xdotool mousemove 378 114 click 1
wait_or_fail "the window into the new tray" unmapped "$win"
kill "$trayer_pid"
wait "$trayer_pid" 2>/dev/null || true
wait_or_fail "the window back when the new tray host went" mapped "$win"
wait_or_fail "it back at its place again" at "$win" 227 110
start_trayer  # what follows uses the tray again

stop() {
    kill -TERM "$pid"
    wait_or_fail "the program to end" sh -c "! kill -0 $pid"
}
stop
[ ! -e "$lockdir/rezazo-_${DISPLAY#:}.lock" ] || fail "the lock file stays after the end"

# --- one instance whatever the environment says -------------------------------------------
# Two starts on one display, with and without XDG_RUNTIME_DIR, and a lock folder another
# user made where a lock used to live: one widget all the same.
foreign=/tmp/rezazo-$(id -u)
if [ ! -e "$foreign" ]; then
    mkdir -m 777 "$foreign" && chown nobody "$foreign" 2>/dev/null || true
    remove_at_exit "$foreign"
fi
for envs in "-u XDG_RUNTIME_DIR|XDG_RUNTIME_DIR=$tmp/rt" "XDG_RUNTIME_DIR=$tmp/rt|-u XDG_RUNTIME_DIR"; do
    (cd / && exec env ${envs%|*} "$tmp/prog/rezazo") &
    pid=$!
    menu=  # a window of the last run, whose number a window of this one may take
    end_at_exit "$pid"
    win=$(window_named "^Rezazo '98\$") || fail "the main window did not appear ($envs)"
    err=$(cd / && env ${envs#*|} "$tmp/prog/rezazo" 2>&1) && [ -z "$err" ] || fail "second start ($envs): $err"
    [ "$(xdotool search --onlyvisible --name "^Rezazo '98\$" | wc -l)" -eq 1 ] || fail "two widgets ($envs)"
    stop
done
# Neither the runtime folder nor the home cache can hold the lock: the first start says why
# and guards its files instead; a second one on those files is refused. (Run in a subshell:
# it becomes the program.)
nolock() {
    exec "${private_mounts[@]}" sh -c 'home=$(getent passwd "$(id -u)" | cut -d: -f6)
        if [ -d /run/user ]; then mount -t tmpfs -o mode=755 tmpfs /run/user || exit 9; fi
        c=$home/.cache; [ -d "$c" ] || c=$home
        mount -t tmpfs -o mode=700 tmpfs "$c" && mkdir -p "$home/.cache" || exit 9
        : > "$home/.cache/rezazo"  # a plain file where the lock folder would be made
        cd / && exec "$@"' sh "$tmp/prog/rezazo"
}
if [ $mounts = yes ]; then
    nolock 2>"$tmp/nolock.err" &
    pid=$!
    menu=  # a window of the last run, whose number a window of this one may take
    end_at_exit "$pid"
    win=$(window_named "^Rezazo '98\$") || fail "no window without a lock: $(cat "$tmp/nolock.err")"
    grep -q "no single-instance lock (.*); guarding the files instead" "$tmp/nolock.err" ||
        fail "the start without a lock did not say why: $(cat "$tmp/nolock.err")"
    err=$(nolock 2>&1) || fail "second start without a lock: status $?: $err"
    [[ "$err" == *"already running with the same files"* ]] || fail "second start without a lock: $err"
    [ "$(xdotool search --onlyvisible --name "^Rezazo '98\$" | wc -l)" -eq 1 ] || fail "two widgets without a lock"
    stop
fi

# --- IP.LOG of every shape: linked, dangling, no final newline, one long line, read-only ----
target=$tmp/target/real.log
open_log_and_add() {
    wait_or_fail "the tray icon" icon_docked
    tray_menu
    xdotool key k
    logwin=$(window_named '^IP Logger$') || fail "no log window ($1)"
    xdotool mousemove --window "$logwin" 84 8 click 1
}
long_line() { head -c 1048576 /dev/zero | tr '\0' a > "$log"; }
# case  make-the-log  the-file-to-watch  lines-it-has-after-Add
while IFS='|' read -r name make watch after; do
    rm -rf "$tmp/target" "$log"
    mkdir -p "$tmp/target"
    eval "$make; watch=$watch"
    if [ -f "$watch" ]; then cp "$watch" "$tmp/before"; else : > "$tmp/before"; fi
    start
    open_log_and_add "$name"
    wait_or_fail "the record ($name)" sh -c "[ \$(tr -cd '\\n' < '$watch' | wc -c) -eq $after ]"
    # The old bytes are as they were, whatever their line ends; the record follows them.
    cmp -n "$(stat -c %s "$tmp/before")" "$tmp/before" "$watch" || fail "the old bytes changed ($name)"
    [ "$watch" = "$log" ] || [ -L "$log" ] || fail "the link was replaced ($name)"
    [ "$name" != no-final-newline ] || grep -q $'^no-final-newline\r$' "$log" || fail "record glued: $(cat -A "$log")"
    import -window root "/tmp/rezazo-tray-log-$name-$wm.png"
    stop
done <<'CASES'
link|printf 'old\r\n' > "$target"; ln -s ../target/real.log "$log"|$target|6
dangling|ln -s ../target/real.log "$log"|$target|5
no-final-newline|printf 'line1\r\nno-final-newline' > "$log"|$log|7
long-line|long_line|$log|6
lf-ended|printf 'one\ntwo\n' > "$log"|$log|7
CASES

# A log the user made read-only is left as it is: Add says why, naming it.
printf 'old\r\n' > "$log"
chmod 444 "$log"
kept=$(stat -c %i:%s "$log")
start
open_log_and_add read-only
# Message boxes: the dialogs of the program's title (the main window and the icon have it too).
box() {
    for w in $(xdotool search --onlyvisible --name "^Rezazo '98\$" 2>/dev/null); do
        xprop -id "$w" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q _NET_WM_WINDOW_TYPE_DIALOG && echo "$w"
    done
    return 0
}
has_box() { [ -n "$(box)" ]; }
no_box() { [ -z "$(box)" ]; }
# box_says TEXT: one error box, whose text begins with TEXT; its text is selectable: drag
# over it and read the selection.
box_says() {
    wait_or_fail "the error box saying $1" has_box
    [ "$(box | wc -l)" -eq 1 ] || fail "$(box | wc -l) boxes, want one saying $1"
    b=$(box)
    xdotool mousemove --window "$b" 64 16 mousedown 1 mousemove --window "$b" 200 24 \
        mousemove --window "$b" 390 36 mouseup 1
    wait_or_fail "the box's text selected" sh -c "xclip -o -selection primary | grep -q '${1%% *}'"
    said=$(xclip -o -selection primary | tr '\n' ' ')
    [[ "$said" == "$1"* ]] || fail "the box said: $said"
}
box_says "Cannot create file $log: Permission denied"
import -window root "/tmp/rezazo-tray-log-readonly-$wm.png"
[ "$(stat -c %i:%s "$log")" = "$kept" ] && [ "$(cat "$log")" = $'old\r' ] ||
    fail "the read-only log was replaced: $kept, now $(stat -c %i:%s "$log"): $(cat -A "$log")"
stop

# --- as root: links another user (a uid nobody has) could steer are not followed ---------
# The start-up message names the settings, the log window the log (Add is off); a drag, a
# menu command, a click on Add and the end leave root's files as they were. Given to root,
# the same links are followed, reading and writing.
close_box() { xdotool windowfocus "$(box | head -n1)" key Return; wait_or_fail "the box to close" no_box; }
if [ "$(id -u)" -eq 0 ]; then
    mkdir -p "$tmp/root" "$tmp/cfg/rezazo" && rm -f "$log" "$ini"
    printf 'root log\n' > "$tmp/root/log"
    printf '[TForm1]\nForm1.Left=300\nForm1.Top=200\n' > "$tmp/root/ini"
    kept=$(md5sum "$tmp/root/log" "$tmp/root/ini")
    ln -s "$tmp/root/log" "$log" && ln -s "$tmp/root/ini" "$ini"
    chown -h 54321 "$log" "$ini" "$tmp/prog" "$tmp/cfg/rezazo"
    start
    box_says "The settings file $ini lies in $tmp/cfg/rezazo"
    close_box
    refind_window
    wait_or_fail "the window at its design place" at "$win" 227 110
    drag 10 45 40 0
    box_says "Unable to write to rezazo.ini: it lies in $tmp/cfg/rezazo"
    close_box
    wait_or_fail "the tray icon" icon_docked
    tray_menu
    xdotool key s f Return m  # Settings, Refresh rate (f is shared: Return opens it), Every minute
    open_log_and_add foreign-links
    sleep 1
    no_box || fail "a box for a click on Add while it is off"
    import -window root "/tmp/rezazo-tray-foreign-links-$wm.png"
    stop
    [ "$(md5sum "$tmp/root/log" "$tmp/root/ini")" = "$kept" ] && [ -L "$log" ] && [ -L "$ini" ] ||
        fail "root's files or the links changed: $(cat "$tmp/root/log" "$tmp/root/ini")"
    chown -h 0 "$log" "$ini" "$tmp/prog" "$tmp/cfg/rezazo"
    start
    wait_or_fail "the place read through root's own link" at "$win" 300 200
    open_log_and_add own-links
    wait_or_fail "the record through root's own link" sh -c "[ \$(tr -cd '\\n' < '$tmp/root/log' | wc -c) -eq 6 ]"
    [ "$(head -n1 "$tmp/root/log")" = "root log" ] || fail "the linked log's old line went"
    stop
    grep -q '^Form1.Position=poDesigned' "$tmp/root/ini" || fail "settings not written through the link: $(cat "$tmp/root/ini")"
    [ -L "$log" ] && [ -L "$ini" ] || fail "an own link was replaced"
    rm -f "$log" "$ini"
fi

# --- a full disk: Add, a change and the end each say so, and nothing on disk is lost -------
# The program, its log and its settings on a small disk of its own, filled up; what is on it
# is seen through the program's /proc root, and copied out when the program has ended.
full_disk() {
    "${private_mounts[@]}" sh -c 'small=$1 out=$2
        mount -t tmpfs -o "size=$3k,mode=755" tmpfs "$small" || exit 9
        mkdir -p "$small/prog" "$small/cfg/rezazo" && cp "$4" "$small/prog/rezazo"
        # A log that fills its last page: an Add needs room that a full disk has not.
        { printf "old\r\n"; head -c 4089 /dev/zero | tr "\0" .; printf "\r\n"; } > "$small/prog/IP.LOG"
        printf "[TForm1]\r\nForm1.Left=227\r\nForm1.Top=110\r\n" > "$small/cfg/rezazo/rezazo.ini"
        cat /dev/zero > "$small/fill" 2>/dev/null
        cd / && XDG_CONFIG_HOME=$small/cfg "$small/prog/rezazo" 2>"$out/full.err" &
        echo $! > "$out/full.pid"
        wait $!; echo $? > "$out/full.rc"
        cp "$small/cfg/rezazo/rezazo.ini" "$out/full.ini"; ls -A "$small/prog" "$small/cfg/rezazo" > "$out/full.ls"' \
        sh "$tmp/small" "$tmp" $(($(stat -c %s "$bin") / 1024 + 512)) "$bin"
}
if [ $mounts = yes ]; then
    mkdir -p "$tmp/small"
    full_disk &
    wait_or_fail "the program on a full disk" test -s "$tmp/full.pid"
    pid=$(cat "$tmp/full.pid")
    end_at_exit "$pid"
    win=$(window_named "^Rezazo '98\$") || fail "no window on a full disk: $(cat "$tmp/full.err")"
    refind_window  # the main window, not the icon, which has its name too
    disk=/proc/$pid/root$tmp/small
    log=$tmp/small/prog/IP.LOG
    open_log_and_add full-disk
    box_says "Cannot create file $log: No space left on device"
    [ "$(head -n1 "$disk/prog/IP.LOG")" = $'old\r' ] && [ "$(stat -c %s "$disk/prog/IP.LOG")" = 4096 ] ||
        fail "IP.LOG on a full disk: $(head -c 200 "$disk/prog/IP.LOG" | cat -A)"
    [ "$(ls -A "$disk/prog")" = "$(printf 'IP.LOG\nrezazo')" ] || fail "left on the full disk: $(ls -A "$disk/prog")"
    import -window root "/tmp/rezazo-tray-fulldisk-$wm.png"
    close_box
    # A change that cannot be written is said once, with the reason; more changes while the
    # disk stays full, one within the second after another, bring no more boxes.
    # A drag of the skin 40 pixels to the right, seen done. Each starts where the last one
    # ended: apart by more than a double-click time, lest the press be a double click.
    move_right() {
        local x y
        read -r x y < <(position)
        sleep 0.6
        drag 10 45 40 0
        wait_for 20 position_is $((x + 40)) "$y" || fail "the window moved to $((x + 40)), $y: now $(position), $(xwininfo -id $win | head -12)"
    }
    on_disk() { grep -q "^Form1.Left=$(position | cut -d' ' -f1)\$" "$disk/cfg/rezazo/rezazo.ini"; }
    move_right
    box_says "Unable to write to rezazo.ini: No space left on device"
    import -window root "/tmp/rezazo-tray-fulldisk-settings-$wm.png"
    close_box
    move_right
    move_right
    sleep 2
    no_box || fail "another box while the disk stays full"
    ! on_disk || fail "written to a full disk"
    # Room again: the next change is written, and Add writes the record the memo kept too.
    rm "$disk/fill"
    move_right
    wait_or_fail "the place written once there is room" on_disk
    no_box || fail "a box although the write worked"
    xdotool mousemove --window "$logwin" 84 8 click 1
    wait_or_fail "both records" sh -c "[ \$(tr -cd '\\n' < '$disk/prog/IP.LOG' | wc -c) -eq 12 ]"
    [ "$(head -n1 "$disk/prog/IP.LOG")" = $'old\r' ] || fail "the old record went: $(cat -A "$disk/prog/IP.LOG")"
    # Full again: after a write that worked, a failure is news again; the end says so too
    # and leaves the last good file.
    cat /dev/zero > "$disk/fill" 2>/dev/null || true
    move_right
    box_says "Unable to write to rezazo.ini: No space left on device"
    good=$(cat "$disk/cfg/rezazo/rezazo.ini")
    kill -TERM "$pid"
    wait_or_fail "the end on a full disk" test -s "$tmp/full.rc"
    [ "$(cat "$tmp/full.rc")" = 1 ] || fail "exit status $(cat "$tmp/full.rc") on a full disk"
    grep -q "Unable to write to rezazo.ini: No space left on device" "$tmp/full.err" ||
        fail "the end did not say why: $(cat "$tmp/full.err")"
    [ "$(cat "$tmp/full.ini")" = "$good" ] || fail "the settings changed: $(cat "$tmp/full.ini")"
    ! grep -q '^\.' "$tmp/full.ls" || fail "temporary files left: $(cat "$tmp/full.ls")"
fi
echo "tray ok ($wm)"
