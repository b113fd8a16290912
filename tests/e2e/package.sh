#!/usr/bin/env bash
# The Debian package: built by CPack from this build, its dependencies taken from the linked
# libraries, unpacked into a throw-away root with dpkg -x, its files where a desktop looks
# for them, and the unpacked program started far enough to map its window.
set -euo pipefail
build=$1
source "$(dirname "$0")/common.sh"
need_display
for tool in cpack dpkg-deb dpkg-shlibdeps file appstreamcli desktop-file-validate; do
  command -v "$tool" >/dev/null || missing "$tool"
done
tmp=$(mktemp -d)
remove_at_exit "$tmp"

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/pkg" >"$tmp/cpack.log" 2>&1 ||
  { cat "$tmp/cpack.log"; exit 1; }
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
deb="$tmp/pkg/rezazo_${version}_amd64.deb"
[ -f "$deb" ] || { echo "no $deb:"; ls "$tmp/pkg"; exit 1; }

depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6widgets6 libqt6gui6 libqt6core6 libc6; do
  echo "$depends" | grep -q "\b$lib\b" || { echo "Depends lacks $lib: $depends"; exit 1; }
done

root="$tmp/root"
dpkg -x "$deb" "$root"
[ -x "$root/usr/bin/rezazo" ] || { echo "no usr/bin/rezazo"; exit 1; }
# One reverse-DNS id names the desktop entry, the metainfo and the icons.
id=io.github.rezazo.rezazo
desktop="$root/usr/share/applications/$id.desktop"
grep -qx 'Exec=rezazo' "$desktop" || { echo "desktop Exec: $(cat "$desktop")"; exit 1; }
grep -qx "Icon=$id" "$desktop" || { echo "desktop Icon"; exit 1; }
out=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$out" ] || { echo "desktop entry: $out"; exit 1; }
for size in 16 32 48 64; do
  icon="$root/usr/share/icons/hicolor/${size}x${size}/apps/$id.png"
  file "$icon" | grep -q "PNG image data, $size x $size, 8-bit/color RGBA" ||
    { echo "icon $size: $(file "$icon")"; exit 1; }
done
man="$root/usr/share/man/man1/rezazo.1"
grep -q "^\.TH REZAZO 1 .*$version" "$man" || { echo "manual page: $(head -n1 "$man" 2>&1)"; exit 1; }
if command -v man >/dev/null; then
  man -l "$man" 2>&1 >/dev/null | grep . && { echo "manual page has errors"; exit 1; }
fi
metainfo="$root/usr/share/metainfo/$id.metainfo.xml"
grep -q "<release version=\"$version\"" "$metainfo" || { echo "metainfo release"; exit 1; }
grep -q "<id>$id</id>" "$metainfo" && grep -q ">$id.desktop</launchable>" "$metainfo" ||
  { echo "metainfo id or launchable: $(grep -E '<id>|launchable' "$metainfo")"; exit 1; }
# Clean: not an error, a warning or even a pedantic note.
appstreamcli validate --pedantic --no-net "$metainfo" >"$tmp/validate.log" 2>&1 &&
  ! grep -q '^[EWIP]:' "$tmp/validate.log" || { cat "$tmp/validate.log"; exit 1; }

# The unpacked program runs with its settings in a private per-user directory.
export XDG_CONFIG_HOME="$tmp/config"
env -u QT_QPA_PLATFORM QT_SCALE_FACTOR=1 "$root/usr/bin/rezazo" &
pid=$!
end_at_exit "$pid"
win=$(timeout 20 xdotool search --sync --onlyvisible --pid "$pid" --name "^Rezazo '98\$" | head -n1)
[ -n "$win" ] || { echo "installed program mapped no window"; exit 1; }
xwininfo -id "$win" | grep -q 'Map State: IsViewable' || { echo "not viewable"; exit 1; }
kill -TERM $pid
wait_for 10 process_gone "$pid" || { echo "did not end on SIGTERM"; exit 1; }
wait $pid
echo "package ok: $(basename "$deb"), Depends: $depends"
