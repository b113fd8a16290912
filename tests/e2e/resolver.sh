#!/usr/bin/env bash
# The program on a machine whose own name only DNS could answer, in a network, mount and
# host-name namespace of its own: /etc/hosts without the name, and a bridge holding
# 192.0.2.55 as the machine's only address.
# 1. The DNS server swallows every query and the name is 64 characters long: the window
#    paints, the marquee moves, the menu opens, the address shown is the bridge's, the name
#    shown is whole, and SIGTERM ends the program long before the resolver gives up.
# 2. No DNS server at all, so the lookup fails at once: the bridge's address at once.
# Run with no window manager, and under openbox when REZAZO_E2E_WM=openbox.
set -euo pipefail
bin=$1
source "$(dirname "$0")/common.sh"
need_display
netns=(unshare --net --mount --uts --propagation private)
if [ "$(id -u)" -ne 0 ] || ! "${netns[@]}" true 2>/dev/null; then
    [ -z "${REZAZO_E2E_REQUIRED:-}" ] || fail "no private network namespace (run as root)"
    echo "no private network namespace here (needs root): skipped"
    exit 77
fi
command -v ip >/dev/null || missing ip
[ "${REZAZO_E2E_WM:-}" = openbox ] && start_openbox
tmp=$(mktemp -d)
remove_at_exit "$tmp"
printf '127.0.0.1\tlocalhost\n' > "$tmp/hosts"
# Only the attempts the resolver would wait through: a program waiting for them ends late.
printf 'nameserver 127.0.0.1\noptions timeout:30 attempts:5\n' > "$tmp/resolv.conf"
# No two of its glyphs alike in a row, so that each step of the marquee shows.
long_name=$(printf 'abcdefghijklmnopqrstuvwxyz0123456789%.0s' 1 2 | cut -c1-64)

# start_offline NAME SWALLOW: the program in its namespace; with SWALLOW=yes a DNS server
# there reads queries and never answers (its process id lands in $tmp/swallower).
start_offline() {
    "${netns[@]}" bash -c '
        set -e
        ip link set lo up
        ip link add br0 type bridge
        ip addr add 192.0.2.55/24 dev br0
        ip link set br0 up
        hostname "$1"
        mount --bind "$2/hosts" /etc/hosts
        mount --bind "$2/resolv.conf" /etc/resolv.conf
        if [ "$3" = yes ]; then
            python3 -c "
import socket
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
s.bind((\"127.0.0.1\", 53))
while True:
    s.recv(512)
" &
            echo $! > "$2/swallower"
        fi
        exec env -u QT_QPA_PLATFORM "$4"' offline "$1" "$tmp" "$2" "$bin" &
    pid=$!
    end_at_exit "$pid"
    win=$(timeout 20 xdotool search --sync --onlyvisible --name "^Rezazo '98\$" | head -n1) || true
    [ -n "$win" ] || fail "window did not appear ($1)"
}
clip() { timeout 5 xclip -o -selection clipboard 2>/dev/null; }
clip_is() { [ "$(clip)" = "$1" ]; }
# copy KEY: Shift+F10 opens the system menu, then Copy to clipboard > KEY.
copy() {
    printf 'none' | xclip -selection clipboard
    point_at 10 45  # a click gives the window the keys
    xdotool click 1
    sleep 0.3
    xdotool key shift+F10
    wait_for 5 window_count_above 1 || fail "Shift+F10 opened no menu"
    xdotool key c Return "$1"  # "Close" shares the letter c: it only highlights
    wait_for 5 window_count_is 1 || fail "the menu stayed open"
}

# --- 1. a DNS server that never answers ----------------------------------------------------
start_offline "$long_name" yes
at_exit "kill \$(cat $tmp/swallower) 2>/dev/null"
# The marquee moves on: its band differs between screenshots a quarter second apart.
prev="" moved=0
for i in $(seq 12); do
    import -window "$win" -crop 67x13+78+31 +repage "$tmp/band$i.png"
    sum=$(md5sum < "$tmp/band$i.png")
    [ -n "$prev" ] && [ "$sum" != "$prev" ] && moved=$((moved + 1))
    prev=$sum
    sleep 0.25
done
[ "$moved" -ge 9 ] || fail "the marquee moved in $moved of 11 steps while the resolver hung"
# The address the bridge holds stands in, and the name is drawn whole; the copies take what
# is shown while the lookup hangs.
copy i
wait_for 10 clip_is 192.0.2.55 || fail "address while the resolver hangs: '$(clip)'"
copy h
wait_for 5 clip_is "$long_name" || fail "64-character name: '$(clip)'"
start=$(date +%s%N)
kill -TERM "$pid"
wait_for 10 process_gone "$pid" || fail "did not end on SIGTERM while the resolver hung"
ms=$((($(date +%s%N) - start) / 1000000))
wait "$pid" || fail "ended with status $? while the resolver hung"
# Far below the resolver's 30 s: exit did not wait for it.
[ "$ms" -lt 5000 ] || fail "SIGTERM took $ms ms while the resolver hung"
echo "ended $ms ms after SIGTERM while the resolver hung"
kill "$(cat "$tmp/swallower")" 2>/dev/null || true

# --- 2. no DNS server: the lookup fails at once ----------------------------------------------
start_offline rz-unknown no
copy i
wait_for 10 clip_is 192.0.2.55 || fail "address when the name does not resolve: '$(clip)'"
copy h
wait_for 5 clip_is rz-unknown || fail "host name: '$(clip)'"
stop_program
echo "resolver: OK"
