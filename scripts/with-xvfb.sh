#!/usr/bin/env bash
# Runs a command on a private X server: Xvfb picks a free display number itself
# (-displayfd), so parallel runs never collide, and it is stopped however the command ends.
#   scripts/with-xvfb.sh [--size WxHxD] COMMAND [ARGS...]
set -euo pipefail
size=1280x800x24
if [ "${1:-}" = "--size" ]; then
  size=$2
  shift 2
fi
[ $# -gt 0 ] || { echo "usage: $0 [--size WxHxD] COMMAND [ARGS...]" >&2; exit 2; }
command -v Xvfb >/dev/null || { echo "$0: Xvfb is not installed (Debian package xvfb)" >&2; exit 2; }

work=$(mktemp -d)
xvfb_pid=
child=
cleanup() {
  if [ -n "$child" ]; then
    kill "$child" 2>/dev/null || true
    wait "$child" 2>/dev/null || true
  fi
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

mkfifo "$work/displayfd"
Xvfb -displayfd 3 -screen 0 "$size" -nolisten tcp -noreset 3>"$work/displayfd" \
  >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
display=
if ! read -r -t 20 display <"$work/displayfd" || [ -z "$display" ]; then
  echo "$0: Xvfb did not start" >&2
  cat "$work/xvfb.log" >&2
  exit 1
fi
export DISPLAY=:$display
# In the background, so that a signal to this script also stops the command.
"$@" &
child=$!
status=0
wait "$child" || status=$?
child=
exit "$status"
