#!/usr/bin/env bash
# Drives the built giftool: encode frames, read them back, compose them, fail cleanly.
set -euo pipefail
tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# Two 3x2 frames of three colours each.
printf 'P6\n3 2\n255\n\xff\x00\x00\x00\xff\x00\x00\x00\xff\xff\x00\x00\x00\xff\x00\x00\x00\xff' > a.ppm
printf 'P6\n# comment\n3 2\n255\n\x10\x20\x30\x10\x20\x30\x10\x20\x30\xff\xff\xff\xff\xff\xff\x10\x20\x30' > b.ppm

"$tool" encode --delay 250 anim.gif a.ppm b.ppm
"$tool" info anim.gif > info.txt
grep -qx 'version GIF89a' info.txt
grep -qx 'screen 3 x 2' info.txt
grep -qx 'looping yes repeat 0' info.txt
grep -qx "comment Made with giftool of Rezazo '98" info.txt
grep -qx 'frames 2' info.txt
grep -qx 'frame 1 origin 0,0 size 3x2 bpp 8 delay 250 disposal 0 transparent none interlaced no corrupted no' info.txt

"$tool" frames anim.gif out
cmp a.ppm out/frame-0.ppm
tail -c 18 b.ppm | cmp - <(tail -c 18 out/frame-1.ppm)

# Another reader sees both frames (scripts/test installs ImageMagick; without it this fails).
command -v identify >/dev/null || { echo "ImageMagick's identify is missing"; exit 1; }
[ "$(identify anim.gif | wc -l)" -eq 2 ]

# Damaged input: the picture's error on stderr, exit code 1.
head -c 9 anim.gif > cut.gif
if "$tool" info cut.gif 2> err.txt; then exit 1; fi
grep -q 'Stream read error' err.txt
printf 'GIF88a' > old.gif
set +e
"$tool" info old.gif 2> err.txt
rc=$?
set -e
[ "$rc" -eq 1 ]
grep -q 'Unknown GIF version' err.txt
echo ok
