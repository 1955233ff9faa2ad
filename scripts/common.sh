# shellcheck shell=bash
# Shared by the scripts, which source it: it sets `root`, the project's folder, and defines
# functions; it runs nothing.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Runs a command as root: through sudo when not root already.
as_root() { if [[ $(id -u) -eq 0 ]]; then "$@"; else sudo "$@"; fi; }

# install_missing NEED...: each NEED is WHAT:PACKAGE, a command or an absolute path and the
# package that brings it (PACKAGE|OTHER where the name changed between releases: the first that
# the package lists know is taken). Installs, with apt-get, the packages of what is missing.
install_missing() {
    local need what wanted=() chosen=() choice name
    for need in "$@"; do
        what=${need%%:*}
        if [[ $what == /* ]]; then
            [[ -e $what ]] && continue
        else
            command -v "$what" >/dev/null 2>&1 && continue
        fi
        wanted+=("${need#*:}")
    done
    ((${#wanted[@]} > 0)) || return 0
    if ! command -v apt-get >/dev/null 2>&1; then
        echo "Missing: ${wanted[*]}. Install them with your package manager." >&2
        return 1
    fi
    echo "Installing what is missing: ${wanted[*]}" >&2
    as_root apt-get update -qq
    for choice in "${wanted[@]}"; do
        for name in ${choice//|/ }; do
            if [[ -n $(apt-cache show "$name" 2>/dev/null) ]]; then
                chosen+=("$name")
                break
            fi
        done
    done
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "${chosen[@]}" </dev/null >/dev/null
}

# The folder of the machine's own libraries. Other architectures' may be installed beside it
# (32-bit ones for Wine or games, arm64 ones for a cross-build): never take the first of a glob.
native_libdir() { echo "/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH 2>/dev/null)"; }

# The compiler, CMake, and OpenGL and GLUT for the machine's own architecture.
install_build_tools() {
    install_missing c++:g++ make:make cmake:cmake dpkg-architecture:dpkg-dev
    local libs
    libs=$(native_libdir)
    install_missing "$libs/libGL.so:libgl-dev" "$libs/libGLU.so:libglu1-mesa-dev" \
        "$libs/libglut.so:libglut-dev|freeglut3-dev"
}

# A private X display, and the tools that type, click and read the screen there.
install_display_tools() {
    install_missing Xvfb:xvfb python3:python3 xdotool:xdotool xwd:x11-apps xwininfo:x11-utils
}

# build_preset NAME: configures and builds with the CMake preset NAME, into build/NAME.
build_preset() {
    (cd "$root" && cmake --preset "$1" >/dev/null && cmake --build --preset "$1" --parallel "$(nproc)")
}

# release_time: the time of the changelog's latest entry, in seconds since 1970. Files that the
# packages hold get this time, never the clock's, so that the same sources make the same bytes.
release_time() { dpkg-parsechangelog -l "$root/packaging/changelog" -S Timestamp; }

# package_preset NAME: makes the package of the CMake package preset NAME. cpack gives the .deb's
# own parts the modes that the umask gives its temporary files: 022 makes them what dpkg-deb
# writes.
package_preset() {
    (cd "$root" && umask 022 && SOURCE_DATE_EPOCH=$(release_time) cpack --preset "$1" >/dev/null)
}

# project_version BUILD-DIR: the version of the CMake project configured there.
project_version() { sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$1/CMakeCache.txt"; }

# exe_version FILE: the product version in a Windows program's version resource: the first text
# after its name (names and values are padded to whole 32-bit words).
exe_version() {
    wrestool -x --raw -t 16 "$1" | iconv -f UTF-16LE -t UTF-8 -c | tr -c '[:print:]' '\n' |
        awk 'named && NF { print; exit } $0 == "ProductVersion" { named = 1 }'
}

# on_private_display COMMAND...: runs COMMAND on an X server of its own, with Mesa's software
# OpenGL, in a subshell whose end stops the server. -displayfd picks a free display number;
# -noreset keeps the server as it is between clients.
on_private_display() (
    number=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$number" >/dev/null 2>&1 &
    server=$!
    trap 'kill "$server"; wait "$server" || true; rm -f "$number"' EXIT
    for _ in $(seq 100); do
        [[ -s $number ]] && break
        sleep 0.1
    done
    [[ -s $number ]] || { echo "Xvfb did not start" >&2 && exit 1; }
    DISPLAY=":$(head -n1 "$number")" LIBGL_ALWAYS_SOFTWARE=1 "$@"
)

# in_wine PREFIX COMMAND...: runs COMMAND with Wine's prefix PREFIX, quietly, without Mono, Gecko
# or entries in the desktop's menus.
in_wine() {
    WINEPREFIX=$1 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" "${@:2}"
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

# install_package_checkers: what check_deb runs.
install_package_checkers() {
    install_missing dpkg-deb:dpkg desktop-file-validate:desktop-file-utils lintian:lintian \
        hardening-check:devscripts appstreamcli:appstream
}

# check_deb DEB: the Debian package holds every file and depends on what its binary links, and
# passes lintian, desktop-file-validate, appstreamcli and hardening-check. No package ships
# without it.
check_deb() (
    deb=$1 files=$(mktemp -d)
    trap 'rm -rf "$files"' EXIT
    fail() { echo "check_deb: $deb: $*" >&2 && exit 1; }
    dpkg-deb -x "$deb" "$files"
    for file in bin/menger-sponge share/applications/menger-sponge.desktop share/man/man6/menger-sponge.6.gz \
        share/icons/hicolor/{16x16,32x32,48x48,128x128,256x256}/apps/menger-sponge.png \
        share/doc/menger-sponge/{copyright,changelog.gz} share/metainfo/org.example.menger_sponge.metainfo.xml; do
        [[ -f $files/usr/$file ]] || fail "it lacks $file"
    done
    depends=$(dpkg-deb -f "$deb" Depends)
    [[ $depends == *libc6*libglut* && $depends =~ libopengl0|libgl1 ]] || fail "Depends: $depends"
    desktop-file-validate "$files"/usr/share/applications/*.desktop || fail "the desktop entry"

    # Every AppStream finding fails but two. The project has no web address yet, and AppStream 1.0
    # (Debian 13) warns of the missing homepage: this goes once it has one. AppStream 0.16 (Debian
    # 12) does not know the <developer> element that 1.0 asks for in place of <developer_name>,
    # and reports it as unknown: the two releases cannot both be satisfied.
    no_homepage=url-homepage-missing skip=()
    findings=$(appstreamcli validate --no-net --pedantic "$files"/usr/share/metainfo/*.xml) || true
    unexpected=$(grep -E '^[A-Z]:' <<<"$findings" | grep -Ev ": ($no_homepage|unknown-tag developer)\$") || true
    [[ $findings == *Validation* ]] || fail "appstreamcli validated nothing: $findings"
    [[ -z $unexpected ]] || fail "the AppStream metadata: $unexpected"
    # lintian reports the missing homepage again, as a failed validation.
    [[ $findings == *"$no_homepage"* ]] && skip=(--suppress-tags appstream-metadata-validation-failed)
    lintian --display-info --fail-on error,warning,info "${skip[@]}" "$deb" 2>/dev/null >&2 || fail "lintian"

    # Every hardening feature present, or not applicable (unknown: no such code in the program);
    # but control-flow integrity and branch protection, which Debian's own C start files
    # (Scrt1.o, crti.o) lack on 12 and 13, so that the linker drops the program's.
    report=$(hardening-check "$files/usr/bin/menger-sponge" 2>/dev/null || true)
    absent=$(grep ': no' <<<"$report" | grep -Ev 'Control flow integrity|Branch Protection' || true)
    [[ -z $absent && $report == *"Immediate binding: yes"* ]] || fail "hardening: $report"
)
