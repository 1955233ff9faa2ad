# shellcheck shell=bash
# Shared by the scripts, which source it: it sets `root`, the project's folder, and defines
# functions; it runs nothing.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# fail MESSAGE: says what went wrong, on standard error, and exits with status 1.
fail() {
    echo "$(basename "$0"): $*" >&2
    exit 1
}

# Runs a command as root: through sudo when not root already.
as_root() { if [[ $(id -u) -eq 0 ]]; then "$@"; else sudo "$@"; fi; }

# installed PACKAGE[:ARCH]: the package is installed for ARCH, or else for the machine's own
# architecture (or for all): another architecture's copy, such as i386's, does not count. A
# name that an installed package provides counts too (a Node.js from outside Debian provides
# npm, and refuses Debian's); grep reads that whole list, as -q would break its pipe.
installed() {
    local arch
    arch=$(dpkg --print-architecture)
    [[ $1 != *:* ]] || arch=${1#*:}
    dpkg-query -W -f='${db:Status-Abbrev}${Architecture}\n' "$1" 2>/dev/null | grep -Eqx "ii (all|$arch)" ||
        dpkg-query -W -f='${db:Status-Abbrev}${Provides}\n' | grep -E "^ii (.*[ ,])?$1([ ,(]|\$)" >/dev/null
}

# npm_packages: what the tests run in the browser (axe-core), from npm, into node_modules in the
# project's folder, as package-lock.json pins them. Where the npm registry cannot be reached, it
# says so, and the tests say what they could not check without them.
npm_packages() {
    (cd "$root" && npm ci --ignore-scripts --no-audit --no-fund --loglevel=error >/dev/null) ||
        echo "$(basename "$0"): warning: npm could not install axe-core: no accessibility checks" >&2
}

# add_architecture ARCH: Debian installs another architecture's libraries beside the machine's
# own once dpkg knows that architecture (`dpkg --remove-architecture ARCH` undoes it, once no
# package of it is left).
add_architecture() {
    if [[ $1 != "$(dpkg --print-architecture)" ]] && ! dpkg --print-foreign-architectures | grep -qx "$1"; then
        echo "Adding the $1 architecture to dpkg, to install $1 libraries for the cross-build" >&2
        as_root dpkg --add-architecture "$1"
    fi
}

# packages_for PURPOSE...: the packages that scripts/packages lists for these purposes.
packages_for() {
    awk -v purposes=" $* " 'index(purposes, " " $1 " ") { $1 = ""; print substr($0, 2) }' \
        "$root/scripts/packages"
}

# install_packages PURPOSE...: installs, in one apt-get run, what scripts/packages lists for
# these purposes and is not installed yet; nothing when all is there.
install_packages() {
    local name wanted=()
    for name in $(packages_for "$@"); do
        installed "$name" || wanted+=("$name")
    done
    ((${#wanted[@]} > 0)) || return 0
    for name in "${wanted[@]}"; do
        [[ $name != *:* ]] || add_architecture "${name#*:}"
    done
    echo "Installing what is missing: ${wanted[*]}" >&2
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "${wanted[@]}" </dev/null >/dev/null
}

# build_preset NAME: configures and builds with the CMake preset NAME, into build/NAME.
build_preset() {
    (cd "$root" && cmake --preset "$1" >/dev/null && cmake --build --preset "$1" --parallel "$(nproc)")
}

# changelog FIELD: a field of the changelog's latest entry, such as Version, or Timestamp (its
# time in seconds since 1970). Files that the packages hold get that time, never the clock's, so
# that the same sources make the same bytes.
changelog() { dpkg-parsechangelog -l "$root/packaging/changelog" -S "$1"; }

# package_preset NAME: makes the package of the CMake package preset NAME, in build/NAME. cpack
# gives the .deb's own parts the modes that the umask gives its temporary files: 022 makes them
# what dpkg-deb writes.
package_preset() {
    (cd "$root" && umask 022 && SOURCE_DATE_EPOCH=$(changelog Timestamp) cpack --preset "$1" >/dev/null)
}

# make_zip BUILD-DIR ZIP: the files that the build installs, with the release's time, in a fixed
# order, without extra attributes (-X): the same bytes from the same sources.
make_zip() {
    local files
    files=$(mktemp -d)
    cmake --install "$1" --prefix "$files" >/dev/null
    find "$files" -exec touch -d "@$(changelog Timestamp)" {} +
    rm -f "$2"
    (cd "$files" && find . -type f | LC_ALL=C sort | TZ=UTC zip -q -X -@ "$2")
    rm -rf "$files"
}

# make_packages PRESET: builds the CMake preset PRESET and makes, in build/PRESET, the packages
# of the package preset of that name, and for Windows the zip beside the installer; the web
# page is a package as it is built. Prints their paths, relative to the project's folder.
make_packages() {
    local build=$root/build/$1
    rm -f "$build"/menger-sponge[_-]*.*
    build_preset "$1" >/dev/null
    if [[ $1 != web ]]; then
        package_preset "$1"
    fi
    if [[ $1 == windows ]]; then
        make_zip "$build" "$build/menger-sponge-$(changelog Version)-windows-x64.zip"
    fi
    (cd "$root" && find "build/$1" -maxdepth 1 -type f -name 'menger-sponge[_-]*' | LC_ALL=C sort)
}

# on_private_display COMMAND...: runs COMMAND on an X server of its own, with Mesa's software
# OpenGL, in a subshell whose end stops the server. -displayfd picks a free display number;
# -noreset keeps the server as it is between clients. The screen holds an 800 x 800 browser
# window at 2 device pixels to the CSS pixel.
on_private_display() (
    number=$(mktemp)
    Xvfb -displayfd 3 -screen 0 2048x2048x24 -nolisten tcp -noreset 3>"$number" >/dev/null 2>&1 &
    server=$!
    trap 'kill "$server"; wait "$server" || true; rm -f "$number"' EXIT
    for _ in $(seq 100); do
        [[ -s $number ]] && break
        sleep 0.1
    done
    [[ -s $number ]] || fail "Xvfb did not start"
    DISPLAY=":$(head -n1 "$number")" LIBGL_ALWAYS_SOFTWARE=1 "$@"
)

# in_wine PREFIX COMMAND...: runs COMMAND with Wine's prefix PREFIX, quietly, without Mono, Gecko
# or entries in the desktop's menus, reading /dev/null: started with no standard input at all, as
# CI starts the scripts, Wine fails ("recvmsg: Socket operation on non-socket").
in_wine() {
    WINEPREFIX=$1 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" "${@:2}" </dev/null
}

# new_wine_prefix PREFIX: a new Wine prefix, a Windows where nothing was installed before, whose
# programs run in a virtual desktop of their own: without one, and without a window manager,
# Wine's windows get no keys. Its first start, which makes it, is waited for: a program started
# while Wine still sets the prefix up may miss its first keys.
new_wine_prefix() {
    rm -rf "$1"
    in_wine "$1" wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    in_wine "$1" wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 800x600 /f >/dev/null 2>&1
    in_wine "$1" wineserver -w
}
