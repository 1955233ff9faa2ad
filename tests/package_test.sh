#!/usr/bin/env bash
# package_test.sh DEB [EMULATOR...]: the program that the Debian package installs passes the
# end-to-end test (run by EMULATOR, if given). build-deb.sh has checked the package itself.
set -euo pipefail
# In a subshell, whose end removes the unpacked files.
main() (
    program=$(mktemp -d)
    trap 'rm -rf "$program"' EXIT
    dpkg-deb -x "$1" "$program"
    /usr/bin/python3 "$(dirname "$0")/e2e.py" "${@:2}" "$program/usr/bin/menger-sponge" >/dev/null
    echo "Debian package: passed"
)

main "$@"
