#!/usr/bin/env bash
# A damaged or hand-edited rezazo.ini never stops the widget. Seven settings files, each
# with the sound keys Form1.Left=311 and Form1.Top=213 and one kind of damage, are started
# side by side. For each: the window appears at 311, 213; the program still runs ten seconds
# later; exactly one message names the file and every skipped key (none appears when nothing
# was skipped); SIGTERM, sent while that message is still open, writes a good file. An eighth,
# sound but read-only file is not replaced at SIGTERM: the error goes to standard error, no
# message waits for a click, and the program ends with status 1. A named pipe, a link to
# /dev/zero and a directory in the file's place are not read: the window opens at the
# design place, one message says what the file is, and SIGTERM ends the program, which
# leaves the thing as it was and says on standard error that it could not write.
# One widget runs per user and display, so each file gets an X server of its own.
set -euo pipefail
bin=$1
source "$(dirname "$0")/common.sh"
need_display
work=$(mktemp -d)
remove_at_exit "$work"
declare -A pid

cases=(value property component blanks parenbrace nesting megabyte readonly fifo devzero directory)
# What the start-up message says of a file in whose place lies something else.
declare -A unusable=([fifo]="is not a regular file" [devzero]="is not a regular file"
    [directory]="is a directory")
# The keys each case must name as skipped ("" for none); the megabyte case names the first
# key that did not fit the key names' budget.
declare -A skipped=(
    [value]="Label1.Font.Height Snaptoedge1.Checked" [property]="N1sec1.Chekced" [component]=""
    [blanks]="" [parenbrace]="Form1.Left({" [nesting]="Label1.Font.Style Label1.Items<item(0)>"
    [megabyte]="" [readonly]="" [fifo]="" [devzero]="" [directory]="")

damage() {  # damage CASE: the lines after the sound keys
    case $1 in
    value) printf '%s\n' 'Label1.Font.Height=abc' 'Snaptoedge1.Checked=Maybe' ;;
    property) printf '%s\n' 'N1sec1.Chekced=True' ;;
    component) printf '%s\n' 'Snaptoegde1.Checked=False' ;;
    blanks) printf '%s\n' "Label1.Font.Name = ''Arial''  " ' N1sec1.Checked = False' \
        'Onceaminute1.Checked=	"True"' ;;
    parenbrace) printf '%s\n' 'Form1.Left({=1' ;;
    nesting)
        printf 'Label1.Font.Style=%s\n' "$(head -c 50000 /dev/zero | tr '\0' '(')"
        printf 'Label1.Items%s.Caption=1\n' "$(for _ in $(seq 400); do printf '<item(0)>.Items'; done)" ;;
    megabyte) seq 1 50000 | awk '{ printf "Gone%d.Checked=True\n", $1 }' ;;
    readonly) ;;
    esac
}

expected() {  # expected FONTNAME N1SEC ONCE INTERVAL-LINE
    printf '%s\n' '[TForm1]' 'Form1.Left=311' 'Form1.Top=213' 'Form1.Position=poDesigned' \
        'Label1.Font.Color=clBlack' 'Label1.Font.Height=-8' "Label1.Font.Name=''$1''" \
        'Label1.Font.Style=[]' "N1sec1.Checked=$2" "Onceaminute1.Checked=$3" 'off1.Checked=False' \
        'Compact1.Checked=False' 'AlwaysOnTop1.Checked=False' 'Snaptoedge1.Checked=True'
    [ -n "$4" ] && printf '%s\n' "$4"
    printf '%s\n' 'FontDialog1.Font.Color=clWindowText' 'FontDialog1.Font.Height=-11' \
        "FontDialog1.Font.Name=''MS Sans Serif''" 'FontDialog1.Font.Style=[]'
}

# The visible windows of a process named "Rezazo '98": "main" for the 164 x 51 widget, the
# others are messages.
windows() {  # windows PID KIND
    for w in $(xdotool search --all --onlyvisible --pid "$1" --name "^Rezazo '98\$" 2>/dev/null); do
        if xwininfo -id "$w" | grep -q 'Width: 164$'; then k=main; else k=message; fi
        if [ "$k" = "$2" ]; then echo "$w"; fi
    done
}

declare -A display
n=${REZAZO_E2E_FIRST_DISPLAY:-300}
for c in "${cases[@]}"; do
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
    at_exit "kill $! 2>/dev/null"
    display[$c]=:$n
    n=$((n + 1))
done
for c in "${cases[@]}"; do
    DISPLAY=${display[$c]} wait_for 20 xdpyinfo >/dev/null 2>&1 || fail "$c: no X server on ${display[$c]}"
done

started=$SECONDS
for c in "${cases[@]}"; do
    mkdir -p "$work/$c/rezazo" "$work/$c/run"
    chmod 700 "$work/$c/run"
    case $c in
    fifo) mkfifo "$work/$c/rezazo/rezazo.ini" ;;
    devzero) ln -s /dev/zero "$work/$c/rezazo/rezazo.ini" ;;
    directory) mkdir "$work/$c/rezazo/rezazo.ini" ;;
    *) { printf '[TForm1]\r\nForm1.Left=311\r\nForm1.Top=213\r\n'; damage "$c"; } >"$work/$c/rezazo/rezazo.ini" ;;
    esac
    [ "$c" = readonly ] && chmod 444 "$work/$c/rezazo/rezazo.ini"
    DISPLAY=${display[$c]} XDG_CONFIG_HOME=$work/$c XDG_RUNTIME_DIR=$work/$c/run env -u QT_QPA_PLATFORM "$bin" \
        >"$work/$c.log" 2>&1 &
    pid[$c]=$!
    end_at_exit "${pid[$c]}"
done
[ "$(stat -c %s "$work/megabyte/rezazo/rezazo.ini")" -gt 1000000 ] || fail "megabyte: file too small"

# Every window appears, where the sound keys put it.
for c in "${cases[@]}"; do
    export DISPLAY=${display[$c]}
    win=""
    for _ in $(seq 150); do
        kill -0 "${pid[$c]}" 2>/dev/null || fail "$c: the program ended: $(tail -3 "$work/$c.log")"
        win=$(windows "${pid[$c]}" main)
        [ -n "$win" ] && break
        sleep 0.1
    done
    # A reader blocked on the pipe or reading /dev/zero forever would never show one; the
    # bound is loose because eleven programs start at once on a shared machine.
    [ -n "$win" ] || fail "$c: no window within 15 s"
    [ -z "${unusable[$c]:-}" ] || echo "$c: window after $((SECONDS - started)) s"
    info=$(xwininfo -id "$win")
    if [ -n "${unusable[$c]:-}" ]; then x=227 y=110; else x=311 y=213; fi
    echo "$info" | grep -q "Absolute upper-left X:  $x\$" || fail "$c: left: $info"
    echo "$info" | grep -q "Absolute upper-left Y:  $y\$" || fail "$c: top: $info"
done
echo "all windows in place after $((SECONDS - started)) s"

# Ten seconds on, every program still runs.
while [ $((SECONDS - started)) -le 10 ]; do sleep 0.5; done
for c in "${cases[@]}"; do
    kill -0 "${pid[$c]}" 2>/dev/null || fail "$c: ended within ten seconds: $(tail -3 "$work/$c.log")"
done

for c in "${cases[@]}"; do
    export DISPLAY=${display[$c]}
    ini=$work/$c/rezazo/rezazo.ini
    mapfile -t boxes < <(windows "${pid[$c]}" message)
    if [ -z "${skipped[$c]}" ] && [ "$c" != megabyte ] && [ -z "${unusable[$c]:-}" ]; then
        [ ${#boxes[@]} = 0 ] || fail "$c: a message although nothing was skipped"
    else
        [ ${#boxes[@]} = 1 ] || fail "$c: ${#boxes[@]} messages, want one"
        # The message's text is selectable: select it all and copy it (again, should the
        # click come before the box takes it on a busy machine).
        text=""
        for _ in $(seq 5); do
            xdotool windowraise "${boxes[0]}"
            sleep 0.2
            xdotool mousemove --window "${boxes[0]}" 150 40 click 1 key --clearmodifiers ctrl+a \
                key --clearmodifiers ctrl+c
            for _ in $(seq 10); do
                text=$(timeout 2 xclip -o -selection clipboard 2>/dev/null || true)
                [[ "$text" == *"$ini"* ]] && break 2
                sleep 0.1
            done
        done
        [[ "$text" == *"$ini"* ]] || fail "$c: message does not name $ini: $text"
        for k in ${skipped[$c]}; do
            [[ "$text" == *"$k"* ]] || fail "$c: message does not name $k: $text"
        done
        if [ -n "${unusable[$c]:-}" ]; then
            [[ "$text" == *"$ini ${unusable[$c]}"* ]] || fail "$c: message: $text"
        fi
        if [ "$c" = megabyte ]; then
            # Key names fill 8192 bytes with their zeros: the two sound keys and Gone1..Gone517.
            [[ "$text" == *"49483 keys from Gone518.Checked on were not read"* ]] ||
                fail "$c: message: $text"
        fi
    fi
    # Ended while the message is open: the settings are written, and nothing waits for a click.
    kill -TERM "${pid[$c]}"
    wait_for 10 process_gone "${pid[$c]}" || fail "$c: did not end on SIGTERM"
    status=0
    wait "${pid[$c]}" || status=$?
    unset "pid[$c]"
    if [ -n "${unusable[$c]:-}" ]; then
        [ $status = 1 ] || fail "$c: exit status $status, want 1: $(cat "$work/$c.log")"
        grep -q "Unable to write to rezazo.ini" "$work/$c.log" || fail "$c: stderr: $(cat "$work/$c.log")"
        case $c in
        fifo) [ -p "$ini" ] ;;
        devzero) [ "$(readlink "$ini")" = /dev/zero ] ;;
        directory) [ -d "$ini" ] && [ -z "$(ls -A "$ini")" ] ;;
        esac || fail "$c: the file's place changed: $(ls -la "$(dirname "$ini")")"
        continue
    fi
    if [ "$c" = readonly ]; then
        [ $status = 1 ] || fail "$c: exit status $status, want 1: $(cat "$work/$c.log")"
        grep -q "Unable to write to rezazo.ini" "$work/$c.log" || fail "$c: stderr: $(cat "$work/$c.log")"
        diff <(printf '[TForm1]\r\nForm1.Left=311\r\nForm1.Top=213\r\n'; damage "$c") "$ini" ||
            fail "$c: the read-only file changed"
        continue
    fi
    [ $status = 0 ] || fail "$c: exit status $status"
    case $c in
    blanks) want=$(expected Arial False True 'Timer1.Interval=60000') ;;
    *) want=$(expected 'Small Fonts' True False '') ;;
    esac
    diff <(echo "$want") "$ini" || fail "$c: wrote something else"
done
echo "damaged settings ok"
