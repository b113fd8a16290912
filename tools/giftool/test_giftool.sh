#!/usr/bin/env bash
# Drives the built giftool: encode frames, read them back, compose them, re-save them, fail
# cleanly. usage: test_giftool.sh GIFTOOL GIFLIBFRAMES
set -euo pipefail
tool=$1
giflib_frames=$2
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
grep -qx 'frame 1 origin 0,0 size 3x2 bpp 1 delay 250 disposal 1 transparent none interlaced no corrupted no' info.txt

"$tool" frames anim.gif out
cmp a.ppm out/frame-0.ppm
tail -c 18 b.ppm | cmp - <(tail -c 18 out/frame-1.ppm)

# A later frame carries only the rectangle that changed, drawn over the one before; an
# unchanged frame one pixel. b with its middle bottom pixel red, then the same again.
printf 'P6\n3 2\n255\n\x10\x20\x30\x10\x20\x30\x10\x20\x30\xff\xff\xff\xff\x00\x00\x10\x20\x30' > c.ppm
"$tool" encode cropped.gif a.ppm b.ppm c.ppm c.ppm
"$tool" info cropped.gif > info.txt
grep -q '^frame 2 origin 1,1 size 1x1 .* disposal 1 ' info.txt
grep -q '^frame 3 origin 0,0 size 1x1 .* disposal 1 ' info.txt
"$tool" frames cropped.gif cropped
for i in 2 3; do tail -c 18 c.ppm | cmp - <(tail -c 18 cropped/frame-$i.ppm); done

# Another reader sees both frames (scripts/test installs ImageMagick; without it this fails).
command -v identify >/dev/null || { echo "ImageMagick's identify is missing"; exit 1; }
[ "$(identify anim.gif | wc -l)" -eq 2 ]

# copy re-saves through the codec: giflib composes the very frames of the original, and the
# frames keep their origins, delays, disposal, transparency and the looping. Files: every
# disposal method with transparency and a reserved method (5), interlaced, optimised
# sub-rectangles, reduced by gifsicle.
convert -size 40x30 xc:white -fill red -draw 'circle 20,15 20,3' x.png
convert -size 40x30 xc:none -fill blue -draw 'rectangle 5,5 30,20' y.png
convert -size 40x30 xc:none -fill green -draw 'rectangle 10,2 20,28' z.png
convert -delay 7 -loop 3 -dispose none x.png -dispose previous y.png -dispose background z.png \
    -dispose none x.png -dispose previous y.png z.png dispose.gif
python3 -c 'import sys; d = bytearray(open("dispose.gif", "rb").read()); i = d.rindex(b"\x21\xf9\x04")
d[i + 3] = d[i + 3] & 0xE3 | 5 << 2; open("reserved.gif", "wb").write(d)'
convert -seed 4 -size 90x60 plasma:fractal -interlace GIF interlaced.gif
convert -seed 5 -size 64x48 plasma:fractal -write mpr:p +delete -delay 10 mpr:p \
    \( mpr:p -fill navy -draw 'rectangle 9,9 30,20' \) -layers optimize optimised.gif
gifsicle -O2 --colors 16 optimised.gif -o reduced.gif
"$tool" info reserved.gif | grep -q '^frame 5 .* disposal 5 '
# Pixels 0 to 3 of a local table whose entries 2 and 5 are both green, 5 transparent: 2 stays
# opaque once the table is cut to what the pixels need (a global table of black and white).
printf 'GIF89a\4\0\2\0\x80\0\0\0\0\0\xff\xff\xff!\xf9\4\1\0\0\5\0,\0\0\0\0\4\0\2\0\x82\xff\0\0\0\0\xff\0\xff\0%b' \
    '\t\t\t\1\1\1\0\xff\0\2\2\2\3\3\3\3\6\x08!\x83"\1\t\0;' > key.gif
for name in dispose reserved key interlaced optimised reduced; do
    "$tool" copy $name.gif $name-copy.gif
    mkdir $name.giflib $name-copy.giflib
    "$giflib_frames" $name.gif $name.giflib
    "$giflib_frames" $name-copy.gif $name-copy.giflib
    diff -r $name.giflib $name-copy.giflib
    diff <("$tool" info $name.gif | sed 's/ bpp [0-9]*//; s/ interlaced yes/ interlaced no/') \
        <("$tool" info $name-copy.gif | sed 's/ bpp [0-9]*//')
done

# Every binary PPM: 16-bit samples (two bytes, high first) and a maxval of 1 scale to 8 bits.
printf 'P6\n2 1\n65535\n\xff\xff\x00\x00\x80\x00\x00\x00\x00\x00\xff\xff' > deep.ppm
printf 'P6\n2 1\n1\n\x01\x00\x01\x00\x01\x00' > tiny.ppm
"$tool" encode deep.gif deep.ppm
"$tool" encode tiny.gif tiny.ppm
"$tool" frames deep.gif deep
"$tool" frames tiny.gif tiny
printf 'P6\n2 1\n255\n\xff\x00\x80\x00\x00\xff' | cmp - deep/frame-0.ppm
printf 'P6\n2 1\n255\n\xff\x00\xff\x00\xff\x00' | cmp - tiny/frame-0.ppm
# As ImageMagick writes 16-bit pictures by default.
convert -size 3x2 xc:'rgb(10%,50%,90%)' -depth 16 im16.ppm
[ "$(head -c 2 im16.ppm)" = P6 ]
"$tool" encode im16.gif im16.ppm
"$tool" frames im16.gif im16
# The last pixel's samples, rounded from 16 to 8 bits.
read -r r g b < <(tail -c 6 im16.ppm | od -An -tu1 | awk '{print $1*256+$2, $3*256+$4, $5*256+$6}')
want=$(printf '%d %d %d' $(( (r * 255 + 32767) / 65535 )) $(( (g * 255 + 32767) / 65535 )) \
       $(( (b * 255 + 32767) / 65535 )))
[ "$(tail -c 3 im16/frame-0.ppm | od -An -tu1 | xargs)" = "$want" ]
[ "$want" != "0 0 0" ]

# A picture whose logical screen is 0 x 0: a clear error, no empty frame files.
printf 'GIF89a\0\0\0\0\x80\0\0\0\0\0\xff\xff\xff,\0\0\0\0\x01\0\x01\0\0\x02\x02\x44\x01\0;' > zero.gif
"$tool" info zero.gif | grep -qx 'screen 0 x 0'
if "$tool" frames zero.gif zero 2> err.txt; then exit 1; fi
grep -q 'logical screen is 0 x 0' err.txt
[ ! -e zero/frame-0.ppm ]

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
