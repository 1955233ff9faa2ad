#!/usr/bin/env bash
# package_test.sh BUILD-DIR [EMULATOR...]: the Debian package of that build passes the checks that
# every shipped package passes, and its program passes the end-to-end test (run by EMULATOR, if
# given).
set -euo pipefail
# shellcheck source=../scripts/common.sh
source "$(dirname "$0")/../scripts/common.sh"
build=$1 program=$(mktemp -d)
trap 'rm -rf "$program"' EXIT
(cd "$build" && rm -f menger-sponge_*.deb && cpack -G DEB >/dev/null)
deb=$(ls "$build"/menger-sponge_*.deb)
check_deb "$deb"
dpkg-deb -x "$deb" "$program"
python3 "$root/tests/e2e.py" "${@:2}" "$program/usr/bin/menger-sponge" >/dev/null
echo "Debian package: passed"
