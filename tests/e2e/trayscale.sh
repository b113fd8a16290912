#!/usr/bin/env bash
# The tray icon at scale 1 and 2, on a display of its own: in a 24-pixel panel the host gives
# a 22-pixel row (at scale 2 a 44 x 22 slot, the width Qt asks for); the icon is the scale-1
# picture, centred on whole pixels. In a 48-pixel panel at scale 2 the slot holds 22 logical
# pixels, and the icon is the scale-1 picture in 2 x 2 blocks, centred.
# REZAZO_E2E_DISPLAY picks the display number; otherwise a free one is taken.
set -euo pipefail
bin=$1
command -v Xvfb >/dev/null && command -v trayer >/dev/null || missing "Xvfb or trayer"
source "$(dirname "$0")/common.sh" # its own display: no need_display
tmp=$(mktemp -d)
remove_at_exit "$tmp"

own_display 160

panel_geometry() { xwininfo -root -tree | awk '/"panel": \("panel" "trayer"\)/ {print $(NF - 1); exit}'; }
has_panel() { [ -n "$(panel_geometry)" ]; }
no_panel() { [ -z "$(panel_geometry)" ]; }
# The slot our icon sits in, "WxH+X+Y" inside the panel: the parent of the program's tray window.
slot_geometry() {
    xwininfo -root -tree | awk -v pid="$1" '
        /"panel": \("panel" "trayer"\)/ {inpanel = 1; next}
        inpanel && /\(has no name\)/ {slot = $(NF - 1)}
        inpanel && /"Rezazo .98": \("rezazo"/ {print slot; exit}'
}
has_slot() { [ -n "$(slot_geometry "$1")" ]; }

# shot SCALE PANEL NAME: the tray slot's pixels with the program at that scale in a panel of
# that height, as NAME.rgb, and the slot's size as "W H" in NAME.size.
shot() {
    local scale=$1 height=$2 name=$3 panel slot
    trayer --edge bottom --align right --widthtype pixel --width 64 --heighttype pixel \
        --height "$height" >/dev/null 2>&1 &
    local tray=$!
    end_at_exit "$tray"
    wait_for 20 has_panel || fail "no tray host"
    XDG_CONFIG_HOME="$tmp/config" QT_SCALE_FACTOR=$scale env -u QT_QPA_PLATFORM "$bin" \
        >/dev/null 2>&1 &
    local prog=$!
    end_at_exit "$prog"
    wait_for 20 has_slot "$prog" || fail "scale $scale: no icon in the tray"
    sleep 1 # the icon's first paint
    panel=$(panel_geometry)
    slot=$(slot_geometry "$prog")
    local px=${panel#*+} sw=${slot%%x*} rest=${slot#*x}
    local sh=${rest%%+*} off=${slot#*+}
    local x=$((${px%+*} + ${off%+*})) y=$((${px#*+} + ${off#*+}))
    import -window root -crop "${sw}x${sh}+$x+$y" -depth 8 "rgb:$tmp/$name.rgb"
    echo "$sw $sh" >"$tmp/$name.size"
    echo "scale $scale, $height-pixel panel: slot $slot"
    kill "$prog"
    wait "$prog" || true
    kill "$tray"
    wait "$tray" || true
    wait_for 10 no_panel || fail "the tray host did not go"
}

shot 1 24 one
shot 2 24 two
shot 2 48 big
python3 - "$tmp" <<'PY'
import sys
tmp = sys.argv[1]

def load(name):
    w, h = map(int, open("%s/%s.size" % (tmp, name)).read().split())
    data = open("%s/%s.rgb" % (tmp, name), "rb").read()
    assert len(data) == w * h * 3, (name, len(data))
    return w, h, lambda x, y: data[(y * w + x) * 3:(y * w + x) * 3 + 3]

w1, h1, one = load("one")
print("scale 1: %dx%d slot" % (w1, h1))
if w1 != h1 or w1 < 16:
    sys.exit("a scale-1 slot of %dx%d" % (w1, h1))
colours = {one(x, y) for x in range(w1) for y in range(h1)}
if len(colours) < 6:
    sys.exit("the scale-1 icon looks blank: %d colours" % len(colours))

def check(name, block):
    """The slot shows the scale-1 picture in block x block pixels, centred (the lower and
    right margin take the odd pixel), and the panel's colour around it."""
    w, h, px = load(name)
    side = w1 * block
    if w < side or h < side:
        sys.exit("%s: a %dx%d slot cannot hold the %d-pixel icon" % (name, w, h, side))
    x0, y0 = (w - side) // 2, (h - side) // 2
    bad = [(x, y) for y in range(side) for x in range(side)
           if px(x0 + x, y0 + y) != one(x // block, y // block)]
    if bad:
        sys.exit("%s: %d pixels differ from the scale-1 icon in %d x %d blocks at %d,%d, first %r"
                 % (name, len(bad), block, block, x0, y0, bad[:3]))
    around = {px(x, y) for y in range(h) for x in range(w)
              if not (x0 <= x < x0 + side and y0 <= y < y0 + side)}
    if len(around) > 1:
        sys.exit("%s: %d colours around the icon: it is not centred" % (name, len(around)))
    print("%s: %dx%d slot, the scale-1 icon in %d x %d blocks at %d,%d"
          % (name, w, h, block, block, x0, y0))

check("two", 1)
check("big", 2)
PY
echo "tray scale ok"
