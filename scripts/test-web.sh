#!/usr/bin/env bash
# Builds the viewer's page (build-web.sh) and tests it in Debian's headless Chromium, opened from
# disk: the end-to-end test, with real key events and right clicks, its pictures judged as the
# desktop program's are; what only the page does; and the page built again to the same bytes.
set -euo pipefail
# shellcheck source=common.sh
source "$(dirname "$0")/common.sh"

main() {
    install_packages web web-test
    local page
    page=$root/$("$root/scripts/build-web.sh")
    # Debian's Python, which has Debian's Selenium, whatever python3 comes first on the PATH.
    /usr/bin/python3 "$root/tests/e2e.py" "$page"
    /usr/bin/python3 "$root/tests/page_test.py" "$page"
    bash "$root/tests/reproducible_test.sh" web
}

main "$@"
