#!/usr/bin/env bash
# install_test.sh BUILD-DIR: the .deb (made by cmake --install's rules) must hold every file, pass
# lintian, desktop-file-validate and appstreamcli, and its program the end-to-end test. Only in CI
# (CI=true, as root, on a machine thrown away after) is it installed for real, run and removed.
set -euo pipefail
build=$1 tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAILED: $*" >&2 && exit 1; }
run() { MENGER_SPONGE="exec $1" python3 "$(dirname "$0")/e2e.py" >/dev/null || fail "$1 as a user"; }

(cd "$build" && rm -f menger-sponge_*.deb && cpack -G DEB >/dev/null) || fail "cpack -G DEB"
deb=$(ls "$build"/menger-sponge_*.deb)
dpkg-deb -x "$deb" "$tmp"
for file in bin/menger-sponge share/applications/menger-sponge.desktop share/man/man6/menger-sponge.6.gz \
    share/icons/hicolor/{48x48,128x128,256x256}/apps/menger-sponge.png \
    share/doc/menger-sponge/{copyright,changelog.gz} share/metainfo/org.example.menger_sponge.metainfo.xml; do
    [[ -f $tmp/usr/$file ]] || fail "the .deb lacks $file"
done
depends=$(dpkg-deb -f "$deb" Depends)
[[ $depends == *libc6*libglut* && $depends =~ libopengl0|libgl1 ]] || fail "the .deb's Depends: $depends"
lintian --fail-on error,warning "$deb" 2>/dev/null || fail "lintian"
desktop-file-validate "$tmp"/usr/share/applications/*.desktop || fail "the desktop entry"
findings=$(appstreamcli validate --no-net --pedantic "$tmp"/usr/share/metainfo/*.xml) &&
    ! grep -q '^[A-Z]:' <<<"$findings" || fail "the AppStream metadata: $findings"
run "$tmp/usr/bin/menger-sponge"

if [[ ${CI:-} == true && $(id -u) -eq 0 ]]; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >/dev/null
    run /usr/bin/menger-sponge
    DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq menger-sponge >/dev/null
    [[ ! -e /usr/bin/menger-sponge ]] || fail "removing the package left /usr/bin/menger-sponge"
fi
echo "install and package: passed"
