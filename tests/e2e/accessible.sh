#!/usr/bin/env bash
# A screen reader's view of the running program over AT-SPI, in a private D-Bus session:
# the window named "Rezazo '98" holds the address line and the host name as texts, and the
# glyphs as buttons. The system menu is met as a reader meets it, through the focus events
# of its items: a popup menu of named items and separators, the focus following the keys
# into submenus and back, checked entries marked, and items pressed through their actions;
# the open menu is among the program's windows, with a name. The About window, named, has
# links that open their address when pressed and an "X" that closes it; the log window's
# Add and Clear are pressed as buttons (Clear's question answered No over AT-SPI too). The
# reader asks before those two windows are made, and still finds the version history and the
# log memo in them, reading as the version shown and as IP.LOG.
# Debian's pyatspi belongs to the system Python, whichever python3 is first.
set -euo pipefail
bin=$1
source "$(dirname "$0")/common.sh"
need_display
command -v dbus-run-session >/dev/null || missing dbus-run-session
/usr/bin/python3 -c "import pyatspi" 2>/dev/null || missing "Debian's python3-pyatspi"
tmp=$(mktemp -d)
remove_at_exit "$tmp"

cat >"$tmp/read.py" <<'PY'
import re, socket, subprocess, sys, time
import pyatspi
from gi.repository import GLib

# Menus are no children of the application (popups never are): a reader finds them by the
# focus events of their items.
focused = []
def on_focus(event):
    try:
        if event.source is not None and event.source.getRoleName() == "menu item":
            focused.append(event.source)
    except GLib.GError:
        pass  # a closed level's item, gone before we asked

def pump(seconds):
    end = time.time() + seconds
    context = GLib.MainContext.default()
    while time.time() < end:
        while context.iteration(False):
            pass
        time.sleep(0.05)

def wait_focus(name):
    end = time.time() + 10
    while time.time() < end:
        pump(0.1)
        if focused and focused[-1].name == name:
            return focused[-1]
    sys.exit("focus never reached %r; last: %r" % (name, [f.name for f in focused[-3:]]))

def states(item):
    return {pyatspi.stateToString(s) for s in item.getState().getStates()}

# A closed level's window is gone, or hidden and kept for the next.
def wait_closed(menu):
    end = time.time() + 10
    while time.time() < end:
        pump(0.1)
        try:
            st = states(menu)
            if "defunct" in st or "showing" not in st:
                return
        except Exception:
            return
    sys.exit("the menu stayed open")

def xdotool(*args):
    subprocess.run(["xdotool"] + list(args), check=True)

def menu_shown():
    # A mapped window at +229+112 (closed menus' windows stay, unmapped).
    tree = subprocess.run(["xwininfo", "-root", "-tree"], capture_output=True, text=True).stdout
    for line in tree.splitlines():
        if "+229+112" in line and line.split() and line.split()[0].startswith("0x"):
            info = subprocess.run(["xwininfo", "-id", line.split()[0]], capture_output=True,
                                  text=True).stdout
            if "IsViewable" in info:
                return True
    return False

def open_system_menu():
    # A press on the system glyph; the menu's window appears at +229+112.
    xdotool("mousemove", "233", "116", "mousedown", "1")
    end = time.time() + 10
    while not menu_shown():
        if time.time() > end:
            sys.exit("the system menu did not open")
        time.sleep(0.05)
    xdotool("mouseup", "1")
    # Keys that come before the menu has the keyboard are lost, and so are events sent before
    # the program has heard of our listener: End and Home in turn until the focus is heard.
    for i in range(20):
        focused.clear()
        xdotool("key", "End" if i % 2 == 0 else "Home")
        end = time.time() + 0.5
        while time.time() < end and not focused:
            pump(0.05)
        if focused:
            xdotool("key", "Home")
            return wait_focus("Settings")
    sys.exit("no menu item took the focus")

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
    pump(0.2)
if window is None:
    sys.exit("no accessible window named Rezazo '98")
pyatspi.Registry.registerEventListener(on_focus, "focus:")
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

menu = open_system_menu().parent
application = window.parent
listed = [c for c in application if c is not None and c.getRoleName() == "popup menu"]
if menu not in listed or not menu.name:
    sys.exit("the open menu (named %r) is not among the windows: %r" % (menu.name, listed))
items = [(c.getRoleName(), c.name) for c in menu]
print(menu.getRoleName(), items)
want = [("menu item", "Settings"), ("separator", ""), ("menu item", "Copy to clipboard"),
        ("separator", ""), ("menu item", "IP Keeper"), ("menu item", "About..."),
        ("separator", ""), ("menu item", "Close")]
if menu.getRoleName() != "popup menu" or items != want:
    sys.exit("system menu read as %s %r" % (menu.getRoleName(), items))
if "showing" not in states(menu):
    sys.exit("the open menu is not showing: %r" % states(menu))
if "focused" not in states(menu[0]) or "focused" in states(menu[2]):
    sys.exit("focus states: %r / %r" % (states(menu[0]), states(menu[2])))
# Into Settings and Refresh rate: the submenus are named by their entries, and the chosen
# rate is checked.
xdotool("key", "Right")
settings = wait_focus("Refresh rate").parent
xdotool("key", "Right")
rates = wait_focus("Refresh Now...").parent
checked = [c.name for c in rates if "checked" in states(c)]
if settings.name != "Settings" or rates.name != "Refresh rate" or checked != ["Every second"]:
    sys.exit("submenus %r, %r, checked %r" % (settings.name, rates.name, checked))
# Left closes the deepest level and the focus is back on the entry that opened it.
xdotool("key", "Left")
wait_focus("Refresh rate")
wait_closed(rates)
xdotool("key", "Escape", "Escape")
wait_closed(menu)
print("system menu read and walked over AT-SPI")

# Used through actions alone: Copy to clipboard opens, Hostname is pressed.
subprocess.run(["xclip", "-selection", "clipboard"], input=b"none", check=True)
menu = open_system_menu().parent
copy = [c for c in menu if c.name == "Copy to clipboard"][0].queryAction()
copy.doAction([copy.getName(i) for i in range(copy.nActions)].index("ShowMenu"))
host = wait_focus("Hostname")
press = host.queryAction()
press.doAction([press.getName(i) for i in range(press.nActions)].index("Press"))
wait_closed(menu)
end = time.time() + 10
while True:
    clip = subprocess.run(["xclip", "-o", "-selection", "clipboard"], capture_output=True,
                          text=True).stdout
    if clip == socket.gethostname():
        break
    if time.time() > end:
        sys.exit("pressing Hostname copied %r" % clip)
    time.sleep(0.1)
print("menu items pressed over AT-SPI")

def until(what, probe, seconds=10):
    end = time.time() + seconds
    while time.time() < end:
        pump(0.1)
        try:
            found = probe()
        except GLib.GError:  # an object that went while it was being read: look again
            continue
        if found:
            return found
    sys.exit(what)

def press(node, action="Press"):
    a = node.queryAction()
    a.doAction([a.getName(i) for i in range(a.nActions)].index(action))

def shown_frame(name):
    for c in application:
        if c is not None and c.getRoleName() == "frame" and c.name == name and "showing" in states(c):
            return c
    return None

def choose(entry):
    menu = open_system_menu().parent
    press([c for c in menu if c.name == entry][0])
    wait_closed(menu)

def descendants(node, role):
    out = []
    for c in node:
        if c is not None:
            if c.getRoleName() == role:
                out.append(c)
            out += descendants(c, role)
    return out

opened = sys.argv[1]
def opened_has(line):
    try:
        return line in open(opened).read().splitlines()
    except FileNotFoundError:
        return False

choose("About...")
about = until("no About window named \"About Rezazo '98\"", lambda: shown_frame("About Rezazo '98"))
links = {c.name: c for c in descendants(about, "link")}
for name, target in (("https://rezazo.example.org/", "https://rezazo.example.org/"),
                     ("feedback@rezazo.example.org", "mailto:feedback@rezazo.example.org")):
    if name not in links:
        sys.exit("no link %r among %r" % (name, list(links)))
    press(links[name])
    until("pressing %s opened nothing" % name, lambda: opened_has(target))
# The version history is there although the reader asked before the window was made: an
# editable text that begins with the version the window names.
def text_box(window):
    boxes = descendants(window, "text")
    if len(boxes) != 1:
        sys.exit("%s holds %d text boxes: %r" % (window.name, len(boxes),
                                                 [(c.getRoleName(), c.name) for c in window]))
    return boxes[0], boxes[0].queryText()
history, history_text = text_box(about)
version = [m.group(1) for m in (re.fullmatch(r"Version ([0-9.]+) .*", c.name)
                                for c in descendants(about, "label")) if m]
first_line = history_text.getText(0, -1).split("\n")[0]
if not version or not first_line.startswith(version[0] + " ") or "editable" not in states(history):
    sys.exit("history begins %r (%r), version %r" % (first_line, states(history), version))
close = [c for c in descendants(about, "push button") if c.name == "X"]
if not close:
    sys.exit("no X button in the About window")
press(close[0])
until("X did not close the About window", lambda: shown_frame("About Rezazo '98") is None)
print("About window read and used over AT-SPI")

choose("IP Keeper")
log = until("no log window", lambda: shown_frame("IP Logger"))
buttons = {c.name: c for c in descendants(log, "push button")}
if not {"Add", "Clear"} <= set(buttons):
    sys.exit("log window read as %r" % [(c.getRoleName(), c.name) for c in log])
log_file = sys.argv[2]
def logged():  # the record Add writes after the one there was
    try:
        return open(log_file, errors="replace").read().count("Local IP : ") == 2
    except FileNotFoundError:
        return False
# The memo is there too, read-only, and reads as IP.LOG: the record it held at start, then
# the one Add writes.
memo, memo_text = text_box(log)
def memo_reads_log():
    with open(log_file, newline="") as f:
        return memo_text.getText(0, -1) == f.read().replace("\r\n", "\n")
if "editable" in states(memo) or not memo_reads_log():
    sys.exit("log memo read as %r (%r)" % (memo_text.getText(0, -1), states(memo)))
press(buttons["Add"])
until("Add wrote no record", logged)
until("the memo does not read as the log after Add", memo_reads_log)
# Clear asks first; the question is answered No over AT-SPI too, and the log stays.
press(buttons["Clear"])
def question():
    for c in application:
        if c is not None and c.getRoleName() in ("dialog", "alert") and "showing" in states(c):
            return [b for b in descendants(c, "push button") if b.name.replace("&", "") == "No"]
    return None
press(until("Clear asked nothing", question)[0])
until("the question stayed", lambda: not question())
pump(0.5)
if not logged() or not memo_reads_log():
    sys.exit("No cleared the log or the memo")
print("log window read and used over AT-SPI")
PY

cat >"$tmp/session.sh" <<'SH'
set -eu
bin=$1 tmp=$2
export XDG_CONFIG_HOME="$tmp/config" QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_SCALE_FACTOR=1
# Links open through a recording opener first on the program's PATH; the log is a copy's.
mkdir -p "$tmp/bin" "$tmp/prog"
printf '#!/bin/sh\nprintf "%%s\\n" "$*" >> "%s/opened"\n' "$tmp" > "$tmp/bin/xdg-open"
chmod +x "$tmp/bin/xdg-open"
cp "$bin" "$tmp/prog/rezazo"
printf '09:15:00\r\n01.03.2026\r\nLocal IP : 10.1.2.3\r\nseeded-host\r\n\r\n' > "$tmp/prog/IP.LOG"
PATH="$tmp/bin:$PATH" env -u QT_QPA_PLATFORM "$tmp/prog/rezazo" &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
status=0
timeout 90 /usr/bin/python3 "$tmp/read.py" "$tmp/opened" "$tmp/prog/IP.LOG" || status=$?
kill -TERM $pid
wait $pid || true
exit $status
SH
dbus-run-session -- bash "$tmp/session.sh" "$bin" "$tmp"
echo "accessible ok"
