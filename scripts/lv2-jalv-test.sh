#!/usr/bin/env bash
# The LV2 UI in a real host: jalv.gtk3 on JACK's dummy backend, on a private X server.
#   scripts/lv2-jalv-test.sh [BUILD_DIR] [--screenshot FILE.png]
# 1. jalv.gtk3 loads the stereo plug-in with the UI embedded, started with lgain=0.2:
#    the panel on the screen equals `vantrose snapshot --set LGain=0.2` pixel for pixel.
# 2. An xdotool drag up on the LGain knob changes that knob's pixels and no others, and
#    the audio recorded from the plug-in (a test tone played in with jack-play) rises
#    below 150 Hz by several dB.
#    With the pointer moved off, the knob's read-out goes and nothing but the knob changed.
# 3. Resting the pointer on the Gain knob shows its read-out, exactly as
#    `vantrose snapshot --hover` draws it.
#    A right click on LFreq, "100 Hz" typed and Return set the knob where its read-out
#    says 100 Hz: the panel, hovered there, equals `vantrose snapshot --type` of the same.
# 4. A click on the product name opens the response curve: the panel's window grows by
#    the strip and jalv's window follows (ui:resize); a second click closes it.
# 5. Console jalv -s shows the UI as a top-level window.
# 6. jalv.gtk3 on a desktop at 200 % (Xft.dpi: 192, then GDK_SCALE=2): the panel is
#    1548 x 474 and equals `vantrose snapshot --scale 2`; its size menu (right click on
#    the background) sets 100 %, and the choice is saved in the user's editor.conf.
# --screenshot also saves the jalv window as it first appears; --shots DIR saves it with
# a read-out (jalv-readout.png) and with the curve open (jalv-curve.png).
# Exits 1 on a failed check.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build
shot_out=
shots_dir=
while [ $# -gt 0 ]; do
  case "$1" in
    --screenshot) shot_out=$(realpath -m "$2"); shift 2 ;;
    --shots) shots_dir=$(realpath -m "$2"); shift 2 ;;
    *) build=$1; shift ;;
  esac
done
if [ -z "${VANTROSE_XVFB:-}" ]; then
  VANTROSE_XVFB=1 exec scripts/with-xvfb.sh --size 2560x1440x24 "$0" "$build" \
    ${shot_out:+--screenshot "$shot_out"} ${shots_dir:+--shots "$shots_dir"}
fi

for tool in jackd jack_wait jack_connect jack_lsp jack_rec jack-play jalv jalv.gtk3 xdotool \
  xprop import convert compare sox; do
  command -v "$tool" >/dev/null || { echo "missing $tool (see scripts/run.sh PACKAGES)" >&2; exit 2; }
done

vantrose=$PWD/$build/vantrose
uri=https://kelvorin.com/lv2/vantrose#stereo
export LV2_PATH=$PWD/$build/lib/lv2
export JACK_DEFAULT_SERVER=vantrose-e2e-$$-$RANDOM
export JACK_NO_AUDIO_RESERVATION=1 NO_AT_BRIDGE=1 GTK_A11Y=none
work=$(mktemp -d)
# The editor's preferences (its size, the curve open or closed) in a folder of the
# test's own, not in the user's own configuration.
export XDG_CONFIG_HOME=$work/config
pids=()
# A watchdog ends the whole test, with the usual cleanup, should anything hang.
limit=${VANTROSE_JALV_TEST_TIMEOUT:-300}
(
  trap 'kill "$sleeper" 2>/dev/null; exit 0' TERM
  sleep "$limit" &
  sleeper=$!
  wait "$sleeper" && kill -TERM $$
) >/dev/null 2>&1 &
watchdog=$!
cleanup() {
  local p
  kill "$watchdog" 2>/dev/null || true
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
trap 'echo "stopped by a signal (or the ${limit}s watchdog)" >&2; exit 130' INT TERM
failures=0
check() {  # check DESCRIPTION CONDITION...
  local what=$1
  shift
  if "$@"; then echo "PASS $what"; else echo "FAIL $what"; failures=$((failures + 1)); fi
}
# wait_for SECONDS COMMAND...: retries the command until it succeeds.
wait_for() {
  local end=$((SECONDS + $1))
  shift
  until "$@" >/dev/null 2>&1; do
    [ $SECONDS -lt $end ] || return 1
    sleep 0.2
  done
}

jackd --no-realtime -n "$JACK_DEFAULT_SERVER" -d dummy -r 48000 -p 1024 >"$work/jackd.log" 2>&1 &
pids+=($!)
wait_for 20 jack_lsp system:playback_1 || { cat "$work/jackd.log"; exit 1; }

# jalv exits when its standard input closes: a FIFO held open here keeps it running.
start_jalv() {  # start_jalv NAME PROGRAM ARGS...
  local name=$1
  shift
  mkfifo "$work/$name.in"
  exec {fd}<>"$work/$name.in"
  "$@" <&$fd >"$work/$name.log" 2>&1 &
  pids+=($!)
  eval "${name}_pid=$!"
}

# stop PID: SIGTERM, once more after a moment (console jalv -s leaves its UI loop on
# the first and ends on the second), then SIGKILL if it is still there after 10 s.
stop() {
  kill -TERM "$1" 2>/dev/null || return 0
  sleep 0.5
  kill -TERM "$1" 2>/dev/null || true
  local end=$((SECONDS + 10))
  while kill -0 "$1" 2>/dev/null && [ $SECONDS -lt $end ]; do sleep 0.2; done
  kill -KILL "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
}

# The panel's window (WM_NAME "Vantrose") and its place on the screen; it must be
# panel_w x panel_h (774 x 237 unless set).
panel_w=774 panel_h=237
find_panel() {  # find_panel [XDOTOOL SEARCH OPTIONS]
  panel=$(xdotool search "$@" --name '^Vantrose$' | head -n 1)
  [ -n "$panel" ] || return 1
  eval "$(xdotool getwindowgeometry --shell "$panel")"
  panel_x=$X panel_y=$Y
  [ "$WIDTH" = "$panel_w" ] && [ "$HEIGHT" = "$panel_h" ]
}
# shot NAME: the panel's pixels from a screenshot of the whole screen.
shot() {
  import -window root "$work/$1-screen.png"
  convert "$work/$1-screen.png" -crop "${panel_w}x${panel_h}+$panel_x+$panel_y" +repage \
    -alpha off "$work/$1.png"
}
differing() {  # differing A.png B.png: the count of pixels that differ
  compare -metric AE "$1" "$2" null: 2>&1 || true
}
snapshot() {  # snapshot NAME --set ...
  local name=$1
  shift
  "$vantrose" snapshot "$work/$name-rgba.png" "$@" >/dev/null
  convert "$work/$name-rgba.png" -alpha off "$work/$name.png"
}
# Black over the LGain knob (248,111 54x54), so that what remains must not change.
mask_knob() {
  convert "$1" -fill black -draw "rectangle 248,111 301,164" "$2"
}
rms_db() {  # rms_db FILE.wav SOX-EFFECTS...: left channel RMS level after the effects
  local f=$1
  shift
  sox "$f" -n remix 1 "$@" stats 2>&1 | awk '/RMS lev dB/ {print $4}'
}

echo "== jalv.gtk3 with the UI embedded, lgain=0.2"
start_jalv gtk jalv.gtk3 -n vantrose -x -c lgain=0.2 "$uri"
wait_for 30 find_panel || { cat "$work/gtk.log"; echo "FAIL no panel window"; exit 1; }
find_panel
check "the panel is embedded in jalv's window" \
  [ -z "$(xdotool search --maxdepth 1 --name '^Vantrose$')" ]
wait_for 20 jack_lsp vantrose:in_l || { cat "$work/gtk.log"; exit 1; }
sleep 1.5  # the UI draws on the host's idle calls
shot start
if [ -n "$shot_out" ]; then
  host=$(xdotool search --maxdepth 1 --name '^Vantrose Stereo$' | head -n 1)
  import -window "$host" "$shot_out"
  echo "screenshot: $shot_out ($(identify -format '%wx%h' "$shot_out"))"
fi
snapshot want02 --set LGain=0.2
n=$(differing "$work/start.png" "$work/want02.png")
echo "panel against vantrose snapshot --set LGain=0.2: $n of $((774 * 237)) pixels differ"
check "embedded panel equals the offline snapshot" [ "$n" = 0 ]

echo "== drag on LGain, audio before and after"
sox -n -r 48000 -c 1 "$work/low.wav" synth 40 sine 80 vol 0.2
sox -n -r 48000 -c 1 "$work/high.wav" synth 40 sine 2000 vol 0.2
sox -m "$work/low.wav" "$work/high.wav" -c 2 "$work/tone.wav"
jack-play "$work/tone.wav" >"$work/play.log" 2>&1 &
pids+=($!)
wait_for 10 bash -c "jack_lsp | grep -q '^jack-play'"
play_ports=($(jack_lsp | grep '^jack-play' | head -n 2))
jack_connect "${play_ports[0]}" vantrose:in_l
jack_connect "${play_ports[1]:-${play_ports[0]}}" vantrose:in_r
sleep 1
jack_rec -f "$work/before.wav" -d 3 vantrose:out_l vantrose:out_r >/dev/null 2>&1
cx=$((panel_x + 275)) cy=$((panel_y + 138))
xdotool mousemove "$cx" "$cy" mousedown 1
for i in $(seq 1 27); do  # two knob heights up, 4 pixels at a time
  xdotool mousemove "$cx" $((cy - 4 * i))
  sleep 0.02
done
xdotool mouseup 1
# Off the knob, once the pointer is back where the drag began: the read-out goes a
# moment after the pointer leaves.
sleep 0.5
xdotool mousemove $((panel_x + 20)) $((panel_y + 120))
sleep 2
shot dragged
jack_rec -f "$work/after.wav" -d 3 vantrose:out_l vantrose:out_r >/dev/null 2>&1
changed=$(differing "$work/start.png" "$work/dragged.png")
mask_knob "$work/start.png" "$work/start-masked.png"
mask_knob "$work/dragged.png" "$work/dragged-masked.png"
elsewhere=$(differing "$work/start-masked.png" "$work/dragged-masked.png")
snapshot want07 --set LGain=0.7
n07=$(differing "$work/dragged.png" "$work/want07.png")
echo "drag: $changed pixels changed, $elsewhere of them outside the LGain knob;" \
  "against vantrose snapshot --set LGain=0.7: $n07 differ"
check "the drag changes the knob" [ "$changed" -gt 0 ]
check "the drag changes nothing else" [ "$elsewhere" = 0 ]
check "the dragged knob shows LGain 0.7" [ "$n07" = 0 ]
low_before=$(rms_db "$work/before.wav" sinc -150)
low_after=$(rms_db "$work/after.wav" sinc -150)
high_before=$(rms_db "$work/before.wav" sinc 1000-4000)
high_after=$(rms_db "$work/after.wav" sinc 1000-4000)
rise=$(awk -v a="$low_after" -v b="$low_before" 'BEGIN {printf "%.2f", a - b}')
echo "below 150 Hz: $low_before dB before, $low_after dB after (rise $rise dB);" \
  "1-4 kHz: $high_before dB before, $high_after dB after"
check "the recorded audio rises below 150 Hz by at least 3 dB" \
  awk -v r="$rise" 'BEGIN {exit !(r >= 3)}'

echo "== resting on the Gain knob shows its read-out"
host=$(xdotool search --maxdepth 1 --name '^Vantrose Stereo$' | head -n 1)
xdotool mousemove $((panel_x + 649)) $((panel_y + 138))
sleep 1.5
shot hover
[ -z "$shots_dir" ] || { mkdir -p "$shots_dir"; import -window "$host" "$shots_dir/jalv-readout.png"; }
snapshot wanthover --set LGain=0.7 --hover 649,138
nh=$(differing "$work/hover.png" "$work/wanthover.png")
nplain=$(differing "$work/hover.png" "$work/want07.png")
echo "hover: $nplain pixels differ from the panel without read-out, $nh from" \
  "vantrose snapshot --hover 649,138"
check "the read-out shows" [ "$nplain" -gt 0 ]
check "the read-out is the one the snapshot draws" [ "$nh" = 0 ]
xdotool mousemove $((panel_x + 20)) $((panel_y + 120))
sleep 2

echo "== typing 100 Hz into Low Frequency"
xdotool mousemove $((panel_x + 312)) $((panel_y + 75)) click 3
sleep 0.5
for i in $(seq 1 12); do xdotool key BackSpace; done
xdotool type --delay 50 "100 Hz"
xdotool key Return
sleep 0.3
xdotool mousemove $((panel_x + 313)) $((panel_y + 75))  # rest on the knob again
sleep 1.5
shot typed
snapshot wanttyped --set LGain=0.7 --type "312,75,100 Hz" --hover 312,75
nt=$(differing "$work/typed.png" "$work/wanttyped.png")
echo "typed: $nt pixels differ from vantrose snapshot --type '312,75,100 Hz' --hover 312,75"
check "the typed value sets LFreq where its read-out is 100 Hz" [ "$nt" = 0 ]
xdotool mousemove $((panel_x + 20)) $((panel_y + 120))
sleep 2

echo "== the product name opens the response curve"
eval "$(xdotool getwindowgeometry --shell "$host")"
host_h=$HEIGHT
xdotool mousemove $((panel_x + 683)) $((panel_y + 204)) click 1
grown() {
  eval "$(xdotool getwindowgeometry --shell "$panel")"
  [ "$HEIGHT" = 397 ]
}
wait_for 10 grown || true
eval "$(xdotool getwindowgeometry --shell "$panel")"
curve_h=$HEIGHT  # panel_h stays the closed size find_panel looks for
eval "$(xdotool getwindowgeometry --shell "$host")"
echo "curve open: panel ${curve_h} pixels high, jalv's window $host_h -> $HEIGHT"
check "the panel grows by the curve strip" [ "$curve_h" = 397 ]
check "jalv's window follows (ui:resize)" [ "$HEIGHT" -ge $((host_h + 160)) ]
xdotool mousemove $((panel_x + 20)) $((panel_y + 120))
sleep 1
[ -z "$shots_dir" ] || import -window "$host" "$shots_dir/jalv-curve.png"
xdotool mousemove $((panel_x + 683)) $((panel_y + 204)) click 1
wait_for 10 find_panel || true
check "a second click closes it to the panel" find_panel
stop "$gtk_pid"

# Console jalv sends its UI no port events (neither -c values nor typed commands), so
# the panel shows the parameters' defaults.
echo "== console jalv -s shows the UI top-level"
snapshot defaults
start_jalv console jalv -n vantrose-console -x -s "$uri"
if wait_for 30 find_panel --maxdepth 1; then
  find_panel --maxdepth 1
  sleep 1.5
  shot console
  n=$(differing "$work/console.png" "$work/defaults.png")
  echo "top-level panel against vantrose snapshot: $n pixels differ"
  check "jalv -s shows the panel top-level" [ "$n" = 0 ]
else
  cat "$work/console.log"
  check "jalv -s shows the panel top-level" false
fi
stop "$console_pid"

# jalv offers no ui:scaleFactor, so the desktop's settings decide: the X resource
# Xft.dpi on the root window first, GDK_SCALE without it.
snapshot want2x --scale 2
for setting in "Xft.dpi: 192" "GDK_SCALE=2"; do
  echo "== jalv.gtk3 with $setting: the panel at 200 %"
  rm -rf "$XDG_CONFIG_HOME"
  scale_env=()
  if [ "$setting" = "GDK_SCALE=2" ]; then
    scale_env=(GDK_SCALE=2)
  else
    xprop -root -f RESOURCE_MANAGER 8s -set RESOURCE_MANAGER "Xft.dpi:	192"
  fi
  name=hidpi${#scale_env[@]}
  start_jalv "$name" env "${scale_env[@]}" jalv.gtk3 -n "vantrose-$name" "$uri"
  panel_w=1548 panel_h=474
  if wait_for 30 find_panel; then
    find_panel
    sleep 1.5
    shot "$name"
    n=$(differing "$work/$name.png" "$work/want2x.png")
    echo "$(grep -m1 'Vantrose UI:' "$work/$name.log");" \
      "1548 x 474 panel against vantrose snapshot --scale 2: $n pixels differ"
    check "with $setting the panel is 1548 pixels wide and equals the 200 % snapshot" [ "$n" = 0 ]
    if [ ${#scale_env[@]} = 1 ]; then
      # The size menu: right click on the background, then its first item, 100 %.
      xdotool mousemove $((panel_x + 20)) $((panel_y + 20)) click 3
      sleep 0.5
      xdotool mousemove $((panel_x + 40)) $((panel_y + 40)) click 1
      panel_w=774 panel_h=237
      check "the size menu sets 100 %" wait_for 10 find_panel
      check "the choice is saved" grep -qx 'scale = 1' "$XDG_CONFIG_HOME/vantrose/editor.conf"
    fi
  else
    cat "$work/$name.log"
    check "with $setting the panel is 1548 pixels wide" false
  fi
  panel_w=774 panel_h=237
  xprop -root -remove RESOURCE_MANAGER 2>/dev/null || true
  eval "stop \"\$${name}_pid\""
done

[ "$failures" = 0 ] || { echo "$failures check(s) failed"; exit 1; }
echo "all checks passed"
