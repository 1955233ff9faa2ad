# shellcheck shell=bash
# Shared by the scripts: installs what is missing on Debian or Ubuntu, builds the program and
# starts a private X display. Sourced, not run.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# need FILE-OR-COMMAND PACKAGE...: marks the first package that exists in the package lists as
# wanted when the file or command is not on the machine.
missing=()
need() {
    local what=$1
    shift
    if [[ $what == /* ]]; then
        [[ -e $what ]] && return
    else
        command -v "$what" >/dev/null 2>&1 && return
    fi
    missing+=("$*")
}

# Runs a command as root: through sudo when not root already.
as_root() { if [[ $(id -u) -eq 0 ]]; then "$@"; else sudo "$@"; fi; }

# Installs the packages marked by need, with apt-get.
install_missing() {
    ((${#missing[@]} == 0)) && return
    if ! command -v apt-get >/dev/null 2>&1; then
        echo "Missing: ${missing[*]}. Install them with your package manager." >&2
        exit 1
    fi
    echo "Installing what is missing: ${missing[*]}"
    as_root apt-get update -qq
    local wanted=() choice name
    for choice in "${missing[@]}"; do
        # Package names change between releases: take the first one offered.
        for name in $choice; do
            if apt-cache show "$name" >/dev/null 2>&1; then
                wanted+=("$name")
                break
            fi
        done
    done
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "${wanted[@]}" >/dev/null
    missing=()
}

need_build_tools() {
    need c++ g++
    need make make
    need cmake cmake
    need /usr/include/GL/gl.h libgl-dev libgl1-mesa-dev
    need /usr/include/GL/glu.h libglu1-mesa-dev
    need /usr/include/GL/glut.h libglut-dev freeglut3-dev
}

# A private display, and the tools that type, click and read the screen there.
need_display_tools() {
    need Xvfb xvfb
    need python3 python3
    need xdotool xdotool
    need xwd x11-apps
    need xwininfo x11-utils
}

# Sets SOURCE_DATE_EPOCH to the date of the changelog's latest entry: files that packages hold
# get the release's time, not the clock's, and the same sources make the same bytes.
source_date_from_changelog() {
    SOURCE_DATE_EPOCH=$(date -d "$(sed -n 's/^ -- .*>  //p' "$root/packaging/changelog" | head -n1)" +%s)
    export SOURCE_DATE_EPOCH
}

# package_deb DIR: a release build of the program in DIR, and its Debian package there. cpack
# gives the package's own parts the modes that the umask gives its temporary files: 022 makes
# them what dpkg-deb writes.
package_deb() {
    source_date_from_changelog
    build "$1" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
    (cd "$1" && rm -f menger-sponge_*.deb && umask 022 && cpack -G DEB >/dev/null)
}

# project_version BUILD-DIR: the version of the CMake project configured there.
project_version() { sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$1/CMakeCache.txt"; }

# exe_version FILE: the product version in a Windows program's version resource: the first text
# after its name (names and values are padded to whole 32-bit words).
exe_version() {
    wrestool -x --raw -t 16 "$1" | iconv -f UTF-16LE -t UTF-8 -c | tr -c '[:print:]' '\n' |
        awk 'named && NF { print; exit } $0 == "ProductVersion" { named = 1 }'
}

# build DIR [cmake options...]: configures once, then builds.
build() {
    local dir=$1
    shift
    cmake -S "$root" -B "$dir" "$@" >/dev/null
    cmake --build "$dir" --parallel "$(nproc)"
}

# Starts a private X server for this script and stops it when the script ends. -displayfd picks
# a free display number; -noreset keeps the server as it is between clients.
start_xvfb() {
    local display_file
    display_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$display_file" 2>/dev/null &
    xvfb_pid=$!
    trap 'kill $xvfb_pid 2>/dev/null; wait $xvfb_pid 2>/dev/null' EXIT
    for _ in $(seq 100); do
        [[ -s $display_file ]] && break
        sleep 0.1
    done
    [[ -s $display_file ]] || { echo "Xvfb did not start" >&2; exit 1; }
    DISPLAY=":$(head -n1 "$display_file")"
    export DISPLAY LIBGL_ALWAYS_SOFTWARE=1
    rm -f "$display_file"
}

# A new Wine prefix, build-windows/wine, a Windows where nothing was installed before, whose
# programs run in a virtual desktop of their own: without one, and without a window manager,
# Wine's windows get no keys. Nothing goes into the menus of the machine's desktop. The first
# start, which makes the prefix, is quiet, and waited for: a program started while Wine still
# sets the prefix up may miss its first keys.
wine_desktop() {
    export WINEPREFIX=$root/build-windows/wine WINEDEBUG=-all
    rm -rf "$WINEPREFIX"
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 800x600 /f >/dev/null 2>&1
    wineserver -w
}
