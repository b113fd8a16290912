#!/usr/bin/env bash
# Settings survive a restart: a first run writes the design values; a run started from a
# file that puts the window at 300, 200 with "Every minute" checked opens there and, ended
# by SIGTERM, writes the file back with the worked keys in their order.
set -euo pipefail
bin=$1
[ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1 || { echo "no X display"; exit 77; }
export XDG_CONFIG_HOME=$(mktemp -d)
trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT
ini=$XDG_CONFIG_HOME/rezazo/rezazo.ini

run_until_shown() {
    env -u QT_QPA_PLATFORM "$bin" &
    pid=$!
    win=$(timeout 20 xdotool search --sync --onlyvisible --name "^Rezazo '98\$" | head -n1)
    [ -n "$win" ] || { echo "window did not appear"; kill $pid; exit 1; }
    sleep 0.5
}
stop() {
    kill -TERM $pid
    for _ in $(seq 100); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
    if kill -0 $pid 2>/dev/null; then echo "did not end on SIGTERM"; kill -9 $pid; exit 1; fi
    wait $pid
}
expected() {  # $1 left, $2 top, $3 N1sec1, $4 Onceaminute1, $5 interval line or empty
    printf '%s\n' '[TForm1]' "Form1.Left=$1" "Form1.Top=$2" 'Form1.Position=poDesigned' \
        'Label1.Font.Color=clBlack' 'Label1.Font.Height=-8' "Label1.Font.Name=''Small Fonts''" \
        'Label1.Font.Style=[]' "N1sec1.Checked=$3" "Onceaminute1.Checked=$4" 'off1.Checked=False' \
        'Compact1.Checked=False' 'AlwaysOnTop1.Checked=False' 'Snaptoedge1.Checked=True'
    [ -n "$5" ] && printf '%s\n' "$5"
    printf '%s\n' 'FontDialog1.Font.Color=clWindowText' 'FontDialog1.Font.Height=-11' \
        "FontDialog1.Font.Name=''MS Sans Serif''" 'FontDialog1.Font.Style=[]'
}

# First run, no settings file.
run_until_shown
stop
diff <(expected 227 110 True False "") "$ini" || { echo "first run wrote something else"; exit 1; }

# A file that moves the window and picks "Every minute".
expected 300 200 False True "Timer1.Interval=60000" > "$ini"
run_until_shown
info=$(xwininfo -id "$win")
echo "$info" | grep -q 'Absolute upper-left X:  300' || { echo "left: $info"; exit 1; }
echo "$info" | grep -q 'Absolute upper-left Y:  200' || { echo "top: $info"; exit 1; }
stop
diff <(expected 300 200 False True "Timer1.Interval=60000") "$ini" || { echo "second run wrote something else"; exit 1; }
echo "settings ok"
