#!/usr/bin/env bash
# Cross-builds the viewer for 64-bit Windows with mingw-w64: freeglut built as a static library
# from its upstream sources, as Debian's archive holds them, and the program built by the
# project's CMake with it, into one .exe that needs only the DLLs every Windows has. Writes it
# as build-windows/menger-sponge.exe, and the two ways to ship it:
# - build-windows/menger-sponge-VERSION-windows-x64.zip: the .exe, the README, the licence and
#   freeglut's licence, whose notice goes with every copy;
# - build-windows/menger-sponge-VERSION-windows-x64-setup.exe: an installer of the same files.
set -euo pipefail
# shellcheck source=common.sh
source "$(dirname "$0")/common.sh"
need cmake cmake
need make make
need x86_64-w64-mingw32-g++ g++-mingw-w64-x86-64
need zip zip
need makensis nsis
install_missing
out=$root/build-windows freeglut=$root/build-windows/freeglut toolchain=$root/cmake/mingw-w64.cmake

if [[ ! -f $freeglut/lib/libglut.a ]]; then
    # freeglut's upstream sources, from the archive that the machine installs from.
    if ! apt-get source --tar-only --print-uris freeglut >/dev/null 2>&1; then
        echo "Adding source packages from the archive this machine uses"
        deb822=$(find /etc/apt/sources.list.d -maxdepth 1 -name 'debian.sources' -o -name 'ubuntu.sources' | head -n1)
        if [[ -n $deb822 ]]; then
            awk '/^Types:/ { $0 = "Types: deb-src" } { print } /^$/ { exit }' "$deb822" |
                as_root tee /etc/apt/sources.list.d/menger-sponge-sources.sources >/dev/null
        else
            sed -n 's/^deb /deb-src /p' /etc/apt/sources.list | head -n1 |
                as_root tee /etc/apt/sources.list.d/menger-sponge-sources.list >/dev/null
        fi
        as_root apt-get update -qq
    fi
    src=$(mktemp -d)
    log=$( (cd "$src" && apt-get source --tar-only freeglut) 2>&1) || { echo "$log" >&2 && exit 1; }
    tar -C "$src" -xf "$src"/freeglut_*.orig.tar.?z
    cmake -S "$src"/freeglut-*/ -B "$src/build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$freeglut" -DFREEGLUT_BUILD_DEMOS=OFF \
        -DFREEGLUT_BUILD_SHARED_LIBS=OFF -DFREEGLUT_REPLACE_GLUT=ON >/dev/null
    cmake --build "$src/build" --parallel "$(nproc)" >"$src/log" 2>&1 || { tail -n 30 "$src/log" >&2 && exit 1; }
    cmake --install "$src/build" >/dev/null
    cp "$src"/freeglut-*/COPYING "$freeglut/COPYING"
    rm -rf "$src"
fi

source_date_from_changelog
build "$out" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_FIND_ROOT_PATH="$freeglut" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DMENGER_FREEGLUT_LICENSE="$freeglut/COPYING" >/dev/null
for dll in $(x86_64-w64-mingw32-objdump -p "$out/menger-sponge.exe" | awk '/DLL Name/ { print $3 }'); do
    case $dll in
    ADVAPI32.dll | GDI32.dll | KERNEL32.dll | msvcrt.dll | OPENGL32.dll | USER32.dll | WINMM.dll) ;;
    *) echo "menger-sponge.exe needs $dll, which not every Windows has" >&2 && exit 1 ;;
    esac
done

# The zip holds what the installer installs, with the release's time, in a fixed order, and no
# extra attributes (-X): the same bytes from the same sources.
version=$(project_version "$out")
zip=$out/menger-sponge-$version-windows-x64.zip files=$(mktemp -d)
cmake --install "$out" --prefix "$files" >/dev/null
touch -d "@$SOURCE_DATE_EPOCH" "$files"/*
rm -f "$zip"
(cd "$files" && find . -type f | LC_ALL=C sort | TZ=UTC zip -q -X -@ "$zip")
rm -rf "$files"
(cd "$out" && cpack -G NSIS >/dev/null)
echo "Wrote build-windows/menger-sponge.exe, ${zip#"$root"/} and build-windows/menger-sponge-$version-windows-x64-setup.exe"
