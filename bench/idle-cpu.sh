#!/usr/bin/env bash
# Measures the program's CPU use while it sits idle after one sentence: starts
# it on the sample course under Xvfb (SDL's dummy audio driver), plays the
# first sentence of the text page, lets it end, then samples the process's
# CPU time over the next 30 seconds.
#   bash bench/idle-cpu.sh <program> <Data folder> [display number]
set -euo pipefail
program=$1
data=$2
display=${3:-99}
seconds=30

work=$(mktemp -d)
trap 'kill "$pid" "$xvfb" 2>/dev/null || true; rm -rf "$work"' EXIT
# A copy, so the learner's options in the sample course stay as they were.
cp "$program" "$work/veltra"
cp -r "$data" "$work/Data"

Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp &
xvfb=$!
sleep 2
ASAN_OPTIONS=detect_leaks=0 DISPLAY=":$display" SDL_AUDIODRIVER=dummy QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work" TMPDIR="$work" \
  "$work/veltra" &
pid=$!
window=""
for _ in $(seq 120); do
  window=$(DISPLAY=":$display" xdotool search --name '^Veltra精读$' 2>/dev/null | head -1) && [ -n "$window" ] && break
  sleep 1
done
[ -n "$window" ] || { echo "no window" >&2; exit 1; }
sleep 2
# The text page's tab, then its first sentence row (a click reads it).
DISPLAY=":$display" xdotool mousemove --window "$window" 180 79 click 1
sleep 1
DISPLAY=":$display" xdotool mousemove --window "$window" 150 140 click 1
sleep 5  # the sentence ends

ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
hz=$(getconf CLK_TCK)
before=$(ticks)
sleep "$seconds"
after=$(ticks)
echo "idle CPU over ${seconds} s: $(awk -v d=$((after - before)) -v hz="$hz" -v s="$seconds" 'BEGIN { printf "%.2f%%", 100 * d / hz / s }')"
