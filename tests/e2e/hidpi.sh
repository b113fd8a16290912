#!/usr/bin/env bash
# The program at QT_SCALE_FACTOR=2 against the same at 1: the main window (328 x 102 device
# pixels at twice its designed place), the open system menu and the log window (each twice
# its size at twice its place) show their artwork as 2 x 2 blocks that match the picture at
# scale 1 pixel for pixel. Text is drawn at the doubled size and is left out of the match.
set -euo pipefail
bin=$1
source "$(dirname "$0")/common.sh"
need_display
tmp=$(mktemp -d)
remove_at_exit "$tmp"
# A copy of the program: the log window keeps IP.LOG beside it.
mkdir -p "$tmp/prog"
cp "$bin" "$tmp/prog/rezazo"
# At scale 2 the screen holds half as many logical pixels: the log window, at its designed
# place, may run off the foot. Only its rows on the screen at scale 2 are compared.
screen_h=$(xdpyinfo | awk '/dimensions:/ {split($2, d, "x"); print d[2]}')
log_rows=$((screen_h / 2 - 225))
[ "$log_rows" -gt 138 ] && log_rows=138
[ "$log_rows" -ge 40 ] || { echo "screen too small for the log window at scale 2: $screen_h"; exit 1; }

# has_geometry WINDOW WxH+X+Y: polls until the window is there (5 seconds at most).
has_geometry() {
  wait_for 5 geometry_is "$1" "$2" || { echo "want $2, have $(geometry_of "$1")"; exit 1; }
}
# pixel_is X Y RRGGBB: the screen's pixel there (the first paint has come when it matches).
pixel_is() {
  [ "$(import -window root -crop "1x1+$1+$2" -depth 8 rgb:- | od -An -tx1 | tr -d ' \n')" = "$3" ]
}
# grab W H X Y FILE: the screen's pixels there as raw RGB.
grab() { import -window root -crop "$1x$2+$3+$4" -depth 8 "rgb:$5"; }

# shot SCALE: starts the program at that scale, checks where its windows go and writes their
# pixels to main, menu and log SCALE.rgb.
shot() {
  local s=$1
  XDG_CONFIG_HOME="$tmp/config$s" env -u QT_QPA_PLATFORM QT_SCALE_FACTOR=$s "$tmp/prog/rezazo" &
  pid=$!
  end_at_exit "$pid"
  local win
  win=$(timeout 20 xdotool search --sync --onlyvisible --all --pid "$pid" --name "^Rezazo '98\$" | head -n1)
  [ -n "$win" ] || { echo "scale $s: no window"; exit 1; }
  has_geometry "$win" "$((164 * s))x$((51 * s))+$((227 * s))+$((110 * s))"
  sleep 0.5  # the first paint
  grab $((164 * s)) $((51 * s)) $((227 * s)) $((110 * s)) "$tmp/main$s.rgb"

  # The system menu, opened by a press on the system glyph: 141 x 138 at +229+112.
  local mx=$((229 * s)) my=$((112 * s)) menu=
  xdotool mousemove $((233 * s)) $((116 * s)) mousedown 1
  for _ in $(seq 100); do
    menu=$(xwininfo -root -tree | awk -v at="+$mx+$my" '$0 ~ "rezazo" && index($0, at " *" at) == 0 &&
      $NF == at && $(NF - 1) ~ "\\+" {print $1; exit}')
    [ -n "$menu" ] && break
    sleep 0.05
  done
  [ -n "$menu" ] || { echo "scale $s: the menu did not open"; exit 1; }
  xdotool mouseup 1
  has_geometry "$menu" "$((141 * s))x$((138 * s))+$mx+$my"
  # The menu's face beside the strip, near the foot.
  wait_for 5 pixel_is $((mx + 33 * s)) $((my + 132 * s)) c0c0c0 ||
    { echo "scale $s: the menu was not painted"; exit 1; }
  grab $((141 * s)) $((138 * s)) $mx $my "$tmp/menu$s.rgb"

  # "IP Keeper", clicked at its place, shows the log window: 144 x 138 at +239+225.
  xdotool mousemove $((mx + 60 * s)) $((my + 74 * s)) click 1
  local log
  log=$(timeout 20 xdotool search --sync --onlyvisible --all --pid "$pid" --name '^IP Logger$' | head -n1)
  [ -n "$log" ] || { echo "scale $s: a click on IP Keeper showed no log window"; exit 1; }
  has_geometry "$log" "$((144 * s))x$((138 * s))+$((239 * s))+$((225 * s))"
  # The memo's face.
  wait_for 5 pixel_is $(((239 + 20) * s)) $(((225 + 30) * s)) c4e1d0 ||
    { echo "scale $s: the log window was not painted"; exit 1; }
  grab $((144 * s)) $((log_rows * s)) $((239 * s)) $((225 * s)) "$tmp/log$s.rgb"
  kill -TERM $pid
  wait $pid || true
}

shot 1
shot 2
python3 - "$tmp" "$log_rows" <<'PY'
import sys
tmp, log_rows = sys.argv[1], int(sys.argv[2])

def doubled(name, width, height, rows=None, skip=()):
    """In the first rows, every logical pixel outside the skipped boxes (x0, y0, x1, y1;
    inclusive) is a 2 x 2 block of its colour at scale 1."""
    one = open("%s/%s1.rgb" % (tmp, name), "rb").read()
    two = open("%s/%s2.rgb" % (tmp, name), "rb").read()
    assert len(one) == width * height * 3, (name, len(one))
    assert len(two) == 4 * width * height * 3, (name, len(two))
    bad, colours, checked = [], set(), 0
    for y in range(rows or height):
        for x in range(width):
            if any(x0 <= x <= x1 and y0 <= y <= y1 for x0, y0, x1, y1 in skip):
                continue
            i = (y * width + x) * 3
            want = one[i:i + 3]
            colours.add(want)
            checked += 1
            for dx in (0, 1):
                for dy in (0, 1):
                    j = ((2 * y + dy) * 2 * width + 2 * x + dx) * 3
                    if two[j:j + 3] != want:
                        bad.append((x, y, dx, dy, want.hex(), two[j:j + 3].hex()))
    if len(colours) < 8:
        sys.exit("%s looks blank: %d colours" % (name, len(colours)))
    if bad:
        sys.exit("%s: %d device pixels differ from their 2 x 2 block, first %r"
                 % (name, len(bad), bad[:5]))
    print("%s pixel-doubled: %d logical pixels, %d colours" % (name, checked, len(colours)))

# The main window: the rows above the texts (skin, title and glyphs).
doubled("main", 164, 51, rows=20)
# The menu: frame, banner strip, separators and submenu arrows; the captions' column aside.
doubled("menu", 141, 138, skip=[(42, 0, 115, 137)])
# The log window: skin, title and glyph; the Add and Clear captions and the memo's scroll
# bar (the toolkit's, drawn at the device's resolution) aside.
doubled("log", 144, log_rows, skip=[(74, 2, 125, 16), (124, 17, 139, 137)])
PY
echo "hidpi ok"
