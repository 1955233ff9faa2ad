#!/usr/bin/env bash
# Builds the viewer's page (build-web.sh) and tests it in Chromium, Firefox and WebKit on a
# private X display: the end-to-end test, the page opened from disk, with real key events and
# right clicks, its pictures judged as the desktop program's are, on screens of 1 and 2 device
# pixels to the CSS pixel; what only the page does, served over HTTP, on a screen of 2; and the
# page built again to the same bytes.
set -euo pipefail
# shellcheck source=common.sh
source "$(dirname "$0")/common.sh"

# in_engines PAGE: the page's tests in each engine. Debian's Python, which has Debian's Selenium,
# whatever python3 comes first on the PATH.
in_engines() {
    local engine ratio
    for engine in chromium firefox webkit; do
        for ratio in 1 2; do
            echo "The page in $engine, $ratio device pixels to the CSS pixel" >&2
            /usr/bin/python3 "$root/tests/e2e.py" "$engine" "$ratio" "$1"
        done
        /usr/bin/python3 "$root/tests/page_test.py" "$engine" 2 "$1"
    done
}

main() {
    install_packages web web-test display
    npm_packages
    local page
    page=$root/$("$root/scripts/build-web.sh")
    on_private_display in_engines "$page"
    bash "$root/tests/reproducible_test.sh" web
}

main "$@"
