#!/usr/bin/env bash
# A screen reader's view of the running program over AT-SPI, in a private D-Bus session:
# the window named "Rezazo '98" holds the address line and the host name as texts, and the
# glyphs as buttons. Debian's pyatspi belongs to the system Python, whichever python3 is first.
set -euo pipefail
bin=$1
source "$(dirname "$0")/common.sh"
need_display
command -v dbus-run-session >/dev/null || missing dbus-run-session
/usr/bin/python3 -c "import pyatspi" 2>/dev/null || missing "Debian's python3-pyatspi"
tmp=$(mktemp -d)
remove_at_exit "$tmp"

cat >"$tmp/read.py" <<'PY'
import re, socket, sys, time
import pyatspi

def find_window():
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is None:
            continue
        for i in range(app.childCount):
            w = app.getChildAtIndex(i)
            if w is not None and w.name == "Rezazo '98":
                return w
    return None

deadline = time.time() + 30
window = None
while time.time() < deadline:
    window = find_window()
    if window is not None and window.childCount > 0:
        break
    time.sleep(0.2)
if window is None:
    sys.exit("no accessible window named Rezazo '98")
children = [(c.getRoleName(), c.name, c.description) for c in window]
print(children)
texts = [name for role, name, _ in children if role == "label"]
address = [t for t in texts if t.startswith("Local IP : ")]
if not address or not re.fullmatch(r"Local IP : (\d{1,3}\.){3}\d{1,3}", address[0]):
    sys.exit("no address line among %r" % texts)
if socket.gethostname() not in texts:
    sys.exit("host name %r not among %r" % (socket.gethostname(), texts))
buttons = {name for role, name, _ in children if role == "push button"}
if not {"Minimize", "Close"} <= buttons:
    sys.exit("glyph buttons missing: %r" % buttons)
print("read over AT-SPI:", address[0])
PY

cat >"$tmp/session.sh" <<'SH'
set -eu
bin=$1 tmp=$2
export XDG_CONFIG_HOME="$tmp/config" QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_SCALE_FACTOR=1
env -u QT_QPA_PLATFORM "$bin" &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
status=0
timeout 60 /usr/bin/python3 "$tmp/read.py" || status=$?
kill -TERM $pid
wait $pid || true
exit $status
SH
dbus-run-session -- bash "$tmp/session.sh" "$bin" "$tmp"
echo "accessible ok"
