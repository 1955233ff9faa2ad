#!/usr/bin/env bash
# Installs the program into a temporary folder and packages it: the install
# tree holds the program, its desktop entry, icons and manual page; the .deb
# lists them and depends on what the binary links; the binary taken out of
# the .deb shows the first frame. Only in CI (CI=true, as root, on a machine
# thrown away afterwards) is the .deb installed for real, run and removed.
# Usage: install_test.sh BUILD-DIR (with the tests built in it).
set -euo pipefail
build=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() {
    echo "FAILED: $*" >&2
    exit 1
}

files=(
    bin/menger-sponge
    share/applications/menger-sponge.desktop
    share/icons/hicolor/48x48/apps/menger-sponge.png
    share/icons/hicolor/128x128/apps/menger-sponge.png
    share/icons/hicolor/256x256/apps/menger-sponge.png
    share/man/man6/menger-sponge.6
)

cmake --install "$build" --prefix "$tmp/usr" >/dev/null
for file in "${files[@]}"; do
    [[ -f $tmp/usr/$file ]] || fail "cmake --install did not install $file"
done
desktop-file-validate "$tmp/usr/share/applications/menger-sponge.desktop" ||
    fail "the desktop entry does not validate"
warnings=$(groff -ww -man -Tutf8 "$tmp/usr/share/man/man6/menger-sponge.6" 2>&1 >/dev/null)
[[ -z $warnings ]] || fail "the manual page renders with warnings: $warnings"
page=$(groff -man -Tutf8 "$tmp/usr/share/man/man6/menger-sponge.6" 2>/dev/null | col -b)
for word in q e a d w s l f v 0 5 + - Esc Lighting Inverse Wireframe "Exit demo" \
    "4 Iterations" "Use Q W E A S D to rotate" "Use +/- to scale cube size" -geometry -display; do
    grep -qF -- "$word" <<<"$page" || fail "the manual page does not mention $word"
done

rm -f "$build"/menger-sponge_*.deb
(cd "$build" && cpack -G DEB >/dev/null) || fail "cpack -G DEB failed"
deb=$(ls "$build"/menger-sponge_*.deb)
listing=$(dpkg-deb -c "$deb")
for file in "${files[@]}"; do
    grep -q " \./usr/$file\$" <<<"$listing" || fail "the .deb does not hold /usr/$file"
done
depends=$(dpkg-deb -f "$deb" Depends)
# OpenGL comes as libopengl0 and libglx0 where GL is dispatched by GLVND, else as libgl1.
for library in libc6 libglut 'libopengl0|libgl1'; do
    grep -qE "$library" <<<"$depends" || fail "the .deb does not depend on $library: $depends"
done

dpkg-deb -x "$deb" "$tmp/extracted"
MENGER_SPONGE=$tmp/extracted/usr/bin/menger-sponge "$build/tests/e2e_tests" \
    --gtest_filter='as_a_user.esc_exits_with_status_zero' >/dev/null ||
    fail "the binary from the .deb did not show the first frame and quit on Esc"

if [[ ${CI:-} == true && $(id -u) -eq 0 ]]; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >/dev/null
    MENGER_SPONGE=/usr/bin/menger-sponge "$build/tests/e2e_tests" \
        --gtest_filter='as_a_user.esc_exits_with_status_zero' >/dev/null ||
        fail "the installed program did not show the first frame and quit on Esc"
    DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq menger-sponge >/dev/null
    [[ ! -e /usr/bin/menger-sponge ]] || fail "removing the package left /usr/bin/menger-sponge"
    echo "installed with apt-get, started and removed"
fi
echo "install and package: passed"
