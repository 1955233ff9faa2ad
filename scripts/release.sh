#!/usr/bin/env bash
# Makes the release from the committed tree, in dist/: the Debian packages for amd64 and arm64,
# the Windows zip and installer, the page for the browser, the source tarball and SHA256SUMS for
# them. The same commit makes the same bytes, wherever and whenever it is built: file times are
# the changelog's date, never the clock's. Make it on Debian 12, the oldest release supported:
# its packages install on 13 too.
set -euo pipefail
# shellcheck source=common.sh
source "$(dirname "$0")/common.sh"

main() {
    install_packages source package
    cd "$root"
    if [[ -n $(git status --porcelain) ]]; then
        echo "release.sh: the release is made from the committed tree; commit or remove these first:" >&2
        git status --short >&2
        exit 1
    fi
    echo "Building the Debian packages, the Windows files and the page" >&2
    local files version
    files=$(scripts/build-deb.sh && scripts/build-deb.sh arm64 && scripts/build-windows.sh && scripts/build-web.sh)
    version=$(changelog Version)
    rm -rf dist
    mkdir dist
    # shellcheck disable=SC2086 # one path a line
    cp $files dist/
    git archive --format=tar.gz --prefix="menger-sponge-$version/" -o "dist/menger-sponge-$version.tar.gz" HEAD
    (cd dist && sha256sum -- *.deb *.zip *.exe *.html *.tar.gz >SHA256SUMS)
    echo "Wrote $root/dist:"
    (cd dist && ls -l -- *)
}

main "$@"
