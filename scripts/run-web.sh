#!/usr/bin/env bash
# Builds the viewer's page (build-web.sh) and opens it in the desktop's browser, or, where there
# is no desktop to open it in, says where it is.
set -euo pipefail
# shellcheck source=common.sh
source "$(dirname "$0")/common.sh"

main() {
    local page
    page=$root/$("$root/scripts/build-web.sh")
    if [[ -n ${DISPLAY:-}${WAYLAND_DISPLAY:-} ]] && command -v xdg-open >/dev/null; then
        xdg-open "$page"
    else
        echo "Open $page in a web browser."
    fi
}

main "$@"
