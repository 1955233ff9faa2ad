#!/usr/bin/env bash
# Takes the README's pictures of the real program on a private X display and
# writes them to docs/ as PNG files.
set -euo pipefail
source "$(dirname "$0")/common.sh"

need_build_tools
need Xvfb xvfb
need xdotool xdotool
need xwd x11-apps
need convert imagemagick
install_missing
build "$root/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
start_xvfb

# shot NAME KEY...: starts the program, presses the keys (xdotool key names)
# and saves the window as docs/NAME.png.
shot() {
    local name=$1
    shift
    "$root/build/menger-sponge" &
    local pid=$! window
    window=$(xdotool search --sync --name '^Menger Sponge - Vardelle$' | head -n1)
    xdotool windowmove "$window" 0 0 mousemove 250 250
    (($# > 0)) && xdotool key --delay 50 "$@"
    sleep 2 # the last frame, at depth 3, takes a moment in software
    xwd -silent -id "$window" | convert xwd:- "$root/docs/$name.png"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
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
trimmed=$(mktemp --suffix=.png)
convert "$root/docs/depth-3-turned.png" -trim +repage "$trimmed"
side=$(identify -format '%[fx:max(w,h)+24]' "$trimmed")
for size in 48 128 256; do
    convert "$trimmed" -background black -gravity center -extent "${side}x${side}" \
        -resize "${size}x${size}" "$root/packaging/icons/menger-sponge-$size.png"
    echo "packaging/icons/menger-sponge-$size.png"
done
rm -f "$trimmed"
