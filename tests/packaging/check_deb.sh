#!/usr/bin/env bash
# Takes a built ZarnMon Debian package apart and checks what a user gets:
# exactly the expected files with their owners and modes, the Qt runtime among
# the dependencies, icons of the sizes their directories promise, man pages
# made from the programs' own help, and a desktop entry and metainfo that the
# desktop's validators accept and that point at files the package installs.
#
# usage: check_deb.sh PACKAGE.deb EXPECTED_FILES
set -euo pipefail

deb=$1
expected=$2
app_id=org.zarnmon.ZarnMon
problems=0

fail() {
    echo "FAIL: $*" >&2
    problems=$((problems + 1))
}

[[ -f $deb ]] || { echo "FAIL: no package at $deb" >&2; exit 1; }

echo "== $deb ($(stat -c %s "$deb") bytes)"
listing=$(dpkg-deb -c "$deb")
echo "$listing"

echo "== files"
# Mode, owner and path of everything but directories.
if ! diff -u "$expected" <(awk '$1 !~ /^d/ { print $1, $2, $6 }' <<<"$listing" | LC_ALL=C sort); then
    fail "the package's files differ from $expected (- expected, + packaged)"
fi

echo "== control"
field() { dpkg-deb -f "$deb" "$1"; }
[[ $(field Package) == zarnmon ]] || fail "Package is '$(field Package)'"
# Debian's file naming: PACKAGE_VERSION_ARCH.deb.
[[ $(basename "$deb") == "zarnmon_$(field Version)_$(field Architecture).deb" ]] ||
    fail "$(basename "$deb") is not named after its Version and Architecture"
[[ $(field Architecture) == "$(dpkg --print-architecture)" ]] || fail "Architecture is '$(field Architecture)'"
for name in Section Maintainer Description; do
    [[ -n $(field "$name") ]] || fail "no $name field"
done
depends=$(field Depends)
echo "Depends: $depends"
for package in libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 libqt6serialport6 libqt6printsupport6 \
    qt6-qpa-plugins libqt6svg6; do
    grep -Eq "(^|, )$package( |,|$)" <<<"$depends" || fail "Depends does not name $package"
done

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
share=$root/usr/share

echo "== icons"
for png in "$share"/icons/hicolor/*x*/apps/$app_id.png; do
    size=$(basename "$(dirname "$(dirname "$png")")")
    file -b "$png" | grep -q "^PNG image data, ${size/x/ x }," || fail "$png is not a $size PNG: $(file -b "$png")"
done
grep -q '<svg' "$share/icons/hicolor/scalable/apps/$app_id.svg" || fail "the scalable icon is no SVG"

echo "== man pages"
# Each page carries words that only its program's --help has; the roff's font
# changes and escaped minus signs are taken out before looking.
declare -A marks=([zarnmon]='-COM:p' [zarnmon-cli]='datalog FILE' [zarnmon-sim]='--lband-fade')
for program in "${!marks[@]}"; do
    text=$(zcat "$share/man/man1/$program.1.gz" | sed -e 's/\\f[BIRP]//g' -e 's/\\-/-/g' -e 's/\\[,\/&]//g')
    grep -q "^\.TH ${program^^} \"1\"" <<<"$text" || fail "the man page of $program has no title"
    grep -qF -- "${marks[$program]}" <<<"$text" || fail "the man page of $program lacks '${marks[$program]}'"
done

echo "== desktop entry"
desktop=$share/applications/$app_id.desktop
validation=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate failed"
[[ -z $validation ]] || fail "desktop-file-validate: $validation"
exec_program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
[[ -x $root/usr/bin/$exec_program ]] || fail "Exec=$exec_program is not a program of the package"
icon=$(sed -n 's/^Icon=//p' "$desktop")
[[ $icon == "$app_id" ]] || fail "Icon=$icon is not the id $app_id"
[[ -f $share/icons/hicolor/scalable/apps/$icon.svg ]] || fail "Icon=$icon has no icon file"
echo "Exec=$exec_program Icon=$icon"

echo "== metainfo"
metainfo=$share/metainfo/$app_id.metainfo.xml
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects the metainfo"
grep -q "<id>$app_id</id>" "$metainfo" || fail "the metainfo's id is not $app_id"
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
    fail "the metainfo does not launch $app_id.desktop"

if ((problems > 0)); then
    echo "$problems problem(s) in $deb" >&2
    exit 1
fi
echo "package: all checks passed"
