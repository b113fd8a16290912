#!/usr/bin/env bash
# Without a display the program says so in one line and ends with status 1: DISPLAY unset,
# and DISPLAY naming a display where no server listens.
set -euo pipefail
bin=$1
source "$(dirname "$0")/common.sh"  # no need_display: this one runs without
free=200
while [ -e "/tmp/.X11-unix/X$free" ] || [ -e "/tmp/.X$free-lock" ]; do free=$((free + 1)); done
for how in unset ":$free"; do
    set +e
    if [ "$how" = unset ]; then
        err=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 20 "$bin" 2>&1 >/dev/null)
    else
        err=$(env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY="$how" timeout 20 "$bin" 2>&1 >/dev/null)
    fi
    rc=$?
    set -e
    [ $rc -eq 1 ] || { echo "DISPLAY $how: status $rc, not 1 ($err)"; exit 1; }
    [ "$(printf '%s\n' "$err" | wc -l)" -eq 1 ] || { echo "DISPLAY $how: more than one line: $err"; exit 1; }
    [[ "$err" == "rezazo: cannot open display "* ]] || { echo "DISPLAY $how: said '$err'"; exit 1; }
    if [ "$how" != unset ]; then [[ "$err" == *"$how"* ]] || { echo "does not name $how: $err"; exit 1; }; fi
done
echo "no display ok"
