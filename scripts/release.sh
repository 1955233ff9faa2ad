#!/usr/bin/env bash
# Makes the release from the committed tree, in dist/: the Debian package, the Windows zip and
# installer, the source tarball and SHA256SUMS for them. The same commit makes the same bytes,
# wherever and whenever it is built: file times are the changelog's date, never the clock's.
set -euo pipefail
# shellcheck source=common.sh
source "$(dirname "$0")/common.sh"
need_build_tools
need git git
need dpkg-shlibdeps dpkg-dev
need file file
need wrestool icoutils
install_missing
cd "$root"
if [[ -n $(git status --porcelain) ]]; then
    echo "release.sh: the release is made from the committed tree; commit or remove these first:" >&2
    git status --short >&2
    exit 1
fi

echo "Building the Debian package and the Windows files"
package_deb "$root/build-release"
"$root/scripts/build-windows.sh" >/dev/null

# One version, the CMake project's, wherever the version is written.
version=$(project_version build-release)
same() { [[ $2 == "$version" ]] || { echo "release.sh: $1 says $2, CMakeLists.txt $version" >&2 && exit 1; }; }
same packaging/changelog "$(sed -n '1s/^menger-sponge (\(.*\)).*/\1/p' packaging/changelog)"
metainfo=packaging/org.example.menger_sponge.metainfo.xml
same $metainfo "$(grep -o -m1 '<release version="[^"]*"' $metainfo | cut -d'"' -f2)"
same "build-windows/menger-sponge.exe's version resource" "$(exe_version build-windows/menger-sponge.exe)"

rm -rf dist
mkdir dist
cp build-release/menger-sponge_"$version"_*.deb build-windows/menger-sponge-"$version"-windows-x64.zip \
    build-windows/menger-sponge-"$version"-windows-x64-setup.exe dist/
git archive --format=tar.gz --prefix="menger-sponge-$version/" -o "dist/menger-sponge-$version.tar.gz" HEAD
(cd dist && sha256sum -- *.deb *.zip *.exe *.tar.gz >SHA256SUMS)
echo "Wrote $root/dist:"
(cd dist && ls -l -- *)
