#!/usr/bin/env bash
# Settings survive a restart: a first run writes the design values; a run started from a
# file that puts the window at 300, 200 with "Every minute" checked opens there and, ended
# by SIGTERM, writes the file back with the worked keys in their order.
set -euo pipefail
bin=$1
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

# A file that moves the window and picks "Every minute".
expected 300 200 False True "Timer1.Interval=60000" > "$ini"
start_program
wait_for 10 geometry_is "$win" "164x51+300+200" || { echo "second run at $(geometry_of "$win")"; exit 1; }
stop_program
diff <(expected 300 200 False True "Timer1.Interval=60000") "$ini" || { echo "second run wrote something else"; exit 1; }
echo "settings ok"
