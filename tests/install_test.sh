#!/usr/bin/env bash
# Installs into a temporary folder and builds the .deb: both must hold every file, pass their
# checkers, and the binary from the .deb must show the first frame. Only in CI (CI=true, as
# root, on a machine thrown away afterwards) is the .deb installed for real, run and removed.
# Usage: install_test.sh BUILD-DIR (with the tests built in it).
set -euo pipefail
build=$1 tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAILED: $*" >&2 && exit 1; }
first_frame() { MENGER_SPONGE=$1 "$build/tests/e2e_tests" --gtest_filter='*then_esc' >/dev/null; }
files=(bin/menger-sponge share/applications/menger-sponge.desktop share/man/man6/menger-sponge.6
    share/icons/hicolor/{48x48,128x128,256x256}/apps/menger-sponge.png)

cmake --install "$build" --prefix "$tmp/usr" >/dev/null
for file in "${files[@]}"; do [[ -f $tmp/usr/$file ]] || fail "cmake --install left out $file"; done
desktop-file-validate "$tmp/usr/share/applications/menger-sponge.desktop" || fail "desktop entry"
[[ -z $(groff -ww -man -Tutf8 "$tmp/usr/share/man/man6/menger-sponge.6" 2>&1 >/dev/null) ]] ||
    fail "the manual page renders with warnings"

rm -f "$build"/menger-sponge_*.deb
(cd "$build" && cpack -G DEB >/dev/null) || fail "cpack -G DEB"
deb=$(ls "$build"/menger-sponge_*.deb)
listing=$(dpkg-deb -c "$deb")
for file in "${files[@]}"; do grep -q " \./usr/$file\$" <<<"$listing" || fail "the .deb lacks $file"; done
grep -qE 'libc6.*libglut.*(libopengl0|libgl1)' <<<"$(dpkg-deb -f "$deb" Depends)" ||
    fail "the .deb's dependencies are not read off the binary: $(dpkg-deb -f "$deb" Depends)"
dpkg-deb -x "$deb" "$tmp/deb"
first_frame "$tmp/deb/usr/bin/menger-sponge" || fail "the binary from the .deb"

if [[ ${CI:-} == true && $(id -u) -eq 0 ]]; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >/dev/null
    first_frame /usr/bin/menger-sponge || fail "the installed program"
    DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq menger-sponge >/dev/null
    [[ ! -e /usr/bin/menger-sponge ]] || fail "removing the package left /usr/bin/menger-sponge"
fi
echo "install and package: passed"
