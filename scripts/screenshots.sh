#!/usr/bin/env bash
# Takes the README's pictures of the real program (the CMake preset `release`) on a private X
# display and writes them to docs/ as PNG files; the desktop icons made from them
# (packaging/icons/) and Windows' icon (packaging/windows/menger-sponge.ico); a picture of the
# Windows build under Wine, built again with the new icon; and one of the page in Chromium.
set -euo pipefail
# shellcheck source=common.sh
source "$(dirname "$0")/common.sh"

# ImageMagick, under the name its release gives it; another program called convert will not do.
imagemagick() {
    local name
    for name in magick convert-im6.q16 convert; do
        if "$name" -version 2>/dev/null | grep -q ImageMagick; then
            echo "$name"
            return
        fi
    done
}

# shot FILE COMMAND... -- KEY...: starts COMMAND, presses the keys (xdotool key names) and, once
# its window has stopped changing, saves it as FILE, a PNG.
shot() {
    local file=$1 command=()
    shift
    while [[ $1 != -- ]]; do
        command+=("$1")
        shift
    done
    /usr/bin/python3 "$root/scripts/screenshot.py" "$file" "${@:2}" -- "${command[@]}"
    echo "${file#"$root"/}"
}

# icons PICTURES-DIR: the large icons are the turned depth-3 sponge, trimmed to a square. At 16
# and 32 pixels that is a blur: there the sponge is face-on at depth 1 and 2, each cell sampled
# at its middle so that the holes stay sharp.
icons() {
    local convert=("$(imagemagick)" -define "png:exclude-chunks=date,time") icons=$root/packaging/icons side
    "${convert[@]}" "$root/docs/depth-3-turned.png" -trim +repage "$1/trimmed.png"
    side=$("${convert[@]}" "$1/trimmed.png" -format '%[fx:max(w,h)+24]' info:)
    for size in 48 128 256; do
        "${convert[@]}" "$1/trimmed.png" -background black -gravity center -extent "${side}x${side}" \
            -resize "${size}x${size}" "$icons/menger-sponge-$size.png"
    done
    "${convert[@]}" "$root/docs/first-frame.png" -trim +repage -sample 15x15 -background black \
        -gravity center -extent 16x16 "$icons/menger-sponge-16.png"
    "${convert[@]}" "$1/depth-2.png" -trim +repage -sample 27x27 -background black \
        -gravity center -extent 32x32 "$icons/menger-sponge-32.png"
    icotool -c -b 32 -o "$root/packaging/windows/menger-sponge.ico" "$icons"/menger-sponge-{16,32,48}.png \
        --raw="$icons/menger-sponge-256.png"
    echo "packaging/icons/menger-sponge-{16,32,48,128,256}.png packaging/windows/menger-sponge.ico"
}

main() {
    install_packages release display pictures web web-test
    build_preset release >/dev/null
    on_private_display take_pictures
}

take_pictures() {
    local program=("$root/build/release/menger-sponge") turn=(q q q a a a a) shots
    shots=$(mktemp -d)
    shot "$root/docs/first-frame.png" "${program[@]}" --
    shot "$root/docs/depth-3-turned.png" "${program[@]}" -- 3 "${turn[@]}"
    shot "$root/docs/wire-cubes.png" "${program[@]}" -- f "${turn[@]}"
    shot "$root/docs/inverse-view.png" "${program[@]}" -- v "${turn[@]}"
    shot "$root/docs/lighting-off.png" "${program[@]}" -- l
    shot "$root/docs/gaps.png" "${program[@]}" -- minus minus minus minus minus minus "${turn[@]}"
    shot "$shots/depth-2.png" "${program[@]}" -- 2
    icons "$shots"
    rm -rf "$shots"

    # The Windows build in Wine's desktop, whose window frame shows the program's icon.
    "$root/scripts/build-windows.sh" >/dev/null # with the icon just made
    local prefix=$root/build/windows/wine-screenshots
    new_wine_prefix "$prefix"
    in_wine "$prefix" shot "$root/docs/windows.png" wine "$root/build/windows/menger-sponge.exe" --
    in_wine "$prefix" wineserver -k 2>/dev/null || true

    # The page in headless Chromium, its menu open.
    local page
    page=$root/$("$root/scripts/build-web.sh")
    /usr/bin/python3 "$root/scripts/screenshot.py" "$root/docs/web.png" 3 "${turn[@]}" -- "$page"
    echo docs/web.png
}

main "$@"
