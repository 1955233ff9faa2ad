#!/usr/bin/env bash
# Takes the README's pictures of the real program on a private X display and writes them to
# docs/ as PNG files, and the desktop icons made from one of them.
set -euo pipefail
# shellcheck source=common.sh
source "$(dirname "$0")/common.sh"
need_build_tools
need_display_tools
install_missing
# ImageMagick, under the name its release gives it; another program called convert will not do.
imagemagick() {
    local name
    for name in magick convert-im6.q16 convert; do
        "$name" -version 2>/dev/null | grep -q ImageMagick && echo "$name" && return
    done
}
[[ -n $(imagemagick) ]] || { missing+=(imagemagick) && install_missing; }
convert=$(imagemagick)
build "$root/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
start_xvfb
shots=$(mktemp -d)
trap 'rm -rf "$shots"; kill $xvfb_pid 2>/dev/null' EXIT

# shot NAME KEY...: starts the program, presses the keys (xdotool key names) and, once the window
# has stopped changing, saves it as docs/NAME.png.
shot() {
    local name=$1 window pid
    shift
    "$root/build/menger-sponge" &
    pid=$!
    window=$(xdotool search --sync --onlyvisible --name '^Menger Sponge - Vardelle$' | head -n1)
    xdotool windowmove "$window" 0 0 mousemove 250 250
    (($# > 0)) && xdotool key --delay 50 "$@"
    until xwd -silent -id "$window" >"$shots/now" && cmp -s "$shots/now" "$shots/before"; do
        mv "$shots/now" "$shots/before" && sleep 0.2
    done
    "$convert" xwd:"$shots/now" "$root/docs/$name.png"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    rm -f "$shots"/*
    echo "docs/$name.png"
}

turn=(q q q a a a a)
shot first-frame
shot depth-3-turned 3 "${turn[@]}"
shot wire-cubes f "${turn[@]}"
shot inverse-view v "${turn[@]}"
shot lighting-off l
shot gaps minus minus minus minus minus minus "${turn[@]}"

# The desktop icons are the turned depth-3 sponge, trimmed to a square.
"$convert" "$root/docs/depth-3-turned.png" -trim +repage "$shots/trimmed.png"
side=$("$convert" "$shots/trimmed.png" -format '%[fx:max(w,h)+24]' info:)
for size in 48 128 256; do
    "$convert" "$shots/trimmed.png" -background black -gravity center -extent "${side}x${side}" \
        -resize "${size}x${size}" "$root/packaging/icons/menger-sponge-$size.png"
    echo "packaging/icons/menger-sponge-$size.png"
done
