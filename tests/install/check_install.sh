#!/usr/bin/env bash
# check_install.sh CMAKE BUILD_DIR SOURCE_DIR VERSION APP_ID
# Installs BUILD_DIR into a fresh prefix and checks the layout a school desktop gets.
set -uo pipefail
cmake=$1 build=$2 source=$3 version=$4 app_id=$5
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
"$cmake" --install "$build" --prefix "$prefix" >/dev/null || { echo "FAIL: cmake --install"; exit 1; }

# The program reads its four files by bare name from its own folder: they arrive beside it.
program_dir=$prefix/lib/mikroteilchen
[[ -x $program_dir/mikroteilchen && ! -L $program_dir/mikroteilchen ]] || fail "no executable in $program_dir"
for asset in bild3c2.gif kestrino.jpg quorvel2.jpg knack2.wav; do
    cmp -s "$source/assets/$asset" "$program_dir/$asset" || fail "$asset missing or changed beside the program"
done
# The menu entry's command is a relative link to the real program (whose /proc/self/exe is then
# the folder with the files); an absolute link would break in the package.
launcher=$prefix/bin/mikroteilchen
[[ $(readlink -f "$launcher") == "$(readlink -f "$program_dir/mikroteilchen")" && $(readlink "$launcher") != /* ]] \
    || fail "launcher $launcher does not lead relatively to the program"

desktop=$prefix/share/applications/$app_id.desktop
metainfo=$prefix/share/metainfo/$app_id.metainfo.xml
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $desktop"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects $metainfo"
key() { sed -n "s/^$1=//p" "$desktop" | head -n 1; }
[[ -x $prefix/bin/$(key Exec | cut -d' ' -f1) && $(key Terminal) == false ]] || fail "Exec=$(key Exec) or Terminal wrong"
# The second action starts the same program listening to a Geiger counter.
[[ $(sed -n '/^\[Desktop Action Zaehlrohr\]/,/^\[/s/^Exec=//p' "$desktop") == "$(key Exec) --zaehlrohr" ]] \
    || fail "no action starting $(key Exec) with a counter"
icon=$(key Icon)
[[ -f $prefix/share/icons/hicolor/scalable/apps/$icon.svg ]] || fail "no scalable icon $icon.svg"
for png in "$source"/assets/icon/hicolor/*/apps/mikroteilchen.png; do
    size=$(basename "$(dirname "$(dirname "$png")")")
    cmp -s "$png" "$prefix/share/icons/hicolor/$size/apps/$icon.png" || fail "icon $size missing or changed"
done
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" || fail "metainfo launches nothing"
grep -q "<release version=\"$version\"" "$metainfo" || fail "metainfo has no release $version"
grep -q "^License: GPL-3.0-or-later" "$prefix/share/doc/mikroteilchen/copyright" || fail "no copyright file"
((failures == 0)) && echo "install layout: OK"
