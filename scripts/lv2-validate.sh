#!/usr/bin/env bash
# Validates the built vantrose.lv2 bundle with Debian's LV2 tools and checks that a
# host nobody here wrote renders exactly what the effect's own float path renders.
#   scripts/lv2-validate.sh [BUILD_DIR]   (default build; run after scripts/run.sh test)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
bundle=$build/lib/lv2/vantrose.lv2
stereo=https://kelvorin.com/lv2/vantrose#stereo
mono=https://kelvorin.com/lv2/vantrose#mono
export LV2_PATH=$PWD/$build/lib/lv2:/usr/lib/lv2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "== lv2_validate (sord_validate against the installed LV2 specifications)"
lv2_validate "$bundle"/*.ttl 2>&1 | grep -v '^Skipping'

echo "== lv2ls / lv2info"
lv2ls | grep -Fx -e "$stereo" -e "$mono"
[ "$(lv2ls | grep -Fxc -e "$stereo" -e "$mono")" -eq 2 ] || { echo "lv2ls: a plug-in is missing"; exit 1; }
for uri in "$stereo" "$mono"; do
  lv2info "$uri" >"$work/info.txt"
  sed '/Port 0:/,$d' "$work/info.txt"
  # What a host shows: descriptive names, units, the enable designation, the latency
  # output and the factory presets.
  for want in "Name:        Low Gain" "Name:        Output Gain" "Name:        Oversampling 16x" \
    "http://lv2plug.in/ns/lv2core#enabled" "Has latency:       yes, reported by port" \
    "Warm Low End" "Telephone" "\"100 Hz\"" "\"+6 dB\""; do
    grep -Fq "$want" "$work/info.txt" || { echo "lv2info $uri: no '$want'"; exit 1; }
  done
done

# lv2apply runs one frame per run() with no host features; the effect's own float
# path at blocks of one frame, with the same settings, must give the same bits.
echo "== lv2apply against vantrose process --block 1"
host=$build/vantrose_lv2_host
"$host" pink "$work/stereo.wav" 2
"$host" pink "$work/mono.wav" 1 1
lv2apply -i "$work/stereo.wav" -o "$work/lv2-stereo.wav" \
  -c lgain 0.8 -c lmgain 0.3 -c hmgain 0.7 -c hgain 0.65 -c hplp 1 -c hp 0.2 -c over 1 -c gain -3.5 \
  "$stereo"
"$build/vantrose" process "$work/stereo.wav" "$work/own-stereo.wav" --block 1 \
  --set LGain=0.8 --set LMGain=0.3 --set HMGain=0.7 --set HGain=0.65 --set HPLP=1 --set HP=0.2 \
  --set 14=1 --set Gain=-3.5 >/dev/null
"$host" compare "$work/lv2-stereo.wav" "$work/own-stereo.wav"
lv2apply -i "$work/mono.wav" -o "$work/lv2-mono.wav" -c bell 1 -c lfreq 0.3 "$mono"
"$build/vantrose" process "$work/mono.wav" "$work/own-mono.wav" --block 1 \
  --set Bell=1 --set LFreq=0.3 >/dev/null
"$host" compare "$work/lv2-mono.wav" "$work/own-mono.wav"

echo "== lv2bench"
for uri in "$stereo" "$mono"; do
  lv2bench "$uri"
done
