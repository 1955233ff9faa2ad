#!/usr/bin/env bash
# Makes the release from the committed tree, in dist/: the Debian packages for amd64 and arm64,
# the Windows zip and installer, the source tarball and SHA256SUMS for them. The same commit makes
# the same bytes, wherever and whenever it is built: file times are the changelog's date, never
# the clock's. Make it on Debian 12, the oldest release supported: its packages install on 13 too.
set -euo pipefail
# shellcheck source=common.sh
source "$(dirname "$0")/common.sh"

# same FILE FOUND WANTED: stops, naming FILE, unless it says what the changelog says.
same() {
    [[ $2 == "$3" ]] || { echo "release.sh: $1 says '$2'; the changelog's version and date make it '$3'" >&2 && exit 1; }
}

# check_versions: the version and the date are the changelog's wherever they are written.
check_versions() {
    local version date
    version=$(dpkg-parsechangelog -l packaging/changelog -S Version)
    date=$(date -u -d "@$(release_time)" +%F)
    same CMakeLists.txt "$(project_version build/release)" "$version"
    same packaging/menger-sponge.6 "$(grep -m1 '^\.TH' packaging/menger-sponge.6)" \
        ".TH MENGER-SPONGE 6 $date \"menger-sponge $version\" \"Games and Demos\""
    local metainfo=packaging/org.example.menger_sponge.metainfo.xml
    same $metainfo "$(grep -o -m1 '<release [^>]*>' $metainfo)" "<release version=\"$version\" date=\"$date\"/>"
    same "menger-sponge.exe's version resource" "$(exe_version build/windows/menger-sponge.exe)" "$version"
}

main() {
    install_build_tools
    install_missing git:git wrestool:icoutils
    cd "$root"
    if [[ -n $(git status --porcelain) ]]; then
        echo "release.sh: the release is made from the committed tree; commit or remove these first:" >&2
        git status --short >&2
        exit 1
    fi
    echo "Building the Debian packages and the Windows files" >&2
    local files
    files=$(scripts/build-deb.sh && scripts/build-arm64.sh && scripts/build-windows.sh)
    check_versions
    local version
    version=$(project_version build/release)
    rm -rf dist
    mkdir dist
    # shellcheck disable=SC2086 # one path a line
    cp $files dist/
    git archive --format=tar.gz --prefix="menger-sponge-$version/" -o "dist/menger-sponge-$version.tar.gz" HEAD
    (cd dist && sha256sum -- *.deb *.zip *.exe *.tar.gz >SHA256SUMS)
    echo "Wrote $root/dist:"
    (cd dist && ls -l -- *)
}

main "$@"
