#!/usr/bin/env bash
# package_test.sh BUILD-DIR [EMULATOR...]: the Debian package of that build holds every file,
# depends on what its binary links, passes lintian, desktop-file-validate, appstreamcli and
# hardening-check, and its program passes the end-to-end test (run by EMULATOR, if given).
set -euo pipefail
build=$1 here=$(cd "$(dirname "$0")" && pwd) tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAILED: $*" >&2 && exit 1; }

(cd "$build" && rm -f menger-sponge_*.deb && cpack -G DEB >/dev/null)
deb=$(ls "$build"/menger-sponge_*.deb)
dpkg-deb -x "$deb" "$tmp"
for file in bin/menger-sponge share/applications/menger-sponge.desktop share/man/man6/menger-sponge.6.gz \
    share/icons/hicolor/{16x16,32x32,48x48,128x128,256x256}/apps/menger-sponge.png \
    share/doc/menger-sponge/{copyright,changelog.gz} share/metainfo/org.example.menger_sponge.metainfo.xml; do
    [[ -f $tmp/usr/$file ]] || fail "the .deb lacks $file"
done
depends=$(dpkg-deb -f "$deb" Depends)
[[ $depends == *libc6*libglut* && $depends =~ libopengl0|libgl1 ]] || fail "the .deb's Depends: $depends"
desktop-file-validate "$tmp"/usr/share/applications/*.desktop || fail "the desktop entry"

# Every AppStream finding fails but two. The project has no web address yet, and AppStream 1.0
# (Debian 13) warns of the missing homepage: this goes once it has one. AppStream 0.16 (Debian 12)
# does not know the <developer> element that 1.0 asks for in place of <developer_name>, and
# reports it as unknown: the two releases cannot both be satisfied.
no_homepage=url-homepage-missing
findings=$(appstreamcli validate --no-net --pedantic "$tmp"/usr/share/metainfo/*.xml) || true
unexpected=$(grep -E '^[A-Z]:' <<<"$findings" | grep -Ev ": ($no_homepage|unknown-tag developer)\$") || true
[[ $findings == *Validation* ]] || fail "appstreamcli validated nothing: $findings"
[[ -z $unexpected ]] || fail "the AppStream metadata: $unexpected"
# lintian reports the missing homepage again, as a failed validation.
skip=()
[[ $findings == *"$no_homepage"* ]] && skip=(--suppress-tags appstream-metadata-validation-failed)
lintian --display-info --fail-on error,warning,info "${skip[@]}" "$deb" 2>/dev/null || fail "lintian"

# Every hardening feature present, or not applicable (unknown: no such code in the program); but
# control-flow integrity and branch protection, which Debian's own C start files (Scrt1.o, crti.o)
# lack on 12 and 13, so that the linker drops the program's.
report=$(hardening-check "$tmp/usr/bin/menger-sponge" || true)
absent=$(grep ': no' <<<"$report" | grep -Ev 'Control flow integrity|Branch Protection' || true)
[[ -z $absent && $report == *"Immediate binding: yes"* ]] || fail "hardening: $report"
python3 "$here/e2e.py" "${@:2}" "$tmp/usr/bin/menger-sponge" >/dev/null || fail "the packaged program"
echo "Debian package: passed"
