#!/usr/bin/env bash
# reproducible_test.sh PRESET...: the packages of these CMake presets, as built in build/PRESET,
# are made again to the same bytes from a copy of the sources with new file times, in another
# folder, under another umask. freeglut's download and library are reused, not made again.
set -euo pipefail
# shellcheck source=../scripts/common.sh
source "$(dirname "$0")/../scripts/common.sh"

# In a subshell, whose end removes the copy.
main() (
    ours=$root
    other=$(mktemp -d)
    trap 'rm -rf "$other"' EXIT
    tar -C "$ours" --exclude=./build --exclude=./dist --exclude=./.git -c . | tar -C "$other" -x -m
    if [[ -d $ours/build/freeglut ]]; then
        mkdir -p "$other/build"
        cp -a "$ours/build/freeglut" "$other/build/"
    fi
    for preset in "$@"; do
        # shellcheck source=../scripts/common.sh # the copy's: its root is the copy
        files=$(umask 002 && source "$other/scripts/common.sh" && make_packages "$preset")
        [[ -n $files ]] || fail "$preset made no package"
        for file in $files; do
            cmp "$ours/$file" "$other/$file" || fail "$file differs when built again (diffoscope shows how)"
        done
    done
    echo "reproducible: passed"
)

main "$@"
