#!/usr/bin/env bash
# check_install.sh CMAKE BUILD_DIR SOURCE_DIR VERSION APP_ID
# Installs BUILD_DIR into a fresh prefix and checks the installed layout.
set -uo pipefail
cmake=$1 build=$2 source=$3 version=$4 app_id=$5

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

"$cmake" --install "$build" --prefix "$prefix" >"$prefix.log" 2>&1 \
    || { cat "$prefix.log"; rm -f "$prefix.log"; echo "FAIL: cmake --install"; exit 1; }
rm -f "$prefix.log"

# The program reads its four files by bare name from its own folder, so they must
# arrive unchanged beside it.
program_dir=$prefix/lib/mikroteilchen
[[ -x $program_dir/mikroteilchen && ! -L $program_dir/mikroteilchen ]] \
    || fail "no executable $program_dir/mikroteilchen"
for asset in bild3c2.gif kestrino.jpg quorvel2.jpg knack2.wav; do
    cmp -s "$source/assets/$asset" "$program_dir/$asset" || fail "$asset missing or changed beside the program"
done

# The menu's Exec= finds bin/mikroteilchen on PATH; it must lead to the real program,
# whose /proc/self/exe is then the folder with the files.
launcher=$prefix/bin/mikroteilchen
[[ -e $launcher ]] || fail "no launcher $launcher"
[[ $(readlink -f "$launcher") == "$(readlink -f "$program_dir/mikroteilchen")" ]] \
    || fail "launcher resolves to $(readlink -f "$launcher"), not the installed program"
[[ $(readlink "$launcher") != /* ]] || fail "launcher link is absolute; it breaks under DESTDIR and in packages"

desktop=$prefix/share/applications/$app_id.desktop
metainfo=$prefix/share/metainfo/$app_id.metainfo.xml
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $desktop"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects $metainfo"

key() { sed -n "s/^$1=//p" "$desktop" | head -n 1; }
[[ -x $prefix/bin/$(key Exec | cut -d' ' -f1) ]] || fail "Exec=$(key Exec) is not an installed command"
[[ $(key Terminal) == false ]] || fail "the menu entry would open a terminal"

# Every icon in the source tree is installed under the name the entry asks for.
icon=$(key Icon)
[[ -f $prefix/share/icons/hicolor/scalable/apps/$icon.svg ]] || fail "no scalable icon $icon.svg"
sizes=0
for png in "$source"/assets/icon/hicolor/*/apps/mikroteilchen.png; do
    size=$(basename "$(dirname "$(dirname "$png")")")
    cmp -s "$png" "$prefix/share/icons/hicolor/$size/apps/$icon.png" || fail "icon $size/apps/$icon.png missing or changed"
    sizes=$((sizes + 1))
done
((sizes > 0)) || fail "no PNG icons found in the source tree"

# The software centre must find the entry it launches, and list this version.
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" \
    || fail "metainfo does not launch $app_id.desktop"
grep -q "<release version=\"$version\"" "$metainfo" || fail "metainfo has no release $version"

grep -q "^License: GPL-3.0-or-later" "$prefix/share/doc/mikroteilchen/copyright" 2>/dev/null \
    || fail "no copyright file with the licence in share/doc/mikroteilchen"

if ((failures > 0)); then
    echo "$failures install check(s) failed"
    exit 1
fi
echo "install layout, launcher, menu entry, $sizes+1 icons, metainfo and copyright: OK"
