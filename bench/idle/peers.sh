# Shared by bench/idle/run and bench/startup/run: a new virtual display of its own, and conky
# doing the widget's job (the default-route interface's address and the host name scrolling
# 20 steps a second) as the peer. Sourced; expects build and dnum, sets tmp, pids (the
# display's first), watchers, DISPLAY and conf.
# The programs run as on a desktop: in a session bus of their own with the accessibility bus
# on it, which every Qt program asks for as its first window is shown. BARE=1 runs them with
# whatever bus the caller has, or none.
if [ -z "${BARE:-}" ] && [ -z "${REZAZO_BENCH_SESSION:-}" ]; then
  command -v dbus-run-session >/dev/null || { echo "dbus-run-session missing (Debian's dbus)"; exit 2; }
  export REZAZO_BENCH_SESSION=1
  unset AT_SPI_BUS_ADDRESS
  exec dbus-run-session -- bash "$0" "$@"
fi
ours="$build/rezazo" floor="$build/idle_floor" content="$build/idle_content_floor"
xwatch="$build/xwatch"
for b in "$ours" "$floor" "$content" "$xwatch"; do
  [ -x "$b" ] || { echo "build $b first (targets rezazo idle_floor idle_content_floor xwatch)"; exit 2; }
done
command -v conky >/dev/null || { echo "conky missing (Debian's conky-std)"; exit 2; }

tmp=$(mktemp -d)
pids=() watchers=()
cleanup() {
  # The programs first (ours saves its settings as it ends; the watchers that started them
  # end with them), then the display, then the files.
  local i
  for ((i = ${#pids[@]} - 1; i > 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
  for p in "${watchers[@]}"; do wait "$p" 2>/dev/null || true; done
  if [ ${#pids[@]} -gt 0 ]; then
    kill "${pids[0]}" 2>/dev/null || true
    wait "${pids[0]}" 2>/dev/null || true
  fi
  rm -rf "$tmp"
}
trap cleanup EXIT
# A display of the same number left by an earlier run may still be going away: wait for its
# lock, then make sure the server that answers is ours.
for _ in $(seq 50); do [ -e "/tmp/.X$dnum-lock" ] || break; sleep 0.1; done
[ -e "/tmp/.X$dnum-lock" ] && { echo "display :$dnum is taken; pass another number"; exit 2; }
Xvfb ":$dnum" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
pids+=("$xvfb")
mkdir -m 700 "$tmp/runtime"
export DISPLAY=":$dnum" XDG_CONFIG_HOME="$tmp/config" XDG_RUNTIME_DIR="$tmp/runtime"
export QT_SCALE_FACTOR=1
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
kill -0 "$xvfb" 2>/dev/null || { echo "Xvfb :$dnum did not start"; exit 2; }

if [ -n "${REZAZO_BENCH_SESSION:-}" ]; then
  launcher=/usr/libexec/at-spi-bus-launcher
  [ -x "$launcher" ] || { echo "$launcher missing (Debian's at-spi2-core)"; exit 2; }
  "$launcher" --launch-immediately >/dev/null 2>&1 &
  pids+=("$!")
  has_owner() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
      org.freedesktop.DBus.NameHasOwner "string:$1" 2>/dev/null | grep -q 'boolean true'
  }
  for _ in $(seq 50); do has_owner org.a11y.Bus && break; sleep 0.1; done
  has_owner org.a11y.Bus || { echo "the accessibility bus did not start"; exit 2; }
fi

iface=$(awk '$2 == "00000000" { print $1; exit }' /proc/net/route)
conf="$tmp/conky.conf"
cat >"$conf" <<CONF
conky.config = {
    out_to_x = true, out_to_console = false, own_window = true, own_window_type = 'normal',
    own_window_hints = 'undecorated,skip_taskbar', own_window_title = 'idle peer',
    alignment = 'top_left', gap_x = 20, gap_y = 300, minimum_width = 164, minimum_height = 51,
    maximum_width = 164, update_interval = 0.05, double_buffer = true, use_xft = true,
    font = 'Liberation Sans:pixelsize=9', background = false, total_run_times = 0,
}
conky.text = [[
Local IP : \${addr ${iface:-lo}}
\${scroll 12 1 \${nodename}}
]]
CONF

# The programs by name: window title and command line. "floor" is Qt Widgets alone,
# "content" the same stack showing what the widget shows (bench/idle/contentfloor.cpp);
# "base" is another build of the widget (BASELINE), for a before and after.
title_of() {
  case $1 in
    ours | base) echo "Rezazo '98" ;; peer) echo "idle peer" ;; floor) echo "idle floor" ;;
    content) echo "content floor" ;;
  esac
}
command_of() {
  case $1 in
    ours) echo "$ours" ;; base) echo "$BASELINE" ;; peer) echo "conky -c $conf" ;;
    floor) echo "$floor" ;; content) echo "$content" ;;
  esac
}
