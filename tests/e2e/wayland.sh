#!/usr/bin/env bash
# Under a Wayland compositor the program runs on XWayland: started with WAYLAND_DISPLAY set
# (and no platform asked for) it maps its window at its stored place and, ended by SIGTERM,
# writes its settings back, from which it starts at the same place again. Weston with
# XWayland on its headless back end stands in for the desktop; where weston cannot start
# here the test is skipped (77).
set -euo pipefail
bin=$1
source "$(dirname "$0")/common.sh"  # no need_display: the compositor brings its own
command -v weston >/dev/null || missing weston
command -v Xwayland >/dev/null || missing Xwayland
tmp=$(mktemp -d)
remove_at_exit "$tmp"
export XDG_RUNTIME_DIR=$tmp/run
mkdir -m 700 "$XDG_RUNTIME_DIR"

# Weston starts XWayland on the first free display number; the new socket tells which.
before=$(ls /tmp/.X11-unix 2>/dev/null || true)
weston --backend=headless-backend.so --xwayland --socket=rezazo-wl --width=800 --height=600 \
    --idle-time=0 --no-config >"$tmp/weston.log" 2>&1 &
weston_pid=$!
at_exit "kill $weston_pid 2>/dev/null; wait $weston_pid 2>/dev/null"
new_x_socket() {
    local s
    for s in $(ls /tmp/.X11-unix 2>/dev/null); do
        grep -qx "$s" <<<"$before" || { echo "${s#X}"; return 0; }
    done
    return 1
}
if ! wait_for 20 new_x_socket >/dev/null || [ ! -S "$XDG_RUNTIME_DIR/rezazo-wl" ]; then
    echo "weston did not start with XWayland here:"
    cat "$tmp/weston.log"
    exit 77
fi
export DISPLAY=":$(new_x_socket)" WAYLAND_DISPLAY=rezazo-wl
unset XDG_SESSION_TYPE
wait_for 20 xdpyinfo >/dev/null 2>&1 || fail "XWayland on $DISPLAY does not answer"

ini=$XDG_CONFIG_HOME/rezazo/rezazo.ini
mkdir -p "$(dirname "$ini")"
printf '%s\n' '[TForm1]' 'Form1.Left=300' 'Form1.Top=200' >"$ini"
start_program
wait_for 10 geometry_is "$win" "164x51+300+200" || fail "mapped at $(geometry_of "$win"), not +300+200"
# The headless compositor has no pointer, and XWayland ends on synthetic pointer input (XTEST
# motion): the window is not dragged here. Ended by SIGTERM it writes its settings at once.
stop_program
grep -qx 'Form1.Left=300' "$ini" && grep -qx 'Form1.Top=200' "$ini" ||
    fail "the place was not kept at exit: $(cat "$ini")"
grep -qx 'Compact1.Checked=False' "$ini" || fail "the settings were not written at exit: $(cat "$ini")"
# The file it wrote brings it back to the same place.
start_program
wait_for 10 geometry_is "$win" "164x51+300+200" || fail "restarted at $(geometry_of "$win")"
stop_program
echo "wayland ok ($(Xwayland -version 2>&1 | head -n1), $(weston --version))"
