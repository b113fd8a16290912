#!/usr/bin/env bash
# The real program on the X display: a 164 x 51 window at +227+110 named "Rezazo '98",
# undecorated, kept out of the taskbar, and ended in order by SIGTERM.
set -euo pipefail
bin=$1
[ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1 || { echo "no X display"; exit 77; }
export XDG_CONFIG_HOME=$(mktemp -d)
trap 'kill $pid 2>/dev/null || true; rm -rf "$XDG_CONFIG_HOME"' EXIT
env -u QT_QPA_PLATFORM "$bin" &
pid=$!
win=$(timeout 20 xdotool search --sync --onlyvisible --name "^Rezazo '98\$" | head -n1)
[ -n "$win" ] || { echo "window did not appear"; exit 1; }
sleep 0.5
info=$(xwininfo -id "$win")
echo "$info" | grep -q 'Width: 164' || { echo "width: $info"; exit 1; }
echo "$info" | grep -q 'Height: 51' || { echo "height: $info"; exit 1; }
echo "$info" | grep -q 'Absolute upper-left X:  227' || { echo "left: $info"; exit 1; }
echo "$info" | grep -q 'Absolute upper-left Y:  110' || { echo "top: $info"; exit 1; }
state=$(xprop -id "$win" _NET_WM_STATE)
echo "$state" | grep -q '_NET_WM_STATE_SKIP_TASKBAR' || { echo "state: $state"; exit 1; }
# Undecorated: the Motif hints ask for no decorations (flags bit 1 set, decorations 0).
hints=$(xprop -id "$win" _MOTIF_WM_HINTS)
echo "$hints" | grep -Eq '= (0x)?[0-9a-f]*[2367abef], [0-9a-fx]+, 0x0|= [0-9]+, [0-9]+, 0,' || { echo "hints: $hints"; exit 1; }
kill -TERM $pid
for _ in $(seq 100); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
if kill -0 $pid 2>/dev/null; then echo "did not end on SIGTERM"; exit 1; fi
wait $pid
echo "main window ok"
