#!/usr/bin/env bash
# Cross-builds the viewer for 64-bit Windows with mingw-w64 (the CMake preset `windows`):
# freeglut built as a static library from its upstream sources, as Debian 12's archive holds
# them, and the program built with it into one .exe that needs only the DLLs every Windows has.
# Writes, and prints the paths of (relative to the project's folder):
# - build/windows/menger-sponge-VERSION-windows-x64.zip: the .exe, the README, the licence and
#   freeglut's licence, whose notice goes with every copy;
# - build/windows/menger-sponge-VERSION-windows-x64-setup.exe: an installer of the same files.
set -euo pipefail
# shellcheck source=common.sh
source "$(dirname "$0")/common.sh"

# freeglut's upstream tarball, pinned: every machine, Debian 12 or 13, builds the same program.
# To move to a new freeglut, set its Debian version and the SHA-256 of its .orig tarball (which
# `sha256sum` prints once the new one is downloaded, as the failed check shows its path).
freeglut_release=bookworm
freeglut_sha256=3c0bcb915d9b180a97edaebd011b7a1de54583a838644dcd42bb0ea0c6f3eaec

# fetch_freeglut DIR: downloads freeglut's upstream tarball into DIR/source, through apt with a
# configuration of its own under DIR (sources, lists and cache): the machine's is not touched.
# The archive is the one that the machine installs Debian's packages from.
fetch_freeglut() {
    local dir=$1 mirror
    # shellcheck disable=SC2016 # apt's own field name, not the shell's
    mirror=$(apt-get indextargets --format '$(REPO_URI)' 'Label: Debian' | head -n1)
    [[ -n $mirror ]] || fail "no Debian archive among this machine's package lists (apt-get update)"
    mkdir -p "$dir"/apt/{lists/partial,cache/archives/partial,parts} "$dir/source"
    echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $mirror $freeglut_release main" \
        >"$dir/apt/sources.list"
    local apt=(apt-get -qq -o "Dir::Etc::SourceList=$dir/apt/sources.list"
        -o "Dir::Etc::SourceParts=$dir/apt/parts" -o "Dir::State::Lists=$dir/apt/lists"
        -o "Dir::Cache=$dir/apt/cache" -o APT::Sandbox::User="$(id -un)")
    "${apt[@]}" update
    (cd "$dir/source" && "${apt[@]}" source --download-only --tar-only freeglut >/dev/null)
    local tarball
    tarball=$(ls "$dir"/source/freeglut_*.orig.tar.?z)
    echo "$freeglut_sha256  $tarball" | sha256sum --check --quiet >&2 || fail "$tarball is not the pinned freeglut"
    tar -C "$dir/source" -xf "$tarball"
}

# build_freeglut DIR: freeglut as a static library for Windows, installed into DIR/install.
build_freeglut() {
    local dir=$1
    fetch_freeglut "$dir"
    cmake -S "$dir"/source/freeglut-*/ -B "$dir/build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$dir/install" -DFREEGLUT_BUILD_DEMOS=OFF \
        -DFREEGLUT_BUILD_SHARED_LIBS=OFF -DFREEGLUT_REPLACE_GLUT=ON >/dev/null
    cmake --build "$dir/build" --parallel "$(nproc)" >"$dir/build.log" 2>&1 || fail "$(tail -n 30 "$dir/build.log")"
    cmake --install "$dir/build" >/dev/null
    cp "$dir"/source/freeglut-*/COPYING "$dir/install/COPYING"
}

# check_imports EXE: the program needs no DLL beyond those that every Windows has.
check_imports() {
    local dll
    for dll in $(x86_64-w64-mingw32-objdump -p "$1" | awk '/DLL Name/ { print $3 }'); do
        case $dll in
        ADVAPI32.dll | GDI32.dll | KERNEL32.dll | msvcrt.dll | OPENGL32.dll | USER32.dll | WINMM.dll) ;;
        *) fail "$1 needs $dll, which not every Windows has" ;;
        esac
    done
}

main() {
    install_packages windows
    [[ -f $root/build/freeglut/install/lib/libglut.a ]] || build_freeglut "$root/build/freeglut"
    local files
    files=$(make_packages windows)
    check_imports "$root/build/windows/menger-sponge.exe"
    echo "$files"
}

main "$@"
