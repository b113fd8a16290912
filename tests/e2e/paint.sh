#!/usr/bin/env bash
# Repaints stay in their rectangles: over 15 seconds the window's damage is only the
# marquee's 67 x 13 rectangle (every 50 ms tick) and the indicator's 11 x 15 rectangle
# (every frame), never the whole window. Prints the rates seen.
set -euo pipefail
bin=$1
xwatch=$2
source "$(dirname "$0")/common.sh"
need_display

start_program
sleep 1
log=$(mktemp)
remove_at_exit "$log"
"$xwatch" damage "$win" 15 >"$log"
# The first report is the window's whole content, damaged when watching starts.
rects=$(tail -n +2 "$log" | awk '{print $2, $3, $4, $5}')
label=$(grep -cx '78 31 67 13' <<<"$rects" || true)
indicator=$(grep -cx '142 23 11 15' <<<"$rects" || true)
others=$(grep -vx -e '78 31 67 13' -e '142 23 11 15' <<<"$rects" | sort | uniq -c || true)
echo "in 15 s: marquee $label repaints ($(awk "BEGIN {print $label / 15}") px/s), indicator $indicator frames"
[ -z "$others" ] || fail "damage outside the marquee and the indicator: $others"
[ "$label" -gt 0 ] || fail "the marquee never repainted"
[ "$indicator" -gt 0 ] || fail "the indicator never changed frame"
stop_program
echo "paint ok"
