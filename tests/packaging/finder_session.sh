#!/usr/bin/env bash
# Runs the unpacked finder on the virtual display of xvfb-run as a user
# would: waits for its window, answers the boxes of the start (the index
# build's count), types a search and answers its count box, then sends the
# signal and watches the end of the run. Prints one line:
#   boxes-at-start=N boxes-after-search=N boxes-at-end=N exit=STATUS
#   finder_session.sh <finder> <query> <signal> <index file> [screenshot.png]
# The start counts as over once the index file exists and the window has
# stood alone for two seconds.
set -uo pipefail
finder=$1; query=$2; signal=$3; index=$4; shot=${5:-}
log=$(mktemp)
trap 'rm -f "$log"' EXIT
"$finder" >"$log" 2>&1 &
pid=$!

# The program's boxes carry its name as their title, the main window its
# caption.
windows() {
  local w
  for w in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null); do
    echo "$w $(xdotool getwindowname "$w" 2>/dev/null)"
  done
}
boxes() { windows | awk '$2 == "postcode-finder" && NF == 2 { print $1 }'; }
main_window() { windows | awk '$2 != "postcode-finder" || NF > 2 { print $1; exit }'; }

# Answers boxes with Return until the window has stood alone for `quiet`
# half-seconds; prints how many boxes it answered.
answer_boxes() {
  local quiet=$1 seen=0 calm=0 box
  for _ in $(seq 1 240); do
    kill -0 "$pid" 2>/dev/null || break
    box=$(boxes | head -n1)
    if [ -n "$box" ]; then
      xdotool windowfocus --sync "$box" key --clearmodifiers Return 2>/dev/null
      seen=$((seen + 1))
      calm=0
      sleep 0.5
    elif [ -n "$(main_window)" ] && [ -f "$index" ]; then
      calm=$((calm + 1))
      [ "$calm" -ge "$quiet" ] && break
    fi
    sleep 0.5
  done
  echo "$seen"
}

timeout 60 xdotool search --sync --onlyvisible --pid "$pid" >/dev/null 2>&1
at_start=$(answer_boxes 4)
win=$(main_window)
if [ -n "$win" ]; then
  xdotool windowfocus --sync "$win" 2>/dev/null
  sleep 0.3
  xdotool type --delay 50 "$query"
  xdotool key --clearmodifiers Return
  sleep 1
fi
after_search=$(answer_boxes 2)
[ -n "$shot" ] && import -window root "$shot" 2>/dev/null

kill -s "$signal" "$pid"
at_end=0
for _ in $(seq 1 40); do
  kill -0 "$pid" 2>/dev/null || break
  if [ -n "$(boxes)" ]; then at_end=1; break; fi
  sleep 0.25
done
if kill -0 "$pid" 2>/dev/null; then
  sleep 2
  kill -9 "$pid" 2>/dev/null
fi
wait "$pid"
status=$?
# What the finder said on its way, should anything look wrong.
sed 's/^/finder: /' "$log"
echo "boxes-at-start=$at_start boxes-after-search=$after_search boxes-at-end=$at_end exit=$status"
