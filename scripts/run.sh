#!/usr/bin/env bash
# Installs what the viewer needs, builds it and opens it. Arguments go on to
# the viewer, which hands them to GLUT (for example -geometry 800x800).
set -euo pipefail
# shellcheck source=common.sh
source "$(dirname "$0")/common.sh"

need_build_tools
install_missing
build "$root/build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null

has_display_option=false
for arg in "$@"; do
    [[ $arg == -display ]] && has_display_option=true
done
if [[ -z ${DISPLAY:-} && $has_display_option == false ]]; then
    echo "menger-sponge: no display to open: DISPLAY is not set (run it inside a desktop session)." >&2
    exit 1
fi
exec "$root/build/menger-sponge" "$@"
