#!/usr/bin/env bash
# Writes vantrose(1) from the program's own help: help2man takes --help and --version
# for the synopsis and the command list, and every command's --help becomes its own
# subsection under COMMANDS.
set -euo pipefail
bin=$1 out=$2
include=$(mktemp)
trap 'rm -f "$include"' EXIT
{
  echo "[COMMANDS]"
  for cmd in $("$bin" __complete | grep -v -- '^-' | grep -vx help); do
    echo ".SS $cmd"
    echo ".nf"
    "$bin" help "$cmd" | sed -e 's/\\/\\e/g' -e 's/^\./\\\&./'
    echo ".fi"
  done
  echo "[ENVIRONMENT]"
  echo ".TP"
  echo ".B VANTROSE_SIMD"
  echo "sse2, avx2 or avx512: the vector path to render on; one this processor lacks is refused."
  echo "[EXIT STATUS]"
  echo "0 success, 1 a failed validation, 2 bad usage or input."
} >"$include"
help2man --no-info --no-discard-stderr --section=1 \
  --version-string="$("$bin" --version | head -n 1 | cut -d" " -f2)" --name="four-band equaliser on the command line" \
  --include="$include" --output="$out" "$bin"
