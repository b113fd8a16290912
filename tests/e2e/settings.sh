#!/usr/bin/env bash
# Settings survive a restart: a first run writes the design values; a run started from a
# file that puts the window at 300, 200 with "Every minute" checked opens there and, ended
# by SIGTERM, writes the file back with the worked keys in their order. Changes reach the file
# while the program runs, so that an end without a save keeps them: a drag, then the X server
# killed (with no window manager, and under openbox, which is killed first); a menu command,
# then SIGKILL a second later. A session manager's checkpoint writes at once what changed
# within the second and leaves the program running; its logout ends it in order.
#   settings.sh PROGRAM SESSION-MANAGER-STUB
set -euo pipefail
bin=$1
stub=${2:-}
source "$(dirname "$0")/common.sh"
need_display
ini=$XDG_CONFIG_HOME/rezazo/rezazo.ini

expected() {  # $1 left, $2 top, $3 N1sec1, $4 Onceaminute1, $5 interval line or empty
    printf '%s\n' '[TForm1]' "Form1.Left=$1" "Form1.Top=$2" 'Form1.Position=poDesigned' \
        'Label1.Font.Color=clBlack' 'Label1.Font.Height=-8' "Label1.Font.Name=''Small Fonts''" \
        'Label1.Font.Style=[]' "N1sec1.Checked=$3" "Onceaminute1.Checked=$4" 'off1.Checked=False' \
        'Compact1.Checked=False' 'AlwaysOnTop1.Checked=False' 'Snaptoedge1.Checked=True'
    [ -n "$5" ] && printf '%s\n' "$5"
    printf '%s\n' 'FontDialog1.Font.Color=clWindowText' 'FontDialog1.Font.Height=-11' \
        "FontDialog1.Font.Name=''MS Sans Serif''" 'FontDialog1.Font.Style=[]'
}

# First run, no settings file: the file is written as the program ends.
start_program
wait_for 10 geometry_is "$win" "164x51+227+110" || { echo "first run at $(geometry_of "$win")"; exit 1; }
stop_program
diff <(expected 227 110 True False "") "$ini" || { echo "first run wrote something else"; exit 1; }

# A file that moves the window and picks "Every minute", beside the half-written copy that a
# killed save leaves (it goes at start) and a file that only looks like one (it stays).
expected 300 200 False True "Timer1.Interval=60000" > "$ini"
echo half > "$(dirname "$ini")/.rezazo.ini.Ab12Cd"
echo mine > "$(dirname "$ini")/.rezazo.ini.notours"
start_program
wait_for 10 geometry_is "$win" "164x51+300+200" || { echo "second run at $(geometry_of "$win")"; exit 1; }
[ ! -e "$(dirname "$ini")/.rezazo.ini.Ab12Cd" ] || fail "the stale temporary file is still there"
[ -e "$(dirname "$ini")/.rezazo.ini.notours" ] || fail "a file not ours was removed"
rm "$(dirname "$ini")/.rezazo.ini.notours"
stop_program
diff <(expected 300 200 False True "Timer1.Interval=60000") "$ini" || { echo "second run wrote something else"; exit 1; }
# ended_without_save HOW: the program's end that gives it no chance to save.
ended_without_save() {
    case $1 in
    x-server | openbox-then-x-server)
        [ "$1" = openbox-then-x-server ] && stop_openbox
        kill "$xserver"
        wait_for 10 process_gone "$pid" || fail "$1: the program outlived its X server" ;;
    sigkill) kill -KILL "$pid" ;;
    esac
    wait "$pid" 2>/dev/null || true
}

ambient=$DISPLAY
for how in x-server openbox-then-x-server sigkill; do
    fresh_config
    ini=$XDG_CONFIG_HOME/rezazo/rezazo.ini
    if [ "$how" = sigkill ]; then
        export DISPLAY=$ambient
    else
        own_display 131
        xserver=$xserver_pid
    fi
    [ "$how" = openbox-then-x-server ] && start_openbox
    start_program
    refind_window
    wait_for 10 position_is 227 110 || fail "$how: start at $(position)"
    if [ "$how" = sigkill ]; then
        system_menu s a a  # Always On Top
        want='^AlwaysOnTop1.Checked=True$'
    else
        drag 10 45 200 200
        wait_for 10 position_is 427 310 || fail "$how: dragged to $(position)"
        want='^Form1.Left=427$'
    fi
    sleep 1
    ended_without_save "$how"
    grep -q "$want" "$ini" || fail "$how: the file lacks $want: $(cat "$ini" 2>&1)"
    ls -A "$(dirname "$ini")" | grep -q '^\.rezazo' && fail "$how: a temporary file was left"
done

# The session manager: two drags within a second (the second one's write waits for the
# second to pass), then a checkpoint: the file has the second place at once.
[ -x "$stub" ] || missing "the session manager stub"
export DISPLAY=$ambient
fresh_config
ini=$XDG_CONFIG_HOME/rezazo/rezazo.ini
session=$(mktemp -d)
remove_at_exit "$session"
mkfifo "$session/commands"
"$stub" <"$session/commands" >"$session/said" &
end_at_exit $!
exec 3>"$session/commands"
wait_for 5 test -s "$session/said" || fail "the session manager did not start"
said() { grep -c -x "$1" "$session/said" | grep -q -x "${2:-1}"; }
start_program SESSION_MANAGER="$(head -n1 "$session/said")"
refind_window
wait_for 10 said "registered 1" || fail "the program did not register with the session manager"
drag 10 45 100 100
wait_for 10 position_is 327 210 || fail "session: dragged to $(position)"
drag 10 45 50 50
wait_for 10 position_is 377 260 || fail "session: dragged again to $(position)"
echo checkpoint >&3
wait_for 10 said "saved 1/1" || fail "no answer to the checkpoint: $(cat "$session/said")"
grep -q '^Form1.Left=377$' "$ini" || fail "the checkpoint did not write the second drag: $(cat "$ini" 2>&1)"
sleep 1
process_gone "$pid" && fail "the program ended at a checkpoint"
# The logout: the answer, then "die" ends the program in order, with what it keeps written.
drag 10 45 -100 -100
wait_for 10 position_is 277 160 || fail "session: dragged back to $(position)"
echo shutdown >&3
wait_for 10 said died || fail "no answer to the logout: $(cat "$session/said")"
wait_for 10 process_gone "$pid" || fail "the program outlived the session's die"
rc=0
wait "$pid" || rc=$?
[ "$rc" -eq 0 ] || fail "ended at the session's die with status $rc"
grep -q '^Form1.Left=277$' "$ini" || fail "the logout lost the last drag: $(cat "$ini" 2>&1)"
exec 3>&-
echo "settings ok"
