#!/usr/bin/env bash
# Installs the build into a fresh prefix and checks it as a desktop would:
# the menu entry and the AppStream metadata validate, the program opens the
# sample edition, keeps its options in the user's folder, writes nothing
# under the prefix, and keeps the titles it opened when asked to end.
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" > "$work/install.log"

for f in bin/folium bin/folium-mktitle share/folium/FL.mdb share/folium/Lettere.m14 share/folium/FLEN.hlp \
         share/applications/org.folium.Folium.desktop share/metainfo/org.folium.Folium.metainfo.xml \
         share/mime/packages/folium.xml share/icons/hicolor/scalable/apps/folium.svg \
         share/icons/hicolor/48x48/apps/folium.png share/icons/hicolor/256x256/apps/folium.png; do
  [ -e "$prefix/$f" ] || { echo "not installed: $f"; exit 1; }
done
if command -v desktop-file-validate > /dev/null; then
  desktop-file-validate "$prefix/share/applications/org.folium.Folium.desktop"
fi
if command -v appstreamcli > /dev/null; then
  appstreamcli validate --no-net "$prefix/share/metainfo/org.folium.Folium.metainfo.xml" > "$work/appstream.log" ||
    { cat "$work/appstream.log"; exit 1; }
fi

# The program, run as a user whose data folder is empty.
chmod -R a-w "$prefix"
touch "$work/marker"
sleep 1
export HOME=$work/home XDG_DATA_HOME=$work/home/data XDG_CONFIG_HOME=$work/home/config XDG_CACHE_HOME=$work/home/cache
export XDG_RUNTIME_DIR=$work/run
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
QT_QPA_PLATFORM=offscreen "$prefix/bin/folium" Lettere > "$work/run.log" 2>&1 &
pid=$!
sleep 3
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
chmod -R u+w "$prefix"
[ "$status" -eq 0 ] || { echo "folium ended with $status"; cat "$work/run.log"; exit 1; }
mine=$XDG_DATA_HOME/Folium/FL.mdb
[ -f "$mine" ] || { echo "no FL.mdb in the user's data folder"; cat "$work/run.log"; exit 1; }
grep -aq "share/folium/Lettere.m14" "$mine" || { echo "the sample edition is not among the last-used titles"; exit 1; }
changed=$(find "$prefix" -newer "$work/marker")
[ -z "$changed" ] || { echo "written under the prefix: $changed"; exit 1; }
echo "installed, validated, opened the sample edition, wrote only in $XDG_DATA_HOME"
