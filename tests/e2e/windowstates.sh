#!/usr/bin/env bash
# The framework's window states on the real display, through the toolkit's own hide and
# show: the X11 test of the framework, once with no window manager and once under openbox.
set -euo pipefail
bin=$1
tests=$2
source "$(dirname "$0")/common.sh"
need_display
run() {
    QT_QPA_PLATFORM=xcb "$tests" --gtest_filter='WindowStatesOnX11.*' --gtest_brief=1 >"$out" 2>&1 ||
        { cat "$out"; fail "$1"; }
    grep -q '1 test' "$out" && ! grep -q SKIPPED "$out" || { cat "$out"; fail "$1: the test did not run"; }
}
out=$(mktemp)
remove_at_exit "$out"
if wm_running; then
    run "under the running window manager"
else
    run "with no window manager"
    start_openbox
    run "under openbox"
    stop_openbox
fi
echo "window states ok"
