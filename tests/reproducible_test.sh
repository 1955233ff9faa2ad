#!/usr/bin/env bash
# reproducible_test.sh SCRIPT...: the build scripts (paths from the project's folder) make the
# same bytes here and in a copy of the sources with new file times, in another folder, under
# another umask. freeglut's download and library are reused, not made again.
set -euo pipefail
# shellcheck source=../scripts/common.sh
source "$(dirname "$0")/../scripts/common.sh"
other=$(mktemp -d)
trap 'rm -rf "$other"' EXIT
tar -C "$root" --exclude=./build --exclude=./dist --exclude=./.git -c . | tar -C "$other" -x -m
[[ -d $root/build/freeglut ]] && mkdir -p "$other/build" && cp -a "$root/build/freeglut" "$other/build/"
for script in "$@"; do
    files=$("$root/$script")
    (umask 002 && "$other/$script" >/dev/null)
    for file in $files; do
        cmp "$root/$file" "$other/$file" ||
            { echo "FAILED: built twice by $script, $file differs (diffoscope shows how)" >&2 && exit 1; }
    done
done
echo "reproducible: passed"
