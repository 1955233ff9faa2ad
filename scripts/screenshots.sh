#!/usr/bin/env bash
# Takes the README's pictures of the real program on a private X display and writes them to
# docs/ as PNG files; the desktop icons made from them (packaging/icons/) and Windows' icon
# (packaging/windows/menger-sponge.ico); and a picture of the Windows build under Wine.
set -euo pipefail
# shellcheck source=common.sh
source "$(dirname "$0")/common.sh"
need_build_tools
need_display_tools
need icotool icoutils
need wine wine
install_missing
# ImageMagick, under the name its release gives it; another program called convert will not do.
imagemagick() {
    local name
    for name in magick convert-im6.q16 convert; do
        "$name" -version 2>/dev/null | grep -q ImageMagick && echo "$name" && return
    done
}
[[ -n $(imagemagick) ]] || { missing+=(imagemagick) && install_missing; }
# PNG files without the time they were made, so that the same picture is the same bytes.
convert=("$(imagemagick)" -define "png:exclude-chunks=date,time")
build "$root/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
start_xvfb
shots=$(mktemp -d)
trap 'rm -rf "$shots"; kill $xvfb_pid 2>/dev/null' EXIT

# shot FILE KEY...: starts the program (the command in the array `program`), presses the keys
# (xdotool key names) and, once its window has stopped changing, saves it as FILE, a PNG.
program=("$root/build/menger-sponge")
shot() {
    local file=$1 window pid
    shift
    "${program[@]}" 2>/dev/null &
    pid=$!
    window=$(xdotool search --sync --onlyvisible --name '^Menger Sponge - Vardelle$' | head -n1)
    xdotool windowmove "$window" 0 0 mousemove 250 250 click 1 # Wine then draws it active
    (($# > 0)) && xdotool key --delay 50 "$@"
    until xwd -silent -id "$window" >"$shots/now" && cmp -s "$shots/now" "$shots/before"; do
        mv "$shots/now" "$shots/before" && sleep 0.2
    done
    "${convert[@]}" xwd:"$shots/now" "$file"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    rm -f "$shots"/now "$shots"/before
    echo "${file#"$root"/}"
}

turn=(q q q a a a a)
shot "$root/docs/first-frame.png"
shot "$root/docs/depth-3-turned.png" 3 "${turn[@]}"
shot "$root/docs/wire-cubes.png" f "${turn[@]}"
shot "$root/docs/inverse-view.png" v "${turn[@]}"
shot "$root/docs/lighting-off.png" l
shot "$root/docs/gaps.png" minus minus minus minus minus minus "${turn[@]}"
shot "$shots/depth-2.png" 2

# The large icons are the turned depth-3 sponge, trimmed to a square. At 16 and 32 pixels that
# is a blur: there the sponge is face-on at depth 1 and 2, each cell sampled at its middle so
# that the holes stay sharp.
icons=$root/packaging/icons
"${convert[@]}" "$root/docs/depth-3-turned.png" -trim +repage "$shots/trimmed.png"
side=$("${convert[@]}" "$shots/trimmed.png" -format '%[fx:max(w,h)+24]' info:)
for size in 48 128 256; do
    "${convert[@]}" "$shots/trimmed.png" -background black -gravity center -extent "${side}x${side}" \
        -resize "${size}x${size}" "$icons/menger-sponge-$size.png"
done
"${convert[@]}" "$root/docs/first-frame.png" -trim +repage -sample 15x15 -background black \
    -gravity center -extent 16x16 "$icons/menger-sponge-16.png"
"${convert[@]}" "$shots/depth-2.png" -trim +repage -sample 27x27 -background black \
    -gravity center -extent 32x32 "$icons/menger-sponge-32.png"
icotool -c -b 32 -o "$root/packaging/windows/menger-sponge.ico" "$icons"/menger-sponge-{16,32,48}.png \
    --raw="$icons/menger-sponge-256.png"
echo "packaging/icons/menger-sponge-{16,32,48,128,256}.png packaging/windows/menger-sponge.ico"

# The Windows build in Wine's desktop, whose window frame shows the program's icon.
wine_desktop
"$root/scripts/build-windows.sh" >/dev/null # with the icon just made
program=(wine "$root/build-windows/menger-sponge.exe")
shot "$root/docs/windows.png"
wineserver -k 2>/dev/null || true
