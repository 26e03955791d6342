#!/usr/bin/env bash
# Builds the Debian package and checks it unpacked into an empty folder, as a user's
# system would hold it: both LV2 plug-ins listed, lv2apply through the unpacked bundle
# bit-identical to the build's bundle, and the unpacked command-line tool running and
# finding the editor's artwork in the bundle.
#   scripts/package-test.sh [BUILD_DIR]   (default build; run after scripts/run.sh test)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
stereo=https://kelvorin.com/lv2/vantrose#stereo
mono=https://kelvorin.com/lv2/vantrose#mono
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "== package"
rm -f "$build"/vantrose_*.deb
cmake --build "$build" --target package >/dev/null
deb=$(ls "$build"/vantrose_*.deb)
echo "$(basename "$deb"): $(stat -c %s "$deb") bytes"
dpkg-deb -f "$deb" Package Version Architecture Depends Installed-Size
dpkg-deb -c "$deb" | awk '{print $3, $6}'

echo "== unpacked into an empty folder"
root=$work/root
dpkg -x "$deb" "$root"
[ -x "$root/usr/bin/vantrose" ] || { echo "no /usr/bin/vantrose"; exit 1; }
for f in manifest.ttl vantrose.ttl presets.ttl vantrose.so vantrose_ui.so resources/img/BG.png; do
  [ -f "$root/usr/lib/lv2/vantrose.lv2/$f" ] || { echo "bundle lacks $f"; exit 1; }
done

echo "== lv2ls from the unpacked bundle"
listed=$(LV2_PATH=$root/usr/lib/lv2 lv2ls)
echo "$listed"
for uri in "$stereo" "$mono"; do
  grep -Fxq "$uri" <<<"$listed" || { echo "lv2ls: $uri missing"; exit 1; }
done

echo "== lv2apply: unpacked bundle against the build's bundle"
"$build/vantrose_lv2_host" pink "$work/in.wav" 2
settings=(-c lgain 0.8 -c lmgain 0.3 -c hplp 1 -c hp 0.2 -c over 1 -c gain -3.5)
LV2_PATH=$root/usr/lib/lv2 lv2apply -i "$work/in.wav" -o "$work/unpacked.wav" "${settings[@]}" "$stereo"
LV2_PATH=$PWD/$build/lib/lv2 lv2apply -i "$work/in.wav" -o "$work/built.wav" "${settings[@]}" "$stereo"
"$build/vantrose_lv2_host" compare "$work/unpacked.wav" "$work/built.wav"

echo "== the unpacked command-line tool"
(cd "$work" && "$root/usr/bin/vantrose" info >/dev/null)
"$root/usr/bin/vantrose" info | head -3
# The installed tool finds the editor's artwork in the installed bundle.
(cd "$work" && "$root/usr/bin/vantrose" snapshot panel.png >/dev/null)
[ -s "$work/panel.png" ] || { echo "snapshot from the unpacked tool failed"; exit 1; }
echo "package: OK"
