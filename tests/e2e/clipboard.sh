#!/usr/bin/env bash
# The copy commands put the bare address on the clipboard. With a clipboard manager
# running, the text is handed over when the program ends and stays on the clipboard; with
# none, it is there while the program runs.
set -euo pipefail
bin=$1
xwatch=$2
source "$(dirname "$0")/common.sh"
need_display

clip() { timeout 5 xclip -o -selection clipboard 2>/dev/null; }
clip_is() { [ "$(clip)" = "$1" ]; }
copy_ip() {
    system_menu c Return i  # "Close" shares the letter c: it only highlights
    wait_for 5 window_count_is 1 || fail "menu still open after the copy"
    # The copy comes with the probe's fresh answer, a moment after the choice.
    wait_for 5 sh -c "[ -n \"\$(timeout 5 xclip -o -selection clipboard 2>/dev/null)\" ]" || true
}

# No clipboard manager: the text is there while the program runs.
start_program
copy_ip
text=$(clip) || true
[[ "$text" =~ ^[0-9]+\.[0-9]+\.[0-9]+\.[0-9]+$ || -z "$text" ]] || fail "clipboard holds '$text', not a bare address"
[ -n "$text" ] || fail "nothing on the clipboard after the copy"
stop_program

# With a manager: it takes the text over at exit.
log=$(mktemp)
remove_at_exit "$log"
"$xwatch" clipboard-manager 60 >"$log" &
end_at_exit $!
wait_for 5 grep -q ready "$log" || fail "the test's clipboard manager did not start"
start_program
copy_ip
wait_for 5 clip_is "$text" || fail "clipboard holds '$(clip)', not '$text'"
stop_program
grep -qx "saved $text" "$log" || fail "the manager was not handed the text: $(cat "$log")"
wait_for 5 clip_is "$text" || fail "after the program ended the clipboard holds '$(clip)'"
echo "clipboard ok"
