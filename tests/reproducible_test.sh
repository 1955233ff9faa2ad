#!/usr/bin/env bash
# The Debian package, the Windows zip and the installer, built again from a copy of the sources
# in another folder and with another umask, are the same bytes as those built here already.
# freeglut's library is reused, not built again.
set -euo pipefail
# shellcheck source=../scripts/common.sh
source "$(dirname "$0")/../scripts/common.sh"
other=$(mktemp -d)
trap 'rm -rf "$other"' EXIT
tar -C "$root" --exclude='./build*' --exclude=./dist --exclude=./.git -c . | tar -C "$other" -x -m # with new file times
package_deb "$root/build-release" # a rebuild of nothing after the tests
cd "$root"
cp -a --parents build-windows/freeglut "$other"
(
    umask 002
    # shellcheck source=../scripts/common.sh
    source "$other/scripts/common.sh" # the copy's, whose root is the copy
    package_deb "$other/build-release"
    "$other/scripts/build-windows.sh" >/dev/null
)
for file in build-release/menger-sponge_*.deb build-windows/menger-sponge-*-windows-x64{.zip,-setup.exe}; do
    cmp "$file" "$other/$file" || { echo "FAILED: built twice, $file differs (diffoscope shows how)" >&2 && exit 1; }
done
echo "reproducible: passed"
