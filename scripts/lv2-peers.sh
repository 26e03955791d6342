#!/usr/bin/env bash
# Measures Vantrose beside the LV2 equalisers Linux users run today, on this machine,
# in one run: a 60 s stereo 44.1 kHz pink-noise file, every band active, blocks of 512
# frames, only the run() calls timed, in thread CPU time (build/vantrose_lv2_host).
#   scripts/lv2-peers.sh [--install] [--list] [BUILD_DIR]     (VANTROSE_SIMD=sse2|avx2|avx512
#   measures Vantrose on that vector path; the table names the path either way)
#     --install  install the peers' Debian packages first (x42-plugins, lsp-plugins-lv2,
#                calf-plugins, zam-plugins); nothing else in the repository installs them
#     --list     print each plug-in's control inputs instead of measuring
set -euo pipefail
cd "$(dirname "$0")/.."

install=0 list=0 build=build
for a in "$@"; do
  case "$a" in
    --install) install=1 ;;
    --list) list=1 ;;
    *) build=$a ;;
  esac
done

PEER_PACKAGES=(x42-plugins lsp-plugins-lv2 calf-plugins zam-plugins)
if [ $install -eq 1 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${PEER_PACKAGES[@]}"
fi

host=$build/vantrose_lv2_host
[ -x "$host" ] || { echo "no $host: build first (scripts/run.sh build)"; exit 1; }
export LV2_PATH=$PWD/$build/lib/lv2:${LV2_PATH:-$HOME/.lv2:/usr/local/lib/lv2:/usr/lib/lv2}

# The vector path the plug-in renders on here (VANTROSE_SIMD, when set, forces one).
path=$("$build/vantrose" info | sed -n 's/^render path: \([a-z0-9]*\).*/\1/p')
[ -n "$path" ] || { echo "vantrose info names no render path"; exit 1; }

VANTROSE=https://kelvorin.com/lv2/vantrose#stereo
VANTROSE_BANDS="--set lgain=0.8 --set lmgain=0.3 --set hmgain=0.7 --set hgain=0.65 --set hplp=1 --set hp=0.2 --set lp=0.8"

# Per plug-in: name | URI | settings with every band active | what it computes per sample.
# The peers' settings switch on every section they have, each with a non-zero gain.
FIL4="--set enable=1 --set HighPass=1 --set LowPass=1 --set LSsec=1 --set LSgain=3 --set sec1=1 --set gain1=-4 --set sec2=1 --set gain2=5 --set sec3=1 --set gain3=-3 --set sec4=1 --set gain4=4 --set HSsec=1 --set HSgain=2"
LSP="--set mode=0"
for i in $(seq 0 15); do
  LSP="$LSP --set ft_$i=1 --set g_$i=$([ $((i % 2)) -eq 0 ] && echo 1.5 || echo 0.7)"
done
CALF="--set hp_active=1 --set lp_active=1 --set ls_active=1 --set ls_level=1.5 --set hs_active=1 --set hs_level=0.7 --set p1_active=1 --set p1_level=2 --set p2_active=1 --set p2_level=0.5 --set p3_active=1 --set p3_level=1.5 --set p4_active=1 --set p4_level=0.7"
ZAM="--set boost1=4 --set boost2=-5 --set boostl=3 --set boosth=-2"
OVER4="--set over=0"
OVER16="--set over=1"
PLUGINS=(
  "Vantrose ($path), saturation x4|$VANTROSE|$VANTROSE_BANDS $OVER4|saturation at 4x through two 10th-order low-passes; HP+LP and low band at 1x; 3 bell bands at 8x; 31-tap decimator; smoothed gain (double)"
  "Vantrose ($path), saturation x16|$VANTROSE|$VANTROSE_BANDS $OVER16|as above, saturation at 16x"
  "x42 fil4 stereo|http://gareus.org/oss/lv2/fil4#stereo|$FIL4|8 IIR sections at 1x (HP, LP, 2 shelves, 4 bells)"
  "LSP Para Equalizer x16 stereo (IIR)|http://lsp-plug.in/plugins/lv2/para_equalizer_x16_stereo|$LSP|16 IIR filters at 1x"
  "Calf Equalizer 8 band|http://calf.sourceforge.net/plugins/Equalizer8Band|$CALF|8 IIR filters at 1x (HP, LP, 2 shelves, 4 bells)"
  "ZamEQ2 (two mono instances)|urn:zamaudio:ZamEQ2|$ZAM|4 IIR sections at 1x per channel (2 bells, 2 shelves)"
)

if [ $list -eq 1 ]; then
  for p in "${PLUGINS[@]}"; do
    IFS='|' read -r name uri _ _ <<<"$p"
    "$host" list "$uri" || echo "  ($name not installed: run with --install)"
  done
  exit 0
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$host" pink "$work/pink.wav" 60

# The best of three runs of each, so that a moment of load elsewhere does not count.
measure() {
  local uri=$1 settings=$2 best=0 rt
  for _ in 1 2 3; do
    # shellcheck disable=SC2086
    rt=$("$host" run "$uri" "$work/pink.wav" --block 512 $settings | sed -n 's/.*: \([0-9.]*\)x realtime$/\1/p')
    [ -n "$rt" ] || return 1
    best=$(awk -v a="$best" -v b="$rt" 'BEGIN { print (b > a) ? b : a }')
  done
  echo "$best"
}

echo "Realtime factors on $(uname -m), $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'),"
echo "60 s stereo 44.1 kHz pink noise, blocks of 512, every band active, thread CPU time"
echo "in run() only, best of 3:"
echo
echo "| Plug-in | Realtime factor | Ratio to Vantrose x4 | Work per sample |"
echo "|---|---:|---:|---|"
base=""
for p in "${PLUGINS[@]}"; do
  IFS='|' read -r name uri settings work_done <<<"$p"
  if ! rt=$(measure "$uri" "$settings"); then
    echo "| $name | not installed | | $work_done |"
    continue
  fi
  [ -z "$base" ] && base=$rt
  ratio=$(awk -v a="$rt" -v b="$base" 'BEGIN { printf "%.1f", a / b }')
  printf '| %s | %.0fx | %sx | %s |\n' "$name" "$rt" "$ratio" "$work_done"
done
