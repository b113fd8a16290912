#!/usr/bin/env bash
# The main window at QT_SCALE_FACTOR=2: 328 x 102 device pixels at twice its designed
# place, its artwork (the skin's top strip, the title and the glyphs) drawn as 2 x 2 blocks
# that match the same strip at scale 1 pixel for pixel.
set -euo pipefail
bin=$1
source "$(dirname "$0")/common.sh"
need_display
tmp=$(mktemp -d)
remove_at_exit "$tmp"

# shot SCALE FILE: starts the program at that scale, checks its geometry and writes the
# window's pixels as raw RGB.
shot() {
  local scale=$1 out=$2
  XDG_CONFIG_HOME="$tmp/config$scale" env -u QT_QPA_PLATFORM QT_SCALE_FACTOR=$scale "$bin" &
  pid=$!
  end_at_exit "$pid"
  local win
  win=$(timeout 20 xdotool search --sync --onlyvisible --pid "$pid" --name "^Rezazo '98\$" | head -n1)
  [ -n "$win" ] || { echo "scale $scale: no window"; exit 1; }
  local w=$((164 * scale)) h=$((51 * scale)) x=$((227 * scale)) y=$((110 * scale)) info
  for _ in $(seq 50); do
    info=$(xwininfo -id "$win")
    echo "$info" | grep -q "Width: $w\$" && echo "$info" | grep -q "Absolute upper-left X:  $x\$" && break
    sleep 0.1
  done
  for want in "Width: $w" "Height: $h" "Absolute upper-left X:  $x" "Absolute upper-left Y:  $y"; do
    echo "$info" | grep -q "$want\$" || { echo "scale $scale: want $want in $info"; exit 1; }
  done
  sleep 0.5  # the first paint
  import -window root -crop "${w}x${h}+${x}+${y}" -depth 8 "rgb:$out"
  kill -TERM $pid
  wait $pid || true
}

shot 1 "$tmp/one.rgb"
shot 2 "$tmp/two.rgb"
python3 - "$tmp/one.rgb" "$tmp/two.rgb" <<'PY'
import sys
one = open(sys.argv[1], "rb").read()
two = open(sys.argv[2], "rb").read()
assert len(one) == 164 * 51 * 3 and len(two) == 328 * 102 * 3, (len(one), len(two))
def px(buf, width, x, y):
    i = (y * width + x) * 3
    return buf[i:i + 3]
# The artwork rows above the texts: skin, title and glyphs, none of it text.
bad = []
colours = set()
for y in range(0, 20):
    for x in range(0, 164):
        want = px(one, 164, x, y)
        colours.add(want)
        for dx in (0, 1):
            for dy in (0, 1):
                got = px(two, 328, 2 * x + dx, 2 * y + dy)
                if got != want:
                    bad.append((x, y, dx, dy, want.hex(), got.hex()))
if len(colours) < 8:
    sys.exit("the strip looks blank: %d colours" % len(colours))
if bad:
    sys.exit("%d device pixels differ from their 2 x 2 block, first %r" % (len(bad), bad[:5]))
print("artwork pixel-doubled: %d logical pixels, %d colours" % (164 * 20, len(colours)))
PY
echo "hidpi ok"
